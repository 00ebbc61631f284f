// pellform.exe as a build pipeline and a Linux shell run it: exit status,
// output lines, files.
#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "editor_fixture.h"
#include "hostile_files.h"
#include "picture_fixtures.h"
#include "res/resource_ids.h"

namespace {

struct ToolRun {
    DWORD status = 0xFFFFFFFF;
    std::string out, err;
};

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Runs pellform.exe with its output and errors going to files.
ToolRun RunTool(const std::string& arguments) {
    const std::string paths[] = {TemporaryPath("tool.out"), TemporaryPath("tool.err")};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = CreateFileA(paths[0].c_str(), GENERIC_WRITE, 7, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.hStdError = CreateFileA(paths[1].c_str(), GENERIC_WRITE, 7, &inherit, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION process{};
    std::string line = Quoted(PathBesideTests("pellform.exe")) + " " + arguments;
    ToolRun run;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    for (std::string* text : {&run.out, &run.err}) {
        const std::vector<BYTE> bytes = ReadFileBytes(paths[text == &run.err]);
        text->assign(bytes.begin(), bytes.end());
    }
    return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

class CliTest : public EditorTest {};

TEST_F(CliTest, BuildWritesWhatTheEditorSavesAloneInABatchAndOnLinuxPaths) {
    const std::string gif = Quoted(TestDataPath("transparent.gif")), out = TemporaryPath("tool.rgn");
    // The editor: default background (button face), mask blue (the pixel at 0,0).
    LoadPicture(TestDataPath("transparent.gif"));
    AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    const std::string fromEditor = TemporaryPath("editor.rgn");
    DeleteFileA(fromEditor.c_str());
    ChooseFile(IDM_SAVE_AS, "Save As", fromEditor);
    Idle();
    const std::vector<BYTE> expected = ReadFileBytes(fromEditor);
    ASSERT_FALSE(expected.empty());
    // Run by the ./pellform script, the tool takes and writes Linux paths, its lines ending in LF alone.
    const std::string linuxOut = "/tmp/pellform-cli-" + std::to_string(GetCurrentProcessId()) + ".rgn";
    const std::string runs[][3] = {{gif, out, ""}, {gif, out, " --mask 0000FF"},
                                   {Quoted(PELLFORM_TEST_DATA_DIR "/transparent.gif"), linuxOut, " --mask-at 0,0"}};
    for (const auto& r : runs) {
        const ToolRun run = RunTool("build " + r[0] + " " + Quoted(r[1]) + r[2]);
        EXPECT_EQ(run.status, 0u) << run.err;
        const std::string written = r[1][0] == '/' ? "Z:" + r[1] : r[1];
        EXPECT_EQ(ReadFileBytes(written), expected) << r[2];
        EXPECT_TRUE(DeleteFileA(written.c_str()));
        EXPECT_EQ(run.out.rfind(r[1] + ": 1 rectangles, bounding box (0, 10, 40, 31)", 0), 0u) << run.out;
        EXPECT_EQ(Lines(run.out), 1);
        EXPECT_EQ(run.out.find('\r'), std::string::npos);
    }
    EXPECT_EQ(RunTool("build " + gif + " " + Quoted(out) + " --mask-at 0,25 --background FFFF00").status, 0u);
    EXPECT_NE(ReadFileBytes(out), expected);

    // Into one folder: a missing picture, an undecodable one, and a second "transparent"
    // that would overwrite the first one's output: three failures among two successes.
    const std::string folder = TemporaryPath("batch");
    CreateDirectoryA(folder.c_str(), nullptr);
    const ToolRun batch = RunTool("build --mask-at 0,0 --out-dir " + Quoted(folder) + " " + gif + " " +
                                  Quoted(TestDataPath("missing.gif")) + " " + Quoted(TestDataPath("not_a_picture.gif")) +
                                  " " + Quoted(TestDataPath("stripes.png")) + " " + Quoted(TestDataPath("transparent.bmp")));
    EXPECT_EQ(batch.status, 1u);
    EXPECT_EQ(ReadFileBytes(folder + "\\transparent.rgn"), expected);
    EXPECT_FALSE(ReadFileBytes(folder + "\\stripes.rgn").empty());
    EXPECT_EQ(Lines(batch.out), 2) << batch.out;
    EXPECT_NE(batch.out.find("transparent.rgn: 1 rectangles, bounding box (0, 10, 40, 31), "), std::string::npos);
    EXPECT_NE(batch.out.find(" ms\n"), std::string::npos);
    for (const char* line : {"missing.gif: no such file", "not_a_picture.gif: could not be decoded",
                             "transparent.bmp: another picture of the same name", "3 of 5 pictures failed"})
        EXPECT_NE(batch.err.find(line), std::string::npos) << batch.err;
    EXPECT_EQ(RunTool("build --out-dir " + Quoted(folder) + " " + gif).status, 0u);
}

TEST_F(CliTest, AlphaThresholdGivesTheRegionOfTheAlphaChannelAndPicturesWithoutAlphaAreOpaque) {
    const std::string out = TemporaryPath("alpha.rgn");
    for (int threshold : {0, 1, 64, 128, 254, 255}) {
        ASSERT_EQ(RunTool("build " + Quoted(TestDataPath("wic\\rgba8.png")) + " " + Quoted(out) + " --alpha-threshold " +
                          std::to_string(threshold)).status, 0u);
        RegionRects pixels = {{0, 7, 10, 8}};  // the strip below the picture
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x)
                if (FixtureAlpha(x, y) >= threshold) pixels.push_back({x, y, x + 1, y + 1});
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData(UnionOfRects(pixels))) << threshold;
    }
    for (auto [name, width, height] : {std::tuple<const char*, int, int>{"wic\\rgb8.png", 10, 7}, {"stripes.bmp", 48, 32}}) {
        ASSERT_EQ(RunTool("build " + Quoted(TestDataPath(name)) + " " + Quoted(out) + " --alpha-threshold 255").status, 0u);
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData({{0, 0, width, height + 1}})) << name;
    }
}

TEST_F(CliTest, InfoListsOrRejectsFailuresExitOneWithOneLineAndUsageErrorsExitTwo) {
    const ToolRun listed = RunTool("info " + Quoted(TestDataPath("../fuzz/corpus/valid_strip.rgn")));
    EXPECT_EQ(listed.status, 0u) << listed.err;
    EXPECT_EQ(listed.out,
              "Size of header: 32\nType of region: 1\nNumber of regions: 3\nSize of raw data: 48\n"
              "Upper left X: 0\nUpper left Y: 0\nLower right X: 40\nLower right Y: 31\n"
              "1 0 3 10\n5 0 9 10\n0 10 40 31\n");
    const std::string gif = Quoted(TestDataPath("transparent.gif"));
    const std::string stairs = TemporaryPath("stairs.rgn"), board = TemporaryPath("board.bmp");
    const std::string corpus = TestDataPath("../fuzz/corpus/");
    // A checkerboard 2048 x 1024: 1024 rectangles in each of its 1024 rows, one row past the limit.
    ASSERT_TRUE(WriteBmpFile(board, 2048, 1024, [](int x, int y) { return (x + y) % 2 ? RGB(0, 0, 255) : 0; }));
    struct Failure {
        std::string arguments, err;
        int steps;  // a staircase file written first
    };
    std::vector<Failure> runs = {
        {"info " + Quoted(stairs), "not region data", 1025},
        {"info " + Quoted(stairs), "not region data", 12000},
        {"build " + Quoted(board) + " " + Quoted(TemporaryPath("board.rgn")) + " --mask 0000FF", "could not be built", 0},
        {"build " + gif + " " + Quoted(TemporaryPath("no-such-folder\\out.rgn")), "could not be written", 0},
        {"build " + Quoted(TestDataPath("not_a_picture.gif")) + " x.rgn", "could not be decoded", 0},
        {"info /no/such.rgn", "pellform: /no/such.rgn: no such file", 0},
        {"export /no/such.rgn --as c", "pellform: /no/such.rgn: no such file", 0},
        {"build /no/such.gif out.rgn", "pellform: /no/such.gif: no such file", 0},
    };
    for (const char* name : {"short", "type2", "size40", "count_past_end", "count_huge"})
        runs.push_back({"info " + Quoted(corpus + name + ".rgn"), "not region data", 0});
    for (const auto& run : runs) {
        ASSERT_TRUE(!run.steps || WriteBytes(stairs, StaircaseFile(run.steps)));
        const ToolRun result = RunTool(run.arguments);
        EXPECT_EQ(result.status, 1u) << run.arguments;
        EXPECT_TRUE(result.out.empty()) << run.arguments;
        EXPECT_NE(result.err.find(run.err), std::string::npos) << run.arguments << ": " << result.err;
        EXPECT_EQ(Lines(result.err), 1) << run.arguments << ": " << result.err;
    }
    for (const char* arguments :
         {"", "frobnicate", "build", "build a.gif", "info", "info a.rgn b.rgn", "build a.gif b.rgn --mask 12345",
          "build a.gif b.rgn --mask-at 1", "build a.gif b.rgn --mask 000000 --mask-at 0,0", "build a.gif b.rgn --colour 1",
          "build a.gif b.rgn --alpha-threshold 256", "build a.gif b.rgn --alpha-threshold -1",
          "build a.gif b.rgn --alpha-threshold x", "build a.gif b.rgn --alpha-threshold 5 --mask 000000",
          "build a.gif b.rgn --mask-at 0,0 --alpha-threshold 5", "export a.rgn --as pascal",
          "export a.rgn b.rgn --as c", "build --out-dir ."}) {
        const ToolRun usage = RunTool(arguments);
        EXPECT_EQ(usage.status, 2u) << arguments;
        EXPECT_NE(usage.err.find("usage:"), std::string::npos) << arguments;
    }
    EXPECT_EQ(RunTool("build --out-dir " + Quoted(TemporaryPath("none")) + " " + gif).status, 1u);
    const ToolRun help = RunTool("--help"), version = RunTool("--version");
    EXPECT_EQ(help.status, 0u);
    EXPECT_NE(help.out.find("usage: pellform build"), std::string::npos) << help.out;
    EXPECT_EQ(version.out.rfind("pellform 1.", 0), 0u) << version.out;

    // A target that cannot be replaced keeps its old bytes.
    const std::string guarded = TemporaryPath("read-only.rgn");
    SetFileAttributesA(guarded.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteBytes(guarded, {'o', 'l', 'd'}));
    SetFileAttributesA(guarded.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RunTool("build " + gif + " " + Quoted(guarded)).status, 1u);
    SetFileAttributesA(guarded.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(guarded), (std::vector<BYTE>{'o', 'l', 'd'}));
}

}  // namespace
