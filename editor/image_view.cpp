// The view of picture and region: overlay modes.
#include <windows.h>

#include "editor/editor_state.h"
#include "res/resource_ids.h"

void ChooseViewMode(HWND hwnd, UINT command) {
    HMENU menu = GetMenu(hwnd);
    if (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) return;
    CheckMenuRadioItem(menu, IDM_VIEW_HIDE, IDM_VIEW_TRANSPARENCY, command, MF_BYCOMMAND);
    InvalidateRect(hwnd, nullptr, TRUE);
}
