#include "harness.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/region_gdi.h"
#include "res/resource_ids.h"

RegionRects RectsOf(HRGN region) {
    RegionRects rects;
    if (region) FetchRegionRects(region, rects);
    return rects;
}

std::string PathBesideTests(const char* name) {
    char path[MAX_PATH];
    const std::string result(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return result.substr(0, result.find_last_of('\\') + 1) + name;
}

std::string TestDataPath(const char* name) {
    std::string path = std::string("Z:" PELLFORM_TEST_DATA_DIR "/") + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string TemporaryPath(const char* name) {
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "pellform-tests-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\" + name;
}

std::vector<BYTE> ReadFileBytes(const std::string& path) {
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& data) {
    std::ofstream file(std::filesystem::u8path(path), std::ios::binary);
    return file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size())).good();
}

static BITMAPINFO TopDown32(int width, int height) {
    return {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
}

// 0x00RRGGBB in a 32-bit DIB, 0x00BBGGRR in a COLORREF: the same swap both ways.
static DWORD SwapRedBlue(DWORD value) { return RGB(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF); }

Pixels ReadPixels(HBITMAP bitmap) {
    Pixels result;
    BITMAP description{};
    if (!bitmap || !GetObjectA(bitmap, sizeof description, &description)) return result;
    result.width = description.bmWidth;
    result.height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
    BITMAPINFO info = TopDown32(result.width, result.height);
    result.values.resize(static_cast<size_t>(result.width) * result.height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, result.height, result.values.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (COLORREF& pixel : result.values) pixel = SwapRedBlue(pixel);
    return result;
}

// 0x00RRGGBB values, top row first, as a 32-bit DIB holds them.
static std::vector<DWORD> DibPixels(int width, int height, const std::function<COLORREF(int, int)>& color) {
    std::vector<DWORD> raw;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) raw.push_back(SwapRedBlue(color(x, y)));
    return raw;
}

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const BITMAPINFO info = TopDown32(width, height);
    SetDIBits(screen, bitmap, 0, height, DibPixels(width, height, color).data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

bool WriteBmpFile(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& color) {
    const std::vector<DWORD> raw = DibPixels(width, height, color);
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::vector<BYTE> data(offset + rowBytes * height);
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(data.size()), 0, 0, offset};
    const BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};  // bottom-up rows
    std::memcpy(data.data(), &file, sizeof file);
    std::memcpy(data.data() + sizeof file, &header, sizeof header);
    // A 24-bit pixel is the low three bytes (blue, green, red) of a 32-bit one.
    for (size_t y = 0; y < static_cast<size_t>(height); ++y)
        for (size_t x = 0; x < static_cast<size_t>(width); ++x)
            std::memcpy(data.data() + offset + (height - 1 - y) * rowBytes + 3 * x, &raw[y * width + x], 3);
    return WriteFileBytes(path, data);
}

// GetGuiResources is a stub under wine, so the GDI handle table is read directly:
// 24-byte entries (object pointer 8, owner 4, unique 2, type 1, flags 1, user
// pointer 8) whose type byte is non-zero are live.
static const BYTE* FindGdiHandleTable() {
#if defined(__x86_64__)
    const BYTE* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));  // the intrinsic trips -Warray-bounds in GCC 12
    return *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
#else
    // Under WoW64 the 32-bit PEB's table field is empty: the one table, in the
    // 64-bit layout, hangs off the 64-bit PEB, whose TEB lies WowTebOffset
    // (TEB32 + 0xFDC) away; wine keeps all three below 4 GB.
    const BYTE* teb = nullptr;
    asm("movl %%fs:0x18, %0" : "=r"(teb));
    LONG wowTebOffset = 0;
    unsigned long long peb64 = 0, table = 0;
    std::memcpy(&wowTebOffset, teb + 0xFDC, sizeof wowTebOffset);
    if (wowTebOffset) std::memcpy(&peb64, teb + wowTebOffset + 0x60, sizeof peb64);
    if (peb64 && !(peb64 >> 32)) std::memcpy(&table, reinterpret_cast<const BYTE*>(UINT_PTR(peb64)) + 0xF8, 8);
    return table >> 32 ? nullptr : reinterpret_cast<const BYTE*>(UINT_PTR(table));
#endif
}

int CountGdiObjects() {
    const BYTE* table = FindGdiHandleTable();
    if (!table) return -1;
    const DWORD pid = GetCurrentProcessId() & 0xFFFF;
    int count = 0;
    for (const BYTE* entry = table; entry < table + 65536 * 24; entry += 24) {
        DWORD owner;
        std::memcpy(&owner, entry + 8, sizeof owner);
        count += entry[14] != 0 && ((owner & 0xFFFF) == pid || (owner & 0xFFFF) == 0);
    }
    return count;
}

void ExpectNoGrowth(const std::function<void()>& cycle, int cyclesPerBlock) {
    std::string counts;
    int flatBlocks = 0, previous = 0;
    // Six blocks: under load wine settles its caches late, and three later blocks
    // were once seen all growing by a few objects with nothing leaked.
    for (int block = 0; block < 6; ++block) {
        for (int i = 0; i < cyclesPerBlock; ++i) cycle();
        const int count = CountGdiObjects();
        flatBlocks += block > 0 && count <= previous;
        previous = count;
        counts += " " + std::to_string(count);
    }
    EXPECT_GT(flatBlocks, 0) << "GDI objects after each block:" << counts;
}

std::string DialogItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void PressButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SendMouseAt(POINT screen, const std::vector<DWORD>& flags) {
    SetCursorPos(screen.x, screen.y);
    // Absolute positions count 65536ths of the screen: the middle of the pixel.
    const LONG dx = static_cast<LONG>((2 * screen.x + 1) * 65536LL / (2 * GetSystemMetrics(SM_CXSCREEN)));
    const LONG dy = static_cast<LONG>((2 * screen.y + 1) * 65536LL / (2 * GetSystemMetrics(SM_CYSCREEN)));
    for (DWORD flag : flags) {
        INPUT input{INPUT_MOUSE, {{dx, dy, 0, flag | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0}}};
        SendInput(1, &input, sizeof input);
    }
}

bool SendWithinTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, 5000, nullptr) != 0;
}

bool IsMenuItemGrayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

// Once nothing is left to paint and a message sent after the paint came back,
// any repaint that was due has finished (a thread paints without pumping).
void SettleWindow(HWND hwnd) {
    WaitUntil([&] { return !GetUpdateRect(hwnd, nullptr, FALSE); });
    SendMessageA(hwnd, WM_NULL, 0, 0);
}

bool WaitForThreadEnd(DWORD threadId, DWORD timeoutMs) {
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (!thread) return true;  // already gone
    const bool ended = WaitUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, timeoutMs);
    CloseHandle(thread);
    return ended;
}

void HostTest::SetUp() {
    ASSERT_TRUE(CreateStandInHost(host_, true));
    ASSERT_TRUE(LoadTheAddIn());
}

void HostTest::TearDown() {
    DestroyStandInHost(host_);
    PumpMessages();
    EXPECT_EQ(FindEditorWindow(), nullptr);
}

bool HostTest::LoadTheAddIn() { return LoadAddIn(host_, PathBesideTests(AddInFileName()).c_str()); }

void HostTest::ChooseMenuItem() { SendMessageA(host_.frame, WM_COMMAND, host_.lastGivenCommandId, 0); }

EditorWindow HostTest::OpenEditor() {
    const EditorWindow result = OpenEditorWindow(host_.frame, host_.lastGivenCommandId);
    EXPECT_NE(result.hwnd, nullptr) << "the editor window did not appear, or its splash stayed";
    return result;
}

void HostTest::CloseEditor(const EditorWindow& editorWindow) {
    PostMessageA(editorWindow.hwnd, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editorWindow.hwnd); }));
    EXPECT_TRUE(WaitForThreadEnd(editorWindow.threadId));
}

void ProbeTest::SetUp() {
    HostTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(probe_ = FindProbe(host_.addIn), nullptr);
}
