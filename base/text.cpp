// Bounded copy and append. Each helper takes the capacity of its
// destination, always leaves it NUL-terminated and returns 1 only when the
// whole result fit, so a caller can refuse to use a cut text.
#include "base/text.h"

#include <string.h>

int AppendBytes(char* dst, size_t cap, const char* src, size_t count) {
    if (cap == 0)
        return 0;
    size_t used = BoundedLength(dst, cap);
    if (used == cap) {  // not terminated: terminate, add nothing
        dst[cap - 1] = '\0';
        return 0;
    }
    size_t room = cap - 1 - used;
    size_t take = count < room ? count : room;
    memcpy(dst + used, src, take);
    dst[used + take] = '\0';
    return take == count;
}

int AppendText(char* dst, size_t cap, const char* src) {
    return AppendBytes(dst, cap, src, strlen(src));
}

int CopyText(char* dst, size_t cap, const char* src) {
    if (cap == 0)
        return 0;
    dst[0] = '\0';
    return AppendText(dst, cap, src);
}

// Decimal digits of a 64-bit count. The division works on 16-bit pieces so
// that a 32-bit program needs no 64-bit division routines, and no runtime's
// support for 64-bit format sizes, which older Microsoft runtimes lack.
int AppendUnsigned(char* dst, size_t cap, unsigned long long value) {
    unsigned pieces[4] = {
        (unsigned)(value >> 48) & 0xFFFF, (unsigned)(value >> 32) & 0xFFFF,
        (unsigned)(value >> 16) & 0xFFFF, (unsigned)value & 0xFFFF,
    };
    char digits[24];
    size_t n = 0;
    do {
        unsigned remainder = 0;
        int nonzero = 0;
        for (unsigned& piece : pieces) {
            unsigned current = remainder << 16 | piece;  // remainder < 10, so this fits
            piece = current / 10;
            remainder = current % 10;
            nonzero |= piece != 0;
        }
        digits[n++] = (char)('0' + remainder);
        if (!nonzero)
            break;
    } while (n < sizeof digits);
    char text[24];
    for (size_t i = 0; i < n; i++)
        text[i] = digits[n - 1 - i];
    return AppendBytes(dst, cap, text, n);
}

// Length of a text that may fill its buffer without a terminating NUL, as
// registry data can: the scan never goes past size bytes.
size_t BoundedLength(const char* text, size_t size) {
    const void* end = memchr(text, '\0', size);
    return end ? (size_t)((const char*)end - text) : size;
}
