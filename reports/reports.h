// The reports' platform side: message boxes, files, Notepad, measurements.
#pragma once
#include <stddef.h>

#include "reports/log_text.h"

void ShowReport(const wchar_t* text);
void* WriteNewFile(const wchar_t* path, const char* bytes, size_t length);
void ShowInNotepad(const wchar_t* path);
void CloseFile(void* file);
int IsLink(void* handle, int folder);
void MeasureResources(ResourceFigures* figures);
