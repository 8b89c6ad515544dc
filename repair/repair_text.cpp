// Composition of the repaired values. Registry data arrives in fixed
// buffers, possibly without a NUL, so each input comes with its size and is
// scanned only within it. A result that does not fit is refused, never cut:
// a cut path in the registry is worse than the value the installation wrote.
#include "repair/repair_text.h"

#include <string.h>

#include "base/text.h"

static const char kRemovalCommandStart[] = "msiexec /x \"";
static const char kPackageFileName[] = "Omrik Vindara.msi";
static const char kRemovalCommandEnd[] = "\"";
static const char kLocalPackageStem[] = "Omrik Vindara";
static const char kLocalPackageSuffix[] = "XXX.msi";

// A directory that fills its whole buffer without a NUL has no known end,
// and an empty one names no folder: the values built from either would
// point nowhere, so the values the installation wrote are kept.
static int IsDirectoryText(const char* text, size_t size) {
    size_t length = BoundedLength(text, size);
    return length > 0 && length < size;
}

// Directory is used as it stands: it ends with its own backslash, so
// nothing is inserted before a file name.
//   kRemovalCommand    msiexec /x "<directory>Omrik Vindara.msi"
//   kInstallDirectory  <directory>
//   kPackageCopy       <directory>Omrik VindaraXXX.msi
int ComposeUninstallValue(char* dst, size_t cap, UninstallValue value, const char* directory,
                          size_t size) {
    if (!IsDirectoryText(directory, size))
        return 0;
    if (value == kRemovalCommand) {
        int fits = CopyText(dst, cap, kRemovalCommandStart);
        fits &= AppendText(dst, cap, directory);
        fits &= AppendText(dst, cap, kPackageFileName);
        fits &= AppendText(dst, cap, kRemovalCommandEnd);
        return fits;
    }
    int fits = CopyText(dst, cap, directory);
    if (value == kPackageCopy) {
        fits &= AppendText(dst, cap, kLocalPackageStem);
        fits &= AppendText(dst, cap, kLocalPackageSuffix);
    }
    return fits;
}

// Keeps what stands in front of the drive letter of the source path and
// puts the directory behind it: "n;1;D:\Setup\" becomes "n;1;" + directory.
// Only the first colon counts. A source without a colon, or with the colon
// first, has no drive letter to cut at and is left alone.
int ComposeSourceValue(char* dst, size_t cap, const char* source, size_t sourceSize,
                       const char* directory, size_t directorySize) {
    if (!IsDirectoryText(directory, directorySize))
        return 0;
    size_t length = BoundedLength(source, sourceSize);
    const char* colon = (const char*)memchr(source, ':', length);
    if (!colon || colon == source)
        return 0;
    if (cap == 0)
        return 0;
    dst[0] = '\0';
    int fits = AppendBytes(dst, cap, source, (size_t)(colon - source) - 1);
    fits &= AppendText(dst, cap, directory);
    return fits;
}
