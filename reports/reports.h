// The reports' platform side: message boxes, files, Notepad, measurements.
#pragma once
#include <stddef.h>

#include "reports/log_text.h"

void ShowReport(const wchar_t* text);
int WriteNewFile(const char* path, const char* bytes, size_t length, int show);
void MeasureResources(ResourceFigures* figures);
