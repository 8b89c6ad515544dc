// Starting a child program and waiting for it to end, and where the
// programs the launcher starts are found.
#pragma once
#include <stddef.h>

int RunAndWait(const char* application, char* commandLine, unsigned long* exitCode);
int PathInModuleFolder(const char* name, char* path, size_t cap);
int PathInSystemFolder(const char* name, char* path, size_t cap);
