#include "core/services/ChildProcess.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vellarion {
namespace {

namespace fs = std::filesystem;

// The helper lies beside the suite, on every platform.
fs::path echo() {
#ifdef _WIN32
    return currentProgram().parent_path() / "child_echo.exe";
#else
    return currentProgram().parent_path() / "child_echo";
#endif
}

std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

ChildResult run(std::vector<std::string> arguments) {
    ChildRequest request;
    request.program = echo();
    request.arguments = std::move(arguments);
    ChildResult result = runChild(request);
    result.output = withoutCarriageReturns(result.output);
    return result;
}

// Whatever an argument holds, the child gets it back whole: no shell reads
// it, and the quoting on Windows survives the C runtime's parser.
TEST(ChildProcess, ArgumentsReachTheChildUnchanged) {
    const std::vector<std::string> cases = {
        "plain",
        "two words",
        "",
        "say \"hi\"",
        R"(C:\Program Files\)",
        R"(a\\"b)",
        R"(trailing\\)",
        "$(touch /tmp/x); `id` | cat & echo %PATH% > nul",
        "remote:folder/default 2026-12-09 221700.dat",
        "--config=x",
        "Профиль\tвкладка",
    };
    const ChildResult result = run(cases);
    ASSERT_TRUE(result.succeeded()) << result.notStarted;
    std::string expected;
    for (const std::string& c : cases) {
        expected += "[" + c + "]\n";
    }
    EXPECT_EQ(result.output, expected);
}

TEST(ChildProcess, WindowsCommandLineQuoting) {
    struct Case {
        std::wstring argument;
        std::wstring quoted;
    };
    const std::vector<Case> cases = {
        {L"plain", L"\"plain\""},
        {L"", L"\"\""},
        {L"two words", L"\"two words\""},
        {L"say \"hi\"", L"\"say \\\"hi\\\"\""},
        {L"C:\\dir\\", L"\"C:\\dir\\\\\""},
        {L"a\\\\\"b", L"\"a\\\\\\\\\\\"b\""},
        {L"a\\b", L"\"a\\b\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windowsCommandLine({c.argument}), c.quoted);
    }
    EXPECT_EQ(windowsCommandLine({L"a", L"b c"}), L"\"a\" \"b c\"");
}

TEST(ChildProcess, ExitCodesAndAMissingProgram) {
    EXPECT_EQ(run({"--exit", "3"}).exitCode, 3);
    EXPECT_EQ(run({"--exit", "3"}).end, ChildResult::End::Exited);
    EXPECT_TRUE(run({"--exit", "0"}).succeeded());

    ChildRequest missing;
    missing.program = "vellarion-no-such-program";
    const ChildResult result = runChild(missing);
    EXPECT_EQ(result.end, ChildResult::End::NotStarted);
    EXPECT_FALSE(result.notStarted.empty());
    EXPECT_FALSE(findProgram("vellarion-no-such-program"));
}

TEST(ChildProcess, EnvironmentAddedAndReplaced) {
    ChildRequest request;
    request.program = echo();
    request.arguments = {"--env", "VELLARION_CHILD_TEST"};
    request.environment = {{"VELLARION_CHILD_TEST", "given value"}};
    EXPECT_EQ(withoutCarriageReturns(runChild(request).output), "given value\n");
    request.arguments = {"--env", "PATH"};
    request.environment = {{"PATH", "replaced"}};
    EXPECT_EQ(withoutCarriageReturns(runChild(request).output), "replaced\n");
}

TEST(ChildProcess, ErrorLinesArriveOneByOne) {
    ChildRequest request;
    request.program = echo();
    request.arguments = {"--err", "3", "a line"};
    std::vector<std::string> lines;
    request.errorLine = [&](std::string_view line) { lines.emplace_back(line); };
    ASSERT_TRUE(runChild(request).succeeded());
    EXPECT_EQ(lines, (std::vector<std::string>{"a line", "a line", "a line"}));
}

// Both pipes full at once must not leave the two processes waiting on
// each other.
TEST(ChildProcess, MuchOutputOnBothStreams) {
    ChildRequest request;
    request.program = echo();
    request.arguments = {"--flood", "1000000"};
    std::size_t errors = 0;
    request.errorLine = [&](std::string_view line) { errors += line.size(); };
    const ChildResult result = runChild(request);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.output.size(), 1000000u);
    EXPECT_EQ(errors, 1000000u);
}

TEST(ChildProcess, AStopEndsTheChild) {
    ChildRequest request;
    request.program = echo();
    request.arguments = {"--sleep"};
    const auto start = std::chrono::steady_clock::now();
    request.stopRequested = [&] {
        return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300);
    };
    const ChildResult result = runChild(request);
    EXPECT_EQ(result.end, ChildResult::End::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(ChildProcess, LinesSplitAcrossPieces) {
    std::vector<std::string> lines;
    LineSplitter splitter([&](std::string_view line) { lines.emplace_back(line); });
    for (const char* piece : {"fir", "st\r\nsec", "ond\n\nthi", "rd"}) {
        splitter.add(piece);
    }
    splitter.finish();
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "third"}));
}

} // namespace
} // namespace vellarion
