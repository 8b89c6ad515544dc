// Opening the product's keys.
#pragma once
#include <windows.h>

// The view of the registry every key is opened in. The shipped
// launcher is a 32-bit program, so on 64-bit Windows it sees the 32-bit
// view, where the product's 32-bit package registers; a 64-bit build of the
// same code asks for that view explicitly.
#ifdef _WIN64
const REGSAM kRegistryView = KEY_WOW64_32KEY;
#else
const REGSAM kRegistryView = 0;
#endif

// A key opened as itself (REG_OPTION_OPEN_LINK) is a registry link when it
// holds the link's target.
inline int IsRegistryLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", NULL, &type, NULL, NULL) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

// The key at the path, whose separators may be borrowed while it is walked.
// Returns the registry's status: ERROR_SUCCESS when the key opened.
LONG OpenKey(HKEY root, wchar_t* path, HKEY* key);
