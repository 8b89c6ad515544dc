// The argument text as the record shows it: read as _Setup.exe and the
// Installer will, with the value of every secret it hands on as "***".
#pragma once
#include <stddef.h>

// Writes text, masked, into dst (cap units); 1 when all of it fit. A text
// too long for the inner command shows as "***" alone.
int MaskSecrets(const wchar_t* text, wchar_t* dst, size_t cap);
