// The "/vd" and "/bl" report texts. The build-level text is held in a
// buffer sized for four values of full length, so no value is ever cut.
#include "reports/report_text.h"

#include "base/build_date.h"

const char kReportCaption[] = "VNR Build Information";
static const char kNotInstalledText[] = "Omrik Vindara is not installed";
static const char kUnknownValue[] = "unknown";
static const char kVersionText[] = "VNR Build 4.50";

// Labels of the rows in display order, each ending in a TAB.
constexpr const char* kRowLabels[kReportRowCount] = {
    "Build date :\t",
    "Client Level :\t",
    "InstallDir :\t",
    "InstallDate :\t",
};

constexpr bool LabelsFit() {
    for (const char* label : kRowLabels) {
        if (TextLength(label) > kRowLabelLength)
            return false;
    }
    return true;
}
static_assert(LabelsFit(), "every row label fits its room in the report text");

int ComposeVersionText(wchar_t* dst, size_t cap) {
    int fits = CopyText(dst, cap, kVersionText);
    fits &= AppendText(dst, cap, ", ");
    return fits & AppendText(dst, cap, kBuildDate);
}

// A value that filled its buffer without a NUL has no known end: it shows
// as its first kTextBufSize - 1 characters, as the report always showed it.
static size_t ShownLength(const TextValue* value) {
    return value->filled ? kTextBufSize - 1 : value->length;
}

// A row shows the value's bytes up to its first NUL, whatever its type, or
// "unknown" when it was not read.
static int AppendRow(wchar_t* dst, size_t cap, const char* label, const TextValue* value) {
    int fits = AppendText(dst, cap, label);
    fits &= AppendText(dst, cap, " ");
    if (!value->read) {
        fits &= AppendText(dst, cap, kUnknownValue);
    } else {
        fits &= AppendBytes(dst, cap, value->text, ShownLength(value));
    }
    return fits & AppendText(dst, cap, "\n");
}

// Four lines of label, blank and value, each ending in a line feed.
static int ComposeBuildLevelText(wchar_t* dst, size_t cap, const Registration* r) {
    const TextValue* const values[kReportRowCount] = {
        &r->values[kBuildLevelId], &r->values[kClientLevelId], &r->values[kDirectoryId],
        &r->values[kInstallDateId],
    };
    int fits = CopyText(dst, cap, L"");
    for (int row = 0; row < kReportRowCount; row++)
        fits &= AppendRow(dst, cap, kRowLabels[row], values[row]);
    return fits;
}

int ComposeReportText(ReportText report, wchar_t* dst, size_t cap, const Registration* r) {
    return report == kVersionReport      ? ComposeVersionText(dst, cap)
           : report == kBuildLevelReport ? ComposeBuildLevelText(dst, cap, r)
                                         : CopyText(dst, cap, report ? kNotInstalledText : "");
}
