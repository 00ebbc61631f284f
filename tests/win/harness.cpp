#include "harness.h"

#include <cstring>

#include "dialog_driver.h"
#include "res/resource_ids.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string PathBesideTests(const char* name) {
    char path[MAX_PATH];
    const std::string result(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return result.substr(0, result.find_last_of('\\') + 1) + name;
}

std::string TestDataPath(const char* name) {
    std::string path = std::string("Z:" PELLFORM_TEST_DATA_DIR "/") + name;
    for (char& c : path)
        if (c == '/') c = '\\';
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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<BYTE> data(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!data.empty()) ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
    CloseHandle(file);
    return data;
}

static BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
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

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& color) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    std::vector<DWORD> raw(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) raw[static_cast<size_t>(y) * width + x] = SwapRedBlue(color(x, y));
    BITMAPINFO info = TopDown32(width, height);
    SetDIBits(screen, bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

bool WriteBmpFile(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& color) {
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::vector<BYTE> data(offset + rowBytes * height);
    const BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(data.size()), 0, 0, offset};
    const BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};  // bottom-up rows
    std::memcpy(data.data(), &file, sizeof file);
    std::memcpy(data.data() + sizeof file, &header, sizeof header);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* pixel = data.data() + offset + static_cast<size_t>(height - 1 - y) * rowBytes + 3 * x;
            pixel[0] = GetBValue(color(x, y)), pixel[1] = GetGValue(color(x, y)), pixel[2] = GetRValue(color(x, y));
        }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(handle, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(handle);
    return ok;
}

// GetGuiResources is a stub under wine, so the GDI handle table is read directly:
// 24-byte entries (object pointer 8, owner 4, unique 2, type 1, flags 1, user
// pointer 8) whose type byte is non-zero are live.
static const BYTE* FindGdiHandleTable() {
#if defined(__x86_64__)
    // gs:0x60 holds the PEB on x64 (the intrinsic trips -Warray-bounds in GCC 12).
    const BYTE* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    return *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
#else
    // A 32-bit process under WoW64 finds its 32-bit PEB's table field (0x94)
    // empty: the one table, in the 64-bit layout, hangs off the 64-bit PEB. The
    // 64-bit TEB lies WowTebOffset (TEB32 + 0xFDC) away from the 32-bit one, and
    // wine keeps it, the PEB and the table below 4 GB.
    const BYTE* teb = nullptr;
    asm("movl %%fs:0x18, %0" : "=r"(teb));
    LONG wowTebOffset = 0;
    std::memcpy(&wowTebOffset, teb + 0xFDC, sizeof wowTebOffset);
    if (wowTebOffset == 0) return nullptr;
    unsigned long long peb64 = 0, table = 0;
    std::memcpy(&peb64, teb + wowTebOffset + 0x60, sizeof peb64);
    if (peb64 == 0 || peb64 >> 32) return nullptr;
    std::memcpy(&table, reinterpret_cast<const BYTE*>(static_cast<UINT_PTR>(peb64)) + 0xF8, sizeof table);
    if (table >> 32) return nullptr;
    return reinterpret_cast<const BYTE*>(static_cast<UINT_PTR>(table));
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

static BOOL CALLBACK CountChildren(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

static BOOL CALLBACK CountOwnWindows(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(hwnd, CountChildren, count);
    return TRUE;
}

int CountUserObjects() {
    int count = 0;
    EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&count));
    // Wine accepts a user handle by its low word alone, so every menu of the
    // process is found by probing the handle table's indices.
    for (UINT_PTR handle = 0x20; handle < 0xFFF0; handle += 2)
        if (IsMenu(reinterpret_cast<HMENU>(handle))) ++count;
    return count;
}

void ExpectNoGrowth(const std::function<void()>& cycle, bool countUserObjects, int cyclesPerBlock) {
    std::string counts;
    int gdiFlat = 0, userFlat = 0, gdiPrevious = 0, userPrevious = 0;
    for (int block = 0; block < 4; ++block) {
        for (int i = 0; i < cyclesPerBlock; ++i) cycle();
        const int gdi = CountGdiObjects(), user = countUserObjects ? CountUserObjects() : 0;
        gdiFlat += block > 0 && gdi <= gdiPrevious;
        userFlat += block > 0 && user <= userPrevious;
        gdiPrevious = gdi, userPrevious = user;
        counts += " " + std::to_string(gdi) + "/" + std::to_string(user);
    }
    EXPECT_GT(gdiFlat, 0) << "GDI/USER objects after each block:" << counts;
    EXPECT_GT(userFlat, 0) << "GDI/USER objects after each block:" << counts;
}

HWND FindEditorWindow() { return FindWindowA(EDITOR_CLASS_NAME, nullptr); }

std::string WindowText(HWND hwnd) {
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

bool IsMenuItemGrayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool IsMenuItemChecked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

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
    ChooseMenuItem();
    EditorWindow result;
    EXPECT_TRUE(WaitUntil([&] {
        result.hwnd = FindEditorWindow();
        return result.hwnd && IsWindowVisible(result.hwnd);
    })) << "the editor window did not appear";
    if (!result.hwnd) return result;
    result.threadId = GetWindowThreadProcessId(result.hwnd, nullptr);
    // The editor opens with the About box (no caption) as a one-second splash; a
    // click ends it, so tests start with the editor alone and active.
    if (HWND splash = FindDialogNow(result.threadId, "")) {
        PostMessageA(splash, WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(splash); }));
        SetForegroundWindow(result.hwnd);
    }
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
    auto entry = reinterpret_cast<ProbeEntry>(reinterpret_cast<void*>(GetProcAddress(host_.addIn, "PellformProbe")));
    ASSERT_NE(entry, nullptr);
    probe_ = entry();
}
