#include "host/stand_in_host.h"

#include <cstring>

#include "res/resource_ids.h"

static const char kFrameClass[] = "PellformHostFrame";
static const char kChildClass[] = "PellformHostChild";
static const int kFirstChildId = 50000;

static StandInHost* HostOf(HWND hwnd) {
    return reinterpret_cast<StandInHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

static HFONT CreateMenuFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    return CreateFontIndirectA(&metrics.lfMenuFont);
}

static void MeasureMenuItem(HWND hwnd, MEASUREITEMSTRUCT* item) {
    const char* text = reinterpret_cast<const char*>(item->itemData);
    if (!text) text = "";
    HDC dc = GetDC(hwnd);
    HFONT font = CreateMenuFont();
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    if (previous) SelectObject(dc, previous);
    if (font) DeleteObject(font);
    ReleaseDC(hwnd, dc);
    item->itemWidth = static_cast<UINT>(size.cx + 2 * GetSystemMetrics(SM_CXMENUCHECK));
    item->itemHeight = static_cast<UINT>(size.cy + 6);
}

static void DrawMenuItem(DRAWITEMSTRUCT* item) {
    const char* text = reinterpret_cast<const char*>(item->itemData);
    if (!text) text = "";
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const bool grayed = (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, GetSysColor(grayed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    HFONT font = CreateMenuFont();
    HGDIOBJ previous = font ? SelectObject(item->hDC, font) : nullptr;
    RECT textBox = item->rcItem;
    textBox.left += GetSystemMetrics(SM_CXMENUCHECK);
    DrawTextA(item->hDC, text, -1, &textBox, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (previous) SelectObject(item->hDC, previous);
    if (font) DeleteObject(font);
}

static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    StandInHost* host = HostOf(hwnd);
    // The host passes every frame message to each loaded add-in first.
    if (host && host->frameWindowProc) host->frameWindowProc(hwnd, message, wParam, lParam);
    HWND client = host ? host->mdiClient : nullptr;
    switch (message) {
    case HOST_GET_FREE_COMMAND_ID:
        if (!host) break;
        host->lastGivenCommandId = host->nextFreeCommandId++;
        return host->lastGivenCommandId;
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU) break;
        MeasureMenuItem(hwnd, item);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU) break;
        DrawMenuItem(item);
        return TRUE;
    }
    case WM_CLOSE:
        if (host) UnloadAddIn(*host);
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (host && host->quitOnDestroy) PostQuitMessage(0);
        break;
    default: break;
    }
    return DefFrameProcA(hwnd, client, message, wParam, lParam);
}

static LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcA(hwnd, message, wParam, lParam);
}

static HMENU CreateHostMenuBar() {
    static const char* const kTitles[kHostSubmenuCount] = {"&File",   "&Edit",  "&View",    "&Project", "F&ormat",
                                                           "&Make",   "&Tools", "&Add-Ins", "&Window",  "&Help"};
    HMENU bar = CreateMenu();
    for (int i = 0; i < kHostSubmenuCount; ++i) {
        HMENU popup = CreatePopupMenu();
        // The add-ins submenu starts with one item, as the IDE's does.
        if (i == kAddInsSubmenu) AppendMenuA(popup, MF_STRING, 3001, "Add-In &Manager...");
        else if (i == 0) AppendMenuA(popup, MF_STRING, 3000, "E&xit");
        else AppendMenuA(popup, MF_STRING, 3002 + i, "(stand-in)");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), kTitles[i]);
    }
    return bar;
}

static bool RegisterHostClasses(HINSTANCE instance) {
    WNDCLASSA frame{};
    if (!GetClassInfoA(instance, kFrameClass, &frame)) {
        frame.lpfnWndProc = FrameProc;
        frame.hInstance = instance;
        frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        frame.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1));
        frame.lpszClassName = kFrameClass;
        if (!RegisterClassA(&frame)) return false;
    }
    WNDCLASSA child{};
    if (!GetClassInfoA(instance, kChildClass, &child)) {
        child.lpfnWndProc = ChildProc;
        child.hInstance = instance;
        child.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        child.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        child.lpszClassName = kChildClass;
        if (!RegisterClassA(&child)) return false;
    }
    return true;
}

bool CreateStandInHost(StandInHost& host, bool visible) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterHostClasses(instance)) return false;
    host.menuBar = CreateHostMenuBar();
    host.frame = CreateWindowExA(0, kFrameClass, "Stand-in host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 900,
                                 650, nullptr, host.menuBar, instance, &host);
    if (!host.frame) return false;
    CLIENTCREATESTRUCT client{};
    client.hWindowMenu = GetSubMenu(host.menuBar, 8);
    client.idFirstChild = kFirstChildId;
    RECT area{};
    GetClientRect(host.frame, &area);
    host.mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                     WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0,
                                     area.right, area.bottom, host.frame, nullptr, instance, &client);
    if (!host.mdiClient) return false;
    MDICREATESTRUCTA child{};
    child.szClass = kChildClass;
    child.szTitle = "Untitled.asm";
    child.hOwner = instance;
    child.x = child.y = child.cx = child.cy = CW_USEDEFAULT;
    child.style = WS_VISIBLE;
    host.mdiChild = reinterpret_cast<HWND>(SendMessageA(host.mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&child)));
    if (!host.mdiChild) return false;
    if (visible) {
        ShowWindow(host.frame, SW_SHOW);
        UpdateWindow(host.frame);
    }
    return true;
}

void SetChildMaximized(StandInHost& host, bool maximized) {
    SendMessageA(host.mdiClient, maximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(host.mdiChild), 0);
}

bool LoadAddIn(StandInHost& host, const char* path) {
    host.addIn = LoadLibraryA(path);
    if (!host.addIn) return false;
    host.getAddInData = reinterpret_cast<GetAddInDataProc>(reinterpret_cast<void*>(GetProcAddress(host.addIn, "GetWAAddInData")));
    host.addInLoad = reinterpret_cast<AddInLoadProc>(reinterpret_cast<void*>(GetProcAddress(host.addIn, "WAAddInLoad")));
    auto frameProc = reinterpret_cast<FrameWindowProcType>(reinterpret_cast<void*>(GetProcAddress(host.addIn, "FrameWindowProc")));
    host.addInUnload = reinterpret_cast<AddInUnloadProc>(reinterpret_cast<void*>(GetProcAddress(host.addIn, "WAAddInUnload")));
    if (!host.getAddInData || !host.addInLoad || !frameProc || !host.addInUnload) {
        FreeLibrary(host.addIn);
        host.addIn = nullptr;
        return false;
    }
    host.getAddInData(host.addInName, host.addInDescription);
    host.handles = {host.frame, host.menuBar, host.mdiClient};
    host.loadResult = host.addInLoad(&host.handles, 0);
    if (host.loadResult != 0) return false;
    host.frameWindowProc = frameProc;
    DrawMenuBar(host.frame);
    return true;
}

void UnloadAddIn(StandInHost& host) {
    if (!host.addIn) return;
    if (host.frameWindowProc) host.unloadResult = host.addInUnload();
    host.frameWindowProc = nullptr;
    FreeLibrary(host.addIn);
    host.addIn = nullptr;
    if (host.frame) DrawMenuBar(host.frame);
}

void DestroyStandInHost(StandInHost& host) {
    UnloadAddIn(host);
    if (host.frame) DestroyWindow(host.frame);  // the menu bar goes with it
    host.frame = host.mdiClient = host.mdiChild = nullptr;
    host.menuBar = nullptr;
}

void AddInPathBesideProgram(char* path, DWORD size) {
    DWORD length = GetModuleFileNameA(nullptr, path, size);
    if (length == 0 || length >= size) {
        path[0] = '\0';
        return;
    }
    char* slash = std::strrchr(path, '\\');
    char* name = slash ? slash + 1 : path;
    static const char kAddInFile[] = "Pellform_WA.dll";
    if (static_cast<DWORD>(name - path) + sizeof kAddInFile > size) {
        path[0] = '\0';
        return;
    }
    std::memcpy(name, kAddInFile, sizeof kAddInFile);
}
