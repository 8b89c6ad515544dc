// The texts written back by the repairs, composed from Directory alone.
#pragma once
#include <stddef.h>

// The uninstall entry's values that point at the installation directory.
enum UninstallValue {
    kRemovalCommand,    // UninstallString: the removal of the package copy
    kInstallDirectory,  // ModifyPath: the directory itself
    kPackageCopy,       // LocalPackage: the package copy's name in it
};

int ComposeUninstallValue(char* dst, size_t cap, UninstallValue value, const char* directory,
                          size_t size);
int ComposeSourceValue(char* dst, size_t cap, const char* source, size_t sourceSize,
                       const char* directory, size_t directorySize);
