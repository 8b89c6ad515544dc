// Scanning the launcher's argument text and composing the inner command.
#pragma once
#include <stddef.h>

inline constexpr wchar_t kSwitchLogResources[] = L"/LOGRESOURCES";
inline constexpr wchar_t kSwitchHelp[] = L"/?";
inline constexpr wchar_t kSwitchVersionDate[] = L"/vd";
inline constexpr wchar_t kSwitchBuildLevel[] = L"/bl";
inline constexpr wchar_t kSwitchUninstall[] = L"/x";
inline constexpr wchar_t kSwitchLanguage[] = L"/l";
extern const wchar_t kInnerInstallerName[];
extern const wchar_t kInnerInstallerPrefix[];

// The longest command line the system starts a program with, NUL included;
// checked here, as systems differ in whether a longer one fails or is cut.
const size_t kLongestCommandLine = 32767;
// Room for the inner command of any argument text the system gives, so a
// command too long to start is still shown whole in the record.
const size_t kInnerCommandRoom = kLongestCommandLine + 16;

const wchar_t* SkipProgramName(const wchar_t* commandLine);
int HasSwitch(const wchar_t* args, const wchar_t* name);
int SelectLanguage(const wchar_t* args);
size_t InnerCommandSize(const wchar_t* args);
int ComposeInnerCommand(wchar_t* dst, size_t cap, const wchar_t* args);
