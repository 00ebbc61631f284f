// Small owners for Windows handles, so every object is released on every path.
// Copy is deleted (two owners would release twice); move hands ownership over.
#ifndef PELLFORM_WIN_HANDLES_H
#define PELLFORM_WIN_HANDLES_H

#include <windows.h>

#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::invalid(); }
    Handle release() { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle handle = Traits::invalid()) {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    Handle handle_ = Traits::invalid();
};

template <typename Handle>
struct GdiObjectTraits {
    static Handle invalid() { return nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};
struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static void close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct GlobalMemoryTraits {
    static HGLOBAL invalid() { return nullptr; }
    static void close(HGLOBAL h) { GlobalFree(h); }
};
struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};

struct AcceleratorTraits {
    static HACCEL invalid() { return nullptr; }
    static void close(HACCEL h) { DestroyAcceleratorTable(h); }
};
struct KeyTraits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct LibraryTraits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE h) { FreeLibrary(h); }
};

using OwnedRegion = UniqueHandle<HRGN, GdiObjectTraits<HRGN>>;
using OwnedBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using OwnedBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using OwnedFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using OwnedMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using OwnedIcon = UniqueHandle<HICON, IconTraits>;
using OwnedGlobal = UniqueHandle<HGLOBAL, GlobalMemoryTraits>;
using OwnedKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using OwnedFile = UniqueHandle<HANDLE, FileHandleTraits>;
using OwnedMenu = UniqueHandle<HMENU, MenuTraits>;
using OwnedAccelerators = UniqueHandle<HACCEL, AcceleratorTraits>;
using OwnedKey = UniqueHandle<HKEY, KeyTraits>;
using OwnedLibrary = UniqueHandle<HMODULE, LibraryTraits>;

// A DC obtained with GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), hdc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (hdc_) ReleaseDC(hwnd_, hdc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return hdc_; }
    explicit operator bool() const { return hdc_ != nullptr; }

private:
    HWND hwnd_;
    HDC hdc_;
};

// Selects an object into a DC and selects the previous one back on scope exit,
// so the object can be deleted afterwards.
class Selection {
public:
    Selection(HDC hdc, HGDIOBJ object) : hdc_(hdc), previous_(hdc && object ? SelectObject(hdc, object) : nullptr) {}
    ~Selection() {
        if (previous_) SelectObject(hdc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    Selection(Selection&& other) noexcept : hdc_(other.hdc_), previous_(std::exchange(other.previous_, nullptr)) {}
    Selection& operator=(Selection&&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC hdc_;
    HGDIOBJ previous_;
};

// Memory locked with GlobalLock, unlocked on scope exit.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockGuard() {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* get() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

#endif
