// The information reports chosen by switches.
#pragma once

void ShowVersionDate();
int ShowBuildLevel(const char* uninstallKey, const char* productKey);
void ShowNotInstalled();
void WriteHelpFile(int show);
int WriteResourceLog(const char* path);
