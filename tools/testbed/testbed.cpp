// Test support for programs that run under Wine next to the launcher.
#include "tools/testbed/testbed.h"

#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>

#include <algorithm>

#include "detect/registry_paths.h"
#include "tools/testbed/installation.h"

std::wstring Wide(const std::string& utf8) {
    int length = (int)utf8.size();
    int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, NULL, 0);
    std::wstring wide(count > 0 ? (size_t)count : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, &wide[0], count);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    int length = (int)wide.size();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, NULL, 0, NULL, NULL);
    std::string text(bytes > 0 ? (size_t)bytes : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &text[0], bytes, NULL, NULL);
    return text;
}

std::string WindowsPath(const char* unixPath) {
    std::string path = "Z:";
    for (const char* p = unixPath; *p; p++)
        path += *p == '/' ? '\\' : *p;
    return path;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string MakeScratchFolder(const char* tag) {
    static LONG counter;
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%s-%lu-%ld", tag, GetCurrentProcessId(),
             InterlockedIncrement(&counter));
    std::string path = Utf8(std::wstring(temp, length < MAX_PATH ? length : 0)) + name;
    MakeFolder(path);
    return path;
}

void RemoveFolder(const std::string& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = Utf8(found.cFileName);
            if (name == "." || name == "..")
                continue;
            std::wstring path = Wide(folder + "\\" + name);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + "\\" + name);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(Wide(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(Wide(folder).c_str());
}

bool CopyInto(const std::string& source, const std::string& folder, const char* name) {
    return CopyFileW(Wide(source).c_str(), Wide(folder + "\\" + name).c_str(), FALSE) != 0;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char block[65536];
    DWORD got;
    while (ReadFile(file, block, sizeof block, &got, NULL) && got > 0)
        bytes->append(block, got);
    CloseHandle(file);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(Wide(path).c_str(), NULL) != 0;
}

std::vector<std::string> FolderListing(const std::string& folder) {
    std::vector<std::string> entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return entries;
    do {
        std::string name = Utf8(found.cFileName);
        if (name == "." || name == "..")
            continue;
        unsigned long long size = (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        entries.push_back(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY
                              ? name + "\\"
                              : name + " " + std::to_string(size));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Opens a key to read it, in the registry view the launcher sees.
static bool OpenToRead(HKEY root, const char* path, HKEY* key) {
    return RegOpenKeyExA(root, path, 0, KEY_READ | kRegistryView, key) == ERROR_SUCCESS;
}

static bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

static bool WriteInView(REGSAM view, HKEY root, const char* path, const char* name, DWORD type,
                        const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS | view, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return false;
    std::wstring text = IsStringType(type) ? Wide(data) : std::wstring();
    const BYTE* bytes = (const BYTE*)data.data();
    DWORD size = (DWORD)data.size();
    if (IsStringType(type)) {
        bytes = (const BYTE*)text.data();
        size = (DWORD)(text.size() * sizeof(wchar_t));
    }
    LONG result = RegSetValueExW(key, Wide(name).c_str(), 0, type, bytes, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool WriteRegValue(HKEY root, const char* path, const char* name, DWORD type,
                   const std::string& data) {
    return WriteInView(kRegistryView, root, path, name, type, data);
}

bool WriteRegValue64(HKEY root, const char* path, const char* name, DWORD type,
                     const std::string& data) {
    return WriteInView(KEY_WOW64_64KEY, root, path, name, type, data);
}

bool DeleteEmptyKey64(HKEY root, const char* path) {
    return RegDeleteKeyExW(root, Wide(path).c_str(), KEY_WOW64_64KEY, 0) == ERROR_SUCCESS;
}

// A text stored the way an installation stores it: with its NUL.
bool WriteRegText(HKEY root, const char* path, const char* name, const char* text) {
    return WriteRegValue(root, path, name, REG_SZ, std::string(text, strlen(text) + 1));
}

// Reads a value as it is stored. Texts are read through the wide query and
// converted to UTF-8 character for character: the ANSI query would add a
// NUL of its own, which would hide whether the writer counted one, and
// would turn every character outside the code page into another.
bool ReadRegValue(HKEY root, const char* path, const char* name, RegValue* value) {
    HKEY key;
    if (!OpenToRead(root, path, &key))
        return false;
    std::wstring wideName = Wide(name);
    DWORD size = 0;
    DWORD type = 0;
    std::string raw;
    LONG result = RegQueryValueExW(key, wideName.c_str(), NULL, &type, NULL, &size);
    if (result == ERROR_SUCCESS) {
        raw.assign(size, '\0');
        result = RegQueryValueExW(key, wideName.c_str(), NULL, &type, (BYTE*)&raw[0], &size);
        raw.resize(size);
    }
    RegCloseKey(key);
    value->name = name;
    value->type = type;
    value->data = raw;
    if (result == ERROR_SUCCESS && IsStringType(type))
        value->data = Utf8(std::wstring((const wchar_t*)raw.data(), raw.size() / 2));
    return result == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key;
    if (!OpenToRead(root, path, &key))
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteKeyTree(HKEY root, const char* path) {
    (void)DeleteRegistryTree(root, path);
}

bool WriteRegValue(ValueId value, DWORD type, const std::string& data) {
    const KeyId key = kRegistrationValues[value].key;
    return WriteRegValue(RootOf(key), PlainPath(key), kRegistrationValues[value].name, type,
                         data);
}

bool WriteRegText(ValueId value, const char* text) {
    return WriteRegText(kRegistrationValues[value].key, kRegistrationValues[value].name, text);
}

bool WriteRegText(KeyId key, const char* name, const char* text) {
    return WriteRegText(RootOf(key), PlainPath(key), name, text);
}

bool ReadRegValue(ValueId value, RegValue* read) {
    const KeyId key = kRegistrationValues[value].key;
    return ReadRegValue(RootOf(key), PlainPath(key), kRegistrationValues[value].name, read);
}

bool KeyExists(KeyId key) {
    return KeyExists(RootOf(key), PlainPath(key));
}

// The NT name of a key as the launcher's view opens it, "" when it does
// not open. Under WoW64 that view of HKEY_LOCAL_MACHINE\SOFTWARE lies below
// Wow6432Node, so the name is asked of the system, not put together.
static std::wstring KeyName(HKEY root, const char* path) {
    typedef LONG(NTAPI * NtQueryKeyFunction)(HANDLE, int, void*, ULONG, ULONG*);
    static NtQueryKeyFunction queryKey = (NtQueryKeyFunction)(void (*)())GetProcAddress(
        GetModuleHandleA("ntdll.dll"), "NtQueryKey");
    const int kKeyNameInformation = 3;
    HKEY key;
    if (!queryKey || !OpenToRead(root, path, &key))
        return L"";
    ULONG info[2048];  // the name's length in bytes, then the name
    ULONG size = 0;
    std::wstring name;
    if (queryKey(key, kKeyNameInformation, info, sizeof info, &size) == 0)
        name.assign((const wchar_t*)(info + 1), info[0] / sizeof(wchar_t));
    RegCloseKey(key);
    return name;
}

bool MakeRegistryLink(HKEY root, const char* path, HKEY targetRoot, const char* targetPath) {
    std::wstring target = KeyName(targetRoot, targetPath);  // stored without a NUL
    HKEY key;
    if (target.empty() ||
        RegCreateKeyExW(root, Wide(path).c_str(), 0, NULL, REG_OPTION_CREATE_LINK,
                        KEY_ALL_ACCESS | kRegistryView, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                                 (const BYTE*)target.data(),
                                 (DWORD)(target.size() * sizeof(wchar_t)));
    if (result != ERROR_SUCCESS)
        (void)DeleteOpenKey(key);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// Every key the launcher reads or writes: the machine's by their own paths,
// the user's (the per-user keys) by the Installer's per-user registration of
// the product around them.
void DeleteProductKeys() {
    for (int key = 0; key < kKeyCount; key++) {
        if (kRegistrationKeys[key].root == kLocalMachine)
            DeleteKeyTree(HKEY_LOCAL_MACHINE, PlainPath((KeyId)key));
    }
    DeleteKeyTree(HKEY_CURRENT_USER, InstallerProductKey());
}

static std::vector<RegValue> ListValues(HKEY root, const char* path) {
    std::vector<RegValue> values;
    HKEY key;
    if (!OpenToRead(root, path, &key))
        return values;
    for (DWORD i = 0;; i++) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueA(key, i, name, &nameLength, NULL, &type, NULL, &size) != ERROR_SUCCESS)
            break;
        RegValue value;
        ReadRegValue(root, path, name, &value);
        values.push_back(value);
    }
    RegCloseKey(key);
    return values;
}

std::string Printable(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += (char)c;
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    return text;
}

static void ExportKey(HKEY root, const char* rootName, const std::string& path,
                      std::string* out) {
    if (!KeyExists(root, path.c_str()))
        return;
    *out += std::string("[") + rootName + "\\" + path + "]\n";
    for (const RegValue& value : ListValues(root, path.c_str())) {
        char head[64];
        snprintf(head, sizeof head, " type=%lu length=%u ", value.type, (unsigned)value.data.size());
        *out += "  \"" + value.name + "\"" + head + Printable(value.data) + "\n";
    }
    HKEY key;
    if (!OpenToRead(root, path.c_str(), &key))
        return;
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; i++) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        subkeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& name : subkeys)
        ExportKey(root, rootName, path + "\\" + name, out);
}

// Every value under the product's keys with its type, length and bytes, in
// a stable order: two exports compare equal when nothing changed.
std::string ExportProductKeys() {
    std::string out;
    for (int key = 0; key < kKeyCount; key++) {
        if (kRegistrationKeys[key].root == kLocalMachine)
            ExportKey(HKEY_LOCAL_MACHINE, "HKLM", PlainPath((KeyId)key).text, &out);
    }
    ExportKey(HKEY_CURRENT_USER, "HKCU", InstallerProductKey().text, &out);
    return out;
}

// The environment block, when given, is the ANSI one of CreateProcessA.
bool StartProcess(const std::string& commandLine, const std::string& folder, Process* process,
                  const char* environment, WORD showCommand, const char* desktop) {
    std::wstring desktopName = desktop ? Wide(desktop) : L"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop ? &desktopName[0] : NULL;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    PROCESS_INFORMATION info = {};
    std::wstring command = Wide(commandLine);
    std::wstring directory = Wide(folder);
    if (!CreateProcessW(NULL, &command[0], NULL, NULL, FALSE, 0, (void*)environment,
                        folder.empty() ? NULL : directory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process->handle = info.hProcess;
    process->id = info.dwProcessId;
    return true;
}

// Created without WSF_VISIBLE, as the station of a service is. The handles
// stay open for the life of the process, so children can use them.
std::string HiddenDesktop() {
    static const char kStation[] = "OmrikHidden";
    static const char kDesktop[] = "Default";
    static bool made = false;
    if (!made) {
        HWINSTA station = CreateWindowStationA(kStation, 0, WINSTA_ALL_ACCESS, NULL);
        if (!station)
            return "";
        HWINSTA own = GetProcessWindowStation();
        if (!SetProcessWindowStation(station))
            return "";
        HDESK desktop = CreateDesktopA(kDesktop, NULL, NULL, 0, GENERIC_ALL, NULL);
        SetProcessWindowStation(own);
        if (!desktop)
            return "";
        made = true;
    }
    return std::string(kStation) + "\\" + kDesktop;
}

bool WaitProcess(Process* process, DWORD timeoutMs, DWORD* exitCode) {
    if (WaitForSingleObject(process->handle, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process->handle, exitCode);
    return true;
}

void EndProcess(Process* process) {
    if (!process->handle)
        return;
    DWORD code;
    if (GetExitCodeProcess(process->handle, &code) && code == STILL_ACTIVE)
        TerminateProcess(process->handle, 0xDEAD);
    CloseHandle(process->handle);
    process->handle = NULL;
}

// Parent links of every process, from one snapshot.
static std::vector<std::pair<DWORD, DWORD>> ProcessParents() {
    std::vector<std::pair<DWORD, DWORD>> parents;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return parents;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        parents.push_back({entry.th32ProcessID, entry.th32ParentProcessID});
    CloseHandle(snapshot);
    return parents;
}

static bool IsDescendant(const std::vector<std::pair<DWORD, DWORD>>& parents, DWORD rootId,
                         DWORD id) {
    for (int depth = 0; depth < 16 && id != rootId; depth++) {
        DWORD parent = 0;
        for (const auto& link : parents) {
            if (link.first == id)
                parent = link.second;
        }
        if (parent == 0 || parent == id)
            return false;
        id = parent;
    }
    return id == rootId;
}

std::string ProcessImageName(DWORD id) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "";
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    std::string name;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == id)
            name = Utf8(entry.szExeFile);
    }
    CloseHandle(snapshot);
    return name;
}

struct TopWindowSearch {
    std::vector<std::pair<HWND, DWORD>> visible;
};

static BOOL CALLBACK CollectTopWindow(HWND window, LPARAM context) {
    TopWindowSearch* search = (TopWindowSearch*)context;
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    search->visible.push_back({window, id});
    return TRUE;
}

// Visible top-level windows of a process and its children (0: of anyone).
std::vector<HWND> VisibleTopWindows(DWORD rootProcessId) {
    TopWindowSearch search;
    EnumWindows(CollectTopWindow, (LPARAM)&search);
    std::vector<std::pair<DWORD, DWORD>> parents;
    bool haveParents = false;
    std::vector<HWND> found;
    for (const auto& entry : search.visible) {
        bool ours = rootProcessId == 0 || entry.second == rootProcessId;
        if (!ours) {
            if (!haveParents) {
                parents = ProcessParents();
                haveParents = true;
            }
            ours = IsDescendant(parents, rootProcessId, entry.second);
        }
        if (ours)
            found.push_back(entry.first);
    }
    return found;
}

static std::string Utf8Text(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring wide(length + 1, L'\0');
    length = GetWindowTextW(window, &wide[0], length + 1);
    wide.resize(length);
    return Utf8(wide);
}

struct ControlSearch {
    HWND dialog;
    RECT base;  // pixels of a 4 x 8 dialog-unit rectangle
    std::vector<ControlInfo> controls;
};

static int ToUnits(LONG pixels, LONG unitPixels, int units) {
    return unitPixels ? (int)((pixels * units + unitPixels / 2) / unitPixels) : (int)pixels;
}

static BOOL CALLBACK CollectControl(HWND control, LPARAM context) {
    ControlSearch* search = (ControlSearch*)context;
    if (GetParent(control) != search->dialog)
        return TRUE;
    ControlInfo info;
    char className[256];
    GetClassNameA(control, className, sizeof className);
    info.className = className;
    info.text = Utf8Text(control);
    info.style = (DWORD)GetWindowLongA(control, GWL_STYLE);
    info.exStyle = (DWORD)GetWindowLongA(control, GWL_EXSTYLE);
    info.id = (int)(short)GetDlgCtrlID(control);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, search->dialog, (POINT*)&rect, 2);
    info.units.left = ToUnits(rect.left, search->base.right, 4);
    info.units.top = ToUnits(rect.top, search->base.bottom, 8);
    info.units.right = ToUnits(rect.right - rect.left, search->base.right, 4);
    info.units.bottom = ToUnits(rect.bottom - rect.top, search->base.bottom, 8);
    search->controls.push_back(info);
    return TRUE;
}

WindowInfo DescribeWindow(HWND window) {
    WindowInfo info;
    info.window = window;
    char className[256];
    GetClassNameA(window, className, sizeof className);
    info.className = className;
    info.caption = Utf8Text(window);
    info.style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    info.exStyle = (DWORD)GetWindowLongA(window, GWL_EXSTYLE);
    GetWindowRect(window, &info.screen);
    ControlSearch search = {window, {0, 0, 4, 8}, {}};
    if (!MapDialogRect(window, &search.base))
        search.base = RECT{0, 0, 4, 8};
    EnumChildWindows(window, CollectControl, (LPARAM)&search);
    info.controls = search.controls;
    return info;
}

std::string FormatWindow(const WindowInfo& info) {
    char line[512];
    snprintf(line, sizeof line, "window class=%s style=0x%08lX exstyle=0x%08lX caption=\"%s\"\n",
             info.className.c_str(), info.style, info.exStyle, info.caption.c_str());
    std::string out = line;
    for (const ControlInfo& control : info.controls) {
        snprintf(line, sizeof line,
                 "  control class=%s id=%d style=0x%08lX exstyle=0x%08lX at=%ld,%ld size=%ld,%ld text=\"",
                 control.className.c_str(), control.id, control.style, control.exStyle,
                 control.units.left, control.units.top, control.units.right, control.units.bottom);
        out += line + control.text + "\"\n";
    }
    return out;
}

// The text of a message box: its one static control that is not the icon.
std::string MessageText(const WindowInfo& info) {
    for (const ControlInfo& control : info.controls) {
        if (_stricmp(control.className.c_str(), "Static") == 0 && !control.text.empty())
            return control.text;
    }
    return "";
}

// Closes a dialog or message box the way a user would: the OK button, the
// Enter or Esc key at the focused control, or the caption's close button.
bool CloseWindowBy(HWND window, CloseHow how) {
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    HWND focus = GetGUIThreadInfo(thread, &gui) && gui.hwndFocus ? gui.hwndFocus : window;
    switch (how) {
    case kCloseByOk: {
        HWND button = GetDlgItem(window, IDOK);
        if (!button)
            button = GetDlgItem(window, IDCANCEL);
        return button && PostMessageA(button, BM_CLICK, 0, 0);
    }
    case kCloseByEnter:
        return PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001) &&
               PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC01C0001);
    case kCloseByEscape:
        return PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001) &&
               PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    case kCloseByCloseButton:
        return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return false;
}

bool ParseCloseHow(const char* text, CloseHow* how) {
    static const struct {
        const char* name;
        CloseHow how;
    } kNames[] = {
        {"ok", kCloseByOk}, {"enter", kCloseByEnter}, {"esc", kCloseByEscape},
        {"close", kCloseByCloseButton},
    };
    for (const auto& entry : kNames) {
        if (strcmp(text, entry.name) == 0) {
            *how = entry.how;
            return true;
        }
    }
    return false;
}

// Copies the window's screen area into a 24-bit BMP file. The copy reads
// the screen, so the window is first painted completely by its own thread
// (frame, background and every control; the call returns once it has), and
// the display is given a moment to show the result.
bool SaveScreenshot(HWND window, const std::string& bmpPath) {
    RedrawWindow(window, NULL, NULL,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(200);
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bitmapInfo = {};
    bitmapInfo.bmiHeader.biSize = sizeof bitmapInfo.bmiHeader;
    bitmapInfo.bmiHeader.biWidth = width;
    bitmapInfo.bmiHeader.biHeight = height;
    bitmapInfo.bmiHeader.biPlanes = 1;
    bitmapInfo.bmiHeader.biBitCount = 24;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(screen, &bitmapInfo, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    DWORD imageSize = stride * (DWORD)height;
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof fileHeader + sizeof bitmapInfo.bmiHeader;
    fileHeader.bfSize = fileHeader.bfOffBits + imageSize;
    std::string bytes((const char*)&fileHeader, sizeof fileHeader);
    bytes.append((const char*)&bitmapInfo.bmiHeader, sizeof bitmapInfo.bmiHeader);
    bytes.append((const char*)bits, imageSize);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return WriteWholeFile(bmpPath, bytes);
}

// Waits until the window's program waits for input, at most five seconds.
static void WaitUntilIdle(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
    if (!process)
        return;
    WaitForInputIdle(process, 5000);
    CloseHandle(process);
}

RunResult RunAndAnswer(const std::string& commandLine, const std::string& folder, CloseHow how,
                       DWORD timeoutMs, const char* environment, WORD showCommand) {
    RunResult result = {false, false, 0, {}};
    Process process = {};
    if (!StartProcess(commandLine, folder, &process, environment, showCommand))
        return result;
    result.started = true;
    std::vector<HWND> answered;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (WaitProcess(&process, 50, &result.exitCode)) {
            result.finished = true;
            break;
        }
        for (HWND window : VisibleTopWindows(process.id)) {
            bool seen = false;
            for (HWND old : answered)
                seen |= old == window;
            if (seen)
                continue;
            // Let its program finish starting up (Notepad loads its file
            // after showing its window) before the window is read.
            WaitUntilIdle(window);
            Sleep(50);
            result.windows.push_back(DescribeWindow(window));
            answered.push_back(window);
            CloseWindowBy(window, how);
        }
    }
    EndProcess(&process);
    return result;
}
