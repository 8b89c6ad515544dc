// The help text shown by "/?": 140 fixed records, one line of the help file
// each. Every record is stored in a 260-byte slot, its NUL fill included, so
// the file's layout is fixed whatever the texts.
#include "reports/help_records.h"

#include <string.h>

#include "base/text.h"

const wchar_t kHelpFileName[] = L"helpFILE.txt";

constexpr const char* kHelpRecords[kHelpRecordCount] = {
    /*   1 */ "Setup.exe command-line parameters.",
    /*   2 */ "(All sentences described below are case sensitive so use these as here).",
    /*   3 */ "",
    /*   4 */ "Parameter\t\tDescription",
    /*   5 */ "/l[LANGUAGE_CODE]\tThis parameter is to specify the language code how Omrik Vindara will be ",
    /*   6 */ "\t\t\tinstalled.  ",
    /*   7 */ "\t\t\t\tWhere LANGUAGE_CODE can be:",
    /*   8 */ "",
    /*   9 */ "\t\t\t\tUS English\t1033",
    /*  10 */ "\t\t\t\tDanish\t\t1030",
    /*  11 */ "\t\t\t\tDutch\t\t1043",
    /*  12 */ "\t\t\t\tFinnish\t\t1035",
    /*  13 */ "\t\t\t\tFrench\t\t1036",
    /*  14 */ "\t\t\t\tGerman\t\t1031",
    /*  15 */ "\t\t\t\tItalian\t\t1040",
    /*  16 */ "\t\t\t\tNorwegian\t1044",
    /*  17 */ "\t\t\t\tPortuguese\t2070",
    /*  18 */ "\t\t\t\tSpanish\t\t1034",
    /*  19 */ "\t\t\t\tSwedish\t\t1053",
    /*  20 */ "\t\t\t\tJapanese\t1041",
    /*  21 */ "",
    /*  22 */ "/s\t\t\t\tOmmits the first dialog that shows that setup is being loaded",
    /*  23 */ "",
    /*  24 */ "/x \t\t\t\tThe /x option uninstalls a product.",
    /*  25 */ "",
    /*  26 */ "/vd\t\t\t\tDisplays a dialog with the version date of this setup.exe file",
    /*  27 */ "",
    /*  28 */ "/bl\t\t\t\tDisplays a dialog with the build level information of the VNR installed",
    /*  29 */ "",
    /*  30 */ "/?\t\t\t\tDisplays this help file",
    /*  31 */ "",
    /*  32 */ "/v\"[Msi parameter]\"",
    /*  33 */ "",
    /*  34 */ "Where Msi parameter can be the following:",
    /*  35 */ "",
    /*  36 */ "",
    /*  37 */ "\t/qn\t\t\t\tqn will display no user interface ",
    /*  38 */ "",
    /*  39 */ "\tADDLOCAL=VNRCommon,[BRAND]\tUse ADDLOCAL to specify the brand to be installed.  ",
    /*  40 */ "",
    /*  41 */ "\t\t\t\t\tWhere [BRAND] can be :  ",
    /*  42 */ "\t",
    /*  43 */ "\t\t\t\t\tLapvane ",
    /*  44 */ "\t\t\t\t\tDeskora ",
    /*  45 */ "\t\t\t\t\tRackmere ",
    /*  46 */ "\t",
    /*  47 */ "\t\t\t\t\tIf ADDLOCAL is not used the Lapvane brand will be used as default.  ",
    /*  48 */ "\t\t\t\t\tNote: The [Brand] paremeter is case sensitive. ",
    /*  49 */ "\t\t\t\t\tSo the parameter must be specified as appers above. ",
    /*  50 */ "\t",
    /*  51 */ "\tFREEDIAL=\\\"Yes\\\"\t\t\t",
    /*  52 */ "\tor",
    /*  53 */ "\tFREEDIAL=\\\"No\\\"\t\t\tUse FREEDIAL to specify whether the brand to be installed is enable to",
    /*  54 */ "\t\t\t\t\tmake free calls.  The default value is No.   ",
    /*  55 */ "",
    /*  56 */ "\tCC=\\\"xx\\\" \t\t\tUse CC=\\\"xx\\\" to specify the Country Code where Omrik Vindara ",
    /*  57 */ "\t\t\t\t\tis installed.   ",
    /*  58 */ "\t\t\t\t\twhere 'xx' corresponds to one of the following language designations:  ",
    /*  59 */ "\t\t\t\t\tEN English  ",
    /*  60 */ "\t\t\t\t\tSP Spanish  ",
    /*  61 */ "\t\t\t\t\tFR French  ",
    /*  62 */ "\t\t\t\t\tDE German  ",
    /*  63 */ "\t\t\t\t\tIT Italian  ",
    /*  64 */ "\t\t\t\t\tJA Japanese  ",
    /*  65 */ "\t\t\t\t\tDK Danish  ",
    /*  66 */ "\t\t\t\t\tNL Dutch  ",
    /*  67 */ "\t\t\t\t\tNO Norwegian  ",
    /*  68 */ "\t\t\t\t\tPT Portuguese  ",
    /*  69 */ "\t\t\t\t\tSU Finnish  ",
    /*  70 */ "\t\t\t\t\tSV Swedish   ",
    /*  71 */ "\t",
    /*  72 */ "\t\t\t\t\tThe default, if this parameter is not present, is English.  ",
    /*  73 */ "\t\t\t\t\tfor example: msiexec /i \"<path>\\Omrik Vindara.msi\" CODE=\\\"FR\\\" ",
    /*  74 */ "\t\t\t\t\tto specify that Omrik Vindara is installed in French.",
    /*  75 */ "\t",
    /*  76 */ "\tSETUP_PROP\t\t\tUse SETUP_PROP to specify To specify other default values for user settings ",
    /*  77 */ "\t\t\t\t\tat installation: Create and edit the file setup.properties. ",
    /*  78 */ "\t\t\t\t\tHere are the lines you can add to this file, with value choices and ",
    /*  79 */ "\t\t\t\t\texplanation:  ",
    /*  80 */ "\t\t\t\t\tdefaultTargetPath=path  specifies where on the target ",
    /*  81 */ "\t\t\t\t\tclient machine Omrik Vindara will be installed.  ",
    /*  82 */ "\t\t\t\t\tTHIS PARAMETER IS IGNORED BY THE INSTALLATION PROCESS. ",
    /*  83 */ "\t\t\t\t\tTHIS IS ONLY TAKEN FROM THE BRAND INSTALLATION PROGRAM ",
    /*  84 */ "\t\t\t\t\tTO SPECIFY TO THE INSTALLATION WHERE OMRIK VINDARA ",
    /*  85 */ "\t\t\t\t\tWILL BE INSTALLED. ",
    /*  86 */ "\t",
    /*  87 */ "\t\t\t\t\tcc=xx  \t\t\tspecifies the language used in the GUI. Replace 'xx' ",
    /*  88 */ "\t\t\t\t\t\t\t\twith one of the language designators listed above.  ",
    /*  89 */ "\t\t\t\t\tconnectType=dialup ",
    /*  90 */ "\t\t\t\t\tor ",
    /*  91 */ "\t\t\t\t\tconnectType=direct  \tspecifies whether the client will be ",
    /*  92 */ "\t\t\t\t\t\t\t\tconnecting via a modem (dialup) or a LAN (direct) ",
    /*  93 */ "\t\t\t\t\t\t\t\tconnection.  ",
    /*  94 */ "\t",
    /*  95 */ "\t\t\t\t\tdialupConnection=service    specifies what dialup service with which to connect. ",
    /*  96 */ "\t\t\t\t\t\t\t\tCorresponds to a dialup networking object. ",
    /*  97 */ "\t\t\t\t\t\t\t\tUse 'Other' (without the quotes) if you use an online ",
    /*  98 */ "\t\t\t\t\t\t\t\tservice instead of an Internet service provider (ISP). ",
    /*  99 */ "\t",
    /* 100 */ "\t\t\t\t\tfirewall=none | proxy | socks   specifies what type of firewall setup the ",
    /* 101 */ "\t\t\t\t\t\t\t\tclient communicates to the Internet over.  ",
    /* 102 */ "\t\t\t\t\t",
    /* 103 */ "\t\t\t\t\tproxyPort=nn  \t\tspecifies the proxy port identifier (default is 80). ",
    /* 104 */ "\t\t\t\t\t\t\t\tIgnored if firewall is 'none'.",
    /* 105 */ "\t",
    /* 106 */ "\t\t\t\t\tproxyServer=proxy.server.name\tspecifies the address or name of the proxy ",
    /* 107 */ "\t\t\t\t\t\t\t\t\tserver. Note: Omrik Vindara will ",
    /* 108 */ "\t\t\t\t\t\t\t\t\tpreface this value with 'http://' ",
    /* 109 */ "\t\t\t\t\t\t\t\t\tso do not include this part of the address.  ",
    /* 110 */ "\t\t\t\t\t",
    /* 111 */ "\t\t\t\t\tsocksPort=nnnn  \t\tspecifies the socks port identifier (default ",
    /* 112 */ "\t\t\t\t\t\t\t\tis 1080).",
    /* 113 */ "\t\t\t\t\t",
    /* 114 */ "\t\t\t\t\tsocksServer=socks.server.name\tspecifies the address or name of the socks ",
    /* 115 */ "\t\t\t\t\t\t\t\t\tserver.  ",
    /* 116 */ "\t\t\t",
    /* 117 */ "\t\t\t\t\tplaySounds=yes | no  \t\tspecifies whether the client GUI will play ",
    /* 118 */ "\t\t\t\t\t\t\t\t\t'progress indicators' sounds during update ",
    /* 119 */ "\t\t\t\t\t\t\t\t\tdownload. This is also configurable in the ",
    /* 120 */ "\t\t\t\t\t\t\t\t\tactual client GUI.  ",
    /* 121 */ "\t\t\t\t\t",
    /* 122 */ "",
    /* 123 */ "\t\t\t\t\tNote: all values specified in setup.properties will override values ",
    /* 124 */ "\t\t\t\t\tspecified in the installation. If any property is not listed in the ",
    /* 125 */ "\t\t\t\t\tsetup.properties file it won't  override the value. This setup.properties ",
    /* 126 */ "\t\t\t\t\thas the highest priority to set any value. ",
    /* 127 */ "\t\t\t\t",
    /* 128 */ "",
    /* 129 */ "\tINSTALLDIR\t\t\tUse INSTALLDIR to specify the directory where Omrik Vindara will be installed.  ",
    /* 130 */ "",
    /* 131 */ "\t\t\t\t\tto specify that the product will be installed in the c:\\Omrik\\Vindara directory.  ",
    /* 132 */ "\t",
    /* 133 */ "\t\t\t\t\tNote: There is a limitation to install the product in the root directory. ",
    /* 134 */ "\t",
    /* 135 */ "",
    /* 136 */ "",
    /* 137 */ "",
    /* 138 */ "",
    /* 139 */ "",
    /* 140 */ "",
};

constexpr bool RecordsFit() {
    for (const char* record : kHelpRecords) {
        if (TextLength(record) >= kHelpRecordSize)
            return false;
    }
    return true;
}
static_assert(RecordsFit(), "every help record leaves room for its NUL fill");

// The help file: each record's text in its slot of kHelpRecordSize bytes,
// the rest of the slot NUL bytes, then CR LF. Returns the file's length, 0
// when cap is too small for it.
size_t ComposeHelpFile(char* dst, size_t cap) {
    if (cap < kHelpFileSize)
        return 0;
    memset(dst, 0, kHelpFileSize);
    for (int i = 0; i < kHelpRecordCount; i++) {
        char* line = dst + (size_t)i * kHelpLineSize;
        (void)CopyText(line, kHelpRecordSize, kHelpRecords[i]);  // every record fits
        line[kHelpRecordSize] = '\r';
        line[kHelpRecordSize + 1] = '\n';
    }
    return kHelpFileSize;
}
