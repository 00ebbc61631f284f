#include "tool/tool_io.h"

#include <fcntl.h>
#include <io.h>

#include <cstdarg>

#include "platform/win_handles.h"

// Names wine's path calls return, allocated on the process heap.
template <typename Text>
struct ProcessHeapTraits {
    static Text invalid() { return nullptr; }
    static void close(Text text) { HeapFree(GetProcessHeap(), 0, text); }
};
using WineWideName = UniqueHandle<LPWSTR, ProcessHeapTraits<LPWSTR>>;
using WineUnixName = UniqueHandle<LPSTR, ProcessHeapTraits<LPSTR>>;

std::string Utf8FromWide(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length) - 1);
    return utf8;
}

std::wstring WideFromUtf8(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::vector<std::string> ArgumentsAsUtf8(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(Utf8FromWide(argv[i]));
    return arguments;
}

bool RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void PrepareStandardStreams() {
    if (!RunsUnderWine()) return;
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// Wine's name for a Linux path as it stands, for names that hold characters a
// Windows name cannot (a quote, '*', '?', ...), which its drive letters cannot
// reach.
static std::wstring WineUnixPath(std::string linuxPath) {
    for (char& c : linuxPath)
        if (c == '/') c = '\\';
    return L"\\\\?\\unix" + WideFromUtf8(linuxPath);
}

// A drive letter or two backslashes start a Windows name; under wine every
// other name is a Linux one.
static bool IsWindowsName(const std::string& given) {
    return (given.size() > 1 && given[1] == ':') || given.compare(0, 2, "\\\\") == 0;
}

// In a Linux name a backslash is a character like any other. No Windows name,
// not even in wine's Unix namespace (which reads a backslash as a separator),
// reaches such a file.
bool WineReachesNoSuchName(const std::string& given) {
    return RunsUnderWine() && !IsWindowsName(given) && given.find('\\') != std::string::npos;
}

std::wstring SystemPath(const std::string& given) {
    // Only wine has these calls; they read a name as the Linux side spells it.
    using DosNameFunction = LPWSTR(CDECL*)(LPCSTR);
    using UnixNameFunction = LPSTR(CDECL*)(LPCWSTR);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    static const auto toDos = reinterpret_cast<DosNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
    static const auto toUnix = reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
    if (!toDos || !toUnix || given.empty()) return WideFromUtf8(given);
    const bool linuxAbsolute = given[0] == '/';
    // The name reaches no file at all rather than another one.
    if (WineReachesNoSuchName(given)) return std::wstring();
    const bool windowsName = IsWindowsName(given);
    const bool refusedByWindows = given.find_first_of(linuxAbsolute ? "*?\"<>|:" : "*?\"<>|") != std::string::npos;
    if (!linuxAbsolute) {
        // A relative Linux name only Wine's Unix namespace can hold: from the
        // current folder as Linux names it.
        if (windowsName || !refusedByWindows) return WideFromUtf8(given);
        WCHAR folder[MAX_PATH];
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
        const WineUnixName unixFolder(length > 0 && length < MAX_PATH ? toUnix(folder) : nullptr);
        return unixFolder ? WineUnixPath(std::string(unixFolder.get()) + "/" + given) : WideFromUtf8(given);
    }
    if (refusedByWindows) return WineUnixPath(given);
    const WineWideName dos(toDos(given.c_str()));
    return dos ? std::wstring(dos.get()) : WineUnixPath(given);
}

std::wstring FullSystemPath(const std::string& given) {
    const std::wstring path = SystemPath(given);
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    if (written == 0 || written >= length) return path;
    full.resize(written);
    return full;
}

bool FileExists(const std::wstring& systemPath) {
    const DWORD attributes = GetFileAttributesW(systemPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& systemPath) {
    const DWORD attributes = GetFileAttributesW(systemPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The console of the stream when it is one and the tool runs on Windows itself.
static HANDLE WindowsConsoleOf(FILE* stream) {
    if (RunsUnderWine()) return nullptr;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

void PrintText(FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    char small[512];
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    std::string text;
    if (length >= static_cast<int>(sizeof small)) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, arguments);
        text.resize(static_cast<size_t>(length));
    } else if (length > 0) {
        text.assign(small, static_cast<size_t>(length));
    }
    va_end(arguments);
    if (HANDLE console = WindowsConsoleOf(stream)) {
        const std::wstring wide = WideFromUtf8(text);
        DWORD written = 0;
        std::fflush(stream);
        WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
}
