// Where the product's state lives in the registry. Every key path is kept in
// two forms side by side, indexed by KeyForm.
#pragma once

enum KeyForm { kPlainForm = 0, kTrailingForm = 1 };

struct KeyPair {
    const char* uninstallKey;
    const char* productKey;
};

extern const char kProductCode[];
extern const char kPackedProductCode[];

// Under HKEY_LOCAL_MACHINE.
extern const char* const kProductKey[2];
extern const char* const kUninstallKeyByName[2];
extern const char* const kAlternateUninstallKey[2];
extern const char* const kMainUninstallKey[2];
// Under HKEY_CURRENT_USER.
extern const char* const kSourceListKey[2];
extern const char* const kNetSourceKey[2];

// The six pairs in probing order; the main pair is the third and the sixth.
const int kKeyPairCount = 6;
extern const KeyPair kKeyPairs[kKeyPairCount];
const KeyPair& MainKeyPair(KeyForm form);

extern const char kClientLevelValue[];
extern const char kBuildLevelValue[];
extern const char kDirectoryValue[];
extern const char kInstallDateValue[];
extern const char kUninstallStringValue[];
extern const char kModifyPathValue[];
extern const char kLocalPackageValue[];
extern const char kLastUsedSourceValue[];
extern const char kNetSourceValue[];
