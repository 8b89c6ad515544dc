// Reading the product's installation directory.
#pragma once
#include <windows.h>

#include "base/registry.h"

int ReadDirectory(const char* productKey, char directory[kTextReadSize], DWORD* type);
