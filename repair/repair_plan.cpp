// The repairs after an installation, decided from the registration alone.
// They point the uninstall entry and the per-user source list at the
// installation directory, so that a later removal or repair finds the
// package copy there, and stamp the product key with the launcher's build
// date. The uninstall entry's values are built from Directory and fixed
// texts alone; the source values keep what stands in front of their drive
// letter, which a repair of its own result finds again when Directory's
// colon follows its drive letter. A value that would not fit is not written
// at all: a cut path in the registry is worse than the value the
// installation wrote.
#include "repair/repair_plan.h"

#include "base/build_date.h"
#include "detect/installed.h"
#include "detect/registry_paths.h"

static const char kRemovalCommandStart[] = "msiexec /x \"";
static const char kPackageFileName[] = "Omrik Vindara.msi";
static const char kRemovalCommandEnd[] = "\"";
static const char kLocalPackageStem[] = "Omrik Vindara";
static const char kLocalPackageSuffix[] = "XXX.msi";

enum RepairValue {
    kBuildLevel,        // Build Level: the launcher's build date, always REG_SZ
    kLastUsedSource,    // LastUsedSource: its source path replaced by the directory
    kNetSource,         // the network source "1": likewise
    kRemovalCommand,    // UninstallString: msiexec /x "<directory>Omrik Vindara.msi"
    kInstallDirectory,  // ModifyPath: <directory>
    kPackageCopy,       // LocalPackage: <directory>Omrik VindaraXXX.msi
};

// A per-user source value is written through the key its read opened (the
// registration keeps it); the others by their key's path.
struct Repair {
    RegistryRoot root;
    const char* const* key;
    void* Registration::*heldKey;
    const char* name;
    RepairValue value;
};

// In the order they run.
static const Repair kRepairs[kRepairCount] = {
    {.root = kLocalMachine, .key = kProductKey, .heldKey = nullptr,
     .name = kBuildLevelValue, .value = kBuildLevel},
    {.root = kCurrentUser, .key = kSourceListKey, .heldKey = &Registration::sourceListKey,
     .name = kLastUsedSourceValue, .value = kLastUsedSource},
    {.root = kCurrentUser, .key = kNetSourceKey, .heldKey = &Registration::netSourceKey,
     .name = kNetSourceValue, .value = kNetSource},
    {.root = kLocalMachine, .key = kMainUninstallKey, .heldKey = nullptr,
     .name = kUninstallStringValue, .value = kRemovalCommand},
    {.root = kLocalMachine, .key = kMainUninstallKey, .heldKey = nullptr,
     .name = kModifyPathValue, .value = kInstallDirectory},
    {.root = kLocalMachine, .key = kMainUninstallKey, .heldKey = nullptr,
     .name = kLocalPackageValue, .value = kPackageCopy},
};

// The build date is plain text. The values built from Directory keep its
// type: a REG_EXPAND_SZ Directory stays expandable in what is made of it.
static unsigned long RepairType(RepairValue value, const Registration* r) {
    return value == kBuildLevel ? kRegSz : r->directory.type;
}

// A Directory that is not text, is empty, or fills its buffer without a NUL
// (no known end) names no folder: the values built from it would point
// nowhere, so the values the installation wrote are kept. Nor does one with
// a double quote, which no Windows path holds: in the removal command it
// would end the quoted path early, and the rest would run as arguments of
// an elevated msiexec.
static int IsUsableDirectory(const TextValue* directory) {
    return directory->read && IsTextType(directory->type) && directory->length > 0 &&
           !directory->filled && !FindUnit(directory->text, directory->length, L'"');
}

// Keeps what stands in front of the drive letter of the source path and
// puts the directory behind it: "n;1;D:\Setup\" becomes "n;1;" + directory.
// Only the first colon counts. A source without a colon, or with the colon
// first, has no drive letter to cut at and is left alone. The source value
// lives under HKEY_CURRENT_USER, where a standard user may write anything.
static int ComposeSourceValue(wchar_t* dst, size_t cap, const TextValue* source,
                              const wchar_t* directory) {
    if (!source->read)
        return 0;
    const wchar_t* colon = FindUnit(source->text, source->length, L':');
    if (!colon || colon == source->text)
        return 0;
    dst[0] = L'\0';
    int fits = AppendBytes(dst, cap, source->text, (size_t)(colon - source->text) - 1);
    fits &= AppendText(dst, cap, directory);
    return fits;
}

// Directory is used as it stands: it ends with its own backslash, so
// nothing is inserted before a file name.
static int ComposeRepair(RepairValue value, const Registration* r, wchar_t* dst, size_t cap) {
    if (value == kBuildLevel)
        return CopyText(dst, cap, kBuildDate);
    if (!IsUsableDirectory(&r->directory))
        return 0;
    const wchar_t* directory = r->directory.text;
    int fits = 1;
    switch (value) {
    case kLastUsedSource:
        return ComposeSourceValue(dst, cap, &r->lastUsedSource, directory);
    case kNetSource:
        return ComposeSourceValue(dst, cap, &r->netSource, directory);
    case kRemovalCommand:
        fits &= CopyText(dst, cap, kRemovalCommandStart);
        fits &= AppendText(dst, cap, directory);
        fits &= AppendText(dst, cap, kPackageFileName);
        return fits & AppendText(dst, cap, kRemovalCommandEnd);
    case kInstallDirectory:
        return CopyText(dst, cap, directory);
    case kPackageCopy:
        fits &= CopyText(dst, cap, directory);
        fits &= AppendText(dst, cap, kLocalPackageStem);
        return fits & AppendText(dst, cap, kLocalPackageSuffix);
    case kBuildLevel:
        break;
    }
    return 0;
}

// The writes of the repairs, in the order they run; none when the
// installation did not register itself. Returns how many there are.
int PlanRepairs(const Registration* r, RegistryWrite writes[kRepairCount]) {
    if (!IsRegistered(r))
        return 0;
    int count = 0;
    for (const Repair& repair : kRepairs) {
        RegistryWrite* write = &writes[count];
        if (!ComposeRepair(repair.value, r, write->text, kTextBufSize))
            continue;
        write->root = repair.root;
        write->key = repair.key;
        write->openKey = repair.heldKey ? r->*repair.heldKey : nullptr;
        write->name = repair.name;
        write->type = RepairType(repair.value, r);
        write->length = BoundedLength(write->text, kTextBufSize);
        count++;
    }
    return count;
}
