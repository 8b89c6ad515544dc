// The rules read off the product's registration: whether it is installed,
// whether an installation registered itself, and which dialog refuses it.
#pragma once
#include "detect/registration.h"

int IsInstalled(const Registration* registration);
int IsRegistered(const Registration* registration);
int FindInstalledVersion(const TextValue* clientLevel, double* version);
int ChooseDialogId(const TextValue* clientLevel, int language);

const int kDefaultLanguage = 1033;
// The languages with a dialog, each the resource identifier of its long form.
const int kDialogLanguageCount = 12;
extern const int kDialogLanguages[kDialogLanguageCount];
int IsDialogLanguage(int language);
