// Turns the switches that setup programs commonly document into an msiexec
// command line: "/s" for no user interface, "/v" followed by msiexec options
// and properties, "/x" for removal. Other words, such as a language switch,
// are not the Installer's business and are left out. Switches are
// case-sensitive, like the launcher's own.
#include "tools/demo_installer/setup_arguments.h"

#include <string.h>

#include "base/text.h"

// Reads the next word the way the C runtime splits a command line: blanks and
// tabs outside quotes end a word and quotes are dropped. Backslashes are
// literal unless a run of them ends at a quote: 2n of them then give n and a
// quote that opens or closes, 2n+1 give n and a literal quote. Returns 0 when
// no word is left; *fits becomes 0 when the word had to be cut.
static int NextWord(const char** cursor, char* word, size_t cap, int* fits) {
    const char* p = *cursor;
    while (*p == ' ' || *p == '\t')
        p++;
    *cursor = p;
    if (!*p)
        return 0;
    word[0] = '\0';
    int quoted = 0;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
        size_t slashes = 0;
        while (p[slashes] == '\\')
            slashes++;
        if (p[slashes] == '"') {
            for (size_t i = 0; i < slashes / 2; i++)
                *fits &= AppendBytes(word, cap, "\\", 1);
            if (slashes % 2)
                *fits &= AppendBytes(word, cap, "\"", 1);
            else
                quoted = !quoted;
            p += slashes + 1;
        } else {
            size_t take = slashes ? slashes : 1;
            *fits &= AppendBytes(word, cap, p, take);
            p += take;
        }
    }
    *cursor = p;
    return 1;
}

// Returns 1 when every word fit; the request is filled in either way.
int ParseSetupArguments(const char* args, SetupRequest* request) {
    request->remove = 0;
    request->silent = 0;
    request->options[0] = '\0';
    char word[kCommandSize];
    int fits = 1;
    while (NextWord(&args, word, sizeof word, &fits)) {
        if (strcmp(word, "/s") == 0) {
            request->silent = 1;
        } else if (strcmp(word, "/x") == 0) {
            request->remove = 1;
        } else if (strncmp(word, "/v", 2) == 0 && word[2]) {
            if (request->options[0])
                fits &= AppendText(request->options, sizeof request->options, " ");
            fits &= AppendText(request->options, sizeof request->options, word + 2);
        }
    }
    return fits;
}

static char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether msiexec options name a user interface level of their own: a word
// outside quotes that starts with /q or -q (/qn, /qb!, /qr+, /quiet) or is
// /passive or -passive, in any case, as msiexec reads its switches.
static int NamesUserInterfaceLevel(const char* options) {
    int quoted = 0;
    int wordStart = 1;
    for (const char* p = options; *p; p++) {
        if (!quoted && (*p == ' ' || *p == '\t')) {
            wordStart = 1;
            continue;
        }
        if (wordStart && !quoted && (*p == '/' || *p == '-')) {
            if (LowerAscii(p[1]) == 'q')
                return 1;
            static const char kPassive[] = "passive";
            size_t i = 0;
            while (kPassive[i] && LowerAscii(p[1 + i]) == kPassive[i])
                i++;
            if (!kPassive[i] && (p[1 + i] == '\0' || p[1 + i] == ' ' || p[1 + i] == '\t'))
                return 1;
        }
        if (*p == '"')
            quoted = !quoted;
        wordStart = 0;
    }
    return 0;
}

// msiexec /i "<package>" (or /x), then /qn for "/s", then the "/v" text. A
// user interface level given with "/v" takes the place of the one "/s" sets,
// so the command names one level, never /qn twice or two that disagree.
// Returns 1 only when the whole command fit.
int ComposeMsiexecCommand(const SetupRequest* request, const char* package, char* command,
                          size_t cap) {
    int fits = CopyText(command, cap, request->remove ? "msiexec /x \"" : "msiexec /i \"");
    fits &= AppendText(command, cap, package);
    fits &= AppendText(command, cap, "\"");
    if (request->silent && !NamesUserInterfaceLevel(request->options))
        fits &= AppendText(command, cap, " /qn");
    if (request->options[0]) {
        fits &= AppendText(command, cap, " ");
        fits &= AppendText(command, cap, request->options);
    }
    return fits;
}
