// Where the reports go: the message boxes of "/vd" and "/bl", the files of
// "/?" and "/LOGRESOURCES", and Notepad showing the help file; and the
// figures of the resource log, disk and memory taken at once so the log
// shows one moment.
#include <windows.h>

#include "base/links.h"
#include "base/run_and_wait.h"
#include "base/text.h"
#include "reports/report_text.h"
#include "reports/report_output.h"

// No owner, one OK button, no icon. The wide call shows every character of
// a value read from the registry, whatever the system's code page.
void ShowReport(const wchar_t* text) {
    wchar_t caption[kTextBufSize];
    (void)CopyText(caption, kTextBufSize, kReportCaption);  // a short fixed text
    (void)MessageBoxW(NULL, text, caption, MB_OK);
}

// Opens the name itself, a link as what it is, not followed. While it is
// held, others may read the file but not write, remove or rename it.
static HANDLE OpenName(const wchar_t* path, DWORD disposition) {
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

// Makes the file or empties it and writes the bytes in one block; returns
// it still held, so nobody swaps another in before Notepad opens it, or
// null. In a folder any user may write to, a link under the name would
// make the elevated write land in a file the user could not touch: a
// link's name is removed and made anew as the launcher's own file, or no
// file is made. Nor is a hidden or system file replaced (creating over it
// would fail), nor a file left cut that could not be written whole.
void* WriteNewFile(const wchar_t* path, const char* bytes, size_t length) {
    HANDLE file = OpenName(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    FILE_ATTRIBUTE_TAG_INFO info = {};
    // Not known: IsLink says a link.
    (void)GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info);
    const int hidden = info.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (hidden || IsLink(file, 0)) {
        CloseHandle(file);
        file = !hidden && DeleteFileW(path) ? OpenName(path, CREATE_NEW) : INVALID_HANDLE_VALUE;
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
    }
    DWORD written = 0;
    if (SetEndOfFile(file) &&  // an earlier file of any size is replaced whole
        WriteFile(file, bytes, (DWORD)length, &written, NULL) && written == length)
        return file;
    CloseHandle(file);
    (void)DeleteFileW(path);  // what stays, when even this fails, is not shown
    return nullptr;
}

// Shows the file in Notepad, with the launcher's current directory, and
// waits until Notepad is closed; a Notepad that hands the file to one
// already open ends at once. Notepad is the one in the system folder: one
// planted beside the launcher or in the current folder never runs.
void ShowInNotepad(const wchar_t* fileName, void* token) {
    wchar_t notepad[MAX_PATH], command[kTextBufSize];
    ProgramRun run;
    if (PathInSystemFolder("\\notepad.exe", notepad, MAX_PATH) &&
        CopyText(command, kTextBufSize, "notepad ") &&
        AppendText(command, kTextBufSize, fileName) &&
        StartProgram(notepad, command, &run,
                     token))  // no Notepad: the file stays for the user
        (void)WaitProgram(&run);
}

void CloseFile(void* file) {
    CloseHandle((HANDLE)file);
}

// A drive that cannot be measured gives zero counts.
void MeasureResources(ResourceFigures* figures) {
    unsigned long long* count = figures->counts;
    if (!GetDiskFreeSpaceExA(kMeasuredDirectory, (ULARGE_INTEGER*)&count[0],
                             (ULARGE_INTEGER*)&count[1], (ULARGE_INTEGER*)&count[2]))
        count[0] = count[1] = count[2] = 0;
    MEMORYSTATUS memory;
    GlobalMemoryStatus(&memory);
    count[3] = memory.dwLength;
    count[4] = memory.dwMemoryLoad;
    count[5] = memory.dwTotalPhys;
    count[6] = memory.dwAvailPhys;
    count[7] = memory.dwTotalPageFile;
    count[8] = memory.dwAvailPageFile;
    count[9] = memory.dwTotalVirtual;
    count[10] = memory.dwAvailVirtual;
}
