// What the Windows tests share besides tests/support (waiting, other threads' dialogs, the editor window):
// the stand-in host with the add-in loaded, files, pictures, regions, and the count of live GDI objects.
#ifndef PELLFORM_TEST_HARNESS_H
#define PELLFORM_TEST_HARNESS_H

#include <windows.h>
#include <colordlg.h>  // the color dialog's controls
#include <dlgs.h>      // the file dialogs' controls

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/region_rects.h"
#include "host/stand_in_host.h"
#include "tests/support/window_thread.h"
#include "tests/win/probe/probe_api.h"

// A region's rectangles as the platform keeps them (none for none), to compare
// with literal ones; a rectangle is shown by its fields when they differ.
RegionRects RectsOf(HRGN region);
inline void PrintTo(const RegionRect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// A file beside the test program, in the tests' data folder (Z:\...), or in
// this process's own temporary folder.
std::string PathBesideTests(const char* name);
std::string TestDataPath(const char* name);
std::string TemporaryPath(const char* name);
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Empty when the file cannot be read; false when it cannot be written.
std::vector<BYTE> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& data);

// Top row first, as COLORREF values.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> values;
    COLORREF at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};
Pixels ReadPixels(HBITMAP bitmap);
// A screen-compatible bitmap, or a 24-bit BMP file, whose pixel (x, y) is color(x, y).
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& color);
bool WriteBmpFile(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& color);

// Live GDI objects of this process (-1 when the table cannot be found).
int CountGdiObjects();
// Runs `cycle` in blocks and expects the GDI count not to grow over at least
// one later block: a leak grows every block, wine's caches only now and then.
void ExpectNoGrowth(const std::function<void()>& cycle, int cyclesPerBlock = 4);

// Modal boxes and common dialogs of another thread, answered as a user would.
std::string DialogItemText(HWND dialog, int id);
// Posts the click, so that a dialog that opens a nested box cannot deadlock us.
void PressButton(HWND dialog, int id);
// Mouse buttons (`flags`, MOUSEEVENTF_*) as the user's mouse sends them, at `screen`: each event carries
// its position, so none lands where a pointer the X server has not moved yet would be.
void SendMouseAt(POINT screen, const std::vector<DWORD>& flags);
// Sent, waiting at most 5 s: a handler that wrongly opens a modal box fails the test instead of hanging it.
bool SendWithinTimeout(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

bool IsMenuItemGrayed(HMENU menu, UINT id);
// Waits until a window of another thread has painted everything that was due.
void SettleWindow(HWND hwnd);
bool WaitForThreadEnd(DWORD threadId, DWORD timeoutMs = 10000);

// A stand-in host with an add-in loaded; tears everything down afterwards.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual const char* AddInFileName() const { return "Pellform_WA.dll"; }
    bool LoadTheAddIn();
    void ChooseMenuItem();
    // Chooses the add-in's item, waits for the editor window and ends the splash.
    EditorWindow OpenEditor();
    // Sends Exit and waits until the window and its thread are gone.
    void CloseEditor(const EditorWindow& editorWindow);

    StandInHost host_;
};

// The probe build of the add-in lets tests see the editor state.
class ProbeTest : public HostTest {
protected:
    void SetUp() override;
    const char* AddInFileName() const override { return "Pellform_WA_probe.dll"; }
    const ProbeApi* probe_ = nullptr;
};

#endif
