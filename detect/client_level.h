// Reading the installed version out of ClientLevel and choosing the dialog.
#pragma once
#include <stddef.h>

int FindInstalledVersion(const char* value, size_t size, double* version);
int ChooseDialogId(const char* value, size_t size, int language);
