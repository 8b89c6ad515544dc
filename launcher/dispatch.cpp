// The launcher's run: read, decide, then walk the decision, recording each
// fact as it becomes known. What takes more than a few hundred bytes is
// static: the 32-bit launcher's stack is never probed, so no frame may near
// a page.
#include "launcher/dispatch.h"

#include "reports/help_records.h"
#include "reports/report_text.h"

static const wchar_t kResourceLogPath[] = L"c:\\LOGRESOURCES.txt";
static const char kWrittenWords[] = "not written\0written";

// One run as it goes.
struct Run {
    const wchar_t* args;
    const RunSettings* settings;
    const LauncherOps* ops;
    RunRecord* record;
};

static unsigned long Tick(const LauncherOps* ops) {
    RecordTime now;
    ops->readClock(&now);
    return now.tick;
}

static int WriteResourceLog(const LauncherOps* ops) {
    ResourceFigures figures = {};
    ops->measureResources(&figures);
    char log[kResourceLogSize];
    void* file = ops->writeFile(kResourceLogPath, log, ComposeResourceLog(&figures, log, sizeof log));
    if (file)
        ops->closeFile(file);
    return file != nullptr;
}

// Who and where, before anything else happens.
static void RecordStart(RunRecord* record, const RunSettings* s, const wchar_t* args) {
    static const char kTextNames[] = "file: \0current directory: \0computer: \0user: ";
    wchar_t version[kTextBufSize];
    (void)ComposeVersionText(version, kTextBufSize);  // a fixed text that fits
    RecordOutside(record, "launcher: ", version);
    for (int i = 0; i < kTextCount; i++)
        RecordOutside(record, NthText(kTextNames, i), s->texts[i]);
    RecordNumber(record, "session: ", s->session);
    StartLine(record, "windows: ");
    PutNumber(record, s->windows.major);
    PutText(record, ".");
    PutNumber(record, s->windows.minor);
    PutText(record, ".");
    PutNumber(record, s->windows.build);
    EndLine(record);
    RecordYesNo(record, "elevated: ", s->elevated);
    RecordYesNo(record, "visible: ", s->visible);
    RecordYesNo(record, "unattended: ", s->unattended != kNoReason);
    if (s->unattended)
        RecordText(record, "unattended by: ", ReasonText(s->unattended));
    RecordYesNo(record, "what-if: ", s->whatIf);
    RecordMasked(record, "arguments: ", args);
}

// What was decided, before a window shows or the inner installer starts.
static void RecordPlan(RunRecord* record, const RunPlan* plan, const wchar_t* command) {
    RecordText(record, "path: ", kPaths[plan->path].name);
    RecordText(record, "why: ", ReasonText(plan->why));
    if (RunsInnerInstaller(plan->path))
        RecordMasked(record, "inner command: ", command);
    if (plan->dialogId)
        RecordNumber(record, "dialog: ", (unsigned long)plan->dialogId);
    if (!RunsInnerInstaller(plan->path))
        RecordYesNo(record, plan->whatIf ? "would show: " : "show: ", plan->show);
    if (plan->unseen)
        RecordText(record, "why not shown: ", ReasonText(plan->unseen));
    else if (plan->path == kHelpPath)
        RecordText(record, "notepad as: ",
                   plan->notepadToken ? "the desktop's user" : "the launcher's user");
}

// The writes the installation's registration calls for, each recorded with
// how it went (a failed write leaves the installation's value).
static void Repair(RunRecord* record, const LauncherOps* ops, const Registration* after) {
    static RepairPlan repairs;
    PlanRepairs(after, &repairs);
    StartLine(record, "repairs: ");
    if (repairs.registered)
        PutNumber(record, (unsigned long)repairs.count);
    PutText(record, repairs.registered ? " planned" : "none, the installation did not register");
    EndLine(record);
    for (int i = 0; i < repairs.count; i++) {
        const WriteResult result = ops->writeValue(&repairs.writes[i]);
        RecordWrite(record, &repairs.writes[i], &result);
    }
}

// Runs "_Setup.exe " with the whole argument text and waits; once it has
// ended, what the plan has follow it.
static RunResult RunInnerInstaller(const Run* run, const RunPlan* plan, wchar_t* command) {
    RunRecord* record = run->record;
    const LauncherOps* ops = run->ops;
    ProgramRun program;
    int ended = 0;
    if (ops->startProgram(run->settings->innerInstaller, command, &program, nullptr)) {
        RecordNumber(record, "inner process: ", program.processId);
        const unsigned long started = Tick(ops);
        ended = ops->waitProgram(&program);
        RecordDuration(record, "inner run: ", started);
    }
    RecordCode(record, ended ? "inner exit code: " : "inner error: ", program.exitCode);
    if (ended && plan->readsAfter) {
        static Registration after;
        ops->readRegistration(&after);
        RecordRead(record, "after ", &after, 0);
        if (plan->repairsFollow)
            Repair(record, ops, &after);
    }
    return InnerResult(ended, program.exitCode);
}

// Reads where the switches call for it, decides, records the decision and
// walks it; a run that does not act (what-if, or an inner installer that
// cannot start) ends there, as the plan says.
static RunResult RunDecided(const Run* run) {
    const LauncherOps* ops = run->ops;
    RunRecord* record = run->record;
    static Registration before;  // empty unless read
    if (ReadsRegistration(SwitchedPath(run->args))) {
        ops->readRegistration(&before);
        RecordRead(record, "before ", &before, 1);
    }
    const RunPlan plan = PlanRun(run->args, run->settings, &before);
    static wchar_t command[kInnerCommandRoom];  // the plan made sure a started one fits
    if (RunsInnerInstaller(plan.path))
        (void)ComposeInnerCommand(command, kInnerCommandRoom, run->args);
    RecordPlan(record, &plan, command);
    if (!plan.acts)
        return plan.result;
    if (plan.writeResourceLog)  // without it the run goes on
        RecordText(record, "resource log: ", NthText(kWrittenWords, WriteResourceLog(ops)));
    if (plan.path == kHelpPath) {  // the file stays whether or not Notepad shows it
        static char text[kHelpFileSize];
        void* help = ops->writeFile(kHelpFileName, text, ComposeHelpFile(text, sizeof text));
        RecordText(record, "help file: ", NthText(kWrittenWords, help != nullptr));
        if (help && plan.show)
            ops->showFile(kHelpFileName, plan.notepadToken);  // while it is held
        if (help)
            ops->closeFile(help);
    } else if (plan.show && plan.dialogId) {
        ops->showDialog(plan.dialogId);
    } else if (plan.show && plan.report) {
        static wchar_t text[kBuildLevelTextSize];  // any report's text whole
        (void)ComposeReportText(plan.report, text, kBuildLevelTextSize, &before);
        ops->showReport(text);
    }
    return plan.startsInner ? RunInnerInstaller(run, &plan, command) : plan.result;
}

// A record without its last two lines is of a run that did not end. No
// window means no run, and no success.
int RunLauncher(const wchar_t* args, const LauncherOps* ops) {
    static RunSettings settings;
    static RunRecord record;
    ops->readSettings(&settings);
    record.processId = settings.processId;
    record.readClock = ops->readClock;
    record.write = ops->writeRecord;
    record.describeCode = ops->describeCode;
    record.file =
        IsAbsolutePath(settings.recordPath) ? ops->openRecord(settings.recordPath, &settings) : nullptr;
    const unsigned long started = Tick(ops);
    RecordStartTime(&record);
    RecordStart(&record, &settings, args);
    const unsigned long windowError = ops->createWindow();
    if (windowError)
        RecordNumber(&record, "window: not created, error ", windowError);
    const Run run = {args, &settings, ops, &record};
    const RunResult result = windowError ? RunResult{windowError, kNotStarted} : RunDecided(&run);
    RecordDuration(&record, "run time: ", started);
    RecordResult(&record, result);
    return (int)result.exitCode;
}
