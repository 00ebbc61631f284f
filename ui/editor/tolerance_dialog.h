// The "Mask tolerance" dialog: how far a pixel's red, green and blue may each
// be from the mask color's for the pixel to count as the mask color.
#ifndef PELLFORM_TOLERANCE_DIALOG_H
#define PELLFORM_TOLERANCE_DIALOG_H

#include <windows.h>

constexpr int kMaxMaskTolerance = 255;

// The dialog opens showing `tolerance` and, once confirmed, holds what was entered.
struct ToleranceInput {
    int tolerance = 0;
};

// Runs the dialog, owned by `owner`; true when confirmed with a number from 0 to 255.
bool AskMaskTolerance(HWND owner, ToleranceInput& input);

#endif
