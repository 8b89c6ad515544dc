// Reads the already-installed dialog templates back from the built Setup.exe
// and checks every field of every template, then creates each one to see the
// dialog manager build its controls from it.
#include <windows.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "launcher/main_window.h"
#include "launcher/refusal_dialog.h"
#include "tools/testbed/testbed.h"

namespace {

enum ControlKind { kTransparent, kPlain, kOk };

struct ExpectedControl {
    ControlKind kind;
    short x, y, cx, cy;
    const char* text;  // UTF-8
};

struct ExpectedDialog {
    int id;
    short height;
    std::vector<ExpectedControl> controls;
};

// Names the dialog in failure messages instead of dumping the struct's bytes.
void PrintTo(const ExpectedDialog& dialog, std::ostream* out) {
    *out << "dialog " << dialog.id;
}

// What each kind of control carries in the template.
struct KindFields {
    DWORD style;
    DWORD exStyle;
    DWORD id;
    WORD classOrdinal;
    const char* className;  // as the created window reports it
};

KindFields FieldsOf(ControlKind kind) {
    switch (kind) {
    case kTransparent:
        return {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX, WS_EX_TRANSPARENT,
                0xFFFFFFFF, 0x0082, "Static"};
    case kPlain:
        return {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 0xFFFFFFFF, 0x0082, "Static"};
    case kOk:
        break;
    }
    return {WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, 0x0080,
            "Button"};
}

// A paragraph may run over several statics; each piece keeps the blank at
// which it was cut. The Japanese lines are named in reading order, which is
// not the order of the controls.
const char kDanishInstalled[] =
    "Omrik Vindara er allerede installeret. Fjern den aktuelle version af Vindara vha. "
    "programmet Tilføj/fjern programmer i Kontrolpanel for at afslutte installationen, og start "
    "installationen af Vindara igen.";
const char kDanishWarning[] =
    "Hvis du fjerner denne version af Omrik Vindara, kan du måske ikke længere hente "
    "opdateringer til denne computer.";
const char kGermanInstalledStart[] =
    "Omrik Vindara ist bereits installiert. Wenn Sie die Installation vollständig durchführen "
    "möchten, deinstallieren ";
const char kGermanInstalledEnd[] =
    "Sie zunächst die aktuelle Version von Vindara. Verwenden Sie hierzu die Funktion "
    "\"Software\" im Fenster \"Systemsteuerung\" und starten Sie den Installationsvorgang für "
    "Vindara dann erneut.";
const char kGermanWarning[] =
    "Wenn Sie die vorhandene Version von Omrik Vindara deinstallieren, können Sie möglicherweise "
    "keine Aktualisierungen mehr für diesen Computer anfordern.";
const char kEnglishInstalledLong[] =
    "Omrik Vindara is already installed. To complete the installation process, uninstall the "
    "current version of Omrik Vindara using the Add/Remove Programs (Control Panel) and start "
    "the Omrik Vindara installation process again. ";
const char kEnglishWarning[] =
    "If you uninstall this version, you might no longer be able to get updates for this computer.";
const char kEnglishInstalled[] =
    "Omrik Vindara is already installed. To complete the installation process, uninstall the "
    "current version of Omrik Vindara using the Add/Remove Programs (Control Panel) and start "
    "the Omrik Vindara installation process again.";
const char kSpanishInstalled[] =
    "Omrik Vindara ya está instalado. Para completar el proceso de instalación, desinstale la "
    "versión actual de Vindara utilizando Agregar o quitar programas (Panel de control) e inicie "
    "el proceso de instalación de Vindara de nuevo.";
const char kSpanishWarning[] =
    "Si desinstala esta versión de Omrik Vindara, es posible que no pueda volver a obtener "
    "actualizaciones para este sistema.";
const char kFinnishInstalled[] =
    "Omrik Vindara -ohjelma on jo asennettu tietokoneeseen. Voit asentaa tämän version "
    "poistamalla ensin asennetun version Ohjauspaneelin Lisää/poista sovellus -apuohjelman "
    "avulla ja aloittamalla Vindara -ohjelman asennuksen uudelleen.";
const char kFinnishWarning[] =
    "Jos poistat Omrik Vindara -ohjelman tämän version, et ehkä saa enää tähän tietokoneeseen "
    "tarkoitettuja ohjelmapäivityksiä.";
const char kFrenchInstalledStart[] =
    "Omrik Vindara est déjà installé. Pour terminer ";
const char kFrenchInstalledEnd[] =
    "l'installation, désinstallez la version en cours d'Omrik Vindara à l'aide de l'utilitaire "
    "Ajout/Suppression de programmes (qui se trouve dans le Panneau de configuration) et "
    "relancez le processus d'installation d'Omrik Vindara.";
const char kFrenchWarning[] =
    "Si vous désinstallez cette version d'Omrik Vindara, vous ne pourrez plus obtenir de mises à "
    "jour pour cet ordinateur.";
const char kJapaneseLine1[] =
    "OmrikVindaraは既に導入されていま";
const char kJapaneseLine2[] =
    "す。導入を完了させるには、コントロールパネルの";
const char kJapaneseLine3[] =
    "「アプリケーションの追加と削除」で現在のバージ";
const char kJapaneseLine4[] =
    "ョンのVindaraを削除してから、";
const char kJapaneseLine5[] =
    "もう一度導入をしてください。";
const char kJapaneseWarning1[] =
    "このバージョンのOmrikVindaraを";
const char kJapaneseWarning2[] =
    "削除した場合、このコンピュータに対するアップ";
const char kJapaneseWarning3[] =
    "デートは行えなくなる可能性があります。";
const char kDutchInstalled[] =
    "De Omrik Vindara is al geïnstalleerd. Om de installatie te kunnen voltooien, moet u de "
    "huidige versie van de Vindara verwijderen met de applet Software (Configuratiescherm). "
    "Daarna kunt u de installatie opnieuw starten.";
const char kDutchWarning[] =
    "Als u deze versie van de Omrik Vindara verwijdert, is het wellicht niet meer mogelijk "
    "updates voor de computer op te halen.";
const char kSwedishInstalledStart[] =
    "Omrik Vindara är redan installerad. För att ";
const char kSwedishInstalledEnd[] =
    "installationsprocessen ska slutföras måste du avinstallera den aktuella versionen av "
    "Vindara med Lägg till/ta bort program (i Kontrollpanelen) och sedan starta installationen "
    "av Vindara igen.";
const char kSwedishWarning[] =
    "Om du avinstallerar den här versionen av Omrik Vindara är det möjligt att du inte längre "
    "kan få uppdateringar för den här datorn.";
const char kNorwegianLongStart[] =
    "Omrik Vindara er allerede installert. Du fullfører installeringsprosessen ved å "
    "deinstallere den gjeldende versjonen av Vindara  ved hjelp av Legg til/fjern ";
const char kNorwegianLongEnd[] =
    "programmer (Kontrollpanel) og å starte installeringsprosessen for Vindara på nytt.";
const char kNorwegianWarning[] =
    "Hvis du deinstallerer denne versjonen av Omrik Vindara, kan det hende at du ikke lenger kan "
    "få oppdateringer til denne maskinen.";
const char kNorwegianShortStart[] =
    "Omrik Vindara er allerede installert. Du fullfører ";
const char kNorwegianShortEnd[] =
    "installeringsprosessen ved å deinstallere den gjeldende versjonen av Vindara ved hjelp av "
    "Legg til/fjern programmer (Kontrollpanel) og å starte installeringsprosessen for Vindara på "
    "nytt.";
const char kPortugueseInstalled[] =
    "O programa Omrik Vindara já está instalado. Para concluir o processo de instalação, remova "
    "a versão atual do Vindara, em Adicionar ou remover programas (Painel de Controle), e "
    "reinicie o processo de instalação do Vindara.";
const char kPortugueseWarning[] =
    "Se a instalação desta versão do programa Omrik Vindara for removida, é possível que você "
    "não consiga mais obter atualizações para este computador.";

const ExpectedDialog kDialogs[] = {
    {1030, 100, {
        {kTransparent, 13, 6, 204, 40, kDanishInstalled},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 27, kDanishWarning},
    }},
    {1031, 120, {
        {kTransparent, 14, 6, 204, 18, kGermanInstalledStart},
        {kTransparent, 13, 22, 204, 36, kGermanInstalledEnd},
        {kOk, 91, 97, 48, 15, "OK"},
        {kPlain, 13, 62, 210, 27, kGermanWarning},
    }},
    {1033, 100, {
        {kTransparent, 13, 6, 204, 40, kEnglishInstalledLong},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 17, kEnglishWarning},
    }},
    {1034, 100, {
        {kTransparent, 13, 6, 204, 40, kSpanishInstalled},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 27, kSpanishWarning},
    }},
    {1035, 100, {
        {kTransparent, 13, 6, 204, 40, kFinnishInstalled},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 29, kFinnishWarning},
    }},
    {1036, 100, {
        {kTransparent, 12, 6, 204, 9, kFrenchInstalledStart},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 12, 53, 210, 27, kFrenchWarning},
        {kPlain, 12, 14, 208, 34, kFrenchInstalledEnd},
    }},
    {1040, 100, {
        {kTransparent, 13, 6, 204, 40, kEnglishInstalledLong},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 27, kEnglishWarning},
    }},
    {1041, 128, {
        {kTransparent, 13, 6, 204, 10, kJapaneseLine1},
        {kOk, 91, 106, 48, 15, "OK"},
        {kPlain, 13, 62, 210, 10, kJapaneseWarning1},
        {kTransparent, 13, 26, 204, 10, kJapaneseLine3},
        {kTransparent, 13, 16, 204, 10, kJapaneseLine2},
        {kTransparent, 13, 36, 204, 10, kJapaneseLine4},
        {kTransparent, 13, 46, 204, 10, kJapaneseLine5},
        {kTransparent, 13, 72, 204, 10, kJapaneseWarning2},
        {kTransparent, 13, 83, 204, 10, kJapaneseWarning3},
    }},
    {1043, 100, {
        {kTransparent, 13, 6, 204, 40, kDutchInstalled},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 26, kDutchWarning},
    }},
    {1053, 100, {
        {kTransparent, 13, 7, 204, 12, kSwedishInstalledStart},
        {kTransparent, 13, 16, 204, 34, kSwedishInstalledEnd},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 54, 210, 24, kSwedishWarning},
    }},
    {2068, 100, {
        {kTransparent, 13, 4, 204, 25, kNorwegianLongStart},
        {kTransparent, 12, 28, 204, 20, kNorwegianLongEnd},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 27, kNorwegianWarning},
    }},
    {2070, 100, {
        {kTransparent, 13, 6, 204, 40, kPortugueseInstalled},
        {kOk, 91, 82, 48, 15, "OK"},
        {kPlain, 13, 51, 210, 27, kPortugueseWarning},
    }},
    {5030, 87, {
        {kTransparent, 13, 6, 204, 58, kDanishInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5031, 87, {
        {kTransparent, 14, 4, 204, 16, kGermanInstalledStart},
        {kTransparent, 14, 20, 204, 38, kGermanInstalledEnd},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5033, 87, {
        {kTransparent, 13, 6, 204, 58, kEnglishInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5034, 87, {
        {kTransparent, 13, 6, 204, 58, kSpanishInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5035, 87, {
        {kTransparent, 13, 6, 204, 58, kFinnishInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5036, 87, {
        {kTransparent, 13, 5, 204, 9, kFrenchInstalledStart},
        {kTransparent, 13, 13, 204, 41, kFrenchInstalledEnd},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5040, 87, {
        {kTransparent, 13, 6, 204, 58, kEnglishInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5041, 87, {
        {kOk, 91, 69, 48, 15, "OK"},
        {kTransparent, 13, 6, 204, 10, kJapaneseLine1},
        {kTransparent, 13, 26, 204, 10, kJapaneseLine3},
        {kTransparent, 13, 16, 204, 10, kJapaneseLine2},
        {kTransparent, 13, 36, 204, 10, kJapaneseLine4},
        {kTransparent, 13, 46, 204, 10, kJapaneseLine5},
    }},
    {5043, 87, {
        {kTransparent, 13, 6, 204, 58, kDutchInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {5053, 87, {
        {kTransparent, 13, 4, 204, 10, kSwedishInstalledStart},
        {kTransparent, 13, 12, 204, 35, kSwedishInstalledEnd},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {6068, 87, {
        {kTransparent, 14, 6, 204, 9, kNorwegianShortStart},
        {kTransparent, 13, 14, 204, 35, kNorwegianShortEnd},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
    {6070, 87, {
        {kTransparent, 13, 6, 204, 58, kPortugueseInstalled},
        {kOk, 91, 69, 48, 15, "OK"},
    }},
};

// Neither WS_POPUP nor WS_VISIBLE: the box is an owner-less overlapped window
// that the dialog manager shows itself.
const DWORD kDialogStyle =
    DS_SYSMODAL | DS_MODALFRAME | DS_CENTER | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
static_assert(kDialogStyle == 0x00C808C2, "dialog style");
const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::wstring Widen(const char* utf8) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, NULL, 0);
    if (length <= 0)
        return L"<not UTF-8>";
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], length);
    wide.resize((size_t)length - 1);
    return wide;
}

// Setup.exe mapped as data: its resources can be read without running it.
HMODULE SetupModule() {
    static HMODULE module =
        LoadLibraryExA(WindowsPath(SETUP_EXE_PATH).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

bool LoadDialogResource(int id, const BYTE** data, DWORD* size) {
    HMODULE module = SetupModule();
    if (!module)
        return false;
    HRSRC found = FindResourceExA(module, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), kEnglishUs);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    *data = loaded ? (const BYTE*)LockResource(loaded) : NULL;
    *size = SizeofResource(module, found);
    return *data != NULL;
}

// A bounded cursor over one template; any read past the end clears ok.
struct Reader {
    const BYTE* data;
    size_t size;
    size_t pos;
    bool ok;
};

void ReadBytes(Reader* r, void* out, size_t count) {
    if (!r->ok || r->size - r->pos < count) {
        r->ok = false;
        memset(out, 0, count);
        return;
    }
    memcpy(out, r->data + r->pos, count);
    r->pos += count;
}

WORD ReadWord(Reader* r) {
    WORD value;
    ReadBytes(r, &value, sizeof value);
    return value;
}

DWORD ReadDword(Reader* r) {
    DWORD value;
    ReadBytes(r, &value, sizeof value);
    return value;
}

short ReadShort(Reader* r) {
    return (short)ReadWord(r);
}

BYTE ReadByte(Reader* r) {
    BYTE value;
    ReadBytes(r, &value, sizeof value);
    return value;
}

std::wstring ReadString(Reader* r) {
    std::wstring text;
    for (WORD c = ReadWord(r); r->ok && c != 0; c = ReadWord(r))
        text += (wchar_t)c;
    return text;
}

// Menu, class and control texts are either 0xFFFF and an ordinal or a
// NUL-terminated string (an empty one being a single 0x0000).
struct NameOrOrdinal {
    bool isOrdinal;
    WORD ordinal;
    std::wstring name;
};

NameOrOrdinal ReadNameOrOrdinal(Reader* r) {
    NameOrOrdinal result = {false, 0, L""};
    size_t start = r->pos;
    if (ReadWord(r) == 0xFFFF) {
        result.isOrdinal = true;
        result.ordinal = ReadWord(r);
        return result;
    }
    r->pos = start;
    result.name = ReadString(r);
    return result;
}

// Items start on a DWORD boundary counted from the template's start, which
// the resource section keeps DWORD aligned.
void AlignToDword(Reader* r) {
    r->pos = std::min(r->size, (r->pos + 3) & ~(size_t)3);
}

struct ParsedControl {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    NameOrOrdinal windowClass, text;
    WORD extraBytes;
};

struct ParsedDialog {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    WORD itemCount;
    short x, y, cx, cy;
    NameOrOrdinal menu, windowClass;
    std::wstring caption;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::wstring typeface;
    std::vector<ParsedControl> controls;
    size_t unreadBytes;
    bool ok;
};

ParsedDialog ParseDialogTemplate(const BYTE* data, size_t size) {
    Reader r = {data, size, 0, true};
    ParsedDialog d = {};
    d.version = ReadWord(&r);
    d.signature = ReadWord(&r);
    d.helpId = ReadDword(&r);
    d.exStyle = ReadDword(&r);
    d.style = ReadDword(&r);
    d.itemCount = ReadWord(&r);
    d.x = ReadShort(&r);
    d.y = ReadShort(&r);
    d.cx = ReadShort(&r);
    d.cy = ReadShort(&r);
    d.menu = ReadNameOrOrdinal(&r);
    d.windowClass = ReadNameOrOrdinal(&r);
    d.caption = ReadString(&r);
    if (d.style & (DS_SETFONT | DS_SHELLFONT)) {
        d.pointSize = ReadWord(&r);
        d.weight = ReadWord(&r);
        d.italic = ReadByte(&r);
        d.charset = ReadByte(&r);
        d.typeface = ReadString(&r);
    }
    for (WORD i = 0; r.ok && i < d.itemCount; i++) {
        AlignToDword(&r);
        ParsedControl c = {};
        c.helpId = ReadDword(&r);
        c.exStyle = ReadDword(&r);
        c.style = ReadDword(&r);
        c.x = ReadShort(&r);
        c.y = ReadShort(&r);
        c.cx = ReadShort(&r);
        c.cy = ReadShort(&r);
        c.id = ReadDword(&r);
        c.windowClass = ReadNameOrOrdinal(&r);
        c.text = ReadNameOrOrdinal(&r);
        c.extraBytes = ReadWord(&r);
        r.pos = std::min(r.size, r.pos + c.extraBytes);
        d.controls.push_back(c);
    }
    d.unreadBytes = r.size - r.pos;
    d.ok = r.ok;
    return d;
}

class DialogTemplate : public ::testing::TestWithParam<ExpectedDialog> {};

TEST_P(DialogTemplate, MatchesItsTableEntry) {
    const ExpectedDialog& want = GetParam();
    const BYTE* data;
    DWORD size;
    ASSERT_TRUE(LoadDialogResource(want.id, &data, &size)) << "no English (US) template";
    ParsedDialog got = ParseDialogTemplate(data, size);
    ASSERT_TRUE(got.ok) << "template cut short";
    EXPECT_EQ(got.unreadBytes, 0u);

    EXPECT_EQ(got.version, 1);
    EXPECT_EQ(got.signature, 0xFFFF);
    EXPECT_EQ(got.helpId, 0u);
    EXPECT_EQ(got.exStyle, 0u);
    EXPECT_EQ(got.style, kDialogStyle);
    EXPECT_EQ(got.x, 60);
    EXPECT_EQ(got.y, 17);
    EXPECT_EQ(got.cx, 230);
    EXPECT_EQ(got.cy, want.height);
    EXPECT_TRUE(!got.menu.isOrdinal && got.menu.name.empty()) << "template names a menu";
    EXPECT_TRUE(!got.windowClass.isOrdinal && got.windowClass.name.empty())
        << "template names a window class";
    EXPECT_EQ(got.caption, L"Omrik Vindara");
    EXPECT_EQ(got.pointSize, 10);
    EXPECT_EQ(got.weight, 0);
    EXPECT_EQ(got.italic, 0);
    EXPECT_EQ(got.charset, DEFAULT_CHARSET);
    EXPECT_EQ(got.typeface, L"System");

    ASSERT_EQ(got.itemCount, want.controls.size());
    ASSERT_EQ(got.controls.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); i++) {
        SCOPED_TRACE("control No. " + std::to_string(i + 1));
        const ExpectedControl& w = want.controls[i];
        const ParsedControl& g = got.controls[i];
        KindFields kind = FieldsOf(w.kind);
        EXPECT_EQ(g.helpId, 0u);
        EXPECT_EQ(g.style, kind.style);
        EXPECT_EQ(g.exStyle, kind.exStyle);
        EXPECT_EQ(g.id, kind.id);
        EXPECT_TRUE(g.windowClass.isOrdinal);
        EXPECT_EQ(g.windowClass.ordinal, kind.classOrdinal);
        EXPECT_EQ(g.x, w.x);
        EXPECT_EQ(g.y, w.y);
        EXPECT_EQ(g.cx, w.cx);
        EXPECT_EQ(g.cy, w.cy);
        EXPECT_FALSE(g.text.isOrdinal);
        EXPECT_EQ(g.text.name, Widen(w.text));
        EXPECT_EQ(g.extraBytes, 0);
    }
}

// Built from the template through the Unicode call and the dialog procedure
// the launcher uses; modeless, so the test needs no one to press OK.
TEST_P(DialogTemplate, CreatesControlsWithTheirTexts) {
    const ExpectedDialog& want = GetParam();
    const BYTE* data;
    DWORD size;
    ASSERT_TRUE(LoadDialogResource(want.id, &data, &size));
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleA(NULL), (LPCDLGTEMPLATEW)data, NULL,
                                             OkCancelDialogProc, 0);
    ASSERT_TRUE(dialog != NULL);
    WindowInfo info = DescribeWindow(dialog);
    DestroyWindow(dialog);

    EXPECT_EQ(info.caption, "Omrik Vindara");
    ASSERT_EQ(info.controls.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); i++) {
        SCOPED_TRACE("control No. " + std::to_string(i + 1));
        KindFields kind = FieldsOf(want.controls[i].kind);
        EXPECT_EQ(info.controls[i].className, kind.className);
        EXPECT_EQ(info.controls[i].id, (int)kind.id);
        EXPECT_EQ(info.controls[i].text, want.controls[i].text);
    }
}

std::string DialogName(const ::testing::TestParamInfo<ExpectedDialog>& param) {
    return "Dialog" + std::to_string(param.param.id);
}

INSTANTIATE_TEST_SUITE_P(AlreadyInstalled, DialogTemplate, ::testing::ValuesIn(kDialogs),
                         DialogName);

// Describes the first window this process shows, then closes it with OK.
DWORD WINAPI DescribeAndClose(void* seen) {
    for (int tries = 0; tries < 500; tries++) {
        std::vector<HWND> windows = VisibleTopWindows(GetCurrentProcessId());
        if (!windows.empty()) {
            Sleep(50);
            *(WindowInfo*)seen = DescribeWindow(windows[0]);
            CloseWindowBy(windows[0], kCloseByOk);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

// The launcher shows the refusal through the Unicode call, so the Japanese
// texts reach the screen whole on a Western system, whose code page has
// none of their characters. Caption and texts are read back as UTF-16.
TEST(ShowDialog, ShowsTheJapaneseTextsWholeOnAWesternCodePage) {
    ASSERT_EQ(1252u, GetACP()) << "the test bed runs with a Western code page";
    gModuleInstance = GetModuleHandleA(NULL);  // the test program carries the resources
    for (int id : {1041, 5041}) {
        SCOPED_TRACE(id);
        const BYTE* data;
        DWORD size;
        ASSERT_TRUE(LoadDialogResource(id, &data, &size));
        ParsedDialog want = ParseDialogTemplate(data, size);
        ASSERT_TRUE(want.ok);
        WindowInfo seen;
        HANDLE watcher = CreateThread(NULL, 0, DescribeAndClose, &seen, 0, NULL);
        ShowDialog(id);
        DWORD missed = 1;
        WaitForSingleObject(watcher, INFINITE);
        GetExitCodeThread(watcher, &missed);
        CloseHandle(watcher);
        ASSERT_EQ(0u, missed) << "no dialog was shown";
        EXPECT_EQ(Utf8(want.caption), seen.caption);
        ASSERT_EQ(want.controls.size(), seen.controls.size());
        for (size_t i = 0; i < want.controls.size(); i++)
            EXPECT_EQ(Utf8(want.controls[i].text.name), seen.controls[i].text) << i;
        // Not a single character lost to the code page.
        for (const ControlInfo& control : seen.controls)
            EXPECT_EQ(std::string::npos, control.text.find('?')) << control.text;
    }
}

// A dialog without a template shows nothing and returns at once.
TEST(ShowDialog, MissingTemplateShowsNothing) {
    gModuleInstance = GetModuleHandleA(NULL);
    ShowDialog(1044);
    EXPECT_TRUE(VisibleTopWindows(GetCurrentProcessId()).empty());
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    // A named (string) template counts as -1: no such template belongs here.
    ((std::vector<int>*)list)->push_back(IS_INTRESOURCE(name) ? (int)(ULONG_PTR)name : -1);
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    ((std::vector<WORD>*)list)->push_back(language);
    return TRUE;
}

TEST(DialogTemplates, AreExactlyTheTwentyFourInEnglishUs) {
    ASSERT_TRUE(SetupModule() != NULL);
    std::vector<int> ids;
    EnumResourceNamesA(SetupModule(), (LPCSTR)RT_DIALOG, CollectName, (LONG_PTR)&ids);
    std::sort(ids.begin(), ids.end());
    std::vector<int> expected;
    for (const ExpectedDialog& dialog : kDialogs)
        expected.push_back(dialog.id);
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), 24u);
    EXPECT_EQ(ids, expected);

    for (int id : ids) {
        if (id < 0)
            continue;
        std::vector<WORD> languages;
        EnumResourceLanguagesA(SetupModule(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id),
                               CollectLanguage, (LONG_PTR)&languages);
        EXPECT_EQ(languages, std::vector<WORD>{0x0409}) << "dialog " << id;
    }
}

}  // namespace
