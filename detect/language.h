// Choosing the language of the already-installed dialog.
#pragma once

extern const char kSwitchLanguage[];
const int kDefaultLanguage = 1033;

int SelectLanguage(const char* args);
int IsDialogLanguage(int language);
