// The dispatcher's primitives bound to the Win32 glue; tests bind recording
// stand-ins to the same table instead. Every slot is bound by its name.
#include "launcher/dispatch.h"

#include <windows.h>

#include "base/run_and_wait.h"
#include "base/text.h"
#include "detect/read_registration.h"
#include "launcher/command_line.h"
#include "launcher/main_window.h"
#include "reports/reports.h"

// A service's or SYSTEM's process in session 0 runs in a window station
// nobody sees. Unknown is taken as visible, as before it was asked.
static int WindowStationVisible() {
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    return !GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags,
                                      &needed) ||
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

// Always hidden, whatever show command the launcher was started with. No
// display under Wine, or an exhausted desktop heap, means no window; a
// failure the system gives no code for ends the run with one all the same.
static unsigned long CreateHiddenWindow() {
    (void)RegisterMainWindowClass(gModuleInstance);  // a failure shows as a failed creation
    if (CreateMainWindow(gModuleInstance, SW_HIDE))
        return 0;
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

static void ReadClock(RecordTime* time) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    *time = {{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
              now.wMilliseconds},
             GetTickCount()};
}

// The process's token is the full one of an administrator.
static int IsElevated() {
    HANDLE token;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    BOOL known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known && elevation.TokenIsElevated;
}

// A variable too long to read is set to something, so it is on.
static int EnvironmentSwitchedOn(const wchar_t* name) {
    wchar_t value[kTextBufSize];
    DWORD length = GetEnvironmentVariableW(name, value, kTextBufSize);
    return length >= kTextBufSize || (length && IsSwitchedOn(value));
}

// A text the system gave of the given length, or none when it did not fit.
static void KeepIfWhole(wchar_t* text, DWORD length) {
    if (length >= kTextBufSize)
        text[0] = L'\0';
}

// The machine's policies, from its native view where policy tools write
// them, for a launcher that the elevation prompt starts without the
// variables of the shell. A record path that does not fit asks for none.
static void ReadPolicy(RunSettings* s, int recordFromEnvironment) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Policies\\Omrik\\Vindara\\Setup", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    DWORD type, unattended = 0, size = sizeof unattended;
    if (RegQueryValueExW(key, L"Unattended", NULL, &type, (BYTE*)&unattended, &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && unattended && !s->unattended)
        s->unattended = "policy";
    wchar_t value[kTextBufSize] = L"";
    size = sizeof value - sizeof(wchar_t);
    if (!recordFromEnvironment &&
        RegQueryValueExW(key, L"LogFile", NULL, &type, (BYTE*)value, &size) == ERROR_SUCCESS) {
        if (type == REG_EXPAND_SZ)
            KeepIfWhole(s->recordPath,
                        ExpandEnvironmentStringsW(value, s->recordPath, kTextBufSize) - 1);
        else if (type == REG_SZ)
            (void)CopyText(s->recordPath, kTextBufSize, value);
    }
    RegCloseKey(key);
}

// The record, named by an administrator, often in a folder others may write
// to, for an elevated launcher: never written through a link, at its name
// or at a folder on the way. Each folder behind "C:\" or "\\server\share\"
// is opened as itself and held without sharing its removal until the file
// is open. The file: appending only, shared for reading and writing, not
// inherited; when held by a program that shares it with nobody, tried again
// every 100 ms for 2 s (there is no window yet to answer meanwhile).
static void* OpenRecord(const wchar_t* path) {
    HANDLE held[kTextBufSize];
    int count = 0, safe = 1;
    for (size_t at = 0, seen = 0; path[at] && safe; at++) {
        if (path[at] != L'\\' || ++seen <= (path[0] == L'\\' ? 4u : 1u))
            continue;
        wchar_t folder[kTextBufSize] = L"";
        held[count] = AppendBytes(folder, kTextBufSize, path, at)
                          ? CreateFileW(folder, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        NULL)
                          : INVALID_HANDLE_VALUE;
        safe = held[count] != INVALID_HANDLE_VALUE && !IsLink(held[count++], 1);
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; safe && attempt <= 20; attempt++) {
        file = CreateFileW(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(100);
    }
    while (count > 0)
        CloseHandle(held[--count]);
    if (file != INVALID_HANDLE_VALUE && !IsLink(file, 0))
        return file;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return nullptr;
}

// One line, one write call: appending only, the system puts each write
// behind whatever the file holds then, so overlapping runs' lines stay whole.
static int WriteRecord(void* record, const char* bytes, size_t length) {
    DWORD written = 0;
    return WriteFile((HANDLE)record, bytes, (DWORD)length, &written, NULL) && written == length;
}

typedef LONG(WINAPI* GetVersionFunction)(OSVERSIONINFOW*);

// Who and where the run is; the version Windows has (GetVersionEx tells
// only the versions the manifest names). Only the _Setup.exe in the
// launcher's own folder is started, its path as the system holds it: in a
// code page a folder's name could turn into a look-alike folder's.
static void ReadSettings(RunSettings* s) {
    *s = {};
    s->whatIf = EnvironmentSwitchedOn(L"OMRIK_SETUP_WHATIF");
    s->visible = WindowStationVisible();
    s->unattended = EnvironmentSwitchedOn(L"OMRIK_SETUP_UNATTENDED") ? "environment" : nullptr;
    s->elevated = IsElevated();
    s->processId = GetCurrentProcessId();
    (void)ProcessIdToSessionId(s->processId, &s->session);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionFunction getVersion = (GetVersionFunction)(void (*)())GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    if (getVersion && getVersion(&version) == 0)
        s->windows = {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber};
    DWORD length = GetEnvironmentVariableW(L"OMRIK_SETUP_LOG", s->recordPath, kTextBufSize);
    KeepIfWhole(s->recordPath, length);  // set, but too long: no record
    ReadPolicy(s, length != 0);
    wchar_t(*texts)[kTextBufSize] = s->texts;
    KeepIfWhole(texts[kLauncherFile], GetModuleFileNameW(NULL, texts[kLauncherFile], kTextBufSize));
    KeepIfWhole(texts[kCurrentDirectory],
                GetCurrentDirectoryW(kTextBufSize, texts[kCurrentDirectory]));
    DWORD computer = kTextBufSize, user = kTextBufSize;
    if (!GetComputerNameW(texts[kComputerName], &computer))
        texts[kComputerName][0] = L'\0';
    if (!GetUserNameW(texts[kUserName], &user))
        texts[kUserName][0] = L'\0';
    // Opened for nothing but to see that it can be: it is there and a file.
    HANDLE inner = INVALID_HANDLE_VALUE;
    if (!PathInModuleFolder(kInnerInstallerName, s->innerInstaller, kTextBufSize))
        s->innerInstallerError = kErrorFilenameExcedRange;
    else if ((inner = CreateFileW(s->innerInstaller, 0, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                  FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL)) ==
             INVALID_HANDLE_VALUE)
        s->innerInstallerError = GetLastError();
    else
        CloseHandle(inner);
}

const LauncherOps kPlatformOps = {
    .readSettings = ReadSettings,
    .createWindow = CreateHiddenWindow,
    .readClock = ReadClock,
    .openRecord = OpenRecord,
    .writeRecord = WriteRecord,
    .readRegistration = ReadRegistration,
    .measureResources = MeasureResources,
    .writeFile = WriteNewFile,
    .showFile = ShowInNotepad,
    .closeFile = CloseFile,
    .showReport = ShowReport,
    .showDialog = ShowDialog,
    .startProgram = StartProgram,
    .waitProgram = WaitProgram,
    .writeValue = WriteValue,
};
