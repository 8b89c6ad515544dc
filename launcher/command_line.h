// Scanning the launcher's argument text and composing the inner command.
#pragma once
#include <stddef.h>

inline constexpr char kSwitchLogResources[] = "/LOGRESOURCES";
inline constexpr char kSwitchHelp[] = "/?";
inline constexpr char kSwitchVersionDate[] = "/vd";
inline constexpr char kSwitchBuildLevel[] = "/bl";
inline constexpr char kSwitchUninstall[] = "/x";
inline constexpr char kSwitchLanguage[] = "/l";
extern const char kInnerInstallerName[];
extern const char kInnerInstallerPrefix[];

// The longest command line the system starts a program with, NUL included;
// checked here, as systems differ in whether a longer one fails or is cut.
const size_t kLongestCommandLine = 32767;
// Room for the inner command of any argument text the system gives, so a
// command too long to start is still shown whole in the record.
const size_t kInnerCommandRoom = kLongestCommandLine + 16;

const wchar_t* SkipProgramName(const wchar_t* commandLine);
int HasSwitch(const wchar_t* args, const char* name);
int SelectLanguage(const wchar_t* args);
size_t InnerCommandSize(const wchar_t* args);
int ComposeInnerCommand(wchar_t* dst, size_t cap, const wchar_t* args);
