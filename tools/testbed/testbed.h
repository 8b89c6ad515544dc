// Windows-side test support shared by the Wine tests, the end-to-end tests,
// the UI driver and the demo: paths, files, registry set-up and read-back,
// processes and the windows they show. Every std::string path, command line
// and registry text here is UTF-8 and reaches the system through its wide
// calls, so names and texts outside the ANSI code page arrive intact.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tools/testbed/installation.h"

// UTF-8 and the system's UTF-16.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// Files and folders.
std::string WindowsPath(const char* unixPath);
std::string DirectoryOf(const std::string& path);
std::string MakeScratchFolder(const char* tag);
void RemoveFolder(const std::string& folder);
bool CopyInto(const std::string& source, const std::string& folder, const char* name);
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool MakeFolder(const std::string& path);
// What lies directly in a folder, sorted: a file as its name, a blank and
// its size, a folder as its name and a backslash. Two listings are equal
// when no entry was made, removed or changed in size.
std::vector<std::string> FolderListing(const std::string& folder);

// Registry. Paths are relative to the given root; values carry their exact
// bytes so tests can store texts without NUL or of the wrong type. Texts
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-8 here, one character for
// each stored UTF-16 character, NULs included.
struct RegValue {
    std::string name;
    DWORD type;
    std::string data;
};
bool WriteRegValue(HKEY root, const char* path, const char* name, DWORD type,
                   const std::string& data);
bool WriteRegText(HKEY root, const char* path, const char* name, const char* text);
bool ReadRegValue(HKEY root, const char* path, const char* name, RegValue* value);
bool KeyExists(HKEY root, const char* path);
// The same for the product's keys and values where the registration's
// table puts them: a key by its root and the plain form of its path
// (RootOf, PlainPath), a value in its key.
// The trailing form, which the launcher tries first: the plain path and its
// backslash, as an installer may have written the key.
inline std::string TrailingPath(KeyId key) {
    return std::string(PlainPath(key)) + "\\";
}
bool WriteRegValue(ValueId value, DWORD type, const std::string& data);
bool WriteRegText(ValueId value, const char* text);
bool WriteRegText(KeyId key, const char* name, const char* text);
bool ReadRegValue(ValueId value, RegValue* read);
bool KeyExists(KeyId key);
// A value written, and a key without subkeys deleted, in the 64-bit
// registry view whatever the launcher's own: where machine policies are read.
bool WriteRegValue64(HKEY root, const char* path, const char* name, DWORD type,
                     const std::string& data);
bool DeleteEmptyKey64(HKEY root, const char* path);
// A registry link found in the tree is deleted as the link itself, never
// followed: its target keeps its values.
void DeleteKeyTree(HKEY root, const char* path);
// A registry link at path to the existing key at targetPath, both in the
// launcher's view. The link's key must not exist yet.
bool MakeRegistryLink(HKEY root, const char* path, HKEY targetRoot, const char* targetPath);
void DeleteProductKeys();
std::string ExportProductKeys();
std::string Printable(const std::string& bytes);

// Processes.
struct Process {
    HANDLE handle;
    DWORD id;
};
bool StartProcess(const std::string& commandLine, const std::string& folder, Process* process,
                  const char* environment = NULL, WORD showCommand = SW_SHOWDEFAULT,
                  const char* desktop = NULL);
// A window station of this process's own that nobody sees, with a desktop:
// its "station\\desktop" name for StartProcess, or "" when Wine refused it.
std::string HiddenDesktop();
bool WaitProcess(Process* process, DWORD timeoutMs, DWORD* exitCode);
void EndProcess(Process* process);
std::string ProcessImageName(DWORD id);

// Windows a process shows.
enum CloseHow { kCloseByOk, kCloseByEnter, kCloseByEscape, kCloseByCloseButton };
struct ControlInfo {
    std::string className;
    std::string text;  // UTF-8
    DWORD style;
    DWORD exStyle;
    int id;
    RECT units;  // left, top, width, height in dialog units
};
struct WindowInfo {
    HWND window;
    std::string className;
    std::string caption;  // UTF-8
    DWORD style;
    DWORD exStyle;
    RECT screen;
    std::vector<ControlInfo> controls;
};
std::vector<HWND> VisibleTopWindows(DWORD rootProcessId);
WindowInfo DescribeWindow(HWND window);
std::string FormatWindow(const WindowInfo& info);
std::string MessageText(const WindowInfo& info);
bool CloseWindowBy(HWND window, CloseHow how);
bool ParseCloseHow(const char* text, CloseHow* how);
bool SaveScreenshot(HWND window, const std::string& bmpPath);

// Runs a program to its end; every window of its process tree that shows up
// is described, then closed the given way. Gives up after timeoutMs.
struct RunResult {
    bool started;
    bool finished;
    DWORD exitCode;
    std::vector<WindowInfo> windows;
};
RunResult RunAndAnswer(const std::string& commandLine, const std::string& folder, CloseHow how,
                       DWORD timeoutMs, const char* environment = NULL,
                       WORD showCommand = SW_SHOWDEFAULT);
