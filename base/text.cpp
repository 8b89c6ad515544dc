// Bounded copy and append. Each helper takes the capacity of its
// destination, always leaves it NUL-terminated and returns 1 only when the
// whole result fit, so a caller can refuse to use a cut text. One body
// serves narrow and wide text alike.
#include "base/text.h"

// Length of a text that may fill its buffer without a terminating NUL, as
// registry data can: the scan never goes past size units.
template <typename Char>
static size_t LengthWithin(const Char* text, size_t size) {
    size_t length = 0;
    while (length < size && text[length])
        length++;
    return length;
}

// A narrow source is a fixed ASCII text: each byte becomes one unit. A
// wide one is taken as it is.
template <typename Char>
static Char UnitOf(char c) {
    return (Char)(unsigned char)c;
}
template <typename Char>
static Char UnitOf(wchar_t c) {
    return c;
}

template <typename Char, typename Source>
static int AppendUnits(Char* dst, size_t cap, const Source* src, size_t count) {
    if (cap == 0)
        return 0;
    size_t used = LengthWithin(dst, cap);
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
static int CopyUnits(Char* dst, size_t cap, const Source* src) {
    if (cap == 0)
        return 0;
    dst[0] = 0;
    return AppendUnits(dst, cap, src, LengthWithin(src, (size_t)-1));
}

template <typename Char>
static const Char* FindUnitIn(const Char* text, size_t length, Char unit) {
    for (size_t i = 0; i < length; i++) {
        if (text[i] == unit)
            return text + i;
    }
    return nullptr;
}

int AppendBytes(char* dst, size_t cap, const char* src, size_t count) {
    return AppendUnits(dst, cap, src, count);
}
int AppendBytes(wchar_t* dst, size_t cap, const wchar_t* src, size_t count) {
    return AppendUnits(dst, cap, src, count);
}
int AppendBytes(wchar_t* dst, size_t cap, const char* ascii, size_t count) {
    return AppendUnits(dst, cap, ascii, count);
}

int AppendText(char* dst, size_t cap, const char* src) {
    return AppendUnits(dst, cap, src, LengthWithin(src, (size_t)-1));
}
int AppendText(wchar_t* dst, size_t cap, const wchar_t* src) {
    return AppendUnits(dst, cap, src, LengthWithin(src, (size_t)-1));
}
int AppendText(wchar_t* dst, size_t cap, const char* ascii) {
    return AppendUnits(dst, cap, ascii, LengthWithin(ascii, (size_t)-1));
}

int CopyText(char* dst, size_t cap, const char* src) {
    return CopyUnits(dst, cap, src);
}
int CopyText(wchar_t* dst, size_t cap, const wchar_t* src) {
    return CopyUnits(dst, cap, src);
}
int CopyText(wchar_t* dst, size_t cap, const char* ascii) {
    return CopyUnits(dst, cap, ascii);
}

size_t BoundedLength(const char* text, size_t size) {
    return LengthWithin(text, size);
}
size_t BoundedLength(const wchar_t* text, size_t size) {
    return LengthWithin(text, size);
}

const char* FindUnit(const char* text, size_t length, char unit) {
    return FindUnitIn(text, length, unit);
}
const wchar_t* FindUnit(const wchar_t* text, size_t length, wchar_t unit) {
    return FindUnitIn(text, length, unit);
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

static int IsSurrogate(unsigned long c, unsigned long first) {
    return c >= first && c <= first + 0x3FF;
}

// A surrogate without its partner, which UTF-8 cannot hold, becomes
// U+FFFD. Returns the length, 0 when the text does not fit with its NUL.
size_t ToUtf8(char* dst, size_t cap, const wchar_t* src, size_t count) {
    if (!CopyText(dst, cap, ""))
        return 0;
    size_t used = 0;
    for (size_t i = 0; i < count; i++) {
        unsigned long c = (unsigned long)src[i];
        if (IsSurrogate(c, 0xD800) && i + 1 < count &&
            IsSurrogate((unsigned long)src[i + 1], 0xDC00))
            c = 0x10000 + ((c - 0xD800) << 10) + ((unsigned long)src[++i] - 0xDC00);
        else if (IsSurrogate(c, 0xD800) || IsSurrogate(c, 0xDC00) || c > 0x10FFFF)
            c = 0xFFFD;
        // The lead byte carries the count of bytes in its high bits.
        size_t n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        static const unsigned char kLead[5] = {0, 0, 0xC0, 0xE0, 0xF0};
        char bytes[4];
        for (size_t k = n - 1; k > 0; k--, c >>= 6)
            bytes[k] = (char)(0x80 | (c & 0x3F));
        bytes[0] = (char)(kLead[n] | c);
        if (!AppendBytes(dst + used, cap - used, bytes, n))
            return 0;
        used += n;
    }
    return used;
}
