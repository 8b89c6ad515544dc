// The launcher's run: read, decide, apply, record. Everything it does to
// the system goes through the operation table.
#include "launcher/dispatch.h"

#include <stdlib.h>

#include "launcher/command_line.h"
#include "reports/help_records.h"
#include "reports/report_text.h"

const wchar_t kResourceLogPath[] = L"c:\\LOGRESOURCES.txt";

// The Windows error codes for an inner command that cannot be composed, and
// for one longer than the system takes.
const unsigned long kErrorNotEnoughMemory = 8;
const unsigned long kErrorFilenameExcedRange = 206;

static int WriteResourceLog(const LauncherOps* ops) {
    ResourceFigures figures = {};
    ops->measureResources(&figures);
    char log[kResourceLogSize];
    size_t length = ComposeResourceLog(&figures, log, sizeof log);
    return ops->writeFile(kResourceLogPath, log, length, kReplaceFile);
}

// The help file stays on disk whether or not Notepad shows it.
static int WriteHelpFile(int show, const LauncherOps* ops) {
    static char help[kHelpFileSize];  // too large for the stack
    size_t length = ComposeHelpFile(help, sizeof help);
    return ops->writeFile(kHelpFileName, help, length, show ? kReplaceAndShow : kReplaceFile);
}

static void ShowVersionDate(const LauncherOps* ops) {
    wchar_t text[kTextBufSize];
    (void)ComposeVersionText(text, kTextBufSize);  // a fixed text that fits
    ops->showReport(text);
}

static void ShowBuildLevel(const Registration* registration, const LauncherOps* ops) {
    wchar_t text[kBuildLevelTextSize];
    (void)ComposeBuildLevelText(text, kBuildLevelTextSize, registration);  // sized for whole values
    ops->showReport(text);
}

// Runs "_Setup.exe " with the whole argument text, however long: the
// command is composed in a buffer sized to it, never cut. Returns 1 when
// the inner installer ran to its end.
static int RunInnerInstaller(RunRecord* record, const LauncherOps* ops) {
    size_t size = InnerCommandSize(record->args);
    record->innerCode = kErrorFilenameExcedRange;
    if (size > kLongestCommandLine)
        return 0;
    wchar_t* command = (wchar_t*)malloc(size * sizeof(wchar_t));
    record->innerCode = kErrorNotEnoughMemory;
    if (!command)
        return 0;
    (void)ComposeInnerCommand(command, size, record->args);  // sized to fit
    int ended = ops->runInnerInstaller(command, &record->innerCode, &record->innerMilliseconds);
    free(command);
    return ended;
}

// Applies the plan. After an installation that ran to its end the
// registration is read again and what it registered is repaired; when the
// inner installer could not be started or waited for, the installation may
// still be going on, so nothing is repaired.
static void ApplyPlan(RunRecord* record, Registration* after, RegistryWrite* writes,
                      WriteResult* results, const LauncherOps* ops) {
    const RunPlan* plan = &record->plan;
    if (plan->writeResourceLog)
        record->resourceLogWritten = WriteResourceLog(ops);  // without it the run goes on
    switch (plan->path) {
    case kHelpPath:
        record->helpFileWritten = WriteHelpFile(plan->show, ops);
        return;
    case kVersionPath:
        if (plan->show)
            ShowVersionDate(ops);
        return;
    case kBuildLevelPath:
        if (plan->show)
            ShowBuildLevel(record->before, ops);
        return;
    case kRefusalPath:
        if (plan->show)
            ops->showDialog(plan->dialogId);
        return;
    case kInstallationPath:
    case kRemovalPath:
        break;
    }
    record->innerEnded = RunInnerInstaller(record, ops);
    if (!record->innerEnded || plan->path == kRemovalPath)
        return;
    ops->readRegistration(after);
    record->after = after;
    record->writeCount = PlanRepairs(after, writes);
    for (int i = 0; i < record->writeCount; i++)
        results[i] = ops->writeValue(&writes[i]);  // a failed write leaves the installation's value
}

// Appends the record in UTF-8 when one was asked for. A record that cannot
// be composed or written is left out; the run is the same without it.
static void WriteRecord(const RunSettings* settings, const RunRecord* record,
                        const LauncherOps* ops) {
    if (!settings->recordPath[0])
        return;
    size_t cap = RunRecordSize(record->args);
    wchar_t* text = (wchar_t*)malloc(cap * sizeof(wchar_t));
    char* bytes = (char*)malloc(cap * kMostUtf8PerUnit);
    size_t length = text && bytes ? ComposeRunRecord(record, text, cap) : 0;
    if (length)
        (void)ops->writeFile(settings->recordPath, bytes,
                             ToUtf8(bytes, cap * kMostUtf8PerUnit, text, length), kAppendToFile);
    free(text);
    free(bytes);
}

// What-if decides and records like any run, and does nothing: no program,
// no file but the record, no registry write, no window. Its exit code is
// the plan's, as if the inner installer had ended with 0.
int RunLauncher(const wchar_t* args, const LauncherOps* ops) {
    RunSettings settings;
    ops->readSettings(&settings);
    Registration before, after;
    ops->readRegistration(&before);
    const int visible = ops->windowStationVisible();
    RegistryWrite writes[kRepairCount];
    WriteResult results[kRepairCount];
    RunRecord record = {.time = settings.time,
                        .whatIf = settings.whatIf,
                        .elevated = settings.elevated,
                        .visible = visible,
                        .args = args,
                        .before = &before,
                        .plan = PlanRun(args, visible, &before),
                        .writes = writes,
                        .results = results};
    if (!settings.whatIf)
        ApplyPlan(&record, &after, writes, results, ops);
    record.exitCode = RunExitCode(record.plan.path, record.innerCode);
    WriteRecord(&settings, &record, ops);
    return record.exitCode;
}
