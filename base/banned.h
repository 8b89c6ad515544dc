// Forced into every file of the product's own code by the build: the
// string calls that write without a bound fail to compile there. Every
// buffer is written through the bounded helpers of base/text.h instead.
// The headers that declare these calls come first, so their declarations
// stay legal; only uses after this point are refused.
#pragma once
#include <stdio.h>
#include <string.h>
#ifdef _WIN32
#include <windows.h>
#endif

#pragma GCC poison strcpy strcat strncpy strncat sprintf vsprintf gets

#ifdef _WIN32
// The ANSI/wide macros are dropped first: a macro name cannot be poisoned,
// and its expansion would slip through.
#undef lstrcpy
#undef lstrcat
#undef lstrcpyn
#undef wsprintf
#undef wvsprintf
#pragma GCC poison lstrcpy lstrcat lstrcpyn wsprintf wvsprintf
#pragma GCC poison lstrcpyA lstrcpyW lstrcatA lstrcatW lstrcpynA lstrcpynW
#pragma GCC poison wsprintfA wsprintfW wvsprintfA wvsprintfW
#pragma GCC poison wcscpy wcscat swprintf vswprintf
#endif
