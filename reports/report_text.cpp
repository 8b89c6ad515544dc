// The "/vd" and "/bl" report texts. The build-level text is held in a
// buffer sized for four values of full length, so no value is ever cut.
#include "reports/report_text.h"

#include "setup_version.h"

const char kReportCaption[] = "VNR Build Information";
static const char kNotInstalledText[] = "Omrik Vindara is not installed";
static const char kUnknownValue[] = "unknown";
static const char kVersionText[] = "VNR Build " SETUP_VERSION;

// The rows in display order: a label ending in a TAB, and the value shown.
constexpr struct {
    const char* label;
    ValueId value;
} kRows[kReportRowCount] = {
    {"Build date :\t", kBuildLevelId},
    {"Client Level :\t", kClientLevelId},
    {"InstallDir :\t", kDirectoryId},
    {"InstallDate :\t", kInstallDateId},
};

constexpr bool LabelsFit() {
    for (const auto& row : kRows) {
        if (TextLength(row.label) > kRowLabelLength)
            return false;
    }
    return true;
}
static_assert(LabelsFit(), "every row label fits its room in the report text");

int ComposeVersionText(wchar_t* dst, size_t cap) {
    int fits = CopyText(dst, cap, kVersionText);
    fits &= AppendText(dst, cap, ", ");
    return fits & AppendText(dst, cap, SETUP_BUILD_DATE);
}

// A value that filled its buffer without a NUL has no known end: it shows
// as its first kTextBufSize - 1 characters, as the report always showed it.
static size_t ShownLength(const TextValue* value) {
    return value->filled ? kTextBufSize - 1 : value->length;
}

// Four lines of label, blank and value and a line feed; a value shows up to
// its first NUL, whatever its type, or "unknown" when it was not read.
static int ComposeBuildLevelText(wchar_t* dst, size_t cap, const Registration* r) {
    int fits = CopyText(dst, cap, "");
    for (const auto& row : kRows) {
        const TextValue* value = &r->values[row.value];
        fits &= AppendText(dst, cap, row.label);
        fits &= AppendText(dst, cap, " ");
        fits &= value->read ? AppendBytes(dst, cap, value->text, ShownLength(value))
                            : AppendText(dst, cap, kUnknownValue);
        fits &= AppendText(dst, cap, "\n");
    }
    return fits;
}

int ComposeReportText(ReportText report, wchar_t* dst, size_t cap, const Registration* r) {
    return report == kVersionReport      ? ComposeVersionText(dst, cap)
           : report == kBuildLevelReport ? ComposeBuildLevelText(dst, cap, r)
                                         : CopyText(dst, cap, report ? kNotInstalledText : "");
}
