// Work done on the thread that owns a window, for tests and benchmarks that
// must touch the editor's state only where the editor itself runs.
#ifndef PELLFORM_WINDOW_THREAD_H
#define PELLFORM_WINDOW_THREAD_H

#include <windows.h>

#include <functional>

// Runs `work` on the thread of `window`, between its messages, and waits for
// it. Returns the id of the thread it ran on, 0 when it did not run.
DWORD RunOnWindowThread(HWND window, const std::function<void()>& work);

#endif
