// Times a repaint of the editor's view of a 4000 x 4000 picture with its region
// shown as transparency, at 1600% against the same repaint at 100%: the
// magnified view draws only what shows, so it should cost about the same. Both
// sides show the same picture point at the view's center; the pixels around it
// are read off the screen from both and compared before a figure is printed.
//   view_bench.exe PATH-TO-PROBE-DLL [quick]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_common.h"
#include "host/stand_in_host.h"
#include "res/resource_ids.h"
#include "tests/support/window_thread.h"
#include "tests/win/probe/probe_api.h"
#include "ui/editor/editor_state.h"

namespace {

constexpr int kSide = 4000;
constexpr int kCenter = kSide / 2;
constexpr int kSeen = 24;  // picture pixels each side of the center that are compared
constexpr int kRepaintsPerRun = 10;

// A skin-like picture: a disc with square holes, on white (the mask color).
bool Masked(int x, int y) {
    const int dx = x - kCenter, dy = y - kCenter;
    return dx * dx + dy * dy > 1950 * 1950 || ((x / 50) + (y / 50)) % 4 == 0;
}

HBITMAP MakePicture() {
    std::vector<DWORD> pixels(static_cast<size_t>(kSide) * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            pixels[static_cast<size_t>(y) * kSide + x] = Masked(x, y) ? 0xFFFFFF : (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x80;
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, kSide, kSide);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBits(screen, picture, 0, kSide, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The colors the view shows for the picture pixels around the center: at the
// middle of each square, clear of the grid lines.
std::vector<BYTE> SeenAroundCenter(HWND editor, int zoom) {
    RECT client{};
    GetClientRect(editor, &client);
    HDC window = GetDC(editor), memory = CreateCompatibleDC(window);
    HBITMAP shot = CreateCompatibleBitmap(window, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
    const int sx = GetScrollPos(editor, SB_HORZ), sy = GetScrollPos(editor, SB_VERT);
    std::vector<BYTE> seen;
    for (int y = kCenter - kSeen; y < kCenter + kSeen; ++y)
        for (int x = kCenter - kSeen; x < kCenter + kSeen; ++x) {
            const COLORREF color = GetPixel(memory, x * zoom - sx + zoom / 2, y * zoom - sy + zoom / 2);
            seen.insert(seen.end(), {GetRValue(color), GetGValue(color), GetBValue(color)});
        }
    SelectObject(memory, old);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(editor, window);
    return seen;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const bool quick = argc > 2 && std::strcmp(argv[2], "quick") == 0;
    const int runs = quick ? 7 : 21;
    StandInHost host;
    if (!CreateStandInHost(host, true) || !LoadAddIn(host, argv[1])) return 1;
    const ProbeApi* probe = FindProbe(host.addIn);
    HWND editor = OpenEditorWindow(host.frame, host.lastGivenCommandId).hwnd;
    if (!probe || !editor) return 1;

    HBITMAP picture = MakePicture();
    HRGN region = probe->buildRegionFromPicture(picture, kSide, kSide, 0xFFFFFF);
    if (!picture || !region) return 1;
    RunOnWindowThread(editor, [&] {
        EditorDocument& state = probe->document();
        state.hbmImage.reset(picture);
        GetObjectA(picture, sizeof state.imageInfo, &state.imageInfo);
        state.hrgnCurrent.reset(region);
        ShowWindow(GetDlgItem(editor, IDC_NO_PICTURE), SW_HIDE);
        SendMessageA(editor, WM_COMMAND, IDM_VIEW_TRANSPARENCY, 0);
        // A window as large as most screens allow; sizing sets the scroll ranges.
        SetWindowPos(editor, nullptr, 0, 0, 1200, 1000, SWP_NOZORDER);
        RECT client{};
        GetClientRect(editor, &client);
        SetScrollPos(editor, SB_HORZ, kCenter - client.right / 2, TRUE);
        SetScrollPos(editor, SB_VERT, kCenter - client.bottom / 2, TRUE);
    });
    const auto repaintAt = [&](UINT zoomCommand, int zoom) -> bench::Work {
        return [&, zoomCommand, zoom](std::size_t, double& ms) {
            // Zooming keeps the center where it is; only the repaint is timed.
            RunOnWindowThread(editor, [&] {
                SendMessageA(editor, WM_COMMAND, zoomCommand, 0);
                UpdateWindow(editor);
                // Several a run, so that one run outlasts the scheduler's noise.
                const double start = bench::NowMs();
                for (int i = 0; i < kRepaintsPerRun; ++i) RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                ms = bench::NowMs() - start;
            });
            return SeenAroundCenter(editor, zoom);
        };
    };
    RECT client{};
    GetClientRect(editor, &client);
    std::printf("editor view repaint, %ld x %ld client, %d x %d picture with its region as transparency, %d repaints a "
                "run; ratio = 100%% median / 1600%% median\n",
                client.right, client.bottom, kSide, kSide, kRepaintsPerRun);
    double ratio = 0;
    const bool equal = bench::Compare("view repaint at 1600% (ours) against 100% (baseline)", repaintAt(IDM_ZOOM_1600, 16),
                                      repaintAt(IDM_ZOOM_100, 1), 1, runs, 1e9, &ratio);
    // About the same cost: at most half again as much.
    bench::RatioRow("view repaint 4000 x 4000 at 1600% vs at 100%", equal ? ratio : 0, 0.67);
    SendMessageA(editor, WM_COMMAND, IDM_EXIT, 0);
    DestroyStandInHost(host);
    return 0;
}
