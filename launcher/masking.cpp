// The argument text read as _Setup.exe splits it into words (the C
// runtime's rules) and as the Installer splits a word's text after "/v"
// into properties. Each character a reading gives keeps the stretch of the
// text it came from, so a secret is hidden however the text quotes it.
#include "launcher/masking.h"

#include <string.h>

#include "base/text.h"
#include "launcher/command_line.h"

namespace {

const size_t kRoom = kInnerCommandRoom;
static_assert(kRoom <= 65535, "a position in the text fits an unsigned short");

// A character as a reading gave it, from text[from, to); eight bytes.
struct alignas(8) Unit {
    wchar_t c;
    unsigned short from, to;
};

enum : unsigned char { kHidden = 1, kStarsBefore = 2 };
unsigned char gMarks[kRoom + 1];  // for each position of the text
const wchar_t* gText;
size_t gWordEnd;    // where the word's last character ends in the text
int gUnclear;       // the word holds "" inside quotes
Unit gWord[kRoom];  // the word being read, then its properties

int IsOneOf(wchar_t c, const char* set) {
    while (*set && *set != c)
        set++;
    return *set != 0;
}
int IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Stems that mark a secret's name in any case, wherever they stand.
const char kStems[] = "PASS PSW PW PIN KEY TOKEN SECRET AUTH CRED SERIAL LICENSE ACTIVATION "
                      "ENROLL PSK SIG CERT ";

int NamesASecret(const Unit* name, size_t length) {
    for (const char* stem = kStems; *stem;) {
        for (size_t at = 0, k = 0; at < length; at++, k = 0) {
            while (stem[k] != ' ' && at + k < length && (name[at + k].c & ~0x20) == stem[k])
                k++;
            if (stem[k] == ' ')
                return 1;
        }
        while (*stem++ != ' ') {
        }
    }
    return 0;
}

// Hides units [first, end) and what lies between them (quotes the reading
// took away) behind "***", shown for an empty value too; where runtimes
// disagree on the word, to its end. A single quote quotes nothing to either
// reader but was meant to: one left open hides on to the next.
void Hide(const Unit* u, size_t first, size_t end) {
    const size_t from = first < end ? u[first].from : u[first - 1].to;
    size_t to = gUnclear ? gWordEnd : first < end ? u[end - 1].to : from;
    int open = 0;
    for (size_t k = first; k < end; k++)
        open ^= u[k].c == L'\'';
    while (open && gText[to] && gText[to] != L'\'')
        to++;
    gMarks[from] |= kStarsBefore;
    for (size_t at = from; at < to; at++)
        gMarks[at] |= kHidden;
}

// NAME=VALUE or a switch /NAME:VALUE: a secret name hides the value to
// where the reading ends it. Elsewhere a secret key of a list ("Server=db;
// Password = x;", "?sv=1&sig=x") hides up to the next ";" or "&" (to the
// value's end after a quote or brace), and a URL its user's password.
void MaskProperty(const Unit* u, size_t count) {
    size_t mark = 0;
    while (mark < count && u[mark].c != L'=' && (u[mark].c != L':' || !IsOneOf(u[0].c, "/-")))
        mark++;
    if (mark < count && NamesASecret(u, mark))
        return Hide(u, mark + 1, count);
    for (size_t at = 0, key = 0; at < count; at++) {
        key = IsOneOf(u[at].c, ";&?") ? at + 1 : key;
        if (u[at].c != L'=' || !NamesASecret(u + key, at - key)) {
            key = u[at].c == L'=' ? at + 1 : key;
            continue;
        }
        size_t end = at + 1;
        while (end < count && !IsOneOf(u[end].c, ";&"))
            end = IsOneOf(u[end].c, "\"'{") ? count : end + 1;
        Hide(u, at + 1, end);
        at = end - 1;
    }
    for (size_t at = 0; at + 2 < count; at++) {
        if (u[at].c != L':' || u[at + 1].c != L'/' || u[at + 2].c != L'/')
            continue;
        size_t colon = 0, sign = 0;
        for (size_t k = at + 3; k < count && !IsOneOf(u[k].c, "/?#"); k++) {
            sign = u[k].c == L'@' ? k : sign;
            colon = u[k].c == L':' && !colon ? k : colon;
        }
        if (colon && colon < sign)
            Hide(u, colon + 1, sign);
    }
}

// The Installer's reading of a /v text: properties apart by blanks outside
// quotes, "" inside them one quote; each read into the room it came from.
void ReadInstallerText(size_t count) {
    for (size_t at = 2, start, n; at < count; MaskProperty(gWord + start, n)) {
        for (start = at, n = 0; at < count && IsBlank(gWord[at].c); at++, start++) {
        }
        for (int quoted = 0; at < count && (quoted || !IsBlank(gWord[at].c)); at++) {
            Unit* unit = &gWord[start + n];
            if (gWord[at].c != L'"')
                *unit = gWord[at], n++;
            else if (quoted && at + 1 < count && gWord[at + 1].c == L'"')
                *unit = {L'"', gWord[at].from, gWord[at + 1].to}, n++, at++;
            else
                quoted = !quoted;
        }
    }
}

// The next word as the C runtime reads it: blanks outside quotes end it, a
// quote opens or closes quoting, and backslashes before a quote escape (2n
// give n and the quote counts, 2n+1 give n and a literal quote). "" inside
// quotes is one literal quote to newer runtimes and ends the quoting to
// older ones: there the word's end is unclear. Returns where it ends.
size_t ReadWord(size_t at, size_t length, size_t* count) {
    const wchar_t* text = gText;
    size_t n = 0;
    while (at < length && IsBlank(text[at]))
        at++;
    gUnclear = 0;
    for (int quoted = 0; at < length && (quoted || !IsBlank(text[at]));) {
        size_t slashes = 0;
        while (at + slashes < length && text[at + slashes] == L'\\')
            slashes++;
        if (at + slashes == length || text[at + slashes] != L'"') {
            for (slashes += !slashes; slashes > 0; slashes--, at++)
                gWord[n++] = {text[at], (unsigned short)at, (unsigned short)(at + 1)};
            continue;
        }
        for (; slashes >= 2; slashes -= 2, at += 2)
            gWord[n++] = {L'\\', (unsigned short)at, (unsigned short)(at + 2)};
        if (slashes) {
            gWord[n++] = {L'"', (unsigned short)at, (unsigned short)(at + 2)};
            at += 2;
            continue;
        }
        gUnclear |= quoted && at + 1 < length && text[at + 1] == L'"';
        quoted = !quoted;
        at++;
    }
    gWordEnd = n ? gWord[n - 1].to : at;
    *count = n;
    return at;
}

}  // namespace

int MaskSecrets(const wchar_t* text, wchar_t* dst, size_t cap) {
    const size_t length = BoundedLength(text, kRoom);
    if (length == kRoom || cap == 0)
        return CopyText(dst, cap, "***");
    memset(gMarks, 0, length + 1);
    gText = text;
    for (size_t at = 0, count; at < length;) {
        at = ReadWord(at, length, &count);
        if (count >= 2 && gWord[0].c == L'/' && (gWord[1].c & ~0x20) == L'V')
            ReadInstallerText(count);
        else
            MaskProperty(gWord, count);
    }
    size_t used = 0;
    for (size_t at = 0; at <= length; at++) {
        const int hidden = gMarks[at] & kHidden, shown = at < length && !hidden;
        const int stars = (gMarks[at] & kStarsBefore) && (!at || !(gMarks[at - 1] & kHidden));
        if (used + 3 * (size_t)stars + (size_t)shown >= cap)
            return dst[used] = L'\0', 0;
        for (int i = 0; i < 3 * stars; i++)
            dst[used++] = L'*';
        if (shown)
            dst[used++] = text[at];
    }
    dst[used] = L'\0';
    return 1;
}
