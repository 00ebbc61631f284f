// The add-in as the host sees it: its data, its menu item, the editor thread it
// starts and stops, and unloading.
#include <windows.h>

#include <cstring>
#include <string>

#include "harness.h"
#include "res/resource_ids.h"

namespace {

struct MenuItem {
    UINT id = 0;
    UINT type = 0;
    ULONG_PTR data = 0;
};

MenuItem ReadMenuItem(HMENU menu, UINT position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return {info.wID, info.fType, info.dwItemData};
}

std::string ItemDataText(const MenuItem& item) {
    return item.data ? reinterpret_cast<const char*>(item.data) : "";
}

int CountEditorWindows() {
    int count = 0;
    for (HWND hwnd = FindWindowExA(nullptr, nullptr, EDITOR_CLASS_NAME, nullptr); hwnd;
         hwnd = FindWindowExA(nullptr, hwnd, EDITOR_CLASS_NAME, nullptr))
        ++count;
    return count;
}

TEST(AddInData, NameAndDescription) {
    HMODULE module = LoadLibraryA(PathBesideTests("Pellform_WA.dll").c_str());
    ASSERT_NE(module, nullptr);
    auto getData = reinterpret_cast<GetAddInDataProc>(reinterpret_cast<void*>(GetProcAddress(module, "GetWAAddInData")));
    ASSERT_NE(getData, nullptr);
    char name[256], description[256];
    std::memset(name, 'x', sizeof name);
    std::memset(description, 'x', sizeof description);
    getData(name, description);
    EXPECT_STREQ(description, "This addin helps when generating and editing GDI region objects from image files.");
    EXPECT_EQ(std::strlen(description), 81u);
    EXPECT_EQ(std::string(name).rfind("Pellform v1.00\xDF by ", 0), 0u) << name;
    FreeLibrary(module);
}

class AddInMenuTest : public HostTest {};

TEST_F(AddInMenuTest, ItemFollowsASeparatorInTheEighthSubmenuAndBothGoAtUnload) {
    HMENU submenu = AddInsSubmenu();
    ASSERT_EQ(GetMenuItemCount(submenu), 3);
    EXPECT_EQ(ReadMenuItem(submenu, 0).id, 3001u);
    EXPECT_TRUE(ReadMenuItem(submenu, 1).type & MFT_SEPARATOR);
    MenuItem item = ReadMenuItem(submenu, 2);
    EXPECT_EQ(item.id, host_.lastGivenCommandId);
    EXPECT_TRUE(item.type & MFT_OWNERDRAW);
    EXPECT_EQ(ItemDataText(item), "Pellform");
    for (int i = 0; i < kHostSubmenuCount; ++i) {
        if (i == kAddInsSubmenu || i == 8) continue;  // 8 is the MDI window list
        EXPECT_EQ(GetMenuItemCount(GetSubMenu(host_.menuBar, i)), 1) << "submenu " << i;
    }

    UnloadAddIn(host_);
    EXPECT_NE(host_.unloadResult, FALSE);
    ASSERT_EQ(GetMenuItemCount(submenu), 1);
    EXPECT_EQ(ReadMenuItem(submenu, 0).id, 3001u);
}

TEST_F(AddInMenuTest, OwnerDrawnItemIsMeasuredAndDrawnByTheHostFromItsData) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = host_.lastGivenCommandId;
    measure.itemData = ReadMenuItem(AddInsSubmenu(), 2).data;
    ASSERT_TRUE(SendMessageA(host_.frame, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_GT(measure.itemWidth, 20u);
    EXPECT_GT(measure.itemHeight, 5u);
}

TEST_F(AddInMenuTest, UnloadKeepsAForeignItemThatIsNotTheSeparator) {
    UnloadAddIn(host_);
    HMENU submenu = AddInsSubmenu();
    AppendMenuA(submenu, MF_STRING, 3100, "Other add-in");
    ASSERT_TRUE(LoadTheAddIn());
    // Two items already: no separator of ours.
    ASSERT_EQ(GetMenuItemCount(submenu), 3);
    EXPECT_EQ(ReadMenuItem(submenu, 1).id, 3100u);
    UnloadAddIn(host_);
    ASSERT_EQ(GetMenuItemCount(submenu), 2);
    EXPECT_EQ(ReadMenuItem(submenu, 0).id, 3001u);
    EXPECT_EQ(ReadMenuItem(submenu, 1).id, 3100u);
}

TEST_F(AddInMenuTest, AnotherAddInsItemAfterOursLeavesOurSeparatorInPlace) {
    HMENU submenu = AddInsSubmenu();
    AppendMenuA(submenu, MF_STRING, 3100, "Later add-in");
    UnloadAddIn(host_);
    // Four items at unload: only ours goes.
    ASSERT_EQ(GetMenuItemCount(submenu), 3);
    EXPECT_TRUE(ReadMenuItem(submenu, 1).type & MFT_SEPARATOR);
    EXPECT_EQ(ReadMenuItem(submenu, 2).id, 3100u);
}

class MaximizedChildTest : public HostTest {
protected:
    bool MaximizeChildBeforeLoad() const override { return true; }
};

TEST_F(MaximizedChildTest, ItemGoesToTheNinthSubmenuWhileTheChildIsMaximized) {
    // The maximized child's system menu now leads the bar, so index 8 is the
    // same add-ins submenu that index 7 is otherwise.
    HMENU addIns = GetSubMenu(host_.menuBar, 8);
    ASSERT_EQ(GetMenuItemCount(addIns), 3);
    EXPECT_EQ(ReadMenuItem(addIns, 0).id, 3001u);
    EXPECT_EQ(ReadMenuItem(addIns, 2).id, host_.lastGivenCommandId);
    EXPECT_EQ(host_.loadResult, 0);
}

class EditorThreadTest : public HostTest {};

TEST_F(EditorThreadTest, ChoosingTheItemOpensTheEditorOnItsOwnThreadAndAgainOnlyFocusesIt) {
    EditorWindow first = OpenEditor();
    ASSERT_NE(first.hwnd, nullptr);
    EXPECT_NE(first.threadId, GetCurrentThreadId());
    EXPECT_EQ(GetWindow(first.hwnd, GW_OWNER), host_.frame);

    SetForegroundWindow(host_.frame);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == host_.frame; }));
    ChooseMenuItem();
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.hwnd; }))
        << "the open editor did not come to the front";
    EXPECT_EQ(FindEditorWindow(), first.hwnd);
    EXPECT_EQ(CountEditorWindows(), 1);
    EXPECT_EQ(GetWindowThreadProcessId(first.hwnd, nullptr), first.threadId);
}

TEST_F(EditorThreadTest, ExitEscapeAndTheCloseBoxEachEndWindowAndThread) {
    const struct {
        const char* how;
        UINT message;
        WPARAM wParam;
    } closers[] = {
        {"Exit", WM_COMMAND, 2},
        {"Esc", WM_KEYDOWN, VK_ESCAPE},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const auto& closer : closers) {
        EditorWindow editorWindow = OpenEditor();
        ASSERT_NE(editorWindow.hwnd, nullptr) << closer.how;
        PostMessageA(editorWindow.hwnd, closer.message, closer.wParam, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editorWindow.hwnd); })) << closer.how;
        EXPECT_TRUE(WaitForThreadEnd(editorWindow.threadId)) << closer.how;
        EXPECT_EQ(FindEditorWindow(), nullptr) << closer.how;
    }
}

TEST_F(EditorThreadTest, EnterAndCommandsWithANotificationCodeDoNothing) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    PostMessageA(editorWindow.hwnd, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(editorWindow.hwnd, WM_COMMAND, MAKEWPARAM(2, 1), 0);  // accelerator-style Exit
    PostMessageA(editorWindow.hwnd, WM_COMMAND, 1, 0);
    // Sent after the posted ones, so all three have been handled when it returns.
    SendMessageA(editorWindow.hwnd, WM_NULL, 0, 0);
    EXPECT_TRUE(IsWindow(editorWindow.hwnd));
    CloseEditor(editorWindow);
}

TEST_F(EditorThreadTest, ChoosingAfterExitOpensAFreshWindowOnANewThread) {
    EditorWindow first = OpenEditor();
    ASSERT_NE(first.hwnd, nullptr);
    CloseEditor(first);
    EditorWindow second = OpenEditor();
    ASSERT_NE(second.hwnd, nullptr);
    EXPECT_NE(second.threadId, first.threadId);
    EXPECT_EQ(WindowText(second.hwnd), "Pellform - [Untitled]");
}

TEST_F(EditorThreadTest, ChoosingTwiceWhileTheEditorStartsOpensOnlyOne) {
    ChooseMenuItem();
    ChooseMenuItem();
    ChooseMenuItem();
    HWND editorWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (editorWindow = FindEditorWindow()) != nullptr; }));
    DWORD threadId = GetWindowThreadProcessId(editorWindow, nullptr);
    EditorWindow opened{editorWindow, threadId};
    CloseEditor(opened);
    // A second thread started with the first would have made its window by now.
    EXPECT_EQ(CountEditorWindows(), 0);
}

TEST_F(EditorThreadTest, UnloadingWithTheEditorOpenClosesItFirst) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, editorWindow.threadId);
    ASSERT_NE(thread, nullptr);
    ASSERT_NE(host_.addInUnload(), FALSE);
    host_.frameWindowProc = nullptr;  // unloaded: the host must no longer call in
    // The thread has ended before unload returned, so the module can go at once.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(IsWindow(editorWindow.hwnd));
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), EDITOR_CLASS_NAME, &info));
    EXPECT_EQ(GetMenuItemCount(AddInsSubmenu()), 1);
}

TEST_F(EditorThreadTest, UnloadingWhileTheEditorIsStartingWaitsForItAndClosesIt) {
    ChooseMenuItem();
    ASSERT_NE(host_.addInUnload(), FALSE);
    host_.frameWindowProc = nullptr;
    PumpMessages();
    EXPECT_EQ(FindEditorWindow(), nullptr);
}

TEST_F(EditorThreadTest, UnloadWithoutEverOpeningTheEditorUndoesEverything) {
    UnloadAddIn(host_);
    EXPECT_NE(host_.unloadResult, FALSE);
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), EDITOR_CLASS_NAME, &info));
    EXPECT_EQ(GetMenuItemCount(AddInsSubmenu()), 1);
    // Loading again works: the class could be registered anew.
    ASSERT_TRUE(LoadTheAddIn());
    EditorWindow editorWindow = OpenEditor();
    EXPECT_NE(editorWindow.hwnd, nullptr);
}

TEST_F(EditorThreadTest, LoadFailsWithoutAMenuItemWhenTheClassIsTaken) {
    UnloadAddIn(host_);
    WNDCLASSA squatter{};
    squatter.lpfnWndProc = DefWindowProcA;
    squatter.hInstance = GetModuleHandleA(nullptr);
    squatter.lpszClassName = EDITOR_CLASS_NAME;
    ASSERT_TRUE(RegisterClassA(&squatter));
    EXPECT_FALSE(LoadTheAddIn());
    EXPECT_EQ(host_.loadResult, -1);
    EXPECT_EQ(GetMenuItemCount(AddInsSubmenu()), 1);
    FreeLibrary(host_.addIn);
    host_.addIn = nullptr;
    UnregisterClassA(EDITOR_CLASS_NAME, GetModuleHandleA(nullptr));
}

TEST_F(EditorThreadTest, RepeatedOpenAndCloseLeaksNoGdiOrUserObjects) {
    ExpectNoGrowth([&] { CloseEditor(OpenEditor()); }, true);
}

TEST(AddInLifetime, RepeatedLoadOpenUnloadLeaksNothing) {
    auto cycle = [] {
        StandInHost host;
        ASSERT_TRUE(CreateStandInHost(host, true));
        ASSERT_TRUE(LoadAddIn(host, PathBesideTests("Pellform_WA.dll").c_str()));
        SendMessageA(host.frame, WM_COMMAND, host.lastGivenCommandId, 0);
        ASSERT_TRUE(WaitUntil([] { return FindEditorWindow() != nullptr; }));
        DestroyStandInHost(host);
        PumpMessages();
    };
    ExpectNoGrowth(cycle, true);
    EXPECT_EQ(FindEditorWindow(), nullptr);
}

TEST(LeakCounters, SeeRegionsMenusAndWindowsComeAndGo) {
    // Warm-up: wine makes some objects on first use.
    DeleteObject(CreateRectRgn(0, 0, 1, 1));
    DestroyWindow(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr));
    const int gdi = CountGdiObjects();
    const int user = CountUserObjects();
    HRGN region = CreateRectRgn(0, 0, 5, 5);
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(CountGdiObjects(), gdi + 1);
    EXPECT_EQ(CountUserObjects(), user + 1);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT(CountUserObjects(), user + 1);
    DeleteObject(region);
    DestroyMenu(menu);
    DestroyWindow(window);
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(CountUserObjects(), user);
}

}  // namespace
