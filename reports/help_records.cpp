// The help text shown by "/?": 140 fixed records, one line of the help file
// each. Every record is stored in a 260-byte slot, its NUL fill included, so
// the file's layout is fixed whatever the texts.
#include "reports/help_records.h"

#include <string.h>

#include "base/text.h"

const wchar_t kHelpFileName[] = L"helpFILE.txt";

// The records in order, each ended by a line feed, which no record holds:
// one text, not a table of 140 pointers, each with its relocation. Those
// after the text, to the 140th, are blank.
constexpr char kHelpText[] =
    /*   1 */ "Setup.exe command-line parameters.\n"
    /*   2 */ "(All sentences described below are case sensitive so use these as here).\n"
    /*   3 */ "\n"
    /*   4 */ "Parameter\t\tDescription\n"
    /*   5 */ "/l[LANGUAGE_CODE]\tThis parameter is to specify the language code how Omrik Vindara will be \n"
    /*   6 */ "\t\t\tinstalled.  \n"
    /*   7 */ "\t\t\t\tWhere LANGUAGE_CODE can be:\n"
    /*   8 */ "\n"
    /*   9 */ "\t\t\t\tUS English\t1033\n"
    /*  10 */ "\t\t\t\tDanish\t\t1030\n"
    /*  11 */ "\t\t\t\tDutch\t\t1043\n"
    /*  12 */ "\t\t\t\tFinnish\t\t1035\n"
    /*  13 */ "\t\t\t\tFrench\t\t1036\n"
    /*  14 */ "\t\t\t\tGerman\t\t1031\n"
    /*  15 */ "\t\t\t\tItalian\t\t1040\n"
    /*  16 */ "\t\t\t\tNorwegian\t1044\n"
    /*  17 */ "\t\t\t\tPortuguese\t2070\n"
    /*  18 */ "\t\t\t\tSpanish\t\t1034\n"
    /*  19 */ "\t\t\t\tSwedish\t\t1053\n"
    /*  20 */ "\t\t\t\tJapanese\t1041\n"
    /*  21 */ "\n"
    /*  22 */ "/s\t\t\t\tOmmits the first dialog that shows that setup is being loaded\n"
    /*  23 */ "\n"
    /*  24 */ "/x \t\t\t\tThe /x option uninstalls a product.\n"
    /*  25 */ "\n"
    /*  26 */ "/vd\t\t\t\tDisplays a dialog with the version date of this setup.exe file\n"
    /*  27 */ "\n"
    /*  28 */ "/bl\t\t\t\tDisplays a dialog with the build level information of the VNR installed\n"
    /*  29 */ "\n"
    /*  30 */ "/?\t\t\t\tDisplays this help file\n"
    /*  31 */ "\n"
    /*  32 */ "/v\"[Msi parameter]\"\n"
    /*  33 */ "\n"
    /*  34 */ "Where Msi parameter can be the following:\n"
    /*  35 */ "\n"
    /*  36 */ "\n"
    /*  37 */ "\t/qn\t\t\t\tqn will display no user interface \n"
    /*  38 */ "\n"
    /*  39 */ "\tADDLOCAL=VNRCommon,[BRAND]\tUse ADDLOCAL to specify the brand to be installed.  \n"
    /*  40 */ "\n"
    /*  41 */ "\t\t\t\t\tWhere [BRAND] can be :  \n"
    /*  42 */ "\t\n"
    /*  43 */ "\t\t\t\t\tLapvane \n"
    /*  44 */ "\t\t\t\t\tDeskora \n"
    /*  45 */ "\t\t\t\t\tRackmere \n"
    /*  46 */ "\t\n"
    /*  47 */ "\t\t\t\t\tIf ADDLOCAL is not used the Lapvane brand will be used as default.  \n"
    /*  48 */ "\t\t\t\t\tNote: The [Brand] paremeter is case sensitive. \n"
    /*  49 */ "\t\t\t\t\tSo the parameter must be specified as appers above. \n"
    /*  50 */ "\t\n"
    /*  51 */ "\tFREEDIAL=\\\"Yes\\\"\t\t\t\n"
    /*  52 */ "\tor\n"
    /*  53 */ "\tFREEDIAL=\\\"No\\\"\t\t\tUse FREEDIAL to specify whether the brand to be installed is enable to\n"
    /*  54 */ "\t\t\t\t\tmake free calls.  The default value is No.   \n"
    /*  55 */ "\n"
    /*  56 */ "\tCC=\\\"xx\\\" \t\t\tUse CC=\\\"xx\\\" to specify the Country Code where Omrik Vindara \n"
    /*  57 */ "\t\t\t\t\tis installed.   \n"
    /*  58 */ "\t\t\t\t\twhere 'xx' corresponds to one of the following language designations:  \n"
    /*  59 */ "\t\t\t\t\tEN English  \n"
    /*  60 */ "\t\t\t\t\tSP Spanish  \n"
    /*  61 */ "\t\t\t\t\tFR French  \n"
    /*  62 */ "\t\t\t\t\tDE German  \n"
    /*  63 */ "\t\t\t\t\tIT Italian  \n"
    /*  64 */ "\t\t\t\t\tJA Japanese  \n"
    /*  65 */ "\t\t\t\t\tDK Danish  \n"
    /*  66 */ "\t\t\t\t\tNL Dutch  \n"
    /*  67 */ "\t\t\t\t\tNO Norwegian  \n"
    /*  68 */ "\t\t\t\t\tPT Portuguese  \n"
    /*  69 */ "\t\t\t\t\tSU Finnish  \n"
    /*  70 */ "\t\t\t\t\tSV Swedish   \n"
    /*  71 */ "\t\n"
    /*  72 */ "\t\t\t\t\tThe default, if this parameter is not present, is English.  \n"
    /*  73 */ "\t\t\t\t\tfor example: msiexec /i \"<path>\\Omrik Vindara.msi\" CODE=\\\"FR\\\" \n"
    /*  74 */ "\t\t\t\t\tto specify that Omrik Vindara is installed in French.\n"
    /*  75 */ "\t\n"
    /*  76 */ "\tSETUP_PROP\t\t\tUse SETUP_PROP to specify To specify other default values for user settings \n"
    /*  77 */ "\t\t\t\t\tat installation: Create and edit the file setup.properties. \n"
    /*  78 */ "\t\t\t\t\tHere are the lines you can add to this file, with value choices and \n"
    /*  79 */ "\t\t\t\t\texplanation:  \n"
    /*  80 */ "\t\t\t\t\tdefaultTargetPath=path  specifies where on the target \n"
    /*  81 */ "\t\t\t\t\tclient machine Omrik Vindara will be installed.  \n"
    /*  82 */ "\t\t\t\t\tTHIS PARAMETER IS IGNORED BY THE INSTALLATION PROCESS. \n"
    /*  83 */ "\t\t\t\t\tTHIS IS ONLY TAKEN FROM THE BRAND INSTALLATION PROGRAM \n"
    /*  84 */ "\t\t\t\t\tTO SPECIFY TO THE INSTALLATION WHERE OMRIK VINDARA \n"
    /*  85 */ "\t\t\t\t\tWILL BE INSTALLED. \n"
    /*  86 */ "\t\n"
    /*  87 */ "\t\t\t\t\tcc=xx  \t\t\tspecifies the language used in the GUI. Replace 'xx' \n"
    /*  88 */ "\t\t\t\t\t\t\t\twith one of the language designators listed above.  \n"
    /*  89 */ "\t\t\t\t\tconnectType=dialup \n"
    /*  90 */ "\t\t\t\t\tor \n"
    /*  91 */ "\t\t\t\t\tconnectType=direct  \tspecifies whether the client will be \n"
    /*  92 */ "\t\t\t\t\t\t\t\tconnecting via a modem (dialup) or a LAN (direct) \n"
    /*  93 */ "\t\t\t\t\t\t\t\tconnection.  \n"
    /*  94 */ "\t\n"
    /*  95 */ "\t\t\t\t\tdialupConnection=service    specifies what dialup service with which to connect. \n"
    /*  96 */ "\t\t\t\t\t\t\t\tCorresponds to a dialup networking object. \n"
    /*  97 */ "\t\t\t\t\t\t\t\tUse 'Other' (without the quotes) if you use an online \n"
    /*  98 */ "\t\t\t\t\t\t\t\tservice instead of an Internet service provider (ISP). \n"
    /*  99 */ "\t\n"
    /* 100 */ "\t\t\t\t\tfirewall=none | proxy | socks   specifies what type of firewall setup the \n"
    /* 101 */ "\t\t\t\t\t\t\t\tclient communicates to the Internet over.  \n"
    /* 102 */ "\t\t\t\t\t\n"
    /* 103 */ "\t\t\t\t\tproxyPort=nn  \t\tspecifies the proxy port identifier (default is 80). \n"
    /* 104 */ "\t\t\t\t\t\t\t\tIgnored if firewall is 'none'.\n"
    /* 105 */ "\t\n"
    /* 106 */ "\t\t\t\t\tproxyServer=proxy.server.name\tspecifies the address or name of the proxy \n"
    /* 107 */ "\t\t\t\t\t\t\t\t\tserver. Note: Omrik Vindara will \n"
    /* 108 */ "\t\t\t\t\t\t\t\t\tpreface this value with 'http://' \n"
    /* 109 */ "\t\t\t\t\t\t\t\t\tso do not include this part of the address.  \n"
    /* 110 */ "\t\t\t\t\t\n"
    /* 111 */ "\t\t\t\t\tsocksPort=nnnn  \t\tspecifies the socks port identifier (default \n"
    /* 112 */ "\t\t\t\t\t\t\t\tis 1080).\n"
    /* 113 */ "\t\t\t\t\t\n"
    /* 114 */ "\t\t\t\t\tsocksServer=socks.server.name\tspecifies the address or name of the socks \n"
    /* 115 */ "\t\t\t\t\t\t\t\t\tserver.  \n"
    /* 116 */ "\t\t\t\n"
    /* 117 */ "\t\t\t\t\tplaySounds=yes | no  \t\tspecifies whether the client GUI will play \n"
    /* 118 */ "\t\t\t\t\t\t\t\t\t'progress indicators' sounds during update \n"
    /* 119 */ "\t\t\t\t\t\t\t\t\tdownload. This is also configurable in the \n"
    /* 120 */ "\t\t\t\t\t\t\t\t\tactual client GUI.  \n"
    /* 121 */ "\t\t\t\t\t\n"
    /* 122 */ "\n"
    /* 123 */ "\t\t\t\t\tNote: all values specified in setup.properties will override values \n"
    /* 124 */ "\t\t\t\t\tspecified in the installation. If any property is not listed in the \n"
    /* 125 */ "\t\t\t\t\tsetup.properties file it won't  override the value. This setup.properties \n"
    /* 126 */ "\t\t\t\t\thas the highest priority to set any value. \n"
    /* 127 */ "\t\t\t\t\n"
    /* 128 */ "\n"
    /* 129 */ "\tINSTALLDIR\t\t\tUse INSTALLDIR to specify the directory where Omrik Vindara will be installed.  \n"
    /* 130 */ "\n"
    /* 131 */ "\t\t\t\t\tto specify that the product will be installed in the c:\\Omrik\\Vindara directory.  \n"
    /* 132 */ "\t\n"
    /* 133 */ "\t\t\t\t\tNote: There is a limitation to install the product in the root directory. \n"
    /* 134 */ "\t\n";

// At most 140 records, each shorter than its slot, so a NUL follows it there.
constexpr bool RecordsFit() {
    int records = 0;
    for (size_t at = 0, length = 0; kHelpText[at]; at++) {
        length = kHelpText[at] == '\n' ? 0 : length + 1;
        records += kHelpText[at] == '\n';
        if (length >= kHelpRecordSize)
            return false;
    }
    return records <= kHelpRecordCount;
}
static_assert(RecordsFit(), "at most 140 help records, each with room for its NUL fill");

// The help file: each record's text in its NUL-filled slot of
// kHelpRecordSize bytes, then CR LF. Returns its length, 0 when cap is short.
size_t ComposeHelpFile(char* dst, size_t cap) {
    if (cap < kHelpFileSize)
        return 0;
    memset(dst, 0, kHelpFileSize);
    const char* record = kHelpText;
    for (int i = 0; i < kHelpRecordCount; i++) {
        char* line = dst + (size_t)i * kHelpLineSize;
        const char* end = *record ? FindUnit(record, kHelpRecordSize, '\n') : record;  // fits
        memcpy(line, record, (size_t)(end - record));
        record = *record ? end + 1 : record;
        line[kHelpRecordSize] = '\r';
        line[kHelpRecordSize + 1] = '\n';
    }
    return kHelpFileSize;
}
