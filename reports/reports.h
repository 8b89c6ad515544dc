// The reports' platform side: message boxes, files, Notepad, measurements.
#pragma once
#include <stddef.h>

#include "reports/log_text.h"

void ShowReport(const wchar_t* text);
enum FileWrite {
    kReplaceFile,     // make the file anew with the bytes
    kReplaceAndShow,  // and show it in Notepad until Notepad is closed
};

int WriteNewFile(const wchar_t* path, const char* bytes, size_t length, FileWrite how);
void MeasureResources(ResourceFigures* figures);
