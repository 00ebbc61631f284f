// pellform.exe as a build pipeline and a Linux shell run it: exit status,
// output lines, files.
#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "harness.h"
#include "picture_fixtures.h"
#include "core/region_data.h"

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
    startup.hStdOutput = CreateFileA(paths[0].c_str(), GENERIC_WRITE, kShareAll, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.hStdError = CreateFileA(paths[1].c_str(), GENERIC_WRITE, kShareAll, &inherit, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION process{};
    std::string line = Quoted(PathBesideTests("pellform.exe")) + " " + arguments;
    ToolRun run;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.status);
    }
    for (HANDLE handle : {process.hProcess, process.hThread, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    for (std::string* text : {&run.out, &run.err}) {
        const std::vector<BYTE> bytes = ReadFileBytes(paths[text == &run.err]);
        text->assign(bytes.begin(), bytes.end());
    }
    return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The editor saves the same bytes for this picture and mask (RegionFilesTest).
TEST(CliTest, BuildWritesTheRegionOfThePictureAloneAndInABatch) {
    const std::string gif = Quoted(TestDataPath("transparent.gif")), out = TemporaryPath("tool.rgn");
    const ToolRun run = RunTool("build " + gif + " " + Quoted(out) + " --mask 0000FF");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(ReadFileBytes(out), EncodeRegionData({{0, 10, 40, 31}}));  // all but the blue band at the top
    EXPECT_EQ(run.out.rfind(out + ": 1 rectangles, bounding box (0, 10, 40, 31)", 0), 0u) << run.out;
    // Under wine its lines end in LF alone, as a Linux shell's other tools write them.
    EXPECT_EQ(run.out.find_first_of("\r\n"), run.out.size() - 1) << run.out;
    // The transparent band takes the background's color, which the mask then cuts out.
    ASSERT_EQ(RunTool("build " + gif + " " + Quoted(out) + " --background 123456 --mask 123456").status, 0u);
    EXPECT_EQ(ReadFileBytes(out), EncodeRegionData({{0, 0, 40, 10}, {0, 20, 40, 31}}));
    // Into one folder, the mask at 0,0 by default: three failures among two successes.
    const std::string folder = TemporaryPath("batch");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string pictures = gif;
    for (const char* name : {"missing.gif", "not_a_picture.gif", "stripes.png", "transparent.bmp"})
        pictures += " " + Quoted(TestDataPath(name));
    const ToolRun batch = RunTool("build --out-dir " + Quoted(folder) + " " + pictures);
    EXPECT_EQ(batch.status, 1u);
    EXPECT_EQ(ReadFileBytes(folder + "\\transparent.rgn"), EncodeRegionData({{0, 10, 40, 31}}));
    EXPECT_EQ(Lines(batch.out), 2) << batch.out;
    for (const char* line : {"missing.gif: no such file", "not_a_picture.gif: could not be decoded",
                             "transparent.bmp: another picture of the same name", "3 of 5 pictures failed"})
        EXPECT_NE(batch.err.find(line), std::string::npos) << batch.err;
}

TEST(CliTest, AlphaThresholdGivesTheRegionOfTheAlphaChannelAndPicturesWithoutAlphaAreOpaque) {
    const std::string out = TemporaryPath("alpha.rgn"), rgba = "wic\\rgba8.png";
    const std::pair<std::string, int> runs[] = {{rgba, 0}, {rgba, 1}, {rgba, 128}, {rgba, 255}, {"wic\\rgb8.png", 255}};
    for (const auto& [name, threshold] : runs) {
        const std::string arguments = Quoted(TestDataPath(name.c_str())) + " " + Quoted(out) + " --alpha-threshold ";
        ASSERT_EQ(RunTool("build " + arguments + std::to_string(threshold)).status, 0u) << name;
        RegionRects pixels = {{0, 7, 10, 8}};  // the strip below the picture
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x)
                if ((name == rgba ? FixtureAlpha(x, y) : 255) >= threshold) pixels.push_back({x, y, x + 1, y + 1});
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData(UnionOfRects(pixels))) << name << " " << threshold;
    }
}

TEST(CliTest, FailuresExitOneWithOneLineAndUsageErrorsExitTwoAddingHowTheToolIsUsed) {
    const std::string gif = Quoted(TestDataPath("transparent.gif")), board = TemporaryPath("board.bmp");
    // Past the rectangle limit, as files are in the editor: a 2048 x 1024 checkerboard, one row too many.
    ASSERT_TRUE(WriteBmpFile(board, 2048, 1024, [](int x, int y) { return (x + y) % 2 ? RGB(0, 0, 255) : 0; }));
    const std::tuple<std::string, DWORD, const char*> failures[] = {
        {"export " + Quoted(TestDataPath("not_a_picture.gif")) + " --as c", 1, "not region data"},
        {"build " + Quoted(board) + " " + Quoted(board + ".rgn") + " --mask 0000FF", 1, "could not be built"},
        {"build " + gif + " " + Quoted(TemporaryPath("no-such-folder\\out.rgn")), 1, "could not be written"},
        {"build " + gif + " o.rgn --mask-at 40,0", 1, "--mask-at lies outside the 40 x 30 picture"},
        {"build " + gif + " o.rgn --mask-at 0,30", 1, "--mask-at lies outside the 40 x 30 picture"},
        {"build a b --mask 000000 --mask-at 0,0", 2, "give one of --mask, --mask-at and --alpha-threshold\nusage: "},
    };
    for (const auto& [arguments, status, error] : failures) {
        const ToolRun result = RunTool(arguments);
        EXPECT_EQ(result.status, status) << arguments;
        EXPECT_TRUE(result.out.empty()) << arguments;
        EXPECT_NE(result.err.find(error), std::string::npos) << arguments << ": " << result.err;
        EXPECT_EQ(Lines(result.err) == 1, status == 1) << arguments << ": " << result.err;
    }
}

}  // namespace
