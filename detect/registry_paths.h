// Where the product's state lives in the registry: every key and value the
// launcher reads or repairs, in one table that the read, the record and the
// repairs all walk. Each path has two forms naming the same key: with a
// trailing backslash, tried first, and plain, the fallback (one derived
// from the other, so they cannot drift apart). The repairs and the
// build-level report use the product key and the main uninstall key; the
// other two uninstall keys only count as signs of an installation.
#pragma once

enum KeyForm { kTrailingForm = 0, kPlainForm = 1 };
const int kFormCount = 2;

enum RegistryRoot { kLocalMachine, kCurrentUser };

extern const char kProductCode[];
extern const char kPackedProductCode[];

// Under HKEY_LOCAL_MACHINE.
extern const char* const kProductKey[kFormCount];
extern const char* const kUninstallKeyByName[kFormCount];
extern const char* const kAlternateUninstallKey[kFormCount];
extern const char* const kMainUninstallKey[kFormCount];
// Under HKEY_CURRENT_USER.
extern const char* const kSourceListKey[kFormCount];
extern const char* const kNetSourceKey[kFormCount];

inline constexpr char kClientLevelValue[] = "ClientLevel";
inline constexpr char kBuildLevelValue[] = "Build Level";
inline constexpr char kDirectoryValue[] = "Directory";
inline constexpr char kInstallDateValue[] = "InstallDate";
inline constexpr char kUninstallStringValue[] = "UninstallString";
inline constexpr char kModifyPathValue[] = "ModifyPath";
inline constexpr char kLocalPackageValue[] = "LocalPackage";
inline constexpr char kLastUsedSourceValue[] = "LastUsedSource";
inline constexpr char kNetSourceValue[] = "1";

// The keys in the order they are read and recorded; the values the read
// takes first, in the order it takes them, then those only repaired.
enum KeyId {
    kProductKeyId, kUninstallKeyByNameId, kAlternateUninstallKeyId, kMainUninstallKeyId,
    kSourceListKeyId, kNetSourceKeyId, kKeyCount
};
enum ValueId {
    kClientLevelId, kBuildLevelId, kDirectoryId, kInstallDateId, kLastUsedSourceId, kNetSourceId,
    kReadValueCount, kUninstallStringId = kReadValueCount, kModifyPathId, kLocalPackageId,
    kValueCount
};

struct RegistrationKey {
    RegistryRoot root;
    const char* const* path;  // both forms
    const char* name;         // the record's short name for it
    int held;  // kept open after the read, so its repairs land in the key read
};
struct RegistrationValue {
    KeyId key;
    const char* name;
};
extern const RegistrationKey kRegistrationKeys[kKeyCount];
extern const RegistrationValue kRegistrationValues[kValueCount];
