// The texts written back by the repairs, composed from Directory alone.
#pragma once
#include <stddef.h>

extern const char kBuildDate[];

int ComposeRemovalCommand(char* dst, size_t cap, const char* directory, size_t size);
int ComposeDirectoryValue(char* dst, size_t cap, const char* directory, size_t size,
                          const char* valueName);
int ComposeSourceValue(char* dst, size_t cap, const char* source, size_t sourceSize,
                       const char* directory, size_t directorySize);
