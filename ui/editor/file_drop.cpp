#include "ui/editor/file_drop.h"

#include <cstring>

#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "ui/editor/image_loading.h"
#include "ui/editor/region_files.h"

namespace {

struct DropTraits {
    static HDROP invalid() { return nullptr; }
    static void close(HDROP drop) { DragFinish(drop); }
};
using OwnedDrop = UniqueHandle<HDROP, DropTraits>;

bool IsRegionFileName(const char* name) {
    const size_t length = std::strlen(name);
    return length >= 4 && lstrcmpiA(name + length - 4, ".rgn") == 0;
}

}  // namespace

void DropFilesOnEditor(HWND hwnd, HDROP drop) {
    OwnedDrop dropped(drop);
    // Under a question the command that asked waits on the state it asked
    // about, and under a dialog of the editor that dialog works on it: a drop
    // would change it as the refused commands would. A name longer than the
    // file dialogs take is refused as well.
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (Document().pendingQuestions > 0 || !IsWindowEnabled(hwnd) || length == 0 || length >= MAX_PATH) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    char name[MAX_PATH] = "";
    DragQueryFileA(drop, 0, name, sizeof name);
    dropped.reset();  // the file manager's part is over before any question is asked
    // What follows the file dialog of "Open..." or "Load..." follows.
    if (IsRegionFileName(name)) OpenRegionFile(hwnd, name);
    else LoadImageIntoEditor(hwnd, name);
}
