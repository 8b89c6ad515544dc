// The launcher's run: read, decide, apply, and record each fact as it
// becomes known. What takes more than a few hundred bytes is static: the
// 32-bit launcher's stack is never probed, so no frame may near a page.
#include "launcher/dispatch.h"

#include "launcher/command_line.h"
#include "reports/help_records.h"
#include "reports/report_text.h"

static const wchar_t kResourceLogPath[] = L"c:\\LOGRESOURCES.txt";

static int WriteResourceLog(const LauncherOps* ops) {
    ResourceFigures figures = {};
    ops->measureResources(&figures);
    char log[kResourceLogSize];
    size_t length = ComposeResourceLog(&figures, log, sizeof log);
    void* file = ops->writeFile(kResourceLogPath, log, length);
    if (file)
        ops->closeFile(file);
    return file != nullptr;
}

// One run as it goes.
struct Run {
    const wchar_t* args;
    const RunSettings* settings;
    const LauncherOps* ops;
    RunRecord record;
    RunPlan plan;
};

// Who and where, before anything else happens.
static void RecordStart(Run* run) {
    static const char kTextLines[] = "file: %w\0current directory: %w\0computer: %w\0user: %w";
    RunRecord* record = &run->record;
    const RunSettings* s = run->settings;
    wchar_t version[kTextBufSize];
    (void)ComposeVersionText(version, kTextBufSize);  // a fixed text that fits
    WriteLine(record, "launcher: %w", version);
    for (int i = 0; i < kTextCount; i++)
        WriteLine(record, NthText(kTextLines, i), s->texts[i]);
    WriteLine(record, "session: %u", s->session);
    WriteLine(record, "windows: %u.%u.%u", s->windows.major, s->windows.minor, s->windows.build);
    WriteLine(record, "elevated: %y", s->elevated);
    WriteLine(record, "visible: %y", s->visible);
    WriteLine(record, "unattended: %y", s->unattended != nullptr);
    if (s->unattended)
        WriteLine(record, "unattended by: %s", s->unattended);
    WriteLine(record, "what-if: %y", s->whatIf);
    WriteLine(record, "arguments: %m", run->args);
}

// Runs "_Setup.exe " with the whole argument text and waits. Returns its
// exit code, and *ended 1, once it has ended, else the system's code; only
// then is the registration read again and, after an installation, what it
// registered repaired (a failed write leaves the installation's value).
static unsigned long RunInnerInstaller(Run* run, wchar_t* command, int* ended) {
    RunRecord* record = &run->record;
    *ended = 0;
    ProgramRun program;
    if (run->ops->startProgram(run->settings->innerInstaller, command, &program, nullptr)) {
        WriteLine(record, "inner process: %u", program.processId);
        const unsigned long started = record->now.tick;
        *ended = run->ops->waitProgram(&program);
        WriteLine(record, "inner run: %t ms", started);  // the tick count's wrap cancels out
    }
    WriteLine(record, *ended ? "inner exit code: %c" : "inner error: %c", program.exitCode,
              nullptr);
    if (!*ended)
        return program.exitCode;
    static Registration after;
    run->ops->readRegistration(&after);
    RecordRead(record, "after ", &after, 0);
    if (!run->plan.repairsFollow)
        return program.exitCode;
    static RegistryWrite writes[kRepairCount];
    const int count = PlanRepairs(&after, writes);
    WriteLine(record,
              count ? "repairs: %u planned" : "repairs: none, the installation did not register",
              (unsigned long)count);
    for (int i = 0; i < count; i++) {
        const WriteResult result = run->ops->writeValue(&writes[i]);
        RecordWrite(record, &writes[i], &result);
    }
    return program.exitCode;
}

// Reads, decides and applies; a what-if run only reads and decides. What
// was decided is recorded before a window shows or the inner installer
// starts. Returns the exit code, with *ended 1 unless an inner installer
// did not run to its end, or would not have.
static int RunDecided(Run* run, int* ended) {
    static const char kPathNames[] = "help\0version\0build level\0refusal\0installation\0removal";
    const RunSettings* s = run->settings;
    const LauncherOps* ops = run->ops;
    RunRecord* record = &run->record;
    // Made again from what the read found, where the plan rests on it.
    static Registration before;  // empty until read
    const RunPlan* plan = &(run->plan = PlanRun(run->args, s, &before));
    if (plan->readsRegistration) {
        ops->readRegistration(&before);
        RecordRead(record, "before ", &before, 1);
        run->plan = PlanRun(run->args, s, &before);
    }
    WriteLine(record, "path: %s", NthText(kPathNames, plan->path));
    WriteLine(record, "why: %s", plan->why);
    const int inner = RunsInnerInstaller(plan->path);
    static wchar_t command[kInnerCommandRoom];  // the plan made sure a started one fits
    if (inner) {
        (void)ComposeInnerCommand(command, kInnerCommandRoom, run->args);
        WriteLine(record, "inner command: %m", command);
    } else if (plan->path == kRefusalPath)
        WriteLine(record, "dialog: %u", (unsigned long)plan->dialogId);
    if (!inner)
        WriteLine(record, s->whatIf ? "would show: %y" : "show: %y", plan->show);
    if (plan->unseen)
        WriteLine(record, "why not shown: %s", plan->unseen);
    else if (plan->path == kHelpPath)
        WriteLine(record, "notepad as: %s",
                  plan->notepadToken ? "the desktop's user" : "the launcher's user");
    *ended = !plan->innerError;
    if (s->whatIf || plan->innerError)
        return RunExitCode(plan->path, plan->innerError);
    static const char kWritten[] = "not written\0written";
    if (plan->writeResourceLog)  // without it the run goes on
        WriteLine(record, "resource log: %s", NthText(kWritten, WriteResourceLog(ops)));
    if (plan->path == kHelpPath) {  // the file stays whether or not Notepad shows it
        static char text[kHelpFileSize];
        void* help = ops->writeFile(kHelpFileName, text, ComposeHelpFile(text, sizeof text));
        WriteLine(record, "help file: %s", NthText(kWritten, help != nullptr));
        if (help && plan->show)
            ops->showFile(kHelpFileName, plan->notepadToken);  // while it is held
        if (help)
            ops->closeFile(help);
    } else if (plan->show && plan->path == kRefusalPath) {
        ops->showDialog(plan->dialogId);
    } else if (plan->show && plan->report) {
        static wchar_t text[kBuildLevelTextSize];  // any report's text whole
        (void)ComposeReportText(plan->report, text, kBuildLevelTextSize, &before);
        ops->showReport(text);
    }
    return RunExitCode(plan->path, inner ? RunInnerInstaller(run, command, ended) : 0);
}

// What-if decides and records like any run and does nothing else, exiting
// as the real run would on an inner 0. A record without its last two lines
// is of a run that did not end.
int RunLauncher(const wchar_t* args, const LauncherOps* ops) {
    static RunSettings settings;
    ops->readSettings(&settings);
    Run run = {args, &settings, ops,
               {nullptr, settings.processId, ops->readClock, ops->writeRecord,
                ops->describeCode, {}},
               {}};
    if (IsAbsolutePath(settings.recordPath))
        run.record.file = ops->openRecord(settings.recordPath, &settings);
    WriteLine(&run.record, "run: %TZ");
    const unsigned long startTick = run.record.now.tick;
    RecordStart(&run);
    const unsigned long windowError = ops->createWindow();  // none: no run, and no success
    int ended = 0;
    if (windowError)
        WriteLine(&run.record, "window: not created, error %u", windowError);
    const int exitCode = windowError ? (int)windowError : RunDecided(&run, &ended);
    const unsigned long code = (unsigned)exitCode;  // a DWORD, as the process ends with it
    WriteLine(&run.record, "run time: %t ms", startTick);
    WriteLine(&run.record, "exit code: %c", code,
              ExitOutcome(run.plan.path == kRefusalPath, !ended, code));
    return exitCode;
}
