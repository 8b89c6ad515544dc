// Reading the installed version out of ClientLevel and choosing the dialog.
#pragma once
#include <stddef.h>

const int kShortFormOffset = 4000;

int FindInstalledVersion(const char* value, size_t size, double* version);
int ChooseDialogId(const char* value, size_t size, int language);
