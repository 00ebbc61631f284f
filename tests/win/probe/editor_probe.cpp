// The probe build's one export besides the add-in's four (see probe_api.h);
// never part of the shipped DLL.
#include <cstdlib>
#include <new>

#include "ui/editor/editor_state.h"
#include "ui/editor/image_loading.h"
#include "ui/editor/region_files.h"
#include "platform/picture_loading.h"
#include "platform/picture_wic.h"
#include "platform/region_gdi.h"
#include "tests/win/probe/probe_api.h"
#include "res/resource_ids.h"

// The probe's own operator new, in place of the runtime's in this DLL only: a
// test can make every allocation from some point on fail, as a host out of
// address space would.
static volatile LONG allocationsLeft = -1;

static void FailAllocationsAfter(long count) { InterlockedExchange(&allocationsLeft, count); }

void* operator new(std::size_t size) {
    for (;;) {
        const LONG left = allocationsLeft;
        if (left < 0) break;
        if (left == 0) throw std::bad_alloc();
        if (InterlockedCompareExchange(&allocationsLeft, left - 1, left) == left) break;
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

// The engine as the editor called it before pictures had a mask tolerance.
static HRGN BuildRegionExactly(HBITMAP p, int w, int h, COLORREF mask) { return BuildRegionFromPicture(p, w, h, mask); }

static void ReplaceRegionByEdits(HRGN region) { ReplaceRegion(IDM_VIEW_RAW_DATA, OwnedRegion(region)); }

extern "C" const ProbeApi* WINAPI PellformProbe() {
    static const ProbeApi api = {&settings, Document, LoadPictureFile, LoadPictureResource, LoadImageIntoEditor,
                                 BuildRegionExactly, CreateRegionFromRects, LoadPictureFileWithAlpha,
                                 FailAllocationsAfter, SaveRegionFile, OpenRegionFile, BuildRegionFromPicture,
                                 BuildFloodRegionFromPicture, ReplaceRegionByEdits};
    return &api;
}
