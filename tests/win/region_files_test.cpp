// *.rgn files through the editor: save and open round trips, malformed files,
// and saves that must not lose the old file.
#include <windows.h>

#include <cstring>
#include <algorithm>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "hostile_files.h"
#include "region/region_data.h"
#include "res/resource_ids.h"

namespace {


bool WriteReadFileBytes(const std::string& path, const std::vector<BYTE>& data) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = data.empty() || WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok;
}

std::vector<BYTE> Header(DWORD size, DWORD type, DWORD count, size_t total) {
    std::vector<BYTE> data(total, 0);
    if (total >= 12) {
        std::memcpy(data.data(), &size, 4);
        std::memcpy(data.data() + 4, &type, 4);
        std::memcpy(data.data() + 8, &count, 4);
    }
    return data;
}

// Temporary files a save left behind in a folder (ending in a backslash).
int CountSaveLeftovers(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "PF*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// Which file a name stands for: a rename over it changes it, a copy does not.
DWORD FileIndexOf(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return info.nFileIndexLow;
}

// The drive the test prefix maps to /dev/shm, another file system than the temporary folder's.
const char kOtherVolume[] = "S:\\";

class RegionFilesTest : public EditorTest {
protected:
    // A region from the test picture: everything but its blue band.
    void BuildRegion() {
        LoadPicture(TestDataPath("transparent.gif"));
        AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
        Idle();
        ASSERT_NE(state_->hrgnCurrent, nullptr);
    }
    void SaveAs(const std::string& path) {
        ChooseFile(IDM_SAVE_AS, "Save As", path);
        Idle();
    }
    void Open(const std::string& path) {
        ChooseFile(IDM_OPEN, "Open", path);
        Idle();
    }
    std::vector<BYTE> CurrentRegionData() {
        const DWORD size = GetRegionData(state_->hrgnCurrent, 0, nullptr);
        std::vector<BYTE> data(size);
        GetRegionData(state_->hrgnCurrent, size, reinterpret_cast<RGNDATA*>(data.data()));
        return data;
    }
};

TEST_F(RegionFilesTest, SaveAsWritesTheRegionDataAndOpenReadsItBack) {
    BuildRegion();
    const std::string path = TemporaryPath("round.rgn");
    DeleteFileA(path.c_str());
    SaveAs(path);
    EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [" + path + "]");
    EXPECT_FALSE(IsMenuItemGrayed(Menu(), IDM_SAVE));
    const std::vector<BYTE> file = ReadFileBytes(path);
    RegionRects rects;
    ASSERT_TRUE(DecodeRegionData(file.data(), file.size(), rects));
    EXPECT_EQ(file.size(), 32 + 16 * rects.size());
    DWORD rgnSize = 0;
    std::memcpy(&rgnSize, file.data() + 12, 4);
    EXPECT_EQ(rgnSize, 16 * rects.size());
    // Rows 10 to 29 and the strip below the picture are all full width: one rectangle, last.
    EXPECT_EQ(rects.back(), (RegionRect{0, 10, 40, 31}));
    std::vector<BYTE> expected = CurrentRegionData();
    std::memcpy(expected.data() + 12, &rgnSize, 4);
    EXPECT_EQ(file, expected);

    Command(IDM_NEW);
    Open(path);
    ASSERT_NE(state_->hrgnCurrent, nullptr);
    std::vector<BYTE> reopened = CurrentRegionData();
    std::memcpy(reopened.data() + 12, &rgnSize, 4);
    EXPECT_EQ(reopened, file);
    EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [" + path + "]");
    for (UINT id : {IDM_SAVE, IDM_SAVE_AS, IDM_VIEW_RAW_DATA}) EXPECT_FALSE(IsMenuItemGrayed(Menu(), id)) << id;
    EXPECT_TRUE(IsMenuItemGrayed(Menu(), IDM_PICK_MASK)) << "opening a region loads no picture";
}

TEST_F(RegionFilesTest, SaveWithoutAFileNameAsksForOneAndAnEmptyRegionIs32Bytes) {
    state_->hrgnCurrent = CreateRectRgn(0, 0, 0, 0);
    const std::string path = TemporaryPath("empty.rgn");
    DeleteFileA(path.c_str());
    ChooseFile(IDM_SAVE, "Save As", path);
    Idle();
    const std::vector<BYTE> file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 32u);
    const std::vector<BYTE> header = Header(32, 1, 0, 16);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
    Command(IDM_NEW);
    Open(path);
    ASSERT_NE(state_->hrgnCurrent, nullptr);
    RECT box = RegionBox();
    EXPECT_TRUE(IsRectEmpty(&box));
    EXPECT_FALSE(BoxIsUp("Error"));
}

TEST_F(RegionFilesTest, MalformedFilesAreRejectedKeepingTheRegionAndOddOnesLoadAsExtCreateRegionWould) {
    BuildRegion();
    const std::string path = TemporaryPath("odd.rgn");
    const struct {
        const char* what;
        std::vector<BYTE> data;
    } rejected[] = {
        {"empty", {}},
        {"31 bytes", Header(32, 1, 0, 31)},
        {"type 2", Header(32, 2, 0, 32)},
        {"header size 40", Header(40, 1, 0, 40)},
        {"count past the end", Header(32, 1, 2, 48)},
        {"count 0x10000000", Header(32, 1, 0x10000000, 64)},
        {"count past the limit, all there", Header(32, 1, kMaxRegionRects + 1, 32 + 16 * (kMaxRegionRects + 1))},
        {"staircase of 1025", StaircaseFile(1025)},
        {"staircase of 12000", StaircaseFile(12000)},
    };
    for (const auto& file : rejected) {
        ASSERT_TRUE(WriteReadFileBytes(path, file.data));
        lstrcpyA(state_->regionFileName, "Z:\\before.rgn");
        HRGN before = state_->hrgnCurrent;
        ChooseFile(IDM_OPEN, "Open", path);
        EXPECT_EQ(AnswerBox("Error", IDOK), "An error occured, region data was NOT loaded.") << file.what;
        EXPECT_EQ(state_->hrgnCurrent, before) << file.what;
        EXPECT_EQ(state_->regionFileName[0], '\0') << file.what;
        EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [Untitled]") << file.what;
        for (UINT id : {IDM_SAVE, IDM_SAVE_AS, IDM_VIEW_RAW_DATA})
            EXPECT_TRUE(IsMenuItemGrayed(Menu(), id)) << file.what << " " << id;
    }
}

TEST_F(RegionFilesTest, AcceptedOddFilesGiveWhatExtCreateRegionGives) {
    const std::string path = TemporaryPath("accepted.rgn");
    const RegionRects messy = {{5, 5, 20, 9}, {0, 0, 10, 10}, {8, 2, 30, 4}, {3, 3, 3, 40}, {50, 50, 40, 60},
                               {-7, 12, -2, 15}, {0, 10, 10, 11}};
    const std::vector<std::uint8_t> encoded = EncodeRegionData(messy);
    std::vector<BYTE> withTrailing(encoded.begin(), encoded.end());
    withTrailing.insert(withTrailing.end(), 13, 0xEE);
    const std::vector<std::vector<BYTE>> files = {Header(32, 1, 0, 32), std::vector<BYTE>(encoded.begin(), encoded.end()),
                                                  withTrailing};
    for (const std::vector<BYTE>& data : files) {
        ASSERT_TRUE(WriteReadFileBytes(path, data));
        Open(path);
        EXPECT_FALSE(BoxIsUp("Error"));
        ASSERT_NE(state_->hrgnCurrent, nullptr);
        HRGN platform = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
        ASSERT_NE(platform, nullptr);
        EXPECT_TRUE(EqualRgn(state_->hrgnCurrent, platform)) << data.size() << " bytes";
        DeleteObject(platform);
    }
}

TEST_F(RegionFilesTest, ASaveThatCannotReplaceTheTargetLeavesItAsItWasAndNoTemporaryFile) {
    BuildRegion();
    const std::vector<BYTE> old = {'o', 'l', 'd', ' ', 'd', 'a', 't', 'a'};
    for (const std::string& path : {TemporaryPath("guarded.rgn"), std::string(kOtherVolume) + "guarded.rgn"}) {
        const int leftovers = CountSaveLeftovers(FolderOf(path));
        for (int how = 0; how < 2; ++how) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(WriteReadFileBytes(path, old)) << path;
            HANDLE lock = INVALID_HANDLE_VALUE;
            if (how == 0) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
            else lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            lstrcpyA(state_->regionFileName, path.c_str());
            state_->regionFileShown = true;
            PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_SAVE, 0);
            EXPECT_EQ(AnswerBox("Error", IDOK), "An error occured, region data was NOT saved.") << path << how;
            if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(ReadFileBytes(path), old) << path << how;
            EXPECT_EQ(CountSaveLeftovers(FolderOf(path)), leftovers) << path << how;
        }
        // Replaceable again: the save goes through, with no message, and the
        // target is a new file that took the name by a rename on its own volume,
        // not the old one copied over.
        const DWORD oldFile = FileIndexOf(path);
        Command(IDM_SAVE);
        EXPECT_FALSE(BoxIsUp("Error")) << path;
        EXPECT_EQ(ReadFileBytes(path).size() % 16, 0u) << path;
        EXPECT_EQ(CountSaveLeftovers(FolderOf(path)), leftovers) << path;
        EXPECT_NE(FileIndexOf(path), oldFile) << path;
    }
}

TEST_F(RegionFilesTest, AStaircaseAtTheLimitOpens) {
    BuildRegion();
    const std::string path = TemporaryPath("stairs.rgn");
    ASSERT_TRUE(WriteReadFileBytes(path, StaircaseFile(1024)));
    Open(path);
    EXPECT_FALSE(BoxIsUp("Error"));
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    ASSERT_NE(state_->hrgnCurrent, nullptr);
    std::vector<BYTE> data = CurrentRegionData();
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.nCount, kMaxRegionRects);
}

TEST_F(RegionFilesTest, RunningOutOfMemoryEndsEachCommandInItsFailureWithTheStateKept) {
    BuildRegion();
    const std::string good = TemporaryPath("good.rgn"), fresh = TemporaryPath("never.rgn");
    SaveAs(good);
    DeleteFileA(fresh.c_str());
    const int leftovers = CountSaveLeftovers(FolderOf(fresh));
    const struct {
        UINT command;
        const char* dialog;
        std::string path;
        const char* message;
    } commands[] = {
        {IDM_OPEN, "Open", good, "An error occured, region data was NOT loaded."},
        {IDM_SAVE_AS, "Save As", fresh, "An error occured, region data was NOT saved."},
        {IDM_ENTER_MASK_RGB, "Color", "", "An internal error occured..."},
    };
    for (const auto& c : commands) {
        HRGN before = state_->hrgnCurrent;
        probe_->failAllocationsAfter(0);
        if (c.path.empty()) AnswerColourDialog(c.command, RGB(0, 255, 0));
        else ChooseFile(c.command, c.dialog, c.path);
        EXPECT_EQ(AnswerBox("Error", IDOK), c.message) << c.dialog;
        probe_->failAllocationsAfter(-1);
        EXPECT_EQ(state_->hrgnCurrent, before) << c.dialog;
        EXPECT_TRUE(IsWindow(editorWindow_.hwnd));
    }
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CountSaveLeftovers(FolderOf(fresh)), leftovers);
    // Memory back: the same commands work.
    Open(good);
    EXPECT_FALSE(BoxIsUp("Error"));
    EXPECT_NE(state_->hrgnCurrent, nullptr);
}

TEST_F(RegionFilesTest, SaveAsksForANameThisWindowNeverShowed) {
    BuildRegion();
    const std::string path = TemporaryPath("inherited.rgn");
    SaveAs(path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteReadFileBytes(path, {'m', 'i', 'n', 'e'}));
    // The window that showed the name saves to it at once.
    Command(IDM_SAVE);
    EXPECT_EQ(FindDialogNow(editorWindow_.threadId, "Save As"), nullptr);
    EXPECT_NE(ReadFileBytes(path).size(), 4u);

    CloseEditor(editorWindow_);
    editorWindow_ = OpenEditor();
    ASSERT_NE(editorWindow_.hwnd, nullptr);
    EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [Untitled]");
    EXPECT_STREQ(state_->regionFileName, path.c_str());
    BuildRegion();
    ASSERT_TRUE(WriteReadFileBytes(path, {'m', 'i', 'n', 'e'}));
    // The later one offers the inherited name and asks before replacing the file.
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_SAVE, 0);
    HWND dialog = WaitForDialog(editorWindow_.threadId, "Save As");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogItemText(dialog, 0x47C), "inherited.rgn");  // the folder is the dialog's own
    PressButton(dialog, IDOK);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = GetLastActivePopup(dialog)) != dialog && question; }));
    PressButton(question, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return GetLastActivePopup(dialog) == dialog; }));
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
    EXPECT_EQ(ReadFileBytes(path), (std::vector<BYTE>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [Untitled]");
}

TEST_F(RegionFilesTest, RepeatedBuildSaveOpenCyclesLeakNothing) {
    LoadPicture(TestDataPath("transparent.gif"));
    const std::string path = TemporaryPath("cycle.rgn");
    state_->maskColor = RGB(0, 255, 0);
    auto cycle = [&] {
        probe_->applyMaskColor(editorWindow_.hwnd);
        lstrcpyA(state_->regionFileName, path.c_str());
        probe_->saveRegionFile(editorWindow_.hwnd);
        probe_->openRegionFile(editorWindow_.hwnd);
        SettleWindow(editorWindow_.hwnd);
    };
    cycle();
    cycle();
    const int before = CountGdiObjects();
    for (int i = 0; i < 10; ++i) cycle();
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_FALSE(BoxIsUp("Error"));
    EXPECT_FALSE(PtInRegion(state_->hrgnCurrent, 5, 25)) << "the green band is masked out";
    EXPECT_TRUE(PtInRegion(state_->hrgnCurrent, 5, 30)) << "the strip below the picture";
}

}  // namespace
