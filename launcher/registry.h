// Registry access shared by the checks, the repairs and the reports.
#pragma once
#include <windows.h>

// The view of the registry every key is opened and created in. The shipped
// launcher is a 32-bit program, so on 64-bit Windows it sees the 32-bit
// view, where the product's 32-bit package registers; a 64-bit build of the
// same code asks for that view explicitly.
#ifdef _WIN64
const REGSAM kRegistryView = KEY_WOW64_32KEY;
#else
const REGSAM kRegistryView = 0;
#endif

int OpenKey(HKEY root, const char* path, HKEY* key);
int QueryValue(HKEY key, const char* name, char* data, DWORD* size, DWORD* type);
int SetTextValue(HKEY key, const char* name, DWORD type, const char* text);
int IsTextType(DWORD type);
