// The helpers every window of the editor uses: dialog centering and the busy pointer.
#include <windows.h>

#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

INT_PTR CALLBACK PlainDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class EditorHelpersTest : public EditorTest {};

TEST_F(EditorHelpersTest, CenteringOnTheOwnerRoundsTowardMinusInfinityAndStaysOnTheScreen) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                                 nullptr);
    HWND dialog = CreateDialogParamA(host_.addIn, MAKEINTRESOURCEA(IDD_IMAGE_INFO), owner, PlainDlgProc, 0);
    ASSERT_NE(dialog, nullptr);
    // Larger than the owner (starting before its corner, rounded toward minus infinity), and pushed
    // off the screen (brought back).
    const struct { int ownerLeft, ownerTop, width, height, left, top; } cases[] = {
        {300, 200, 601, 401, 300 - 101, 200 - 51}, {-500, -400, 300, 200, 0, 0}};
    for (const auto& c : cases) {
        SetWindowPos(owner, nullptr, c.ownerLeft, c.ownerTop, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(dialog, nullptr, 0, 0, c.width, c.height, SWP_NOZORDER | SWP_NOACTIVATE);
        OnEditorThread([&] { probe_->centerOnOwner(dialog); });
        RECT placed{};
        GetWindowRect(dialog, &placed);
        EXPECT_EQ(placed.left, c.left) << c.width;
        EXPECT_EQ(placed.top, c.top) << c.width;
        EXPECT_EQ(placed.right - placed.left, c.width);
    }
    DestroyWindow(dialog);
    DestroyWindow(owner);
}

TEST_F(EditorHelpersTest, TheEditorShowsTheWaitPointerUntilEveryNestedBusySpellHasEnded) {
    OnEditorThread([&] { probe_->beginBusy(), probe_->beginBusy(), probe_->endBusy(); });
    for (LPCSTR expected : {IDC_WAIT, IDC_ARROW}) {
        // The pointer is per thread: the editor's thread sets it while handling the move.
        SendMessageA(editorWindow_.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        CURSORINFO shown{sizeof shown, 0, nullptr, {}};
        ASSERT_TRUE(GetCursorInfo(&shown));
        EXPECT_EQ(shown.hCursor, LoadCursorA(nullptr, expected));
        if (expected == IDC_WAIT) OnEditorThread([&] { probe_->endBusy(); });
    }
}

}  // namespace
