// The reports' platform side: message boxes, files, Notepad, measurements.
#pragma once
#include <stddef.h>

#include "reports/log_text.h"

void ShowReport(const char* text);
int WriteNewFile(const char* path, const char* bytes, size_t length);
void OpenInNotepad(const char* fileName);
void MeasureResources(ResourceFigures* figures);
