// File names as the user gave them, for every command of the tool. Arguments
// arrive as UTF-16 (wmain) and are kept as UTF-8 strings, so messages print a
// name exactly as typed; the Windows side opens them through the wide APIs.
#ifndef PELLFORM_TOOL_IO_H
#define PELLFORM_TOOL_IO_H

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

std::string Utf8FromWide(const wchar_t* text);
std::wstring WideFromUtf8(const std::string& text);
// The arguments of wmain as UTF-8, in order.
std::vector<std::string> ArgumentsAsUtf8(int argc, wchar_t** argv);

// Under wine the tool speaks to a Linux shell: Linux paths work as typed and
// lines end in LF, as the shell's other tools write them.
bool RunsUnderWine();
// Standard output and error as the caller reads them (LF line ends under wine).
void PrepareStandardStreams();

// The path the Windows side opens. A Linux absolute path is translated by
// wine's own call (from the UTF-8 the shell passed), or named in wine's Unix
// namespace when it holds characters no Windows name may ('*', '"', ...), as
// is such a relative Linux name; a Linux name holding a backslash, which wine
// cannot reach, is empty (no file has that name); everything else, and every
// path on Windows itself, is used as it stands.
std::wstring SystemPath(const std::string& given);
// Under wine, whether `given` is a Linux name holding a backslash.
bool WineReachesNoSuchName(const std::string& given);
// The same as a full path (the picture decoder wants one).
std::wstring FullSystemPath(const std::string& given);
bool FileExists(const std::wstring& systemPath);
bool FolderExists(const std::wstring& systemPath);

// printf into `stream`, the text taken as UTF-8: its bytes as they are (a Linux
// terminal, a pipe or a file reads UTF-8), or UTF-16 to a Windows console,
// which would otherwise show them in its own code page.
void PrintText(FILE* stream, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

#endif
