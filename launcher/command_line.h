// Scanning the launcher's argument text and composing the inner command.
#pragma once
#include <stddef.h>

extern const char kSwitchLogResources[];
extern const char kSwitchHelp[];
extern const char kSwitchVersionDate[];
extern const char kSwitchBuildLevel[];
extern const char kSwitchUninstall[];
extern const char kInnerInstallerName[];
extern const char kInnerInstallerPrefix[];

const char* SkipProgramName(const char* commandLine);
int HasSwitch(const char* args, const char* name);
size_t InnerCommandSize(const char* args);
int ComposeInnerCommand(char* dst, size_t cap, const char* args);
