// What the probe build of the add-in hands to tests besides the four exports:
// the editor's settings and document to read and the helpers to call (on the editor thread when
// they touch the editor).
#ifndef PELLFORM_PROBE_API_H
#define PELLFORM_PROBE_API_H

#include <windows.h>

#include "platform/picture_wic.h"
#include "core/flood_fill.h"
#include "core/region_rects.h"

struct EditorSettings;
struct EditorDocument;

struct ProbeApi {
    EditorSettings* settings;
    // The open editor window's document.
    EditorDocument& (*document)();
    HBITMAP (*loadPictureFile)(const char* path, COLORREF background);
    HBITMAP (*loadPictureResource)(HMODULE module, LPCSTR name);
    void (*loadImageIntoEditor)(HWND hwnd, const char* name);
    HRGN (*buildRegionFromPicture)(HBITMAP picture, int width, int height, COLORREF maskColor);
    HRGN (*createRegionFromRects)(const RegionRects& rects);
    HBITMAP (*loadPictureFileWithAlpha)(const char* path, COLORREF background, AlphaPlane* alpha);
    // From `count` more allocations of the add-in's code on, each one fails
    // (std::bad_alloc); -1 lets them all succeed again.
    void (*failAllocationsAfter)(long count);
    // Save and Open without their dialogs, for cycles that would count the dialogs' own objects.
    void (*saveRegionFile)(HWND hwnd);
    void (*openRegionFile)(HWND hwnd, const char* name);
    HRGN (*buildRegionWithTolerance)(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance);
    HRGN (*buildFloodRegion)(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                             const FloodStarts& starts);
    // Makes `region` the editor's as a saved raw data session does: a step.
    void (*replaceRegion)(HRGN region);
};

using ProbeEntry = const ProbeApi*(WINAPI*)();

// The probe of a loaded add-in; null for a build without one.
inline const ProbeApi* FindProbe(HMODULE addIn) {
    const auto entry = reinterpret_cast<ProbeEntry>(reinterpret_cast<void*>(GetProcAddress(addIn, "PellformProbe")));
    return entry ? entry() : nullptr;
}

#endif
