// The reports' platform side: message boxes, files, Notepad, measurements.
#pragma once
#include <stddef.h>

#include "reports/log_text.h"

void ShowReport(const wchar_t* text);
void* WriteNewFile(const wchar_t* path, const char* bytes, size_t length);
void ShowInNotepad(const wchar_t* path, void* token);
void CloseFile(void* file);
int IsLink(void* handle, int folder);

// A name surrogate (symbolic link, junction, mount point) or a second name
// leads elsewhere; another reparse point (a cloud or deduplicated file) is
// the file itself.
inline int LeadsElsewhere(unsigned long attributes, unsigned long reparseTag, unsigned long links) {
    return ((attributes & 0x400) && (reparseTag & 0x20000000)) || links != 1;
}
void MeasureResources(ResourceFigures* figures);
