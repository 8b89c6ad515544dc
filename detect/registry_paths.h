// Where the product's state lives in the registry: every key and value the
// launcher reads or repairs, in one table that the read, the record, the
// repairs, the tests and the tools all walk. Each path names its key in two
// forms: with a trailing backslash, tried first, and plain, the fallback;
// only the first is stored, so the two cannot drift apart, and the keys
// under one parent share its path. The repairs and the build-level report
// use the product key and the main uninstall key; the other two uninstall
// keys only count as signs of an installation.
#pragma once
#include <stddef.h>

#define PRODUCT_CODE "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}"
// The product code as Windows Installer files it per user: the first three
// groups reversed, each byte of the last two with its hex digits swapped.
#define PACKED_PRODUCT_CODE "17E2B8D5A49C60F43B2AE8160F7D2C94"
inline constexpr char kProductCode[] = PRODUCT_CODE;
inline constexpr char kPackedProductCode[] = PACKED_PRODUCT_CODE;

enum KeyForm { kTrailingForm, kPlainForm, kFormCount };
enum RegistryRoot : unsigned char { kLocalMachine, kCurrentUser };

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
    const char* stem;  // its path's start, shared by the keys under one parent
    const char* rest;  // the rest of the trailing form, from a backslash to one
    const char* name;  // the record's short name for it
    RegistryRoot root;
    bool held;  // kept open after the read, so its repairs land in the key read
};
struct RegistrationValue {
    KeyId key;
    const char* name;
};
extern const RegistrationKey kRegistrationKeys[kKeyCount];
extern const RegistrationValue kRegistrationValues[kValueCount];

// The key's path in the given form, the plain one without the trailing
// backslash, widened for the registry's wide calls; returns its length, or
// 0 where it does not fit.
size_t KeyPath(const RegistrationKey* key, KeyForm form, wchar_t* path, size_t cap);
