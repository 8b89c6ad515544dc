// Where the product's state lives in the registry: every key and value the
// launcher reads or repairs, in one table that the read, the record and the
// repairs all walk.
#pragma once

// Every key path in its two forms, indexed by KeyForm in the order they
// are tried (see registry_paths.cpp).
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

extern const char kClientLevelValue[];
extern const char kBuildLevelValue[];
extern const char kDirectoryValue[];
extern const char kInstallDateValue[];
extern const char kUninstallStringValue[];
extern const char kModifyPathValue[];
extern const char kLocalPackageValue[];
extern const char kLastUsedSourceValue[];
extern const char kNetSourceValue[];

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
