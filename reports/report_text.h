// Texts of the version and build-level message boxes.
#pragma once
#include <stddef.h>

#include "base/text.h"
#include "detect/registration.h"

extern const char kReportCaption[];

const int kReportRowCount = 4;
// Each row: its label, a blank, a value of at most kTextBufSize - 1
// characters and a line feed; the labels are checked to fit. In characters.
const size_t kRowLabelLength = 15;
const size_t kBuildLevelTextSize = kReportRowCount * (kRowLabelLength + kTextBufSize + 1) + 1;

// The texts a report's box can show.
enum ReportText { kNoReport, kVersionReport, kBuildLevelReport, kNotInstalledReport };

int ComposeVersionText(wchar_t* dst, size_t cap);
int ComposeReportText(ReportText report, wchar_t* dst, size_t cap,
                      const Registration* registration);
