// Texts of the version and build-level message boxes.
#pragma once
#include <stddef.h>

extern const char kReportCaption[];
extern const char kNotInstalledText[];

const int kReportRowCount = 4;
// Labels, blanks and line feeds take 63 characters; each value up to 259.
const size_t kBuildLevelTextSize = 63 + kReportRowCount * 259 + 1;

int ComposeVersionText(char* dst, size_t cap);
void TakeDisplayText(char* dst, size_t cap, int read, const char* data, size_t size);
int ComposeBuildLevelText(char* dst, size_t cap, const char* const values[kReportRowCount]);
