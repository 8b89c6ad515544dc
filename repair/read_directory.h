// Reading the product's installation directory.
#pragma once
#include <windows.h>

int ReadDirectory(const char* productKey, char* directory, DWORD* size, DWORD* type);
