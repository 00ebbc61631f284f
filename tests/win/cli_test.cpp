// pellform.exe as a build pipeline and a Linux shell run it: exit status,
// output lines, files.
#include <windows.h>

#include <algorithm>
#include <filesystem>
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

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

// Runs pellform.exe (arguments in UTF-8, in `folder` when given) with its output and errors going to files.
ToolRun RunTool(const std::string& arguments, const std::string& folder = "") {
    const std::string paths[] = {TemporaryPath("tool.out"), TemporaryPath("tool.err")};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = CreateFileA(paths[0].c_str(), GENERIC_WRITE, 7, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.hStdError = CreateFileA(paths[1].c_str(), GENERIC_WRITE, 7, &inherit, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION process{};
    std::wstring line = Wide(Quoted(PathBesideTests("pellform.exe")) + " " + arguments);
    ToolRun run;
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                       folder.empty() ? nullptr : Wide(folder).c_str(), &startup, &process)) {
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
    EXPECT_EQ(run.out.rfind(out + ": 1 rectangle, bounding box (0, 10, 40, 31)", 0), 0u) << run.out;
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

// Linux names are UTF-8: any name, full or relative, reaches its file and comes back in the
// tool's lines as given, which end in LF as a shell's tools write them (Linux paths: tests/wrapper).
TEST(CliTest, NamesOutsideTheCodePageWorkByFullAndRelativePath) {
    for (const std::string name : {u8"r\u00e9sum\u00e9", u8"\u56fe\u7247"}) {
        const std::string file = TemporaryPath(name.c_str()), folder = file.substr(0, file.rfind('\\'));
        ASSERT_TRUE(CopyFileW(Wide(TestDataPath("transparent.gif")).c_str(), Wide(file + ".gif").c_str(), FALSE));
        for (const std::string& given : {file, name}) {
            auto at = [&](const char* extension) { return " " + Quoted(given + extension); };
            EXPECT_EQ(RunTool("build" + at(".gif") + at(".rgn") + " --mask 0000FF", folder).out,
                      given + ".rgn: 1 rectangle, bounding box (0, 10, 40, 31)\n");
            EXPECT_NE(RunTool("info" + at(".rgn"), folder).out.find("Number of regions: 1\n"), std::string::npos);
            RunTool("export" + at(".rgn") + " --as masm -o" + at(".inc"), folder);
            const std::vector<BYTE> include = ReadFileBytes(file + ".inc");
            EXPECT_EQ(std::string(include.begin(), include.end()).rfind("; " + name + ".rgn: region data", 0), 0u);
            for (const char* made : {".rgn", ".inc"}) DeleteFileW(Wide(file + made).c_str());
        }
    }
}

// A build pipeline gets the same bytes on every machine: the default background
// is fixed whatever the system's button face, which --background system takes.
TEST(CliTest, TheDefaultBackgroundIsTheSameWhateverTheButtonFace) {
    const char* const colors = "Control Panel\\Colors";
    char saved[32] = "";
    DWORD size = sizeof saved;
    const bool had = !RegGetValueA(HKEY_CURRENT_USER, colors, "ButtonFace", RRF_RT_REG_SZ, nullptr, saved, &size);
    const std::string out = TemporaryPath("face.rgn"), gif = Quoted(TestDataPath("transparent.gif"));
    auto build = [&](const std::string& options) {
        return RunTool("build " + gif + " " + Quoted(out) + options), ReadFileBytes(out);
    };
    std::vector<std::vector<BYTE>> fixed, system;
    for (const char* face : {"212 208 200", "245 245 245"}) {
        RegSetKeyValueA(HKEY_CURRENT_USER, colors, "ButtonFace", REG_SZ, face, 12);
        fixed.push_back(build(" --mask F0F0F0"));
        system.push_back(build(" --mask D4D0C8 --background system"));
    }
    if (had) RegSetKeyValueA(HKEY_CURRENT_USER, colors, "ButtonFace", REG_SZ, saved, size);
    else RegDeleteKeyValueA(HKEY_CURRENT_USER, colors, "ButtonFace");
    // The transparent band (rows 10 to 20) takes the background's color and the mask cuts it only when they match.
    EXPECT_EQ(fixed[0], EncodeRegionData({{0, 0, 40, 10}, {0, 20, 40, 31}}));
    EXPECT_EQ(fixed[1], fixed[0]);
    EXPECT_NE(system[1], system[0]);  // the faces differ where the tool is asked to take them
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
        {"info " + Quoted(u8"\u7f3a\u5931.rgn"), 1, u8"\u7f3a\u5931.rgn: no such file"},
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
