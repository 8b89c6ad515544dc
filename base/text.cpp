// Bounded copy and append. Each helper takes the capacity of its
// destination, always leaves it NUL-terminated and returns 1 only when the
// whole result fit, so a caller can refuse to use a cut text. One body
// serves narrow and wide text alike.
#include "base/text.h"

// Length of a text that may fill its buffer without a terminating NUL, as
// registry data can: the scan never goes past size units.
template <typename Char>
size_t BoundedLength(const Char* text, size_t size) {
    size_t length = 0;
    while (length < size && text[length])
        length++;
    return length;
}

// A narrow source is a fixed ASCII text: each byte becomes one unit. A
// wide one is taken as it is.
template <typename Char, typename Source>
static Char UnitOf(Source c) {
    return sizeof c == 1 ? (Char)(unsigned char)c : (Char)c;
}

template <typename Char, typename Source>
int AppendBytes(Char* dst, size_t cap, const Source* src, size_t count) {
    if (cap == 0)
        return 0;
    size_t used = BoundedLength(dst, cap);
    if (used == cap) {  // not terminated: terminate, add nothing
        dst[cap - 1] = 0;
        return 0;
    }
    size_t room = cap - 1 - used;
    size_t take = count < room ? count : room;
    for (size_t i = 0; i < take; i++)
        dst[used + i] = UnitOf<Char>(src[i]);
    dst[used + take] = 0;
    return take == count;
}

template <typename Char, typename Source>
int AppendText(Char* dst, size_t cap, const Source* src) {
    return AppendBytes(dst, cap, src, BoundedLength(src, (size_t)-1));
}

template <typename Char, typename Source>
int CopyText(Char* dst, size_t cap, const Source* src) {
    if (cap == 0)
        return 0;
    dst[0] = 0;
    return AppendText(dst, cap, src);
}

template <typename Char>
const Char* FindUnit(const Char* text, size_t length, Char unit) {
    for (size_t i = 0; i < length; i++) {
        if (text[i] == unit)
            return text + i;
    }
    return nullptr;
}

// Narrow into narrow, wide into wide, and a fixed ASCII text into wide.
template int AppendBytes(char*, size_t, const char*, size_t);
template int AppendBytes(wchar_t*, size_t, const wchar_t*, size_t);
template int AppendBytes(wchar_t*, size_t, const char*, size_t);
template int AppendText(char*, size_t, const char*);
template int AppendText(wchar_t*, size_t, const wchar_t*);
template int AppendText(wchar_t*, size_t, const char*);
template int CopyText(char*, size_t, const char*);
template int CopyText(wchar_t*, size_t, const wchar_t*);
template int CopyText(wchar_t*, size_t, const char*);
template size_t BoundedLength(const char*, size_t);
template size_t BoundedLength(const wchar_t*, size_t);
template const char* FindUnit(const char*, size_t, char);
template const wchar_t* FindUnit(const wchar_t*, size_t, wchar_t);

// Decimal digits of a 64-bit count, each found by subtracting its power of
// ten: a 32-bit program then needs no 64-bit division routines, and no
// runtime's support for 64-bit format sizes, which older Microsoft
// runtimes lack.
int AppendUnsigned(char* dst, size_t cap, unsigned long long value) {
    unsigned long long powers[20] = {1};
    int top = 0;  // the power of the leading digit; 10^19 is the largest that fits
    for (; top < 19 && value >= powers[top] * 10; top++)
        powers[top + 1] = powers[top] * 10;
    char text[20];
    for (int i = top; i >= 0; i--) {
        text[top - i] = '0';
        for (; value >= powers[i]; value -= powers[i])
            text[top - i]++;
    }
    return AppendBytes(dst, cap, text, (size_t)top + 1);
}

static int IsSurrogate(unsigned long c, unsigned long first) {
    return c >= first && c <= first + 0x3FF;
}

// A surrogate without its partner, which UTF-8 cannot hold, and a 32-bit
// unit beyond Unicode (a host's wide text) read as U+FFFD.
unsigned long NextCodePoint(const wchar_t* text, size_t count, size_t* at) {
    unsigned long c = (unsigned long)text[(*at)++];
    if (IsSurrogate(c, 0xD800) && *at < count && IsSurrogate((unsigned long)text[*at], 0xDC00))
        return 0x10000 + ((c - 0xD800) << 10) + ((unsigned long)text[(*at)++] - 0xDC00);
    return IsSurrogate(c, 0xD800) || IsSurrogate(c, 0xDC00) || c > 0x10FFFF ? 0xFFFD : c;
}

// The lead byte carries the count of bytes in its high bits.
size_t Utf8Of(unsigned long c, char bytes[4]) {
    size_t n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static const unsigned char kLead[5] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t k = n - 1; k > 0; k--, c >>= 6)
        bytes[k] = (char)(0x80 | (c & 0x3F));
    bytes[0] = (char)(kLead[n] | c);
    return n;
}
