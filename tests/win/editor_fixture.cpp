#include "editor_fixture.h"

#include <shlobj.h>

#include <cstring>

#include "res/resource_ids.h"

void EditorTest::SetUp() {
    ProbeTest::SetUp();
    if (HasFatalFailure()) return;
    editorWindow_ = OpenEditor();
    ASSERT_NE(editorWindow_.hwnd, nullptr);
    settings_ = probe_->settings;
}

void EditorTest::ChooseFile(UINT command, const char* caption, const std::string& path) {
    const HWND dialog = OpenDialog(command, caption);
    ASSERT_NE(dialog, nullptr) << caption;
    // The name box of an explorer-style file dialog is the combo box cmb13.
    SetDlgItemTextA(dialog, cmb13, path.c_str());
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

std::string EditorTest::AnswerBox(const char* caption, int button) {
    HWND box = WaitForDialog(editorWindow_.threadId, caption);
    if (!box) return "(no box)";
    std::string text = DialogItemText(box, 0xFFFF);  // a message box's text is its static 0xFFFF
    PressButton(box, button);
    WaitUntil([&] { return !IsWindow(box); });
    Idle();
    return text;
}

void EditorTest::LoadPicture(const std::string& path) {
    ChooseFile(IDM_LOAD_IMAGE, "Open", path);
    Idle();
}

void EditorTest::AnswerColorDialog(UINT command, COLORREF color, bool confirm) {
    const HWND dialog = OpenDialog(command, "Color");
    ASSERT_NE(dialog, nullptr);
    if (confirm) {
        SetDlgItemInt(dialog, COLOR_RED, GetRValue(color), FALSE);
        SetDlgItemInt(dialog, COLOR_GREEN, GetGValue(color), FALSE);
        SetDlgItemInt(dialog, COLOR_BLUE, GetBValue(color), FALSE);
    }
    PressButton(dialog, confirm ? IDOK : IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

RECT EditorTest::RegionBox() const {
    RECT box{};
    if (Doc().hrgnCurrent) GetRgnBox(Doc().hrgnCurrent.get(), &box);
    return box;
}

void EditorTest::AnswerToleranceDialog(const std::vector<const char*>& entries, bool confirm) {
    const HWND dialog = OpenDialog(IDM_MASK_TOLERANCE, "Mask tolerance");
    ASSERT_NE(dialog, nullptr);
    for (const char* entry : entries)  // sent: the dialog has judged the entry on return
        SetDlgItemTextA(dialog, IDC_TOLERANCE_VALUE, entry),
            SendWithinTimeout(GetDlgItem(dialog, IDOK), BM_CLICK);
    if (!confirm) PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
}

void EditorTest::DropFiles(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    auto* drop = static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + names.size() + 1));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(drop + 1, names.data(), names.size());
    PostMessageA(editorWindow_.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    BOOL queued = TRUE;  // until the editor has taken it from its queue: done, or asking
    auto peek = [&] { MSG m; queued = PeekMessageA(&m, editorWindow_.hwnd, WM_DROPFILES, WM_DROPFILES, PM_NOREMOVE); };
    ASSERT_TRUE(WaitUntil([&] { return OnEditorThread(peek), !queued; }));
    Idle();
}
