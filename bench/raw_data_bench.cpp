// Times the raw region data dialog on a large region, through the stand-in host:
// opening, the refresh after Delete, and selecting every row.
//   raw_data_bench.exe PATH-TO-PROBE-DLL [RECTANGLES]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "editor/editor_state.h"
#include "bench/scattered_rects.h"
#include "host/stand_in_host.h"
#include "region/region_rects.h"
#include "tests/win/probe/probe_api.h"
#include "res/resource_ids.h"

namespace {

double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 120000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char text[64] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (search->caption ? std::string(text) != search->caption : GetWindowTextLengthA(hwnd) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindWindowOfThread(DWORD thread, const char* caption) {
    Search search{caption, nullptr};
    EnumThreadWindows(thread, MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Report(const std::string& name, double ours) {
    std::printf("%s: ours %.1f ms, baseline 1000.0 ms (the target), ratio %.2f\n", name.c_str(), ours, 1000.0 / ours);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 50000;
    StandInHost host;
    if (!CreateStandInHost(host, true) || !LoadAddIn(host, argv[1])) return 1;
    auto entry = reinterpret_cast<ProbeEntry>(reinterpret_cast<void*>(GetProcAddress(host.addIn, "PellformProbe")));
    const ProbeApi* probe = entry();
    SendMessageA(host.frame, WM_COMMAND, host.lastGivenCommandId, 0);
    HWND editorWindow = nullptr;
    WaitFor([&] { return (editorWindow = FindWindowA(EDITOR_CLASS_NAME, nullptr)) != nullptr; });
    const DWORD thread = GetWindowThreadProcessId(editorWindow, nullptr);
    if (HWND splash = FindWindowOfThread(thread, nullptr)) PostMessageA(splash, WM_LBUTTONUP, 0, 0);
    SendMessageA(editorWindow, WM_NULL, 0, 0);
    probe->state->hrgnCurrent = probe->createRegionFromRects(ScatteredRects(count));

    const std::string size = std::to_string(count) + " rectangles";
    double start = NowMs();
    PostMessageA(editorWindow, WM_COMMAND, 10025, 0);
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindWindowOfThread(thread, "Raw region data")) != nullptr; });
    HWND list = GetDlgItem(dialog, 218);
    Report("raw data open " + size, NowMs() - start);
    std::printf("  rows listed: %ld\n", static_cast<long>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));

    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    start = NowMs();
    SendMessageA(GetDlgItem(dialog, 203), BM_CLICK, 0, 0);
    Report("raw data refresh after Delete " + size, NowMs() - start);

    // Selecting every row combines one rectangle at a time into a growing
    // selection region: the square of the count. Past a time budget the rest is
    // carried on from the rows done so far (each costs as the last ones did).
    const long rows = static_cast<long>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const double budgetMs = 15000;
    start = NowMs();
    long done = 0;
    double lastBlockMs = 0;
    while (done < rows && NowMs() - start < budgetMs) {
        const double blockStart = NowMs();
        for (long end = std::min(rows, done + 500); done < end; ++done)
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(done), reinterpret_cast<LPARAM>(&item));
        lastBlockMs = NowMs() - blockStart;
    }
    double all = NowMs() - start;
    if (done < rows) {
        // The cost of a row grows in proportion to the rows selected before it:
        // the remaining rows cost the integral of that line.
        const double slope = lastBlockMs / 500.0 / static_cast<double>(done);
        all += slope * 0.5 * (static_cast<double>(rows) * rows - static_cast<double>(done) * done);
        std::printf("  (select all: %ld of %ld rows in %.0f ms, the rest carried on)\n", done, rows, budgetMs);
    }
    Report("raw data select all " + size, all);

    PostMessageA(GetDlgItem(dialog, 2), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(dialog); });
    DestroyStandInHost(host);
    return 0;
}
