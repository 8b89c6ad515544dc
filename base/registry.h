// Registry access shared by the checks, the repairs and the reports.
#pragma once
#include <windows.h>

#include <stddef.h>

#include "base/text.h"

// The view of the registry every key is opened and created in. The shipped
// launcher is a 32-bit program, so on 64-bit Windows it sees the 32-bit
// view, where the product's 32-bit package registers; a 64-bit build of the
// same code asks for that view explicitly.
#ifdef _WIN64
const REGSAM kRegistryView = KEY_WOW64_32KEY;
#else
const REGSAM kRegistryView = 0;
#endif

// A buffer for a value read as text: the kTextBufSize bytes offered to the
// system and the NUL that always follows them.
const size_t kTextReadSize = kTextBufSize + 1;

int OpenKey(HKEY root, const char* path, HKEY* key);
int ReadTextValue(HKEY key, const char* name, char* buf, size_t cap, size_t* length,
                  DWORD* type);
int SetTextValue(HKEY key, const char* name, DWORD type, const char* text);
int IsTextType(DWORD type);
