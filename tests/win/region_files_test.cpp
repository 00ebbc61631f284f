// *.rgn files through the editor: what loads and what is refused, running out
// of memory, and saves that must not lose the old file.
#include <windows.h>

#include "editor_fixture.h"
#include "core/region_data.h"
#include "res/resource_ids.h"

namespace {

// Rectangle i = (2i, i, 2i + 1, n + i): a file of 16 n bytes whose union has
// n * n rectangles, every row a band of its own.
std::vector<BYTE> StaircaseFile(int n) {
    RegionRects rects;
    for (int i = 0; i < n; ++i) rects.push_back({2 * i, i, 2 * i + 1, n + i});
    return EncodeRegionData(rects);
}

// Temporary files a save left behind in the folder of `path`.
int CountSaveLeftovers(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path.substr(0, path.rfind('\\') + 1) + "PF*").c_str(), &found);
    int count = search != INVALID_HANDLE_VALUE;
    while (count && FindNextFileA(search, &found)) ++count;
    if (count) FindClose(search);
    return count;
}

// Which file a name stands for: a rename over it changes it, a copy does not.
DWORD FileIndexOf(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    HANDLE file = CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return info.nFileIndexLow;
}

// The file of the test picture's region: rows 10 to 29 and the strip below, full width.
const std::vector<BYTE> kRegionFile = EncodeRegionData({{0, 10, 40, 31}});

const char kNotLoaded[] = "An error occured, region data was NOT loaded.";
const char kNotSaved[] = "An error occured, region data was NOT saved.";

class RegionFilesTest : public EditorTest {
protected:
    // Every test starts from a region of the test picture: everything but its blue band.
    void SetUp() override {
        EditorTest::SetUp();
        if (HasFatalFailure()) return;
        LoadPicture(TestDataPath("transparent.gif"));
        AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
        Idle();
    }
    void SetFileName(const std::string& path) {
        OnEditorThread([&] { Doc().inputs.regionFileName = path, Doc().inputs.nameShown = true; });
    }
};

TEST_F(RegionFilesTest, MalformedFilesAreRejectedKeepingTheRegionAndOthersLoadAsExtCreateRegionWould) {
    const std::string path = TemporaryPath("odd.rgn");
    auto header = [](DWORD size, DWORD type, DWORD count, size_t total) {
        const RGNDATAHEADER fields = {size, type, count, 0, {}};
        std::vector<BYTE> data(reinterpret_cast<const BYTE*>(&fields), reinterpret_cast<const BYTE*>(&fields + 1));
        data.resize(total);
        return data;
    };
    // Refused; loaded: unsorted, overlapping, empty and inverted rectangles, trailing bytes, a staircase at the limit.
    const std::vector<std::vector<BYTE>> files[] = {
        {header(0, 0, 0, 0), header(32, 1, 0, 31), header(32, 2, 0, 32), header(40, 1, 0, 40), header(32, 1, 2, 48),
         header(32, 1, 0x10000000, 64), header(32, 1, 0xFFFFFFFF, 32), StaircaseFile(1025), StaircaseFile(12000),
         header(32, 1, kMaxRegionRects + 1, 32 + 16 * (kMaxRegionRects + 1))},
        {EncodeRegionData({{5, 5, 20, 9}, {0, 0, 10, 10}, {8, 2, 30, 4}, {3, 3, 3, 40}, {50, 50, 40, 60},
                           {-7, 12, -2, 15}, {0, 10, 10, 11}}), header(32, 1, 0, 45), StaircaseFile(1024)}};
    // Every other file is dropped instead, a picture after it, of which only the first file is taken.
    const std::string dropped = TemporaryPath("dropped.RGN");
    for (bool loads : {false, true})
        for (const auto& data : files[loads]) {
            const std::string& used = (&data - files[loads].data()) % 2 ? dropped : path;
            ASSERT_TRUE(WriteFileBytes(used, data));
            SetFileName("Z:\\before.rgn");
            HRGN before = Doc().hrgnCurrent.get();
            if (&used == &dropped) DropFiles({used, TestDataPath("transparent.gif")});
            else ChooseFile(IDM_OPEN, "Open", used);
            if (loads) {
                Idle();
                EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [" + used + "]");
                HRGN platform = ExtCreateRegion(nullptr, data.size(), reinterpret_cast<const RGNDATA*>(data.data()));
                EXPECT_TRUE(EqualRgn(Doc().hrgnCurrent.get(), platform)) << data.size();
                DeleteObject(platform);
                continue;
            }
            EXPECT_EQ(AnswerBox("Error", IDOK), kNotLoaded) << data.size();
            EXPECT_EQ(Doc().hrgnCurrent.get(), before) << data.size();
            EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [Untitled]") << data.size();
            for (UINT id : {IDM_SAVE, IDM_SAVE_AS, IDM_VIEW_RAW_DATA}) EXPECT_TRUE(IsMenuItemGrayed(Menu(), id)) << id;
        }
}

TEST_F(RegionFilesTest, SavesNeverDamageTheOldFileOutOfMemoryKeepsTheStateAndALaterWindowAsksBeforeReplacing) {
    // S: is another file system than the temporary folder's. A folder of 250 characters (GetTempFileName refuses
    // past 246) holds the names a writer tries first, a file and a folder, which must stay as they are.
    std::string deep = TemporaryPath("");
    deep += std::string(250 - deep.size(), 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(deep + "\\PF000000", {'t', 'a', 'k', 'e', 'n'}));
    CreateDirectoryA((deep + "\\PF000001").c_str(), nullptr);
    for (const std::string& path : {TemporaryPath("guarded.rgn"), std::string("S:\\guarded.rgn"), deep + "\\a.rgn"}) {
        const int leftovers = CountSaveLeftovers(path);
        for (bool locked : {false, true}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(WriteFileBytes(path, {'o', 'l', 'd'})) << path;
            // Locked, the rename fails; read-only, the save refuses before it (the rename would refuse too).
            HANDLE lock =
                CreateFileA(path.c_str(), GENERIC_READ, locked ? 0 : kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
            SetFileAttributesA(path.c_str(), locked ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY);
            SetFileName(path);
            PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_SAVE, 0);
            EXPECT_EQ(AnswerBox("Error", IDOK), kNotSaved) << path << locked;
            CloseHandle(lock);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(ReadFileBytes(path), (std::vector<BYTE>{'o', 'l', 'd'})) << path << locked;
            EXPECT_EQ(CountSaveLeftovers(path), leftovers) << path << locked;
        }
        // Replaceable again: the save goes through, as a new file renamed over the old one.
        const DWORD oldFile = FileIndexOf(path);
        Command(IDM_SAVE);
        EXPECT_EQ(ReadFileBytes(path), kRegionFile) << path;
        EXPECT_EQ(CountSaveLeftovers(path), leftovers) << path;
        EXPECT_NE(FileIndexOf(path), oldFile) << path;
    }
    EXPECT_EQ(ReadFileBytes(deep + "\\PF000000"), (std::vector<BYTE>{'t', 'a', 'k', 'e', 'n'}));
    // Out of memory, Open, Save As and a new mask each end in their failure with the state kept.
    const std::string good = TemporaryPath("guarded.rgn"), fresh = TemporaryPath("never.rgn");  // saved above
    DeleteFileA(fresh.c_str());
    const int leftovers = CountSaveLeftovers(fresh);
    HRGN before = Doc().hrgnCurrent.get();
    for (int command = 0; command < 3; ++command) {
        probe_->failAllocationsAfter(0);
        if (command == 2) AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 255, 0));
        else ChooseFile(command ? IDM_SAVE_AS : IDM_OPEN, command ? "Save As" : "Open", command ? fresh : good);
        const char* error = command == 2 ? "An internal error occured..." : command ? kNotSaved : kNotLoaded;
        EXPECT_EQ(AnswerBox("Error", IDOK), error) << command;
        probe_->failAllocationsAfter(-1);
        EXPECT_EQ(Doc().hrgnCurrent.get(), before) << command;
    }
    EXPECT_EQ(GetFileAttributesA(fresh.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CountSaveLeftovers(fresh), leftovers);

    // A later window inherits the name, and asks before replacing the file it never showed.
    SetFileName(good);
    CloseEditor(editorWindow_);
    editorWindow_ = OpenEditor();
    OnEditorThread([&] { Doc().hrgnCurrent.reset(CreateRectRgn(0, 0, 0, 0)); });
    HWND question = nullptr, dialog = OpenDialog(IDM_SAVE, "Save As");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(DialogItemText(dialog, cmb13), "guarded.rgn");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return (question = GetLastActivePopup(dialog)) != dialog && question; }));
    PressButton(question, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return GetLastActivePopup(dialog) == dialog; }));
    // Declined, the dialog stays: saved elsewhere, an empty region is the 32-byte header alone.
    SetDlgItemTextA(dialog, cmb13, fresh.c_str());
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
    EXPECT_EQ(ReadFileBytes(good), kRegionFile);
    EXPECT_EQ(ReadFileBytes(fresh), EncodeRegionData({}));
}

}  // namespace
