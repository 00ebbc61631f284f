// The image information dialog, the About box and the Read Me window.
#ifndef PELLFORM_ABOUT_DIALOGS_H
#define PELLFORM_ABOUT_DIALOGS_H

#include <windows.h>

// What "Image information" shows: the picture's file name and its bitmap.
struct ImageInfoData {
    const char* fileName = "";
    BITMAP bitmap{};
};
void ShowImageInfo(HWND owner, const ImageInfoData& data);

// The About box over `owner`: with a `displayTime` in milliseconds a splash
// that closes itself and returns at once; with -1 a modal box the user closes.
void ShowAboutBox(HWND owner, int displayTime);

void ShowReadMe(HWND owner);

#endif
