// The fixed help text and the bytes of the help file made from it.
#pragma once
#include <stddef.h>

const int kHelpRecordCount = 140;
const size_t kHelpRecordSize = 260;
const size_t kHelpLineSize = kHelpRecordSize + 2;  // CR LF after each record

extern const char* const kHelpRecords[kHelpRecordCount];

void ComposeHelpLine(int index, char line[kHelpLineSize]);
