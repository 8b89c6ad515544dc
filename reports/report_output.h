// The reports' platform side: message boxes, files, Notepad, measurements.
#pragma once
#include <stddef.h>

#include "reports/resource_log.h"

void ShowReport(const wchar_t* text);
void* WriteNewFile(const wchar_t* path, const char* bytes, size_t length);
void ShowInNotepad(const wchar_t* path, void* token);
void CloseFile(void* file);
void MeasureResources(ResourceFigures* figures);
