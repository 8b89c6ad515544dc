// The "/vd" and "/bl" message boxes: no owner, one OK button, no icon.
#include <windows.h>

#include "detect/registry_paths.h"
#include "base/registry.h"
#include "base/text.h"
#include "reports/report_text.h"
#include "reports/reports.h"

static void ShowReport(const char* text) {
    (void)MessageBoxA(NULL, text, kReportCaption, MB_OK);
}

void ShowVersionDate() {
    char text[kTextBufSize];
    (void)ComposeVersionText(text, sizeof text);  // a fixed text that fits
    ShowReport(text);
}

void ShowNotInstalled() {
    ShowReport(kNotInstalledText);
}

// Reads one row's value; whatever bytes come back are shown as text up to
// the first NUL, whatever the value's type.
static void ReadRow(HKEY key, const char* valueName, char* display) {
    char data[kTextReadSize];
    size_t length = 0;
    int read = ReadTextValue(key, valueName, data, sizeof data, &length, NULL);
    TakeDisplayText(display, kTextBufSize, read, data, length);
}

// Returns 0 without showing anything when the product key does not open.
int ShowBuildLevel(const char* uninstallKey, const char* productKey) {
    static const char* const kProductValues[3] = {
        kBuildLevelValue, kClientLevelValue, kDirectoryValue,
    };
    char display[kReportRowCount][kTextBufSize];
    HKEY product;
    if (!OpenKey(HKEY_LOCAL_MACHINE, productKey, &product))
        return 0;
    for (int row = 0; row < 3; row++)
        ReadRow(product, kProductValues[row], display[row]);
    RegCloseKey(product);
    HKEY uninstall;
    if (OpenKey(HKEY_LOCAL_MACHINE, uninstallKey, &uninstall)) {
        ReadRow(uninstall, kInstallDateValue, display[3]);
        RegCloseKey(uninstall);
    } else {
        TakeDisplayText(display[3], kTextBufSize, 0, NULL, 0);
    }
    const char* const values[kReportRowCount] = {display[0], display[1], display[2], display[3]};
    char text[kBuildLevelTextSize];
    (void)ComposeBuildLevelText(text, sizeof text, values);  // sized for four full values
    ShowReport(text);
    return 1;
}
