// Choosing the language of the already-installed dialog.
#pragma once

const int kDefaultLanguage = 1033;

int SelectLanguage(const wchar_t* args);
int IsDialogLanguage(int language);
