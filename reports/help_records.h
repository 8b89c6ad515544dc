// The fixed help text and the bytes of the help file made from it.
#pragma once
#include <stddef.h>

extern const wchar_t kHelpFileName[];

const int kHelpRecordCount = 140;
const size_t kHelpRecordSize = 260;
const size_t kHelpLineSize = kHelpRecordSize + 2;  // CR LF after each record
const size_t kHelpFileSize = kHelpRecordCount * kHelpLineSize;

size_t ComposeHelpFile(char* dst, size_t cap);
