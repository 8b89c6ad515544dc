// Reading the product's installation directory.
#pragma once
#include <windows.h>

#include "base/text.h"

// Room for the kTextBufSize bytes a Directory value may take and a NUL.
const size_t kDirectoryReadSize = kTextBufSize + 1;

int ReadDirectory(const char* productKey, char directory[kDirectoryReadSize], DWORD* type);
