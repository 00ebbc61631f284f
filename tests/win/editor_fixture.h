// An open editor (probe build) and the steps a user takes in it: commands that
// open a file or color dialog, and the boxes that follow.
#ifndef PELLFORM_EDITOR_FIXTURE_H
#define PELLFORM_EDITOR_FIXTURE_H

#include <functional>
#include <string>
#include <vector>

#include "ui/editor/editor_state.h"
#include "harness.h"
#include "tests/support/window_thread.h"

class EditorTest : public ProbeTest {
protected:
    void SetUp() override;

    // The editor has handled it on return; one that wrongly opens a box fails here instead of hanging the test.
    void Command(UINT id) {
        EXPECT_TRUE(SendWithinTimeout(editorWindow_.hwnd, WM_COMMAND, id)) << id;
    }
    // Posts a command that opens a dialog titled `caption` and waits for it (null when none came).
    HWND OpenDialog(UINT command, const char* caption) {
        return PostMessageA(editorWindow_.hwnd, WM_COMMAND, command, 0), WaitForDialog(editorWindow_.threadId, caption);
    }
    // Runs `work` on the editor thread, between its messages, and waits for it:
    // the only way a test may touch the editor's state or call its functions.
    void OnEditorThread(const std::function<void()>& work) {
        ASSERT_EQ(RunOnWindowThread(editorWindow_.hwnd, work), editorWindow_.threadId);
    }
    // Chooses a command that opens a file dialog with `caption` and answers it
    // with `path`; returns once the dialog is gone.
    void ChooseFile(UINT command, const char* caption, const std::string& path);
    // Returns once the editor is idle (or inside a modal box).
    void Idle() { SendMessageA(editorWindow_.hwnd, WM_NULL, 0, 0); }
    // Waits for a box of the editor thread, presses `button` and returns its text.
    std::string AnswerBox(const char* caption, int button);
    bool BoxIsUp(const char* caption) { return FindDialogNow(editorWindow_.threadId, caption) != nullptr; }
    // A file that needs no answer.
    void LoadPicture(const std::string& path);
    // A color dialog opened by `command`, answered with `color`, or cancelled.
    void AnswerColorDialog(UINT command, COLORREF color, bool confirm = true);
    // "Mask tolerance..." given each entry in turn with Ok, then cancelled when `confirm` is false.
    void AnswerToleranceDialog(const std::vector<const char*>& entries, bool confirm = true);
    // Files dropped from a file manager; returns once the editor has taken them (done, or asking).
    void DropFiles(const std::vector<std::string>& paths);
    HMENU Menu() const { return GetMenu(editorWindow_.hwnd); }
    RECT RegionBox() const;

    EditorDocument& Doc() const { return probe_->document(); }

    EditorWindow editorWindow_;
    EditorSettings* settings_ = nullptr;
};

#endif
