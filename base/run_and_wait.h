// Starting a child program and waiting for it to end, and where the
// programs the launcher starts are found.
#pragma once
#include <stddef.h>

int RunAndWait(const wchar_t* application, wchar_t* commandLine, unsigned long* exitCode);
int PathInModuleFolder(const wchar_t* name, wchar_t* path, size_t cap);
int PathInSystemFolder(const wchar_t* name, wchar_t* path, size_t cap);
