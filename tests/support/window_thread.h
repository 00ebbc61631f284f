// Windows of another thread, as tests and benchmarks reach them: waiting with a deadline while pumping this
// thread's messages (it plays the host's UI thread), finding that thread's dialogs, opening the editor window
// from the host's menu, and work run on the thread that owns a window.
#ifndef PELLFORM_WINDOW_THREAD_H
#define PELLFORM_WINDOW_THREAD_H

#include <windows.h>

#include <functional>
#include <string>

void PumpMessages();
// Pumps and looks every `pollMs` until `done` (true) or the deadline (false).
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD pollMs = 10);

std::string WindowText(HWND hwnd);
// A visible dialog (class #32770) of `threadId` with the given caption (any when
// null): found now, or waited for until the deadline (null when none came).
HWND FindDialogNow(DWORD threadId, const char* caption);
HWND WaitForDialog(DWORD threadId, const char* caption, DWORD timeoutMs = 10000, DWORD pollMs = 10);

struct EditorWindow { HWND hwnd = nullptr; DWORD threadId = 0; };

HWND FindEditorWindow();
// Chooses the add-in's item `menuCommand` of the host's `frame`, waits for the editor window and ends the
// splash it opens with (the About box; a click ends it), so that the editor is alone and active. No window
// when it did not appear or the splash stayed.
EditorWindow OpenEditorWindow(HWND frame, UINT menuCommand);

// Runs `work` on the thread of `window`, between its messages, and waits for
// it. Returns the id of the thread it ran on, 0 when it did not run.
DWORD RunOnWindowThread(HWND window, const std::function<void()>& work);

#endif
