// Where the product's state lives in the registry.
#pragma once

// Every key path in its two forms, indexed by KeyForm in the order they
// are tried (see registry_paths.cpp).
enum KeyForm { kTrailingForm = 0, kPlainForm = 1 };
const int kFormCount = 2;

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
