// The helpers every window of the editor uses: the two message boxes, dialog
// centring, icon tinting and the busy pointer.
#include <windows.h>

#include <string>

#include "dialog_driver.h"
#include "editor/editor_state.h"
#include "harness.h"
#include "res/resource_ids.h"

namespace {

// Runs a message-box helper on a thread of its own, as the editor thread would,
// so this thread can answer the box.
class BoxCall {
public:
    BoxCall(int (*helper)(const char*), const char* text) : helper_(helper), text_(text) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    }
    ~BoxCall() {
        if (thread_) {
            WaitUntil([&] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; });
            CloseHandle(thread_);
        }
    }
    DWORD threadId() const { return threadId_; }
    // The helper's result once it returned, or -1.
    int Result() {
        if (!WaitUntil([&] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; })) return -1;
        DWORD code = 0;
        GetExitCodeThread(thread_, &code);
        return static_cast<int>(code);
    }

private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* call = static_cast<BoxCall*>(self);
        return static_cast<DWORD>(call->helper_(call->text_));
    }
    int (*helper_)(const char*);
    const char* text_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
};

HICON BoxIcon(HWND box) { return reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0)); }

class MessageBoxTest : public ProbeTest {};

TEST_F(MessageBoxTest, ErrorBoxShowsTheTextWithTheStopIconAndOneOkButtonOwnedByTheEditor) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    BoxCall call(probe_->showError, "An error occured, region data was NOT saved.");
    HWND box = WaitForDialog(call.threadId(), "Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "An error occured, region data was NOT saved.");
    EXPECT_EQ(BoxIcon(box), LoadIconA(host_.addIn, MAKEINTRESOURCEA(IDI_ERROR_BOX)));
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDNO), nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), editorWindow.hwnd);
    PressButton(box, IDOK);
    EXPECT_EQ(call.Result(), IDOK);
}

TEST_F(MessageBoxTest, WarningBoxAsksYesOrNoWithTheQuestionIconAndNoOwner) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    const struct {
        int button;
    } answers[] = {{IDYES}, {IDNO}};
    for (const auto& answer : answers) {
        BoxCall call(probe_->askWarning, "The new image is smaller than the previous one.\r\nShould the region data be clipped to the new size?");
        HWND box = WaitForDialog(call.threadId(), "Warning");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), "The new image is smaller than the previous one.\r\nShould the region data be clipped to the new size?");
        EXPECT_EQ(BoxIcon(box), LoadIconA(host_.addIn, MAKEINTRESOURCEA(IDI_QUESTION_BOX)));
        EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
        EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
        // No owner: the editor stays usable while the question is up.
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(editorWindow.hwnd));
        PressButton(box, answer.button);
        EXPECT_EQ(call.Result(), answer.button);
    }
}

INT_PTR CALLBACK PlainDlgProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class CenterOnOwnerTest : public ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        if (HasFatalFailure()) return;
        owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 300, 200, 400, 300, nullptr, nullptr, nullptr, nullptr);
        dialog_ = CreateDialogParamA(host_.addIn, MAKEINTRESOURCEA(IDD_IMAGE_INFO), owner_, PlainDlgProc, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        DestroyWindow(owner_);
        ProbeTest::TearDown();
    }
    RECT CenterSized(int width, int height) {
        SetWindowPos(dialog_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        probe_->centerOnOwner(dialog_);
        RECT placed{};
        GetWindowRect(dialog_, &placed);
        return placed;
    }
    HWND owner_ = nullptr;
    HWND dialog_ = nullptr;
};

TEST_F(CenterOnOwnerTest, CentresSmallerAndLargerWindowsRoundingTowardMinusInfinity) {
    RECT smaller = CenterSized(201, 101);
    EXPECT_EQ(smaller.left, 300 + 99);
    EXPECT_EQ(smaller.top, 200 + 99);
    EXPECT_EQ(smaller.right - smaller.left, 201);
    // Larger than the owner: before its corner by half the difference, rounded down.
    RECT larger = CenterSized(601, 401);
    EXPECT_EQ(larger.left, 300 - 101);
    EXPECT_EQ(larger.top, 200 - 51);
}

TEST_F(CenterOnOwnerTest, AWindowPushedOffTheScreenIsBroughtBack) {
    SetWindowPos(owner_, nullptr, -500, -400, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT placed = CenterSized(300, 200);
    EXPECT_GE(placed.left, 0);
    EXPECT_GE(placed.top, 0);
}

class TintedIconTest : public ProbeTest {};

TEST_F(TintedIconTest, AMissingIconGivesNone) {
    EXPECT_EQ(probe_->makeTintedIcon(host_.addIn, 4711, RGB(1, 2, 3)), nullptr);
}

TEST_F(TintedIconTest, MakingAndDestroyingTintedIconsLeaksNothing) {
    DestroyIcon(probe_->makeTintedIcon(host_.addIn, IDI_EDITOR, RGB(9, 9, 9)));
    const int before = CountGdiObjects();
    for (int i = 0; i < 20; ++i) {
        HICON icon = probe_->makeTintedIcon(host_.addIn, IDI_EDITOR, RGB(i, 2 * i, 3 * i));
        ASSERT_NE(icon, nullptr);
        DestroyIcon(icon);
    }
    EXPECT_EQ(CountGdiObjects(), before);
}

class BusyPointerTest : public ProbeTest {};

TEST_F(BusyPointerTest, BusyCountNestsAndTheEditorShowsTheWaitPointerWhileItIsAboveZero) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    EditorState* state = probe_->state;
    probe_->beginBusy();
    probe_->beginBusy();
    EXPECT_EQ(state->busyCount, 2);
    probe_->endBusy();
    EXPECT_EQ(state->busyCount, 1);
    // The pointer is per thread: ask the editor's thread what it set.
    SendMessageA(editorWindow.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    CURSORINFO shown{};
    shown.cbSize = sizeof shown;
    ASSERT_TRUE(GetCursorInfo(&shown));
    EXPECT_EQ(shown.hCursor, LoadCursorA(nullptr, IDC_WAIT));
    probe_->endBusy();
    EXPECT_EQ(state->busyCount, 0);
    SendMessageA(editorWindow.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    ASSERT_TRUE(GetCursorInfo(&shown));
    EXPECT_EQ(shown.hCursor, LoadCursorA(nullptr, IDC_ARROW));
}

}  // namespace
