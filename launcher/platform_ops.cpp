// The dispatcher's primitives bound to the Win32 glue; tests bind recording
// stand-ins to the same table instead. Every slot is bound by its name.
#include "launcher/platform_ops.h"

#include <windows.h>

#include "base/dialog.h"
#include "base/run_and_wait.h"
#include "base/text.h"
#include "detect/read_registration.h"
#include "launcher/command_line.h"
#include "repair/write_value.h"
#include "reports/reports.h"

// A service's or SYSTEM's process in session 0 runs in a window station
// nobody sees. When the question cannot be answered, the station is taken
// as visible, as it was before the question was asked.
static int WindowStationVisible() {
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                   &needed))
        return 1;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

// Only the _Setup.exe in the launcher's own folder is started, never one
// that the program search would find elsewhere, and the folder's path is
// taken as the system holds it: through the code page, a folder named
// with a character it lacks could turn into a look-alike folder beside it.
// A folder whose path does not fit is a failed start.
static int RunInnerInstaller(wchar_t* commandLine, unsigned long* exitCode,
                             unsigned long* milliseconds) {
    wchar_t application[MAX_PATH];
    DWORD start = GetTickCount();
    int ended = 0;
    *exitCode = ERROR_FILENAME_EXCED_RANGE;
    if (PathInModuleFolder(kInnerInstallerName, application, MAX_PATH))
        ended = RunAndWait(application, commandLine, exitCode);
    *milliseconds = GetTickCount() - start;  // the tick count's wrap cancels out
    return ended;
}

// Elevated: the process's token is the full one of an administrator.
static int IsElevated() {
    HANDLE token;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -1;
    BOOL known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known ? elevation.TokenIsElevated != 0 : -1;
}

// The record is asked for by the environment, which wins, or by a machine
// policy: a variable set in a shell that is not elevated may not reach a
// launcher that the elevation prompt starts. The policy is read from the
// machine's native view, where policy tools write it, and an expandable
// path is expanded. A path that does not fit asks for no record.
static void ReadRecordPath(wchar_t* path) {
    DWORD length = GetEnvironmentVariableW(L"OMRIK_SETUP_LOG", path, kTextBufSize);
    if (length) {
        path[length < kTextBufSize ? length : 0] = L'\0';  // set, but too long: no record
        return;
    }
    wchar_t value[kTextBufSize] = L"";
    DWORD type = REG_NONE, size = sizeof value - sizeof(wchar_t);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Omrik\\Vindara\\Setup", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    LONG status = RegQueryValueExW(key, L"LogFile", NULL, &type, (BYTE*)value, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return;
    if (type == REG_SZ)
        (void)CopyText(path, kTextBufSize, value);
    else if (type == REG_EXPAND_SZ) {
        DWORD expanded = ExpandEnvironmentStringsW(value, path, kTextBufSize);
        if (expanded == 0 || expanded > kTextBufSize)
            path[0] = L'\0';
    }
}

static void ReadSettings(RunSettings* settings) {
    wchar_t whatIf[4];
    settings->whatIf = GetEnvironmentVariableW(L"OMRIK_SETUP_WHATIF", whatIf, 4) == 1 &&
                       whatIf[0] == L'1';
    settings->elevated = IsElevated();
    SYSTEMTIME now;
    GetSystemTime(&now);
    settings->time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    settings->recordPath[0] = L'\0';
    ReadRecordPath(settings->recordPath);
}

const LauncherOps kPlatformOps = {
    .windowStationVisible = WindowStationVisible,
    .readSettings = ReadSettings,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteNewFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .runInnerInstaller = RunInnerInstaller,
    .writeValue = WriteValue,
};
