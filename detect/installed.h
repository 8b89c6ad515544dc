// The rules read off the product's registration: whether it is installed,
// whether an installation registered itself, and which dialog refuses it.
#pragma once
#include "detect/registration.h"

int IsInstalled(const Registration* registration);
int IsRegistered(const Registration* registration);
int FindInstalledVersion(const TextValue* clientLevel, double* version);
int ChooseDialogId(const TextValue* clientLevel, int language);

const int kDefaultLanguage = 1033;
int IsDialogLanguage(int language);
