// Where the reports go: the message boxes of "/vd" and "/bl", the files of
// "/?" and "/LOGRESOURCES", and Notepad showing the help file.
#include <windows.h>

#include "base/run_and_wait.h"
#include "base/text.h"
#include "reports/report_text.h"
#include "reports/reports.h"

// No owner, one OK button, no icon. The wide call shows every character of
// a value read from the registry, whatever the system's code page.
void ShowReport(const wchar_t* text) {
    wchar_t caption[kTextBufSize];
    (void)CopyText(caption, kTextBufSize, kReportCaption);  // a short fixed text
    (void)MessageBoxW(NULL, text, caption, MB_OK);
}

// Opens the name itself: a symbolic link or junction there is opened as
// what it is, not followed to what it points to. While the launcher holds
// the file, others may read it but not write, remove or rename it.
static HANDLE OpenName(const wchar_t* path, DWORD disposition) {
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

// A name with more than one link, or a symbolic link or junction, leads to a
// file that is not the launcher's own. Unknown reads as such a name.
static int IsLinked(const BY_HANDLE_FILE_INFORMATION* info) {
    return info->nNumberOfLinks != 1 || (info->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes the file or empties it and writes the bytes in one block; returns
// the file, still open, or INVALID_HANDLE_VALUE when it was not made. The
// launcher runs elevated, and the help file's folder is often one any user
// may write to: a hard link or a symbolic link put there under the name
// would make an elevated write land in a file the user could not touch. So
// the handle written to is checked first, and a link's name is removed and
// made anew as a file of the launcher's own; where that cannot be done
// safely (the name cannot be removed, or it is back before the new file is
// made) the file is not made. A hidden or system file is not replaced, as
// creating over it would fail. A file that cannot be written whole (a full
// disk) is removed again rather than left cut; one that cannot be made at
// all (read-only media, a read-only or locked file, a folder of that name)
// is not made either.
static HANDLE MakeFile(const wchar_t* path, const char* bytes, size_t length) {
    HANDLE file = OpenName(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    BY_HANDLE_FILE_INFORMATION info = {};
    (void)GetFileInformationByHandle(file, &info);  // unknown reads as no name of its own
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    if (IsLinked(&info)) {
        CloseHandle(file);
        file = DeleteFileW(path) ? OpenName(path, CREATE_NEW) : INVALID_HANDLE_VALUE;
        if (file == INVALID_HANDLE_VALUE)
            return file;
    }
    DWORD written = 0;
    if (SetEndOfFile(file) &&  // an earlier file of any size is replaced whole
        WriteFile(file, bytes, (DWORD)length, &written, NULL) && written == length)
        return file;
    CloseHandle(file);
    (void)DeleteFileW(path);  // what stays, when even this fails, is not shown
    return INVALID_HANDLE_VALUE;
}

// Shows the file in Notepad, with the launcher's current directory, and
// waits until Notepad is closed. Notepad is the one in the system folder:
// one planted beside the launcher or in the current folder never runs.
void ShowInNotepad(const wchar_t* fileName) {
    wchar_t notepad[MAX_PATH];
    if (!PathInSystemFolder(L"\\notepad.exe", notepad, MAX_PATH))
        return;
    wchar_t command[kTextBufSize];
    if (!CopyText(command, kTextBufSize, "notepad ") ||
        !AppendText(command, kTextBufSize, fileName))
        return;
    ProgramRun run;
    if (StartProgram(notepad, command, &run))  // no Notepad: the file stays for the user
        (void)WaitProgram(&run);
}

// The file with every byte written, still held: Notepad shows it while the
// launcher holds it, so nobody can swap another file in under its name
// before Notepad opens it. Null when it was not made.
void* WriteNewFile(const wchar_t* path, const char* bytes, size_t length) {
    HANDLE file = MakeFile(path, bytes, length);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void CloseFile(void* file) {
    CloseHandle((HANDLE)file);
}
