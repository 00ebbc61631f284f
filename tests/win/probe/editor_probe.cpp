// The probe build's one export besides the add-in's four (see probe_api.h);
// never part of the shipped DLL.
#include <cstdlib>
#include <new>

#include "editor/editor_state.h"
#include "editor/image_loading.h"
#include "editor/region_files.h"
#include "picture/com_owners.h"
#include "picture/picture_loading.h"
#include "picture/picture_wic.h"
#include "region/region_gdi.h"
#include "tests/win/probe/probe_api.h"

// The imaging component's route alone, as the editor's route takes it for
// PNG, TIFF and icons, so tests see that decoder whatever else would decode.
static HBITMAP LoadPictureFileThroughWic(const char* path, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    ComScope com;
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return nullptr;
    return DecodePictureWithWic(wide, background, alpha);
}

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

extern "C" const ProbeApi* WINAPI PellformProbe() {
    static const ProbeApi api = {&editor, CenterOnOwner, MakeTintedIcon, BeginBusy, EndBusy, LoadPictureFile,
                                 LoadPictureResource, LoadPictureMemory, ComposeView, LoadImageIntoEditor,
                                 BuildRegionFromPicture, CreateRegionFromRects, LoadPictureFileThroughWic,
                                 LoadPictureFileWithAlpha, FailAllocationsAfter, SaveRegionFile, OpenRegionFile};
    return &api;
}
