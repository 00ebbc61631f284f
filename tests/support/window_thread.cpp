#include "tests/support/window_thread.h"

static const UINT runWorkMessage = RegisterWindowMessageA("PellformRunWork");

// Sees every message sent to a window of the hooked thread, on that thread.
static LRESULT CALLBACK RunSentWork(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == runWorkMessage)
        (*reinterpret_cast<const std::function<void()>*>(sent->lParam))();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD RunOnWindowThread(HWND window, const std::function<void()>& work) {
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RunSentWork, nullptr, GetWindowThreadProcessId(window, nullptr));
    if (!hook) return 0;
    DWORD ranOn = 0;
    const std::function<void()> marked = [&] {
        ranOn = GetCurrentThreadId();
        work();
    };
    SendMessageA(window, runWorkMessage, 0, reinterpret_cast<LPARAM>(&marked));
    UnhookWindowsHookEx(hook);
    return ranOn;
}
