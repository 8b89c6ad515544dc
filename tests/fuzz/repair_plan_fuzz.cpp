// The repairs planned from the registration read after the inner installer.
// Directory comes from the product key, which only an administrator may
// write; LastUsedSource and the network source "1" from the per-user source
// list, which a standard user may write while the launcher runs elevated.
//   byte 0: bit 0 the product key opens, bit 1 the main uninstall key opens,
//           bit 2 ClientLevel is there (its text does not matter here),
//           bits 3-4 the uninstall key by name and the alternate one open,
//           bit 5 every key that opens is held open by the read
//   then Directory and LastUsedSource as TakeValue reads them, and the
//   network source as TakeLastValue reads it: each of any type, up to 300
//   stored bytes (more than 260 fail the read), with or without a NUL
// Properties: the installation counts as registered, and anything is
// written, only when the product key and the main uninstall key open and
// ClientLevel was read. Then the writes are, in this order and each only
// when its whole text fits in 259 characters: Build Level, the build date
// as REG_SZ; LastUsedSource and the network source, each the source's text
// up to the character in front of its first colon followed by the directory
// text, only when the colon is not the first character; UninstallString,
// msiexec /x "<directory>Omrik Vindara.msi"; ModifyPath, the directory;
// LocalPackage, <directory>Omrik VindaraXXX.msi. All but Build Level need a
// Directory that was read as text, is not empty, ends within the 260
// characters read and holds no double quote, and take its type. Each write
// goes through the key its value's key is held as, or none, and its length
// is that of its text, which ends in a NUL within 260 characters.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "setup_version.h"
#include "detect/registry_paths.h"
#include "fuzz_support.h"
#include "repair/repair_plan.h"

namespace {

struct ExpectedWrite {
    ValueId value;
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

void CheckWrite(const Registration* r, const RegistryWrite& write, const ExpectedWrite& expected) {
    FUZZ_CHECK(write.value == expected.value);
    FUZZ_CHECK(write.openKey == r->held[kRegistrationValues[write.value].key]);
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
    r->opened[kSourceListKeyId] = r->opened[kNetSourceKeyId] = 1;
    char heldKeys[kKeyCount];
    for (int key = 0; key < kKeyCount; key++)
        r->held[key] = (keys & 32) && r->opened[key] ? &heldKeys[key] : nullptr;
    r->values[kClientLevelId] = Received(productKeyOpened && clientLevel, kRegSz, std::string("VNR 4.50", 9));
    r->values[kDirectoryId] = TakeValue(reader, productKeyOpened, &directoryBytes);
    r->values[kLastUsedSourceId] = TakeValue(reader, true, &lastUsedBytes);
    r->values[kNetSourceId] = TakeLastValue(reader, true, &netBytes);

    // The writes worked out here from the stored bytes, in their order.
    std::vector<ExpectedWrite> expected;
    const bool registered = productKeyOpened && mainKey && clientLevel;
    if (registered) {
        expected.push_back({kBuildLevelId, kRegSz, SETUP_BUILD_DATE});
        const TextValue& d = r->values[kDirectoryId];
        const bool text = d.type == kRegSz || d.type == kRegExpandSz;
        const bool ends = HasNul(directoryBytes.data(), directoryBytes.size()) ||
                          directoryBytes.size() < kTextBufSize;
        const std::string directory = TextOf(directoryBytes.data(), directoryBytes.size());
        const bool quoted = directory.find('"') != std::string::npos;
        if (d.read && text && ends && !directory.empty() && !quoted) {
            std::string value;
            if (ReplaceSource(r->values[kLastUsedSourceId], lastUsedBytes, directory, &value))
                expected.push_back({kLastUsedSourceId, d.type, value});
            if (ReplaceSource(r->values[kNetSourceId], netBytes, directory, &value))
                expected.push_back({kNetSourceId, d.type, value});
            expected.push_back({kUninstallStringId, d.type,
                                "msiexec /x \"" + directory + "Omrik Vindara.msi\""});
            expected.push_back({kModifyPathId, d.type, directory});
            expected.push_back({kLocalPackageId, d.type, directory + "Omrik VindaraXXX.msi"});
        }
        // A value that would not fit whole is not written at all.
        std::vector<ExpectedWrite> fitting;
        for (const ExpectedWrite& write : expected) {
            if (write.text.size() < kTextBufSize)
                fitting.push_back(write);
        }
        expected = fitting;
    }

    HeapBytes planned(sizeof(RepairPlan));
    memset(planned.data, kUntouched, planned.size);
    RepairPlan* plan = reinterpret_cast<RepairPlan*>(planned.data);
    PlanRepairs(r, plan);
    FUZZ_CHECK(plan->registered == registered);
    FUZZ_CHECK(plan->count >= 0 && plan->count <= kRepairCount);
    if (static_cast<size_t>(plan->count) != expected.size()) {
        fprintf(stderr, "planned %d writes, expected %zu:\n", plan->count, expected.size());
        for (const ExpectedWrite& write : expected)
            fprintf(stderr, "  %s \"%s\"\n", NameOf(write.value), write.text.c_str());
    }
    FUZZ_CHECK(static_cast<size_t>(plan->count) == expected.size());
    for (int i = 0; i < plan->count; i++)
        CheckWrite(r, plan->writes[i], expected[static_cast<size_t>(i)]);
    return 0;
}
