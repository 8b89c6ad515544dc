// The repairs planned from the registration read after the inner installer.
// Directory comes from the product key, which only an administrator may
// write; LastUsedSource and the network source "1" from the per-user source
// list, which a standard user may write while the launcher runs elevated.
//   byte 0: bit 0 the product key opens, bit 1 the main uninstall key opens,
//           bit 2 ClientLevel is there (its text does not matter here),
//           bits 3-4 the uninstall key by name and the alternate one open
//   then Directory and LastUsedSource as TakeValue reads them, and the
//   network source as TakeLastValue reads it: each of any type, up to 300
//   stored bytes (more than 260 fail the read), with or without a NUL
// Properties: nothing is written unless the product key and the main
// uninstall key open and ClientLevel was read. Then the writes are, in this
// order and each only when its whole text fits in 259 characters: Build
// Level, the build date as REG_SZ; LastUsedSource and the network source,
// each the source's text up to the character in front of its first colon
// followed by the directory text, only when the colon is not the first
// character; UninstallString, msiexec /x "<directory>Omrik Vindara.msi";
// ModifyPath, the directory; LocalPackage, <directory>Omrik VindaraXXX.msi.
// All but Build Level need a Directory that was read as text, is not empty,
// ends within the 260 characters read and holds no double quote, and take
// its type. Each write names
// its root, both forms of its key (trailing backslash first) and its value,
// and its length is that of its text, which ends in a NUL within 260 bytes.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "base/build_date.h"
#include "detect/registry_paths.h"
#include "fuzz_support.h"
#include "repair/repair_plan.h"

namespace {

// Keys by their plain form (their texts are checked in the native tests).
const std::string kProduct = kProductKey[kPlainForm];
const std::string kMain = kMainUninstallKey[kPlainForm];
const std::string kSourceList = kSourceListKey[kPlainForm];

struct ExpectedWrite {
    RegistryRoot root;
    std::string key;  // plain form
    std::string name;
    unsigned long type;
    std::string text;
};

// A source value cut in front of the drive letter before its first colon,
// with the directory behind it; nothing when there is no such letter.
bool ReplaceSource(const TextValue& source, const std::string& stored,
                   const std::string& directory, std::string* value) {
    if (!source.read)
        return false;
    const std::string text = TextOf(stored.data(), stored.size());
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    *value = text.substr(0, colon - 1) + directory;
    return true;
}

void CheckWrite(const RegistryWrite& write, const ExpectedWrite& expected) {
    const RegistrationKey& key = KeyOf(write.value);
    FUZZ_CHECK(key.root == expected.root);
    FUZZ_CHECK(key.path != nullptr && key.path[0] != nullptr && key.path[1] != nullptr);
    FUZZ_CHECK(expected.key + "\\" == key.path[0]);
    FUZZ_CHECK(expected.key == key.path[1]);
    FUZZ_CHECK(expected.name == NameOf(write.value));
    FUZZ_CHECK(write.type == expected.type);
    FUZZ_CHECK(wcsnlen(write.text, kTextBufSize) < kTextBufSize);
    FUZZ_CHECK(write.length == wcslen(write.text));
    // Every character of the stored bytes is one of the text.
    const std::string written = Narrowed(write.text, write.length);
    FUZZ_CHECK(Widened(written) == std::wstring(write.text, write.length));
    if (expected.text != written)
        fprintf(stderr, "wrote \"%s\"\nexpected \"%s\"\n", written.c_str(), expected.text.c_str());
    FUZZ_CHECK(expected.text == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader{data, size};
    const uint8_t keys = reader.Byte();
    const bool productKeyOpened = keys & 1, mainKey = keys & 2, clientLevel = keys & 4;
    std::string directoryBytes, lastUsedBytes, netBytes;

    HeapRegistration registration;
    Registration* r = registration.get();
    r->opened[kProductKeyId] = productKeyOpened;
    r->opened[kMainUninstallKeyId] = mainKey;
    r->opened[kUninstallKeyByNameId] = (keys & 8) != 0;
    r->opened[kAlternateUninstallKeyId] = (keys & 16) != 0;
    r->values[kClientLevelId] = Received(productKeyOpened && clientLevel, kRegSz, std::string("VNR 4.50", 9));
    r->values[kDirectoryId] = TakeValue(reader, productKeyOpened, &directoryBytes);
    r->values[kLastUsedSourceId] = TakeValue(reader, true, &lastUsedBytes);
    r->values[kNetSourceId] = TakeLastValue(reader, true, &netBytes);

    // The writes worked out here from the stored bytes, in their order.
    std::vector<ExpectedWrite> expected;
    if (productKeyOpened && mainKey && clientLevel) {
        expected.push_back({kLocalMachine, kProduct, "Build Level", kRegSz, kBuildDate});
        const TextValue& d = r->values[kDirectoryId];
        const bool text = d.type == kRegSz || d.type == kRegExpandSz;
        const bool ends = HasNul(directoryBytes.data(), directoryBytes.size()) ||
                          directoryBytes.size() < kTextBufSize;
        const std::string directory = TextOf(directoryBytes.data(), directoryBytes.size());
        const bool quoted = directory.find('"') != std::string::npos;
        if (d.read && text && ends && !directory.empty() && !quoted) {
            std::string value;
            if (ReplaceSource(r->values[kLastUsedSourceId], lastUsedBytes, directory, &value))
                expected.push_back({kCurrentUser, kSourceList, "LastUsedSource", d.type, value});
            if (ReplaceSource(r->values[kNetSourceId], netBytes, directory, &value))
                expected.push_back({kCurrentUser, kSourceList + "\\Net", "1", d.type, value});
            expected.push_back({kLocalMachine, kMain, "UninstallString", d.type,
                                "msiexec /x \"" + directory + "Omrik Vindara.msi\""});
            expected.push_back({kLocalMachine, kMain, "ModifyPath", d.type, directory});
            expected.push_back({kLocalMachine, kMain, "LocalPackage", d.type,
                                directory + "Omrik VindaraXXX.msi"});
        }
        // A value that would not fit whole is not written at all.
        std::vector<ExpectedWrite> fitting;
        for (const ExpectedWrite& write : expected) {
            if (write.text.size() < kTextBufSize)
                fitting.push_back(write);
        }
        expected = fitting;
    }

    HeapBytes planned(sizeof(RegistryWrite) * kRepairCount);
    memset(planned.data, kUntouched, planned.size);
    RegistryWrite* writes = reinterpret_cast<RegistryWrite*>(planned.data);
    const int count = PlanRepairs(r, writes);
    FUZZ_CHECK(count >= 0 && count <= kRepairCount);
    if (static_cast<size_t>(count) != expected.size()) {
        fprintf(stderr, "planned %d writes, expected %zu:\n", count, expected.size());
        for (const ExpectedWrite& write : expected)
            fprintf(stderr, "  %s \"%s\"\n", write.name.c_str(), write.text.c_str());
    }
    FUZZ_CHECK(static_cast<size_t>(count) == expected.size());
    for (int i = 0; i < count; i++)
        CheckWrite(writes[i], expected[static_cast<size_t>(i)]);
    return 0;
}
