// Reads the already-installed dialog templates back from the built Setup.exe
// and checks what they carry: the template format, the dialog's styles and
// font, each control's kind and text in order. The layout is left to the
// resource script. Each dialog is then created to see the dialog manager
// build its controls, and the Japanese ones are shown as the launcher shows them.
#include <windows.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "detect/installed.h"
#include "launcher/main_window.h"
#include "launcher/refusal_dialog.h"
#include "resources/resource_ids.h"
#include "tools/testbed/testbed.h"

namespace {

// Each language's texts, UTF-8, in reading order; a paragraph cut over
// several statics keeps the blank at each cut. A form lists its controls in
// template order: OK the button, Tn a transparent static showing text n, Pn
// a plain one. The long form carries the warning about updates.
struct LanguageDialogs {
    int language;
    std::vector<std::string> texts;
    const char* longForm;
    const char* shortForm;
};

// Also shown for the Italian identifier. The long form alone ends in a blank.
const std::string kEnglish =
    "Omrik Vindara is already installed. To complete the installation process, uninstall the "
    "current version of Omrik Vindara using the Add/Remove Programs (Control Panel) and start "
    "the Omrik Vindara installation process again.";
const std::vector<std::string> kEnglishTexts = {
    kEnglish + " ",
    "If you uninstall this version, you might no longer be able to get updates for this computer.",
    kEnglish};

const LanguageDialogs kExpected[] = {
    {1030,
     {"Omrik Vindara er allerede installeret. Fjern den aktuelle version af Vindara vha. "
      "programmet Tilføj/fjern programmer i Kontrolpanel for at afslutte installationen, og start "
      "installationen af Vindara igen.",
      "Hvis du fjerner denne version af Omrik Vindara, kan du måske ikke længere hente "
      "opdateringer til denne computer."},
     "T0 OK P1", "T0 OK"},
    {1031,
     {"Omrik Vindara ist bereits installiert. Wenn Sie die Installation vollständig durchführen "
      "möchten, deinstallieren ",
      "Sie zunächst die aktuelle Version von Vindara. Verwenden Sie hierzu die Funktion "
      "\"Software\" im Fenster \"Systemsteuerung\" und starten Sie den Installationsvorgang für "
      "Vindara dann erneut.",
      "Wenn Sie die vorhandene Version von Omrik Vindara deinstallieren, können Sie möglicherweise "
      "keine Aktualisierungen mehr für diesen Computer anfordern."},
     "T0 T1 OK P2", "T0 T1 OK"},
    {1033, kEnglishTexts, "T0 OK P1", "T2 OK"},
    {1034,
     {"Omrik Vindara ya está instalado. Para completar el proceso de instalación, desinstale la "
      "versión actual de Vindara utilizando Agregar o quitar programas (Panel de control) e "
      "inicie el proceso de instalación de Vindara de nuevo.",
      "Si desinstala esta versión de Omrik Vindara, es posible que no pueda volver a obtener "
      "actualizaciones para este sistema."},
     "T0 OK P1", "T0 OK"},
    {1035,
     {"Omrik Vindara -ohjelma on jo asennettu tietokoneeseen. Voit asentaa tämän version "
      "poistamalla ensin asennetun version Ohjauspaneelin Lisää/poista sovellus -apuohjelman "
      "avulla ja aloittamalla Vindara -ohjelman asennuksen uudelleen.",
      "Jos poistat Omrik Vindara -ohjelman tämän version, et ehkä saa enää tähän tietokoneeseen "
      "tarkoitettuja ohjelmapäivityksiä."},
     "T0 OK P1", "T0 OK"},
    {1036,
     {"Omrik Vindara est déjà installé. Pour terminer ",
      "l'installation, désinstallez la version en cours d'Omrik Vindara à l'aide de l'utilitaire "
      "Ajout/Suppression de programmes (qui se trouve dans le Panneau de configuration) et "
      "relancez le processus d'installation d'Omrik Vindara.",
      "Si vous désinstallez cette version d'Omrik Vindara, vous ne pourrez plus obtenir de mises "
      "à jour pour cet ordinateur."},
     "T0 OK P2 P1", "T0 T1 OK"},
    {1040, kEnglishTexts, "T0 OK P1", "T2 OK"},
    // One static a line; the controls do not follow the reading order.
    {1041,
     {"OmrikVindaraは既に導入されていま", "す。導入を完了させるには、コントロールパネルの",
      "「アプリケーションの追加と削除」で現在のバージ", "ョンのVindaraを削除してから、",
      "もう一度導入をしてください。", "このバージョンのOmrikVindaraを",
      "削除した場合、このコンピュータに対するアップ", "デートは行えなくなる可能性があります。"},
     "T0 OK P5 T2 T1 T3 T4 T6 T7", "OK T0 T2 T1 T3 T4"},
    {1043,
     {"De Omrik Vindara is al geïnstalleerd. Om de installatie te kunnen voltooien, moet u de "
      "huidige versie van de Vindara verwijderen met de applet Software (Configuratiescherm). "
      "Daarna kunt u de installatie opnieuw starten.",
      "Als u deze versie van de Omrik Vindara verwijdert, is het wellicht niet meer mogelijk "
      "updates voor de computer op te halen."},
     "T0 OK P1", "T0 OK"},
    {1053,
     {"Omrik Vindara är redan installerad. För att ",
      "installationsprocessen ska slutföras måste du avinstallera den aktuella versionen av "
      "Vindara med Lägg till/ta bort program (i Kontrollpanelen) och sedan starta installationen "
      "av Vindara igen.",
      "Om du avinstallerar den här versionen av Omrik Vindara är det möjligt att du inte längre "
      "kan få uppdateringar för den här datorn."},
     "T0 T1 OK P2", "T0 T1 OK"},
    // The forms cut the paragraph at different places; the long form has two
    // blanks before "ved".
    {2068,
     {"Omrik Vindara er allerede installert. Du fullfører installeringsprosessen ved å "
      "deinstallere den gjeldende versjonen av Vindara  ved hjelp av Legg til/fjern ",
      "programmer (Kontrollpanel) og å starte installeringsprosessen for Vindara på nytt.",
      "Hvis du deinstallerer denne versjonen av Omrik Vindara, kan det hende at du ikke lenger kan "
      "få oppdateringer til denne maskinen.",
      "Omrik Vindara er allerede installert. Du fullfører ",
      "installeringsprosessen ved å deinstallere den gjeldende versjonen av Vindara ved hjelp av "
      "Legg til/fjern programmer (Kontrollpanel) og å starte installeringsprosessen for Vindara på "
      "nytt."},
     "T0 T1 OK P2", "T3 T4 OK"},
    {2070,
     {"O programa Omrik Vindara já está instalado. Para concluir o processo de instalação, remova "
      "a versão atual do Vindara, em Adicionar ou remover programas (Painel de Controle), e "
      "reinicie o processo de instalação do Vindara.",
      "Se a instalação desta versão do programa Omrik Vindara for removida, é possível que você "
      "não consiga mais obter atualizações para este computador."},
     "T0 OK P1", "T0 OK"},
};

// What each kind of control carries in the template.
struct Kind {
    DWORD style, exStyle, id;
    WORD classOrdinal;
    const char* className;  // as the created window reports it
};
const DWORD kStatic = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
const Kind kTransparentText = {kStatic | SS_NOPREFIX, WS_EX_TRANSPARENT, 0xFFFFFFFF, 0x82,
                               "Static"};
const Kind kPlainText = {kStatic, 0, 0xFFFFFFFF, 0x82, "Static"};
const Kind kOkButton = {WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK,
                        0x80, "Button"};

struct Control {
    const Kind* kind;
    std::string text;
};

// The controls expected in a language's long or short form; none for a
// language not listed above.
std::vector<Control> ExpectedControls(int language, bool shortForm) {
    std::vector<Control> controls;
    for (const LanguageDialogs& entry : kExpected) {
        if (entry.language != language)
            continue;
        std::istringstream items(shortForm ? entry.shortForm : entry.longForm);
        for (std::string item; items >> item;) {
            if (item == "OK")
                controls.push_back({&kOkButton, "OK"});
            else
                controls.push_back({item[0] == 'P' ? &kPlainText : &kTransparentText,
                                    entry.texts.at(std::stoul(item.substr(1)))});
        }
    }
    return controls;
}

int DialogId(int language, bool shortForm) {
    return language + (shortForm ? IDD_SHORT_FORM_OFFSET : 0);
}

const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Setup.exe mapped as data: its resources can be read without running it.
HMODULE SetupModule() {
    static HMODULE module =
        LoadLibraryExA(WindowsPath(SETUP_EXE_PATH).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

// A bounded cursor over one template; a read past the end clears ok and
// gives zero.
struct Reader {
    const BYTE* data;
    size_t size, pos;
    bool ok;

    void Skip(size_t count) {
        ok = ok && size - pos >= count;
        pos += ok ? count : 0;
    }
    template <typename T> T Read() {
        T value = T();
        if (ok && size - pos >= sizeof value)
            memcpy(&value, data + pos, sizeof value);
        Skip(sizeof value);
        return value;
    }
    // A NUL-terminated UTF-16 string, or 0xFFFF and an ordinal given back as
    // those two characters (menu, class and control text may be either).
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Read<WORD>(); ok && c != 0; c = Read<WORD>()) {
            text += (wchar_t)c;
            if (text == L"\xFFFF")
                return text + (wchar_t)Read<WORD>();
        }
        return text;
    }
    // Controls start on a DWORD boundary counted from the template's start,
    // which the resource section keeps DWORD aligned.
    void AlignToDword() { Skip(((pos + 3) & ~(size_t)3) - pos); }
};

// One dialog: a language of the launcher's, in its long or short form,
// looked up in Setup.exe in English (US) as all the launcher's resources are.
class AlreadyInstalledDialog : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    void SetUp() override {
        int language = std::get<0>(GetParam());
        want = ExpectedControls(language, std::get<1>(GetParam()));
        ASSERT_FALSE(want.empty()) << "no texts known for language " << language;
        HMODULE module = SetupModule();
        ASSERT_TRUE(module != NULL);
        HRSRC found = FindResourceExA(module, (LPCSTR)RT_DIALOG,
                                      MAKEINTRESOURCEA(DialogId(language, std::get<1>(GetParam()))),
                                      kEnglishUs);
        ASSERT_TRUE(found != NULL) << "no English (US) template";
        r = {(const BYTE*)LockResource(LoadResource(module, found)),
             SizeofResource(module, found), 0, true};
        ASSERT_TRUE(r.data != NULL);
    }
    std::vector<Control> want;
    Reader r;
};

// The fields in template order; positions and sizes are passed over.
TEST_P(AlreadyInstalledDialog, TemplateHoldsItsTextsInOrderWithTheirStyles) {
    ASSERT_EQ(r.Read<WORD>(), 1) << "version: not a DIALOGEX template";
    ASSERT_EQ(r.Read<WORD>(), 0xFFFF) << "signature: not a DIALOGEX template";
    EXPECT_EQ(r.Read<DWORD>(), 0u) << "help id";
    EXPECT_EQ(r.Read<DWORD>(), 0u) << "extended style";
    // Neither WS_POPUP nor WS_VISIBLE: the box is an owner-less overlapped
    // window that the dialog manager shows itself.
    EXPECT_EQ(r.Read<DWORD>(), (DWORD)(DS_SYSMODAL | DS_MODALFRAME | DS_CENTER | WS_CAPTION |
                                       WS_SYSMENU | DS_SETFONT))
        << "style";
    WORD count = r.Read<WORD>();
    r.Skip(4 * sizeof(short));
    EXPECT_EQ(r.Text(), L"") << "menu";
    EXPECT_EQ(r.Text(), L"") << "window class";
    EXPECT_EQ(r.Text(), L"Omrik Vindara") << "caption";
    EXPECT_EQ(r.Read<WORD>(), 10) << "point size";
    EXPECT_EQ(r.Read<WORD>(), 0) << "weight";
    EXPECT_EQ(r.Read<BYTE>(), 0) << "italic";
    EXPECT_EQ(r.Read<BYTE>(), DEFAULT_CHARSET) << "character set";
    EXPECT_EQ(r.Text(), L"System") << "typeface";
    ASSERT_EQ(count, want.size()) << "controls";

    for (size_t i = 0; i < want.size(); i++) {
        SCOPED_TRACE("control No. " + std::to_string(i + 1));
        r.AlignToDword();
        EXPECT_EQ(r.Read<DWORD>(), 0u) << "help id";
        EXPECT_EQ(r.Read<DWORD>(), want[i].kind->exStyle) << "extended style";
        EXPECT_EQ(r.Read<DWORD>(), want[i].kind->style) << "style";
        r.Skip(4 * sizeof(short));
        EXPECT_EQ(r.Read<DWORD>(), want[i].kind->id) << "id";
        EXPECT_EQ(r.Text(), (std::wstring{L'\xFFFF', (wchar_t)want[i].kind->classOrdinal}))
            << "class";
        std::wstring text = r.Text();
        EXPECT_EQ(text, Wide(want[i].text)) << "text, as UTF-8: " << Utf8(text);
        EXPECT_EQ(r.Read<WORD>(), 0) << "creation data";
    }
    EXPECT_TRUE(r.ok) << "template cut short";
    EXPECT_EQ(r.pos, r.size) << "bytes after the last control";
}

// Built from the template through the Unicode call and the dialog procedure
// the launcher uses; modeless, so the test needs no one to press OK.
TEST_P(AlreadyInstalledDialog, CreatesControlsWithTheirTexts) {
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleA(NULL), (LPCDLGTEMPLATEW)r.data, NULL,
                                             OkCancelDialogProc, 0);
    ASSERT_TRUE(dialog != NULL);
    WindowInfo info = DescribeWindow(dialog);
    DestroyWindow(dialog);

    EXPECT_EQ(info.caption, "Omrik Vindara");
    ASSERT_EQ(info.controls.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
        SCOPED_TRACE("control No. " + std::to_string(i + 1));
        EXPECT_EQ(info.controls[i].className, want[i].kind->className);
        EXPECT_EQ(info.controls[i].id, (int)want[i].kind->id);
        EXPECT_EQ(info.controls[i].text, want[i].text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AlreadyInstalled, AlreadyInstalledDialog,
    ::testing::Combine(::testing::ValuesIn(kDialogLanguages), ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<int, bool>>& info) {
        int id = DialogId(std::get<0>(info.param), std::get<1>(info.param));
        return "Dialog" + std::to_string(id);
    });

// Watches, until done is set, for the first window this process shows, then
// describes it and closes it with OK.
struct Watch {
    volatile LONG done;
    bool shown;
    WindowInfo seen;
};

DWORD WINAPI DescribeAndClose(void* param) {
    Watch* watch = (Watch*)param;
    for (int tries = 0; tries < 500 && !watch->done; tries++) {
        std::vector<HWND> windows = VisibleTopWindows(GetCurrentProcessId());
        if (!windows.empty()) {
            Sleep(50);
            watch->seen = DescribeWindow(windows[0]);
            watch->shown = true;
            CloseWindowBy(windows[0], kCloseByOk);
            break;
        }
        Sleep(20);
    }
    return 0;
}

// Shows a dialog as the launcher does, from the test program, which carries
// the launcher's resources; whatever shows up is closed.
void ShowAndClose(int id, Watch* watch) {
    gModuleInstance = GetModuleHandleA(NULL);
    HANDLE watcher = CreateThread(NULL, 0, DescribeAndClose, watch, 0, NULL);
    ShowDialog(id);
    InterlockedExchange(&watch->done, 1);
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
}

// The launcher shows the refusal through the Unicode call, so the Japanese
// texts reach the screen whole on a Western system, whose code page has
// none of their characters. Caption and texts are read back as UTF-16.
TEST(ShowDialog, ShowsTheJapaneseTextsWholeOnAWesternCodePage) {
    ASSERT_EQ(1252u, GetACP()) << "the test bed runs with a Western code page";
    const int japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
    for (bool shortForm : {false, true}) {
        SCOPED_TRACE(DialogId(japanese, shortForm));
        std::vector<Control> want = ExpectedControls(japanese, shortForm);
        Watch watch = {0, false, {}};
        ShowAndClose(DialogId(japanese, shortForm), &watch);
        ASSERT_TRUE(watch.shown) << "no dialog was shown";
        EXPECT_EQ("Omrik Vindara", watch.seen.caption);
        ASSERT_EQ(want.size(), watch.seen.controls.size());
        for (size_t i = 0; i < want.size(); i++)
            EXPECT_EQ(want[i].text, watch.seen.controls[i].text) << i;
    }
}

// A dialog without a template shows nothing and returns at once.
TEST(ShowDialog, MissingTemplateShowsNothing) {
    ASSERT_FALSE(IsDialogLanguage(1044));
    Watch watch = {0, false, {}};
    ShowAndClose(1044, &watch);
    EXPECT_FALSE(watch.shown);
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

// Setup.exe holds the two forms of each of the launcher's dialog languages
// and no other dialog, each in English (US) alone.
TEST(DialogTemplates, AreTheTwoFormsOfEachDialogLanguageInEnglishUs) {
    ASSERT_TRUE(SetupModule() != NULL);
    std::vector<int> ids, expected;
    EnumResourceNamesA(SetupModule(), (LPCSTR)RT_DIALOG, CollectName, (LONG_PTR)&ids);
    for (int language : kDialogLanguages) {
        expected.push_back(DialogId(language, false));
        expected.push_back(DialogId(language, true));
    }
    std::sort(ids.begin(), ids.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ids, expected);

    for (int id : ids) {
        std::vector<WORD> languages;
        if (id > 0)
            EnumResourceLanguagesA(SetupModule(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id),
                                   CollectLanguage, (LONG_PTR)&languages);
        EXPECT_EQ(languages, std::vector<WORD>{kEnglishUs}) << "dialog " << id;
    }
}

}  // namespace
