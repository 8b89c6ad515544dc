// The "/vd" and "/bl" report texts. The build-level text is held in a
// buffer sized for four values of full length, so no value is ever cut.
#include "reports/report_text.h"

#include "base/build_date.h"
#include "base/text.h"

const char kReportCaption[] = "VNR Build Information";
const char kNotInstalledText[] = "Omrik Vindara is not installed";
static const char kUnknownValue[] = "unknown";

static const char kVersionText[] = "VNR Build 4.50";

// Labels of the rows in display order: Build Level, ClientLevel, Directory
// and InstallDate.
static const char* const kRowLabels[kReportRowCount] = {
    "Build date :\t",
    "Client Level :\t",
    "InstallDir :\t",
    "InstallDate :\t",
};

int ComposeVersionText(char* dst, size_t cap) {
    return FormatText(dst, cap, "%s, %s", kVersionText, kBuildDate);
}

// What a report row shows: the received bytes up to the first NUL, or
// "unknown" when the value was not read. Data that fills the receive buffer
// without a NUL shows as its first cap - 1 characters.
void TakeDisplayText(char* dst, size_t cap, int read, const char* data, size_t size) {
    if (!read) {
        (void)CopyText(dst, cap, kUnknownValue);  // fits every display text
        return;
    }
    dst[0] = '\0';
    (void)AppendBytes(dst, cap, data, BoundedLength(data, size));  // cut on purpose
}

int ComposeBuildLevelText(char* dst, size_t cap, const char* const values[kReportRowCount]) {
    return FormatText(dst, cap, "%s %s\n%s %s\n%s %s\n%s %s\n", kRowLabels[0], values[0],
                      kRowLabels[1], values[1], kRowLabels[2], values[2], kRowLabels[3],
                      values[3]);
}
