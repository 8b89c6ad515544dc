// Decimal numbers and UTF-8 for the bounded text helpers.
#include "base/text.h"

// Decimal digits of a 64-bit count, last first, each the remainder of a
// long division by ten over four 16-bit pieces: a 32-bit program then needs
// no 64-bit division routines, and no runtime's support for 64-bit format
// sizes, which older Microsoft runtimes lack.
int AppendUnsigned(char* dst, size_t cap, unsigned long long value) {
    unsigned long pieces[4];
    for (int i = 3; i >= 0; i--, value >>= 16)
        pieces[i] = (unsigned long)(value & 0xFFFF);
    char text[20];
    size_t first = sizeof text;
    unsigned long left;
    do {
        unsigned long rest = 0;
        left = 0;
        for (unsigned long& piece : pieces) {
            rest = rest << 16 | piece;
            piece = rest / 10;
            rest %= 10;
            left |= piece;
        }
        text[--first] = (char)('0' + rest);
    } while (left);
    return AppendBytes(dst, cap, text + first, sizeof text - first);
}

const char* NthText(const char* texts, int n) {
    for (; n > 0; n--)
        texts += BoundedLength(texts, (size_t)-1) + 1;
    return texts;
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
