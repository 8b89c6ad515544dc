// Registry access shared by the checks, the repairs and the reports.
#pragma once
#include <windows.h>

int OpenKey(HKEY root, const char* path, HKEY* key);
int QueryValue(HKEY key, const char* name, char* data, DWORD* size, DWORD* type);
int SetTextValue(HKEY key, const char* name, DWORD type, const char* text);
int IsTextType(DWORD type);
