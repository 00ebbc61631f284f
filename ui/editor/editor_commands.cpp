// The editor's commands as one table (when each is offered, whether an
// owner-less question refuses it, the step it makes, its keys), New, and the
// one point where the window shows the document after a command.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/image_view.h"
#include "res/resource_ids.h"

namespace {

using Offered = bool (*)(const EditorDocument&);

bool HasPicture(const EditorDocument& document) { return document.hbmImage.get() != nullptr; }
bool HasRegionHere(const EditorDocument& document) { return document.inputs.regionOffered; }
// Save needs a file name this window knows: one it opened or saved to, or an
// inherited one once a region was made here (Save then asks first).
bool CanSave(const EditorDocument& document) {
    return !document.inputs.regionFileName.empty() && (document.inputs.regionOffered || document.inputs.nameShown);
}
bool CanPreview(const EditorDocument& document) { return document.hbmImage && document.hrgnCurrent; }
bool CanUndo(const EditorDocument& document) { return document.history.CanUndo(); }
bool CanRedo(const EditorDocument& document) { return document.history.CanRedo(); }

struct Key {
    BYTE modifiers;
    WORD key;
};

struct CommandRule {
    UINT id;
    // Null: never grayed by these rules.
    Offered offered;
    // Under an owner-less question the command that asked resumes on the state
    // it asked about, so what would change the picture, the region or their
    // names under it is refused; everything else only shows or saves.
    bool refusedUnderQuestion;
    // The step it makes, as Undo and Redo name it; "" when it makes none.
    const char* step;
    Key keys[3];
};

constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
constexpr BYTE kCtrlShift = FVIRTKEY | FCONTROL | FSHIFT;

const CommandRule kCommands[] = {
    {IDM_NEW, nullptr, true, "", {}},
    {IDM_OPEN, nullptr, true, "Open", {}},
    {IDM_SAVE, CanSave, false, "", {}},
    {IDM_SAVE_AS, HasRegionHere, false, "", {}},
    {IDM_UNDO, CanUndo, true, "", {{kCtrl, 'Z'}}},
    {IDM_REDO, CanRedo, true, "", {{kCtrl, 'Y'}, {kCtrlShift, 'Z'}}},
    // A Load makes a step when it clips the region.
    {IDM_LOAD_IMAGE, nullptr, true, "Load", {}},
    {IDM_IMAGE_INFO, HasPicture, false, "", {}},
    {IDM_PICK_MASK, HasPicture, true, "Pick mask color", {}},
    {IDM_ENTER_MASK_RGB, HasPicture, true, "Enter mask RGB", {}},
    {IDM_MASK_TOLERANCE, HasPicture, true, "Mask tolerance", {}},
    {IDM_CONTIGUOUS_MASK, HasPicture, true, "Contiguous mask", {}},
    {IDM_BACKGROUND_COLOR, nullptr, true, "Background color", {}},
    {IDM_VIEW_RAW_DATA, HasRegionHere, true, "Raw data edits", {}},
    {IDM_PREVIEW, CanPreview, false, "", {}},
    // Ctrl with "+" or "-" of either keyboard part; "+" is Shift+"=" on many layouts.
    {IDM_ZOOM_IN, nullptr, false, "", {{kCtrl, VK_ADD}, {kCtrl, VK_OEM_PLUS}, {kCtrlShift, VK_OEM_PLUS}}},
    {IDM_ZOOM_OUT, nullptr, false, "", {{kCtrl, VK_SUBTRACT}, {kCtrl, VK_OEM_MINUS}}},
};

const CommandRule* RuleOf(UINT id) {
    for (const CommandRule& rule : kCommands)
        if (rule.id == id) return &rule;
    return nullptr;
}

UINT ViewModeCommand(Overlay mode) {
    switch (mode) {
    case Overlay::None: return IDM_VIEW_HIDE;
    case Overlay::Mask: break;
    case Overlay::Transparency: return IDM_VIEW_TRANSPARENCY;
    }
    return IDM_VIEW_MASK;
}

// "Undo Pick mask color\tCtrl+Z", or "Undo\tCtrl+Z" with nothing to take back.
// Nothing here allocates: the window is refreshed after a command that ran out of memory too.
void NameStepItem(HMENU menu, UINT id, const char* verb, const std::string& step, const char* key) {
    char text[96];
    std::snprintf(text, sizeof text, "%s%s%s%s", verb, step.empty() ? "" : " ", step.c_str(), key);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = text;
    SetMenuItemInfoA(menu, id, FALSE, &item);
}

}  // namespace

const char* StepNameOf(UINT command) {
    const CommandRule* rule = RuleOf(command);
    return rule ? rule->step : "";
}

bool IsRefusedUnderQuestion(UINT command) {
    const CommandRule* rule = RuleOf(command);
    return rule && rule->refusedUnderQuestion && Document().pendingQuestions > 0;
}

bool HasKeys(UINT command) {
    const CommandRule* rule = RuleOf(command);
    return rule && rule->keys[0].key != 0;
}

HACCEL CreateEditorAccelerators() {
    std::vector<ACCEL> keys;
    for (const CommandRule& rule : kCommands)
        for (const Key& key : rule.keys)
            if (key.key) keys.push_back({key.modifiers, key.key, static_cast<WORD>(rule.id)});
    return CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

void UpdateMenuStates(HWND hwnd) {
    const EditorDocument& document = Document();
    HMENU menu = GetMenu(hwnd);
    if (!menu) return;
    for (const CommandRule& rule : kCommands)
        if (rule.offered)
            EnableMenuItem(menu, rule.id, MF_BYCOMMAND | (rule.offered(document) ? MF_ENABLED : MF_GRAYED));
    NameStepItem(menu, IDM_UNDO, "Undo", document.history.UndoName(), "\tCtrl+Z");
    NameStepItem(menu, IDM_REDO, "Redo", document.history.RedoName(), "\tCtrl+Y");
    CheckMenuItem(menu, IDM_CONTIGUOUS_MASK, MF_BYCOMMAND | (document.inputs.contiguous ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuRadioItem(menu, IDM_VIEW_HIDE, IDM_VIEW_TRANSPARENCY, ViewModeCommand(document.viewMode), MF_BYCOMMAND);
    UpdateZoomMenu(menu);
}

void UpdateEditorTitle(HWND hwnd) {
    static const char kPrefix[] = "Pellform - [";
    static const char kUntitled[] = "Untitled";
    const RegionInputs& inputs = Document().inputs;
    // A name inherited from an earlier window is not shown until this one uses it.
    const char* name = inputs.nameShown && !inputs.regionFileName.empty() ? inputs.regionFileName.c_str() : kUntitled;
    const size_t nameLength = std::strlen(name);
    OwnedGlobal buffer(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof kPrefix + nameLength + 1));
    if (!buffer) return;  // the caption stays as it was
    char* title = static_cast<char*>(buffer.get());
    std::memcpy(title, kPrefix, sizeof kPrefix - 1);
    std::memcpy(title + sizeof kPrefix - 1, name, nameLength);
    title[sizeof kPrefix - 1 + nameLength] = ']';
    char shown[sizeof kPrefix + MAX_PATH + 1] = "";
    GetWindowTextA(hwnd, shown, sizeof shown);
    if (std::strcmp(shown, title) != 0) SetWindowTextA(hwnd, title);
}

void RefreshEditorWindow(HWND hwnd) {
    EditorDocument& document = Document();
    PublishDocument();
    if (!IsWindow(hwnd)) return;
    UpdateEditorTitle(hwnd);
    UpdateMenuStates(hwnd);
    if (document.revision != document.shownRevision) {
        document.shownRevision = document.revision;
        ShowWindow(GetDlgItem(hwnd, IDC_NO_PICTURE), document.hbmImage ? SW_HIDE : SW_SHOW);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void ReleaseEditorDocument() {
    EditorDocument& document = Document();
    document.hrgnCurrent.reset();
    document.spareRegion.reset();
    document.hbmImage.reset();
}

void DoNewCommand(HWND hwnd) {
    ResetDocument();
    SetScrollPos(hwnd, SB_HORZ, 0, TRUE);
    SetScrollPos(hwnd, SB_VERT, 0, TRUE);
    ShowScrollBar(hwnd, SB_BOTH, FALSE);
}
