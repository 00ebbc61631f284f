#include "ui/editor/editor_state.h"

#include "ui/editor/colors.h"
#include "ui/editor/image_loading.h"
#include "ui/editor/region_files.h"
#include "res/resource_ids.h"

EditorSettings settings;
std::atomic<HWND> hwndEditor{nullptr};

const char kRegionNotLoadedText[] = "An error occured, region data was NOT loaded.";
const char kRegionNotSavedText[] = "An error occured, region data was NOT saved.";
const char kImageNotLoadedText[] = "An error occured, image could NOT be loaded.";
const char kInternalErrorText[] = "An internal error occured...";
const char kClipAfterPictureText[] =
    "The new image is smaller than the previous one.\r\nShould the region data be clipped to the new size?";
const char kClipWithoutPictureText[] =
    "The new image is smaller than the one used to create the region.\r\n"
    "Should the region data be clipped to the new size?";
const char kReloadAfterBackgroundText[] =
    "The background color has changed. If the image is a transparent GIF or PNG it should be "
    "reloaded.\r\nReload the image?";

bool AskFileName(OPENFILENAMEA& dialog, BOOL(WINAPI* ask)(LPOPENFILENAMEA), const char* current,
                 char (&name)[MAX_PATH]) {
    lstrcpynA(name, current, MAX_PATH);
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    const bool chosen = ask(&dialog) != FALSE;
    // The record outlives the buffer, so it keeps no pointer to it.
    dialog.lpstrFile = nullptr;
    dialog.nMaxFile = 0;
    return chosen;
}

int ShowError(const char* text) { return ShowError(text, hwndEditor.load()); }

int AskWarning(const char* text) {
    EditorDocument& document = Document();
    ++document.pendingQuestions;
    const int answer = AskYesNo(text);
    --document.pendingQuestions;
    return answer;
}

void InitializeEditorRecords(HINSTANCE module) {
    InitializeMessageBoxes(module);
    settings.ofnImage.lStructSize = sizeof(OPENFILENAMEA);
    InitializeImageDialog(settings.ofnImage);
    InitializeRegionDialogs(settings.ofnRegionOpen, settings.ofnRegionSave);
    InitializeColorDialog(settings.ccMask);
    InitializeColorDialog(settings.ccBackground);
}
