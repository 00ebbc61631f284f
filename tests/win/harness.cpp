#include "harness.h"

#include <cstring>

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
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result(path, length);
    return result.substr(0, result.find_last_of('\\') + 1) + name;
}

// GetGuiResources is a stub under wine, so the GDI handle table that the PEB
// points to is read directly: 24-byte entries whose type byte is non-zero are live.
int CountGdiObjects() {
    // gs:0x60 holds the PEB on x64 (the intrinsic trips -Warray-bounds in GCC 12).
    const BYTE* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    auto* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
    if (!table) return -1;
    const DWORD pid = GetCurrentProcessId() & 0xFFFF;
    int count = 0;
    for (int i = 0; i < 65536; ++i) {
        const BYTE* entry = table + i * 24;
        DWORD owner;
        std::memcpy(&owner, entry + 8, sizeof owner);
        const BYTE type = entry[14];
        if (type != 0 && ((owner & 0xFFFF) == pid || (owner & 0xFFFF) == 0)) ++count;
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

HWND FindEditorWindow() { return FindWindowA("PFDlgClass", nullptr); }

std::string WindowText(HWND hwnd) {
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

bool IsMenuItemGrayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
bool IsMenuItemChecked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

bool WaitForThreadEnd(DWORD threadId, DWORD timeoutMs) {
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (!thread) return true;  // already gone
    bool ended = WaitUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, timeoutMs);
    CloseHandle(thread);
    return ended;
}

void HostTest::SetUp() {
    ASSERT_TRUE(CreateStandInHost(host_, true));
    if (MaximizeChildBeforeLoad()) SetChildMaximized(host_, true);
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
    if (result.hwnd) result.threadId = GetWindowThreadProcessId(result.hwnd, nullptr);
    return result;
}

void HostTest::CloseEditor(const EditorWindow& editorWindow) {
    PostMessageA(editorWindow.hwnd, WM_COMMAND, 2, 0);
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
