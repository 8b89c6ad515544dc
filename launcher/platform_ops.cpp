// The dispatcher's primitives bound to the Win32 glue; tests bind recording
// stand-ins to the same table instead. Every slot is bound by its name.
#include "launcher/dispatch.h"

#include <string.h>
#include <windows.h>

#include "base/error_codes.h"
#include "base/links.h"
#include "base/run_and_wait.h"
#include "base/text.h"
#include "detect/read_registration.h"
#include "launcher/command_line.h"
#include "launcher/main_window.h"
#include "launcher/refusal_dialog.h"
#include "launcher/run_record.h"
#include "repair/write_value.h"
#include "reports/report_output.h"

// Always hidden. No display, or an exhausted desktop heap, means no window;
// a failure the system gives no code for ends the run with one all the same.
static unsigned long CreateHiddenWindow() {
    (void)RegisterMainWindowClass(gModuleInstance);  // a failure shows as a failed creation
    if (CreateMainWindow(gModuleInstance, SW_HIDE))
        return 0;
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

// The system's fields as they are, day of the week included.
static void ReadClock(RecordTime* time) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    static_assert(sizeof now == sizeof time->parts, "SYSTEMTIME's eight fields");
    memcpy(time->parts, &now, sizeof now);
    time->tick = GetTickCount();
}

// The token (by the current process's documented pseudo handle): whether
// it is an administrator's full one, its session and its user.
static void ReadToken(RunSettings* s) {
    static union { TOKEN_USER user; BYTE room[sizeof user + SECURITY_MAX_SID_SIZE]; } user;
    TOKEN_ELEVATION elevation = {};
    HANDLE token;
    DWORD size;
    if (!OpenProcessToken((HANDLE)-1, TOKEN_QUERY, &token))
        return;
    s->elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation,
                                      &size) && elevation.TokenIsElevated;
    (void)GetTokenInformation(token, TokenSessionId, &s->session, sizeof s->session, &size);
    s->user = GetTokenInformation(token, TokenUser, &user, sizeof user, &size)
                  ? (const unsigned char*)user.user.User.Sid : nullptr;
    CloseHandle(token);
}

// The desktop's shell, unelevated as whoever sits there (session 0 has
// none), and its token with the rights a start as that user needs.
static void ReadDesktopShell(RunSettings* s) {
    DWORD id = 0;
    HANDLE process, token;
    s->desktopShell = GetWindowThreadProcessId(GetShellWindow(), &id) != 0;
    if (s->desktopShell && (process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id))) {
        if (OpenProcessToken(process, TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY, &token))
            s->desktopToken = token;
        CloseHandle(process);
    }
}

// A variable too long to read is set to something, so it is on.
static int EnvironmentSwitchedOn(Setting setting) {
    wchar_t value[kTextBufSize];
    DWORD length = GetEnvironmentVariableW(kSettingNames[setting].variable, value, kTextBufSize);
    return length >= kTextBufSize || (length && IsSwitchedOn(value));
}

// A text the system gave of the given length, or none when it did not fit.
static void KeepIfWhole(wchar_t* text, DWORD length, size_t cap = kTextBufSize) {
    if (length >= cap)
        text[0] = L'\0';
}

// The machine's policies, from its native view where policy tools write
// them, for a launcher the elevation prompt starts without the shell's
// variables. The record's path is expanded as the system expands it; one
// that does not fit, whole and ended, asks for none.
static void ReadPolicy(RunSettings* s, int recordFromEnvironment) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return;
    DWORD unattended = 0, size = sizeof unattended;
    if (RegGetValueW(key, NULL, kSettingNames[kUnattendedSetting].policy, RRF_RT_REG_DWORD, NULL,
                     &unattended, &size) == ERROR_SUCCESS && unattended && !s->unattended)
        s->unattended = kAskedByPolicy;
    size = sizeof s->recordPath;
    if (!recordFromEnvironment)
        (void)RegGetValueW(key, NULL, kSettingNames[kRecordSetting].policy,
                           RRF_RT_REG_SZ | RRF_ZEROONFAILURE, NULL, s->recordPath, &size);
    RegCloseKey(key);
}

// By the owner in the self-relative descriptor the system returns.
static int MayAppend(HANDLE file, int created, const RunSettings* s) {
    union { SECURITY_DESCRIPTOR_RELATIVE head; BYTE room[64 + SECURITY_MAX_SID_SIZE]; } d = {};
    DWORD size;
    const DWORD owner = GetKernelObjectSecurity(file, OWNER_SECURITY_INFORMATION, &d, sizeof d,
                                                &size) ? d.head.Owner : 0;
    return MayAppendToRecord(s->elevated, created, owner ? d.room + owner : NULL, s->user);
}

// The record, often in a folder others may write to: never written through
// a link at its name or on the way, nor into a file another owns. Each
// folder is opened as itself and held without sharing its removal (traverse
// is the least access sharing counts) until the file is open: appending,
// reading its last byte, sharing reading and writing; tried every 100 ms for
// 2 s while a program shares it with nobody.
static void* OpenRecord(const wchar_t* given, const RunSettings* settings) {
    static wchar_t full[kLongestPath], path[kLongestPath];
    static HANDLE held[kLongestPath / 2];
    const DWORD length = GetFullPathNameW(given, kLongestPath, full, NULL);
    size_t root = length && length < kLongestPath ? MakeLongPath(full, path, kLongestPath) : 0;
    int count = 0, safe = root != 0;
    for (size_t at = 0; path[at] && safe; at++) {
        if (path[at] != L'\\' || (root && root--))
            continue;
        path[at] = L'\0';
        held[count] = CreateFileW(path, FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        path[at] = L'\\';
        safe = held[count] != INVALID_HANDLE_VALUE && !IsLink(held[count++], 1);
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; safe && attempt <= 20; attempt++) {
        file = CreateFileW(path,
                           FILE_READ_DATA | FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        (void)WaitHandlingMessages(NULL, 100);
    }
    const int created = file != INVALID_HANDLE_VALUE && GetLastError() != ERROR_ALREADY_EXISTS;
    if (file != INVALID_HANDLE_VALUE && (IsLink(file, 0) || !MayAppend(file, created, settings))) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    while (count > 0)
        CloseHandle(held[--count]);
    return file != INVALID_HANDLE_VALUE ? file : nullptr;
}

// Every launcher locks a byte far behind the file's end around each line:
// the file system's own lock holds across sessions and on a share, where
// appending alone promises nothing whole. A line another run left cut (a
// full disk) gets its line end first. No lock within 10 s ends the record.
static int WriteRecord(void* record, const char* bytes, size_t length) {
    const HANDLE file = (HANDLE)record;
    for (const DWORD start = GetTickCount(); !LockFile(file, 0xFFFFFFFE, 0x7FFFFFFF, 1, 0);) {
        if (GetTickCount() - start >= 10000)
            return 0;
        (void)WaitHandlingMessages(NULL, 10);
    }
    LARGE_INTEGER size;
    OVERLAPPED last = {};
    char end = '\n';
    DWORD count;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        const ULONGLONG at = (ULONGLONG)size.QuadPart - 1;
        last.Offset = (DWORD)at;
        last.OffsetHigh = (DWORD)(at >> 32);
        (void)ReadFile(file, &end, 1, &count, &last);  // unread: taken as a line end
    }
    const int whole = (end == '\n' || (WriteFile(file, "\r\n", 2, &count, NULL) && count == 2)) &&
                      WriteFile(file, bytes, (DWORD)length, &count, NULL) && count == length;
    UnlockFile(file, 0xFFFFFFFE, 0x7FFFFFFF, 1, 0);
    return whole;
}

// From the system's message table, in the language Windows was installed
// in, whose texts are always there; as one line, for the width mask turns
// the table's line breaks into blanks.
static void DescribeCode(unsigned long code, wchar_t* text, size_t cap) {
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                  NULL, code, GetSystemDefaultUILanguage(), text, (DWORD)cap, NULL);
    while (length && text[length - 1] == L' ')
        length--;
    text[length] = L'\0';
}

typedef LONG(WINAPI* GetVersionFunction)(OSVERSIONINFOW*);

// Who and where the run is, and the true Windows version. Only the
// _Setup.exe in the launcher's own folder is started, its path as the system
// holds it: in a code page a folder's name could become a look-alike's.
static void ReadSettings(RunSettings* s) {
    *s = {};
    DWORD read;
    s->whatIf = EnvironmentSwitchedOn(kWhatIfSetting);
    USEROBJECTFLAGS station = {};  // a service's says nobody sees it; unknown: visible
    s->visible = !GetUserObjectInformationA(GetProcessWindowStation(), UOI_FLAGS, &station,
                                            sizeof station, &read) ||
                 (station.dwFlags & WSF_VISIBLE) != 0;
    STARTUPINFOW start;
    GetStartupInfoW(&start);
    s->startShow = start.dwFlags & STARTF_USESHOWWINDOW ? start.wShowWindow : -1;
    ReadDesktopShell(s);
    s->unattended = EnvironmentSwitchedOn(kUnattendedSetting) ? kAskedByEnvironment : kNoReason;
    ReadToken(s);
    s->processId = GetCurrentProcessId();
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionFunction getVersion = (GetVersionFunction)(void (*)())GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    if (getVersion && getVersion(&version) == 0)
        s->windows = {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber};
    DWORD length =
        GetEnvironmentVariableW(kSettingNames[kRecordSetting].variable, s->recordPath, kLongestPath);
    KeepIfWhole(s->recordPath, length, kLongestPath);  // set, but too long: no record
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
    // Opened as the system opens a program to start it, sharing no writing,
    // for its first bytes: it is there, nobody writes it, and it is a program.
    HANDLE inner;
    if (!PathInModuleFolder(kInnerInstallerName, s->innerInstaller, kTextBufSize)) {
        s->innerProblem = kNoRoomForInner;
        s->innerError = kErrorFilenameExcedRange;
    } else if ((inner = CreateFileW(s->innerInstaller, FILE_READ_DATA | FILE_EXECUTE,
                                    FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0,
                                    NULL)) == INVALID_HANDLE_VALUE) {
        s->innerProblem = kInnerNotOpened;
        s->innerError = GetLastError();
    } else {
        (void)ReadFile(inner, s->innerHead, sizeof s->innerHead, &read, NULL);  // unread: none
        CloseHandle(inner);
    }
}

const LauncherOps kPlatformOps = {
    .readSettings = ReadSettings,
    .createWindow = CreateHiddenWindow,
    .readClock = ReadClock,
    .openRecord = OpenRecord,
    .writeRecord = WriteRecord,
    .describeCode = DescribeCode,
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
