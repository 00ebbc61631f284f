// pellform.exe as a build pipeline runs it: exit status, output lines, files.
#include <windows.h>

#include <cstring>
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "hostile_files.h"
#include "picture_fixtures.h"
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

// The region a file holds; null when it holds none.
HRGN RegionOfFile(const std::string& path) {
    const std::vector<BYTE> data = ReadFileBytes(path);
    if (data.empty()) return nullptr;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

TEST_F(CliTest, AlphaThresholdGivesTheRegionOfTheAlphaChannelAndPicturesWithoutAlphaAreOpaque) {
    const std::string out = TemporaryPath("alpha.rgn");
    const std::string png = TestDataPath("wic\\rgba8.png");
    for (int threshold : {0, 1, 64, 128, 254, 255}) {
        ToolRun run = RunTool("build " + Quoted(png) + " " + Quoted(out) + " --alpha-threshold " +
                              std::to_string(threshold));
        ASSERT_EQ(run.status, 0u) << run.err;
        HRGN expected = CreateRectRgn(0, 7, 10, 8);  // the strip below the picture
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x)
                if (FixtureAlpha(x, y) >= threshold) {
                    HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
                    CombineRgn(expected, expected, pixel, RGN_OR);
                    DeleteObject(pixel);
                }
        HRGN built = RegionOfFile(out);
        ASSERT_NE(built, nullptr);
        EXPECT_TRUE(EqualRgn(built, expected)) << threshold;
        DeleteObject(built);
        DeleteObject(expected);
    }
    for (auto [name, width, height] : {std::tuple<const char*, int, int>{"wic\\rgb8.png", 10, 7},
                                       {"stripes.bmp", 48, 32}}) {
        ToolRun run = RunTool("build " + Quoted(TestDataPath(name)) + " " + Quoted(out) + " --alpha-threshold 255");
        ASSERT_EQ(run.status, 0u) << run.err;
        HRGN built = RegionOfFile(out);
        HRGN whole = CreateRectRgn(0, 0, width, height + 1);
        EXPECT_TRUE(EqualRgn(built, whole)) << name;
        DeleteObject(built);
        DeleteObject(whole);
    }
    for (const char* option : {"--alpha-threshold 256", "--alpha-threshold -1", "--alpha-threshold x",
                               "--alpha-threshold 5 --mask 000000", "--mask-at 0,0 --alpha-threshold 5"}) {
        ToolRun usage = RunTool("build " + Quoted(png) + " " + Quoted(out) + " " + option);
        EXPECT_EQ(usage.status, 2u) << option;
    }
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

TEST_F(CliTest, ManyPicturesGoIntoOneFolderAndAFailureDoesNotStopTheRest) {
    const std::string folder = TemporaryPath("batch");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string gif = TestDataPath("transparent.gif"), png = TestDataPath("stripes.png");
    const std::string single = TemporaryPath("single.rgn");
    ASSERT_EQ(RunTool("build " + Quoted(gif) + " " + Quoted(single) + " --mask-at 0,0").status, 0u);

    // A missing picture, an undecodable one, and a second "transparent" that
    // would overwrite the first one's output: three failures among two successes.
    ToolRun batch = RunTool("build --mask-at 0,0 --out-dir " + Quoted(folder) + " " + Quoted(gif) + " " +
                            Quoted(TestDataPath("missing.gif")) + " " + Quoted(TestDataPath("not_a_picture.gif")) +
                            " " + Quoted(png) + " " + Quoted(TestDataPath("transparent.bmp")));
    EXPECT_EQ(batch.status, 1u);
    EXPECT_EQ(ReadFileBytes(folder + "\\transparent.rgn"), ReadFileBytes(single));
    EXPECT_FALSE(ReadFileBytes(folder + "\\stripes.rgn").empty());
    EXPECT_EQ(std::count(batch.out.begin(), batch.out.end(), '\n'), 2) << batch.out;
    EXPECT_NE(batch.out.find("transparent.rgn: 1 rectangles, bounding box (0, 10, 40, 31), "), std::string::npos);
    EXPECT_NE(batch.out.find(" ms\n"), std::string::npos);
    EXPECT_NE(batch.err.find("missing.gif: no such file"), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("not_a_picture.gif: could not be decoded"), std::string::npos);
    EXPECT_NE(batch.err.find("transparent.bmp: another picture of the same name"), std::string::npos);
    EXPECT_NE(batch.err.find("3 of 5 pictures failed"), std::string::npos);

    ToolRun allGood = RunTool("build --out-dir " + Quoted(folder) + " " + Quoted(gif));
    EXPECT_EQ(allGood.status, 0u) << allGood.err;
    EXPECT_EQ(RunTool("build --out-dir " + Quoted(folder + "\\none") + " " + Quoted(gif)).status, 1u);
}

// Run by the ./pellform script, the tool is a Linux program to its user.
TEST_F(CliTest, SpeaksToALinuxShell) {
    const std::string linuxGif = PELLFORM_TEST_DATA_DIR "/transparent.gif";
    const std::string linuxOut = "/tmp/pellform-cli-" + std::to_string(GetCurrentProcessId()) + ".rgn";
    ToolRun build = RunTool("build " + Quoted(linuxGif) + " " + Quoted(linuxOut));
    EXPECT_EQ(build.status, 0u) << build.err;
    EXPECT_EQ(build.out.rfind(linuxOut + ": 1 rectangles", 0), 0u) << build.out;
    EXPECT_EQ(build.out.find('\r'), std::string::npos);  // LF, as the shell's own tools write
    DeleteFileA(("Z:" + linuxOut).c_str());

    const struct {
        const char* arguments;
        DWORD status;
        const char* out;
        const char* err;
    } cases[] = {
        {"--help", 0, "usage: pellform build", ""},
        {"--version", 0, "pellform 1.", ""},
        {"info /no/such.rgn", 1, "", "pellform: /no/such.rgn: no such file"},
        {"export /no/such.rgn --as c", 1, "", "pellform: /no/such.rgn: no such file"},
        {"build /no/such.gif out.rgn", 1, "", "pellform: /no/such.gif: no such file"},
        {"export a.rgn --as pascal", 2, "", "usage:"},
        {"export a.rgn b.rgn --as c", 2, "", "usage:"},
        {"build --out-dir .", 2, "", "usage:"},
    };
    for (const auto& c : cases) {
        ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.arguments << ": " << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.arguments << ": " << run.err;
    }
}

}  // namespace
