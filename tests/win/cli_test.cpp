// pellform.exe as a build pipeline runs it: exit status, output lines, files.
#include <windows.h>

#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "hostile_files.h"
#include "res/resource_ids.h"

namespace {

struct ToolRun {
    DWORD status = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    // A console program's text lines end in CR LF.
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// Runs pellform.exe with the arguments and collects its streams.
ToolRun RunTool(const std::string& arguments) {
    ToolRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + PathBesideTests("pellform.exe") + "\" " + arguments;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        run.out = ReadAll(outRead);
        run.err = ReadAll(errRead);
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }


class CliTest : public EditorTest {};

TEST_F(CliTest, BuildWritesWhatTheEditorSavesAndMaskAndMaskAtAgree) {
    const std::string picture = TestDataPath("transparent.gif");
    // The editor: default background (button face), mask blue (the pixel at 0,0).
    LoadPicture(picture);
    AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    Idle();
    const std::string fromEditor = TemporaryPath("editor.rgn");
    DeleteFileA(fromEditor.c_str());
    ChooseFile(IDM_SAVE_AS, "Save As", fromEditor);
    Idle();
    const std::vector<BYTE> expected = ReadFileBytes(fromEditor);
    ASSERT_FALSE(expected.empty());

    const std::string byPixel = TemporaryPath("by-pixel.rgn"), byColour = TemporaryPath("by-colour.rgn");
    ToolRun first = RunTool("build " + Quoted(picture) + " " + Quoted(byPixel));
    EXPECT_EQ(first.status, 0u) << first.err;
    EXPECT_EQ(ReadFileBytes(byPixel), expected);
    ToolRun second = RunTool("build " + Quoted(picture) + " " + Quoted(byColour) + " --mask 0000FF");
    EXPECT_EQ(second.status, 0u) << second.err;
    EXPECT_EQ(ReadFileBytes(byColour), expected);
    // One line: the file, the count and the box.
    EXPECT_NE(first.out.find("1 rectangles, bounding box (0, 10, 40, 31)"), std::string::npos) << first.out;
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 1);

    // Another mask and background give another file.
    ToolRun green = RunTool("build " + Quoted(picture) + " " + Quoted(byColour) + " --mask-at 0,25 --background FFFF00");
    EXPECT_EQ(green.status, 0u);
    EXPECT_NE(ReadFileBytes(byColour), expected);
}

TEST_F(CliTest, InfoListsTheHeaderAndRectanglesAndRejectsMalformedFiles) {
    const std::string valid = TestDataPath("../fuzz/corpus/valid_strip.rgn");
    ToolRun listed = RunTool("info " + Quoted(valid));
    EXPECT_EQ(listed.status, 0u) << listed.err;
    EXPECT_EQ(listed.out,
              "Size of header: 32\nType of region: 1\nNumber of regions: 3\nSize of raw data: 48\n"
              "Upper left X: 0\nUpper left Y: 0\nLower right X: 40\nLower right Y: 31\n"
              "1 0 3 10\n5 0 9 10\n0 10 40 31\n");
    for (const char* name : {"short.rgn", "type2.rgn", "size40.rgn", "count_past_end.rgn", "count_huge.rgn"}) {
        ToolRun rejected = RunTool("info " + Quoted(TestDataPath((std::string("../fuzz/corpus/") + name).c_str())));
        EXPECT_EQ(rejected.status, 1u) << name;
        EXPECT_TRUE(rejected.out.empty()) << name;
        EXPECT_NE(rejected.err.find("not region data"), std::string::npos) << name;
    }
}

TEST_F(CliTest, RegionsPastTheLimitFailWithOneLine) {
    const std::string stairs = TemporaryPath("stairs.rgn");
    const std::string board = TemporaryPath("board.bmp");
    // A checkerboard 2048 x 1024: 1024 rectangles in each of its 1024 rows.
    ASSERT_TRUE(WriteBmpFile(board, 2048, 1024, [](int x, int y) { return (x + y) % 2 ? RGB(0, 0, 255) : 0; }));
    const struct {
        int steps;
        const char* arguments;
        const char* reason;
    } runs[] = {{1025, "info ", "not region data"},
                {12000, "info ", "not region data"},
                {0, "build ", "could not be built"}};
    for (const auto& run : runs) {
        std::string arguments = run.arguments;
        if (run.steps) {
            const std::vector<BYTE> data = StaircaseFile(run.steps);
            HANDLE file = CreateFileA(stairs.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
            CloseHandle(file);
            arguments += Quoted(stairs);
        } else {
            arguments += Quoted(board) + " " + Quoted(TemporaryPath("board.rgn")) + " --mask 0000FF";
        }
        ToolRun refused = RunTool(arguments);
        EXPECT_EQ(refused.status, 1u) << arguments;
        EXPECT_TRUE(refused.out.empty()) << arguments;
        EXPECT_NE(refused.err.find(run.reason), std::string::npos) << refused.err;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    }
}

TEST_F(CliTest, UnwritableOutputsFailAndLeaveOldFilesAndUsageErrorsExitTwo) {
    const std::string picture = TestDataPath("transparent.gif");
    ToolRun missingFolder = RunTool("build " + Quoted(picture) + " " + Quoted(TemporaryPath("no-such-folder\\out.rgn")));
    EXPECT_EQ(missingFolder.status, 1u);
    EXPECT_NE(missingFolder.err.find("could not be written"), std::string::npos);

    const std::string guarded = TemporaryPath("read-only.rgn");
    SetFileAttributesA(guarded.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(guarded.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "old", 3, &written, nullptr);
    CloseHandle(file);
    SetFileAttributesA(guarded.c_str(), FILE_ATTRIBUTE_READONLY);
    ToolRun readOnly = RunTool("build " + Quoted(picture) + " " + Quoted(guarded));
    EXPECT_EQ(readOnly.status, 1u);
    SetFileAttributesA(guarded.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(guarded), (std::vector<BYTE>{'o', 'l', 'd'}));

    ToolRun undecodable = RunTool("build " + Quoted(TestDataPath("not_a_picture.gif")) + " " + Quoted(guarded));
    EXPECT_EQ(undecodable.status, 1u);
    EXPECT_NE(undecodable.err.find("could not be decoded"), std::string::npos);

    for (const char* arguments : {"", "frobnicate", "build", "build a.gif", "info", "info a.rgn b.rgn",
                                  "build a.gif b.rgn --mask 12345", "build a.gif b.rgn --mask-at 1",
                                  "build a.gif b.rgn --mask 000000 --mask-at 0,0", "build a.gif b.rgn --colour 1"}) {
        ToolRun usage = RunTool(arguments);
        EXPECT_EQ(usage.status, 2u) << arguments;
        EXPECT_NE(usage.err.find("usage:"), std::string::npos) << arguments;
    }
}

}  // namespace
