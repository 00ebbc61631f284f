// Times the raw region data dialog on a large region, through the stand-in
// host, against the straightforward list a programmer would write (an item
// inserted per row, LVM_SETITEM per cell, drawing on, the selection region
// following the selection with one CombineRgn per row): opening, the refresh
// after Delete, selecting every row and unselecting them all.
//   raw_data_bench.exe PATH-TO-PROBE-DLL [quick] [RECTANGLES]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "bench/bench_common.h"
#include "bench/scattered_rects.h"
#include "ui/editor/editor_state.h"
#include "host/stand_in_host.h"
#include "ui/rawdata/raw_data_dialogs.h"
#include "core/region_rects.h"
#include "res/resource_ids.h"
#include "tests/support/window_thread.h"
#include "tests/win/probe/probe_api.h"

namespace {

using bench::NowMs;
using bench::RegionBytes;

const ProbeApi* probe = nullptr;

// Waits as long as a large dialog may take, looking every millisecond: the
// waits end timed spans.
bool WaitFor(const std::function<bool()>& done) { return WaitUntil(done, 120000, 1); }

HWND WaitForRawData(DWORD thread) { return WaitForDialog(thread, "Raw region data", 120000, 1); }

// The text of one cell of a list.
std::string CellText(HWND list, int row, int column) {
    char cell[20] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = cell;
    item.cchTextMax = sizeof cell;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return cell;
}

// Every cell of the first rows of a list, for comparing two lists.
std::vector<BYTE> ListText(HWND list, std::size_t limit) {
    std::string all;
    const int rows = std::min(static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)), static_cast<int>(limit));
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < 4; ++column) all += CellText(list, row, column) + (column == 3 ? '\n' : ' ');
    return std::vector<BYTE>(all.begin(), all.end());
}

RECT RowRect(HWND list, int row) {
    LONG values[4] = {};
    for (int column = 0; column < 4; ++column) values[column] = std::strtol(CellText(list, row, column).c_str(), nullptr, 10);
    return {values[0], values[1], values[2], values[3]};
}

void SetAllSelected(HWND list, bool selected) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// The straightforward list: a window with a report list view like the dialog's.
struct Baseline {
    HWND window = nullptr;
    HWND list = nullptr;
    HRGN region = nullptr;     // its working copy
    HRGN selection = nullptr;  // the selected rows, one combine per change
    bool following = false;    // whether selection changes are followed
};
Baseline baseline;

LRESULT CALLBACK BaselineProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && baseline.following) {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (change.hdr.code == LVN_ITEMCHANGED && (change.uChanged & LVIF_STATE) &&
            ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
            const RECT rect = RowRect(baseline.list, change.iItem);
            HRGN area = CreateRectRgnIndirect(&rect);
            CombineRgn(baseline.selection, baseline.selection, area,
                       (change.uNewState & LVIS_SELECTED) ? RGN_OR : RGN_DIFF);
            DeleteObject(area);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void FillBaseline(std::size_t limit) {
    RegionRects rects;
    FetchRegionRects(baseline.region, rects);
    for (std::size_t i = 0; i < rects.size() && i < limit; ++i) {
        const LONG values[4] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        char text[16];
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(values[0]));
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text;
        const int row = static_cast<int>(SendMessageA(baseline.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 4; ++c) {
            std::snprintf(text, sizeof text, "%ld", static_cast<long>(values[c]));
            LVITEMA cell{};
            cell.mask = LVIF_TEXT;
            cell.iItem = row;
            cell.iSubItem = c;
            cell.pszText = text;
            SendMessageA(baseline.list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
        }
    }
}

void OpenBaseline(HRGN source, const RECT& listBounds, std::size_t limit) {
    baseline.region = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(baseline.region, source, nullptr, RGN_COPY);
    baseline.selection = CreateRectRgn(0, 0, 0, 0);
    baseline.window = CreateWindowExA(0, "PFBenchBaseline", "Baseline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      listBounds.right + 40, listBounds.bottom + 60, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    baseline.list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                    WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                    listBounds.left, listBounds.top, listBounds.right - listBounds.left,
                                    listBounds.bottom - listBounds.top, baseline.window, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    const char* titles[4] = {"RECT.left", "RECT.top", "RECT.right", "RECT.bottom"};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.cx = 70;
        column.pszText = const_cast<char*>(titles[i]);
        column.iSubItem = i;
        SendMessageA(baseline.list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(baseline.list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    FillBaseline(limit);
    UpdateWindow(baseline.window);
    UpdateWindow(baseline.list);
}

void CloseBaseline() {
    DestroyWindow(baseline.window);
    DeleteObject(baseline.region);
    DeleteObject(baseline.selection);
    baseline = Baseline{};
}

// The region of the first `rows` rows of a list, made without CombineRgn per row.
std::vector<BYTE> RegionOfRows(HWND list, int rows) {
    RegionRects rects;
    for (int row = 0; row < rows; ++row) {
        const RECT r = RowRect(list, row);
        rects.push_back({r.left, r.top, r.right, r.bottom});
    }
    HRGN region = probe->createRegionFromRects(UnionOfRects(rects));
    std::vector<BYTE> data = RegionBytes(region);
    DeleteObject(region);
    return data;
}

void PrintLine(const std::string& name, const std::vector<double>& ours, const bench::Timing& theirs, bool equal,
               const char* checked) {
    std::printf("%s, %zu runs each, %s (%s%s):\n    ours best %.1f ms, median %.1f ms\n    baseline %s\n    ratio %.1f\n",
                name.c_str(), ours.size(), equal ? "outputs equal" : "OUTPUTS DIFFER", checked,
                theirs.Extrapolated() ? ", on the measured rows" : "", bench::Best(ours), bench::Median(ours),
                bench::Describe(theirs).c_str(), theirs.MedianMs() / bench::Median(ours));
    std::fflush(stdout);
}

}  // namespace

// Undo and Redo of a raw data session that left 2^20 rectangles of the region
// it was given, through the editor's commands; each ends once the region is
// the editor's and the window shows what it offers.
static void BenchUndo(HWND editorWindow, int runs) {
    HRGN large = probe->createRegionFromRects(ScatteredRects(std::size_t{1} << 20)), small = CreateRectRgn(0, 0, 9, 9);
    const std::vector<BYTE> before = RegionBytes(large), after = RegionBytes(small);
    // The view drawing a million rectangles is not what is measured.
    SendMessageA(editorWindow, WM_COMMAND, IDM_VIEW_HIDE, 0);
    RunOnWindowThread(editorWindow, [&] {
        probe->document().hrgnCurrent.reset(large);
        probe->replaceRegion(small);
    });
    std::vector<double> ms;
    bool same = true;
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        SendMessageA(editorWindow, WM_COMMAND, IDM_UNDO, 0);
        SendMessageA(editorWindow, WM_COMMAND, IDM_REDO, 0);
        ms.push_back(NowMs() - start);
        SendMessageA(editorWindow, WM_COMMAND, IDM_UNDO, 0);
        same = same && RegionBytes(probe->document().hrgnCurrent.get()) == before;
        SendMessageA(editorWindow, WM_COMMAND, IDM_REDO, 0);
        same = same && RegionBytes(probe->document().hrgnCurrent.get()) == after;
    }
    char measured[48];
    std::snprintf(measured, sizeof measured, "%.1f ms%s", bench::Median(ms), same ? "" : " WRONG");
    bench::TargetRow("undo and redo of 2^20 rectangles, median", measured, "< 100 ms", same && bench::Median(ms) < 100);
    // Two steps back the region is rebuilt from its data.
    RunOnWindowThread(editorWindow, [&] { probe->replaceRegion(CreateRectRgn(0, 0, 5, 5)); });
    SendMessageA(editorWindow, WM_COMMAND, IDM_UNDO, 0);
    const double start = NowMs();
    SendMessageA(editorWindow, WM_COMMAND, IDM_UNDO, 0);
    std::printf("undo of 2^20 rectangles two steps back (rebuilt from its data): %.0f ms (%s)\n", NowMs() - start,
                RegionBytes(probe->document().hrgnCurrent.get()) == before ? "region equal" : "REGION WRONG");
    RunOnWindowThread(editorWindow, [&] { probe->document().hrgnCurrent.reset(); });
    SendMessageA(editorWindow, WM_COMMAND, IDM_VIEW_MASK, 0);
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const bool quick = argc > 2 && std::strcmp(argv[2], "quick") == 0;
    const std::size_t count = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 50000;
    const int runs = quick ? 3 : 5;
    const double budgetMs = quick ? 15000 : 60000;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BaselineProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PFBenchBaseline";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&windowClass);

    StandInHost host;
    if (!CreateStandInHost(host, true) || !LoadAddIn(host, argv[1])) return 1;
    probe = FindProbe(host.addIn);
    const EditorWindow editor = OpenEditorWindow(host.frame, host.lastGivenCommandId);
    const HWND editorWindow = editor.hwnd;
    const DWORD thread = editor.threadId;
    if (!probe || !editorWindow) return 1;
    const RegionRects scattered = ScatteredRects(count);
    if (!RunOnWindowThread(editorWindow, [&] { probe->document().hrgnCurrent.reset(probe->createRegionFromRects(scattered)); }))
        return 1;
    BenchUndo(editorWindow, runs);
    const std::string size = std::to_string(count) + " rectangles";
    std::printf("raw data dialog at %s, %d runs a side; ratio = baseline median / ours median\n", size.c_str(), runs);

    // Opening: ours until the dialog shows its rows, the baseline until its list does.
    std::vector<double> open;
    HWND dialog = nullptr;
    RECT listBounds{};
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        PostMessageA(editorWindow, WM_COMMAND, IDM_VIEW_RAW_DATA, 0);
        dialog = WaitForRawData(thread);
        UpdateWindow(dialog);
        UpdateWindow(GetDlgItem(dialog, IDC_RAW_LIST));
        open.push_back(NowMs() - start);
        if (i + 1 == runs) break;
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        WaitFor([&] { return !IsWindow(dialog); });
    }
    HWND list = GetDlgItem(dialog, IDC_RAW_LIST);
    GetWindowRect(list, &listBounds);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&listBounds), 2);
    // The straightforward list takes minutes for all rows: it is timed on the
    // first rows, doubling them within the budget, and carried on linearly
    // (the least it can cost: every further row costs what the first ones did).
    const std::size_t firstPart = 250;
    const bench::Work openBase = [&](std::size_t part, double& ms) {
        if (baseline.window) CloseBaseline();
        const double start = NowMs();
        OpenBaseline(probe->document().hrgnCurrent.get(), listBounds, part);
        ms = NowMs() - start;
        return ListText(baseline.list, part);
    };
    const bench::Timing openTheirs = bench::Measure(openBase, count, runs, budgetMs, firstPart, 1);
    const bool openEqual = ListText(list, openTheirs.part) == openTheirs.output;
    PrintLine("raw data open " + size, open, openTheirs, openEqual, "every cell");

    // The refresh after Delete: the first row deleted, the list rebuilt. The
    // baseline removes every rectangle ours removed (again and again: the same
    // result), so both end with the same working copy.
    std::vector<double> refresh;
    std::vector<RECT> removed;
    for (int i = 0; i < runs; ++i) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        removed.push_back(RowRect(list, 0));
        SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        SendMessageA(dialog, kSettleSelectionMessage, 0, 0);
        const double start = NowMs();
        SendMessageA(GetDlgItem(dialog, IDC_RAW_DELETE), BM_CLICK, 0, 0);
        UpdateWindow(list);
        refresh.push_back(NowMs() - start);
    }
    const bench::Work refreshBase = [&](std::size_t part, double& ms) {
        const double start = NowMs();
        for (const RECT& rect : removed) {
            HRGN area = CreateRectRgnIndirect(&rect);
            CombineRgn(baseline.region, baseline.region, area, RGN_DIFF);
            DeleteObject(area);
        }
        SendMessageA(baseline.list, LVM_DELETEALLITEMS, 0, 0);
        FillBaseline(part);
        UpdateWindow(baseline.list);
        ms = NowMs() - start;
        return ListText(baseline.list, part);
    };
    const bench::Timing refreshTheirs = bench::Measure(refreshBase, count, runs, budgetMs, firstPart, 1);
    const bool refreshEqual = ListText(list, refreshTheirs.part) == refreshTheirs.output &&
                              RegionBytes(probe->document().shownWorkingCopy) == RegionBytes(baseline.region);
    PrintLine("raw data refresh after Delete " + size, refresh, refreshTheirs, refreshEqual,
              "every cell and the working copy");
    // The baseline's list again whole, for the selection lines.
    SendMessageA(baseline.list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(baseline.list, WM_SETREDRAW, FALSE, 0);
    FillBaseline(count);
    SendMessageA(baseline.list, WM_SETREDRAW, TRUE, 0);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));

    // Selecting every row (what Ctrl+A does) and unselecting them all, until the
    // editor view has painted the result.
    std::vector<double> selectAll, unselectAll, selectList, unselectList, allButOne;
    bool allButOneEqual = true;
    bool selectEqual = true;
    const std::vector<BYTE> whole = RegionBytes(probe->document().shownWorkingCopy);
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        SetAllSelected(list, true);
        selectList.push_back(NowMs() - start);
        WaitFor([&] { return probe->document().shownSelection != nullptr; });
        UpdateWindow(editorWindow);
        selectAll.push_back(NowMs() - start);
        selectEqual = selectEqual && RegionBytes(probe->document().shownSelection) == whole &&
                      SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == rows;
        // One row unselected out of all: the region rebuilt from the rows
        // left, each read back from the list.
        LVITEMA one{};
        one.stateMask = LVIS_SELECTED;
        const RECT firstRow = RowRect(list, 0);
        start = NowMs();
        SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&one));
        SendMessageA(dialog, kSettleSelectionMessage, 0, 0);
        UpdateWindow(editorWindow);
        allButOne.push_back(NowMs() - start);
        {
            HRGN expected = CreateRectRgn(0, 0, 0, 0), area = CreateRectRgnIndirect(&firstRow);
            CombineRgn(expected, probe->document().shownWorkingCopy, area, RGN_DIFF);
            allButOneEqual = allButOneEqual && RegionBytes(probe->document().shownSelection) == RegionBytes(expected);
            DeleteObject(expected);
            DeleteObject(area);
        }
        start = NowMs();
        SetAllSelected(list, false);
        unselectList.push_back(NowMs() - start);
        WaitFor([&] { return probe->document().shownSelection == nullptr; });
        UpdateWindow(editorWindow);
        unselectAll.push_back(NowMs() - start);
        selectEqual = selectEqual && SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0;
    }

    // The baseline, row by row: selecting the first `part` rows, or unselecting
    // them from a full selection.
    auto baselineWork = [&](bool selecting) -> bench::Work {
        return [&, selecting](std::size_t part, double& ms) {
            baseline.following = false;
            SetAllSelected(baseline.list, !selecting);
            if (selecting) SetRectRgn(baseline.selection, 0, 0, 0, 0);
            else CombineRgn(baseline.selection, baseline.region, nullptr, RGN_COPY);
            baseline.following = true;
            LVITEMA item{};
            item.stateMask = LVIS_SELECTED;
            item.state = selecting ? LVIS_SELECTED : 0;
            const double start = NowMs();
            for (std::size_t row = 0; row < part; ++row)
                SendMessageA(baseline.list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
            ms = NowMs() - start;
            baseline.following = false;
            return RegionBytes(baseline.selection);
        };
    };
    const bench::Timing selectBase =
        bench::Measure(baselineWork(true), static_cast<std::size_t>(rows), runs, budgetMs, 1000);
    const bool selectBaseRight = selectBase.output == RegionOfRows(baseline.list, static_cast<int>(selectBase.part));
    const bench::Timing unselectBase =
        bench::Measure(baselineWork(false), static_cast<std::size_t>(rows), runs, budgetMs, 1000);
    std::vector<BYTE> rest;
    {
        HRGN removed = CreateRectRgn(0, 0, 0, 0), left = CreateRectRgn(0, 0, 0, 0);
        const std::vector<BYTE> firstRows = RegionOfRows(baseline.list, static_cast<int>(unselectBase.part));
        HRGN made = ExtCreateRegion(nullptr, static_cast<DWORD>(firstRows.size()),
                                    reinterpret_cast<const RGNDATA*>(firstRows.data()));
        CombineRgn(removed, made, nullptr, RGN_COPY);
        CombineRgn(left, baseline.region, removed, RGN_DIFF);
        rest = RegionBytes(left);
        DeleteObject(made);
        DeleteObject(removed);
        DeleteObject(left);
    }
    const bool unselectBaseRight = unselectBase.output == rest;
    for (const auto& [name, ours, inList, theirs, right] :
         {std::make_tuple("select all", selectAll, selectList, selectBase, selectBaseRight),
          std::make_tuple("unselect all", unselectAll, unselectList, unselectBase, unselectBaseRight)}) {
        std::printf("raw data %s %s, %d runs each, %s:\n    ours best %.1f ms, median %.1f ms (selection region %s)\n"
                    "    baseline %s (%s)\n    ratio %.1f\n",
                    name, size.c_str(), runs, selectEqual && right ? "outputs checked" : "OUTPUTS WRONG",
                    bench::Best(ours), bench::Median(ours),
                    selectEqual ? "equal to the working copy, then none" : "WRONG", bench::Describe(theirs).c_str(),
                    right ? "its selection region equals the union of its selected rows" : "ITS REGION IS WRONG",
                    theirs.MedianMs() / bench::Median(ours));
        std::printf("    (of ours, the list view's own change of every row and its notifications: median %.1f ms)\n",
                    bench::Median(inList));
    }
    std::printf("raw data unselect one row of all %s, %d runs: ours best %.1f ms, median %.1f ms (%s)\n", size.c_str(),
                runs, bench::Best(allButOne), bench::Median(allButOne),
                allButOneEqual ? "selection region equal to the working copy less that row" : "SELECTION REGION WRONG");
    std::fflush(stdout);

    // Every row selected and deleted, until the list and the editor view show
    // the result. Each run starts on a freshly opened dialog (Cancel keeps the
    // current region); the working copy must end empty and the list without rows.
    std::vector<double> deleteAll;
    bool deleteEqual = true;
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    for (int i = 0; i < runs; ++i) {
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        WaitFor([&] { return !IsWindow(dialog); });
        PostMessageA(editorWindow, WM_COMMAND, IDM_VIEW_RAW_DATA, 0);
        dialog = WaitForRawData(thread);
        list = GetDlgItem(dialog, IDC_RAW_LIST);
        SetAllSelected(list, true);
        SendMessageA(dialog, kSettleSelectionMessage, 0, 0);
        UpdateWindow(editorWindow);
        const double start = NowMs();
        SendMessageA(GetDlgItem(dialog, IDC_RAW_DELETE), BM_CLICK, 0, 0);
        UpdateWindow(list);
        UpdateWindow(editorWindow);
        deleteAll.push_back(NowMs() - start);
        deleteEqual = deleteEqual && RegionBytes(probe->document().shownWorkingCopy) == RegionBytes(none) &&
                      SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 0;
    }
    DeleteObject(none);
    std::printf("raw data select all and Delete %s, %d runs: ours best %.1f ms, median %.1f ms (%s)\n", size.c_str(),
                runs, bench::Best(deleteAll), bench::Median(deleteAll),
                deleteEqual ? "working copy empty, no row left" : "WORKING COPY WRONG");
    std::fflush(stdout);

    bench::RatioRow("raw data open " + size + " vs straightforward list", openEqual ? openTheirs.MedianMs() / bench::Median(open) : 0, 5);
    char measured[32];
    std::snprintf(measured, sizeof measured, "%.0f ms", bench::Median(open));
    bench::TargetRow("raw data open " + size + " (median)", measured, "< 300 ms", bench::Median(open) < 300);
    std::snprintf(measured, sizeof measured, "%.0f ms", bench::Median(selectAll));
    bench::TargetRow("raw data select all " + size + " (median)", measured, "< 1000 ms",
                     selectEqual && bench::Median(selectAll) < 1000);
    std::snprintf(measured, sizeof measured, "%.0f ms", bench::Median(unselectAll));
    bench::TargetRow("raw data unselect all " + size + " (median)", measured, "< 1000 ms",
                     selectEqual && bench::Median(unselectAll) < 1000);
    std::snprintf(measured, sizeof measured, "%.0f ms", bench::Median(deleteAll));
    bench::TargetRow("raw data select all and Delete " + size + " (median)", measured, "< 1000 ms",
                     deleteEqual && bench::Median(deleteAll) < 1000);

    CloseBaseline();
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(dialog); });
    DestroyStandInHost(host);
    return 0;
}
