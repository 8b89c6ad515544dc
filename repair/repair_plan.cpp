// The repairs after an installation, decided from the registration alone:
// the uninstall entry and the per-user source list point at the
// installation directory, so a later removal or repair finds the package
// copy there, and the product key gets the launcher's build date. The
// uninstall values are built from Directory and fixed texts; the source
// values keep what stands before their drive letter. A value that would not
// fit is not written: a cut path is worse than the installation's value.
#include "repair/repair_plan.h"

#include "detect/installed.h"
#include "detect/registry_paths.h"
#include "setup_version.h"

// In the order they run.
static constexpr ValueId kRepairs[] = {
    kBuildLevelId,      kLastUsedSourceId, kNetSourceId,
    kUninstallStringId, kModifyPathId,     kLocalPackageId,
};

// A value only written is planned once, like every value that is repaired;
// ClientLevel, Directory and InstallDate are only read.
static constexpr bool EachWrittenValueRepairedOnce() {
    for (int value = 0; value < kValueCount; value++) {
        int planned = 0;
        for (ValueId repair : kRepairs)
            planned += repair == value;
        const bool readOnly =
            value == kClientLevelId || value == kDirectoryId || value == kInstallDateId;
        if (planned > 1 || (value >= kReadValueCount && planned != 1) || (readOnly && planned))
            return false;
    }
    return true;
}
static_assert(sizeof kRepairs == kRepairCount * sizeof(ValueId) && EachWrittenValueRepairedOnce(),
              "kRepairCount repairs, every value only written among them once, none only read");

// The build date is plain text. The values built from Directory keep its
// type: a REG_EXPAND_SZ Directory stays expandable in what is made of it.
static unsigned long RepairType(ValueId value, const Registration* r) {
    return value == kBuildLevelId ? kRegSz : r->values[kDirectoryId].type;
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
// nothing is inserted before a file name. The values made of it and fixed
// texts, from UninstallString on, each as the text before it and the text
// after it: msiexec /x "<directory>Omrik Vindara.msi", <directory>, and
// <directory>Omrik VindaraXXX.msi.
static int ComposeRepair(ValueId value, const Registration* r, wchar_t* dst, size_t cap) {
    static const char kAround[] = "msiexec /x \"\0Omrik Vindara.msi\"\0\0\0\0Omrik VindaraXXX.msi";
    if (value == kBuildLevelId)  // the launcher's build date
        return CopyText(dst, cap, SETUP_BUILD_DATE);
    if (!IsUsableDirectory(&r->values[kDirectoryId]))
        return 0;
    const wchar_t* directory = r->values[kDirectoryId].text;
    if (value == kLastUsedSourceId || value == kNetSourceId)  // its source path replaced
        return ComposeSourceValue(dst, cap, &r->values[value], directory);
    const int around = 2 * (value - kUninstallStringId);
    return CopyText(dst, cap, NthText(kAround, around)) && AppendText(dst, cap, directory) &&
           AppendText(dst, cap, NthText(kAround, around + 1));
}

void PlanRepairs(const Registration* r, RepairPlan* plan) {
    plan->registered = IsRegistered(r);
    plan->count = 0;
    for (int i = 0; i < kRepairCount && plan->registered; i++) {
        const ValueId value = kRepairs[i];
        RegistryWrite* write = &plan->writes[plan->count];
        if (!ComposeRepair(value, r, write->text, kTextBufSize))
            continue;
        write->value = value;
        write->openKey = r->held[kRegistrationValues[value].key];
        write->type = RepairType(value, r);
        write->length = BoundedLength(write->text, kTextBufSize);
        plan->count++;
    }
}
