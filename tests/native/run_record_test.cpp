// The run's record as composed from the run's facts: its exact text for an
// installation, the masking of secrets in the argument text, and its room.
#include "launcher/run_record.h"

#include <gtest/gtest.h>

#include <string>

#include "guarded_buffer.h"
#include "tests/support/registration_values.h"

namespace {

const RecordTime kTime = {2026, 12, 9, 8, 5, 3};

std::string Composed(const RunRecord& record) {
    std::wstring text(RunRecordSize(record.args), L'\0');
    text.resize(ComposeRunRecord(&record, &text[0], text.size()));
    return Narrowed(text);
}

RunRecord RecordOf(const wchar_t* args, const Registration* before) {
    RunRecord record = {};
    record.time = kTime;
    record.elevated = 1;
    record.visible = 1;
    record.args = args;
    record.before = before;
    record.plan = PlanRun(args, 1, before);
    return record;
}

// A registered installation with the product key in its fallback form:
// the source keys opened, Build Level missing, Directory expandable.
TEST(RunRecord, InstallationWithRepairsReadsAsItRan) {
    const Registration before = {};
    Registration after = Registered("D:\\Apps\\");
    after.directory = Text("D:\\Apps\\", kRegExpandSz);
    int held = 0;
    after.sourceListKey = &held;
    RegistryWrite writes[kRepairCount];
    const WriteResult results[kRepairCount] = {
        {kWritten, 0}, {kWritten, 0}, {kWriteFailed, 5}, {kWrittenThroughFallback, 0},
        {kWritten, 0}, {kWritten, 0}};
    RunRecord record = RecordOf(L"/s /v\"/qn\"", &before);
    record.innerEnded = 1;
    record.innerCode = 3010;
    record.innerMilliseconds = 8125;
    record.after = &after;
    record.writeCount = PlanRepairs(&after, writes);
    record.writes = writes;
    record.results = results;
    record.exitCode = RunExitCode(record.plan.path, record.innerCode);
    const std::string product = "HKLM\\SOFTWARE\\Omrik\\Moltrek";
    const std::string uninstall = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::string main = uninstall + "{5D8B2E71-C94A-4F06-B3A2-8E61F0D7C249}";
    const std::string sources =
        "HKCU\\Software\\Microsoft\\Installer\\Products\\17E2B8D5A49C60F43B2AE8160F7D2C94\\"
        "SourceList";
    auto found = [&](const std::string& prefix, bool present) {
        const std::string text = present ? "REG_SZ " : "missing";
        std::string lines = prefix + product + ": " + (present ? "opened" : "missing") + "\r\n";
        lines += prefix + product + "\\ClientLevel: " + (present ? "REG_SZ VNR 4.50" : text) + "\r\n";
        lines += prefix + product + "\\Build Level: missing\r\n";
        lines += prefix + product + "\\Directory: " +
                 (present ? "REG_EXPAND_SZ D:\\Apps\\" : text) + "\r\n";
        lines += prefix + uninstall + "Omrik Vindara: missing\r\n";
        lines += prefix + uninstall + "{6A3E90D2-41B7-4C58-9E0F-27D4B1C8A365}: missing\r\n";
        lines += prefix + main + ": " + (present ? "opened" : "missing") + "\r\n";
        lines += prefix + main + "\\InstallDate: " + (present ? "REG_SZ 20261208" : text) + "\r\n";
        lines += prefix + sources + ": " + (present ? "opened" : "missing") + "\r\n";
        lines += prefix + sources + "\\LastUsedSource: " +
                 (present ? "REG_SZ n;1;E:\\Media\\" : text) + "\r\n";
        lines += prefix + sources + "\\Net: missing\r\n";
        lines += prefix + sources + "\\Net\\1: " + (present ? "REG_SZ E:\\Media\\" : text) + "\r\n";
        return lines;
    };
    const std::string expected =
        "run: 2026-12-09T08:05:03Z\r\n"
        "launcher: VNR Build 4.50, Abr 25, 2000\r\n"
        "what-if: no\r\n"
        "elevated: yes\r\n"
        "visible: yes\r\n"
        "arguments: /s /v\"/qn\"\r\n" +
        found("before ", false) +
        "path: installation\r\n"
        "why: no installed product was found\r\n"
        "inner command: _Setup.exe /s /v\"/qn\"\r\n"
        "inner run: 8125 ms\r\n"
        "inner exit code: 3010\r\n" +
        found("after ", true) +
        "repairs: 6 planned\r\n"
        "write " + product + "\\Build Level: REG_SZ Abr 25, 2000\r\n"
        "result " + product + "\\Build Level: written\r\n"
        "write " + sources + "\\LastUsedSource: REG_EXPAND_SZ n;1;D:\\Apps\\\r\n"
        "result " + sources + "\\LastUsedSource: written\r\n"
        "write " + sources + "\\Net\\1: REG_EXPAND_SZ D:\\Apps\\\r\n"
        "result " + sources + "\\Net\\1: failed with error 5\r\n"
        "write " + main + "\\UninstallString: REG_EXPAND_SZ msiexec /x \"D:\\Apps\\Omrik Vindara.msi\"\r\n"
        "result " + main + "\\UninstallString: written through the fallback form\r\n"
        "write " + main + "\\ModifyPath: REG_EXPAND_SZ D:\\Apps\\\r\n"
        "result " + main + "\\ModifyPath: written\r\n"
        "write " + main + "\\LocalPackage: REG_EXPAND_SZ D:\\Apps\\Omrik VindaraXXX.msi\r\n"
        "result " + main + "\\LocalPackage: written\r\n"
        "exit code: 3010\r\n"
        "\r\n";
    EXPECT_EQ(expected, Composed(record));
}

// The record's "arguments" line for an argument text.
std::string ArgumentsLine(const std::wstring& args) {
    const Registration nothing = {};
    const std::string record = Composed(RecordOf(args.c_str(), &nothing));
    const size_t start = record.find("arguments: ") + 11;
    return record.substr(start, record.find("\r\n", start) - start);
}

TEST(RunRecord, SecretsInTheArgumentTextAreMasked) {
    const struct {
        std::string args, shown;
    } cases[] = {
        {"/v\"/qn DBPASSWORD=hunter2\"", "/v\"/qn DBPASSWORD=***\""},
        {"/v\"ADMINPWD=\\\"a b\\\" X=1\"", "/v\"ADMINPWD=\\\"***\\\" X=1\""},
        {"Token=\"a b\" USER=x", "Token=\"***\" USER=x"},
        {"client_secret=abc def", "client_secret=*** def"},
        {"api.Token.v2=t1\tNEXT=1", "api.Token.v2=***\tNEXT=1"},
        {"PWD= X=1", "PWD=*** X=1"},                 // an empty value too
        {"PWD=\"unterminated", "PWD=\"***"},          // to the end
        {"PWD=\\\"unterminated", "PWD=\\\"***"},
        {"PASSWORD=a=b SECRET=c", "PASSWORD=*** SECRET=***"},
        {"a=PWD PWD=b", "a=PWD PWD=***"},             // the name decides, not the value
        {"PASS=1 WORD=2 /x", "PASS=1 WORD=2 /x"},
        {"INSTALLDIR=\"C:\\Tok en\"", "INSTALLDIR=\"C:\\Tok en\""},
        {"=PWD", "=PWD"},
        {"two\r\nlines\x01", "two??lines?"},          // one line whatever the text holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_EQ(c.shown, ArgumentsLine(Widened(c.args)));
    }
}

// The room RunRecordSize gives holds the longest record: every value of
// full length in both reads and in every write, and an argument text that
// masking makes as long as it can. A room one short refuses it, without
// writing past its end.
TEST(RunRecord, RoomHoldsTheLongestRecordAndNoLess) {
    std::wstring args;
    while (args.size() < 32700)
        args += L"PWD= ";
    Registration full = Registered(std::string(kTextBufSize, 'd'));
    for (TextValue* value : {&full.clientLevel, &full.buildLevel, &full.installDate,
                             &full.lastUsedSource, &full.netSource})
        *value = Stored(std::string(kTextBufSize, 'v'), 0x7FFFFFFF);
    RegistryWrite writes[kRepairCount];
    for (RegistryWrite& write : writes)
        write = {kCurrentUser, nullptr, nullptr, nullptr, 0xFFFFFFFF, kTextBufSize, {}};
    const Registration registered = Registered();
    (void)PlanRepairs(&registered, writes);  // the keys and names, then the longest texts
    for (RegistryWrite& write : writes) {
        write.type = 0xFFFFFFFF;
        write.length = kTextBufSize;
        for (wchar_t& unit : write.text)
            unit = L'w';
    }
    const WriteResult results[kRepairCount] = {
        {kWriteFailed, 0xFFFFFFFF}, {kWriteFailed, 0xFFFFFFFF}, {kWriteFailed, 0xFFFFFFFF},
        {kWriteFailed, 0xFFFFFFFF}, {kWriteFailed, 0xFFFFFFFF}, {kWriteFailed, 0xFFFFFFFF}};
    RunRecord record = RecordOf(args.c_str(), &full);
    record.before = &full;
    record.after = &full;
    record.plan.path = kInstallationPath;
    record.plan.writeResourceLog = 1;
    record.innerEnded = 1;
    record.writeCount = kRepairCount;
    record.writes = writes;
    record.results = results;
    record.exitCode = -1;

    const size_t room = RunRecordSize(args.c_str());
    GuardedBufferOf<wchar_t> fits(room);
    const size_t length = ComposeRunRecord(&record, fits.Data(), fits.cap);
    ASSERT_GT(length, 2 * args.size());
    EXPECT_EQ(length, fits.Length());
    GuardedBufferOf<wchar_t> tight(length);
    EXPECT_EQ(0u, ComposeRunRecord(&record, tight.Data(), tight.cap));
    EXPECT_TRUE(tight.GuardIntact());
}

}  // namespace
