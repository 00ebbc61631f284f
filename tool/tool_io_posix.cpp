// File names and the console where names are bytes: a name is used exactly as
// typed and printed as it came.
#include "tool/tool_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>

void PrepareStandardStreams() {}

NativePath SystemPath(const std::string& given) { return given; }

bool WineReachesNoSuchName(const std::string&) { return false; }

NativePath FullSystemPath(const std::string& given) { return given; }

bool FileExists(const NativePath& systemPath) {
    struct stat status {};
    return stat(systemPath.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool FolderExists(const NativePath& systemPath) {
    struct stat status {};
    return stat(systemPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool SameFileName(const std::string& first, const std::string& second) { return first == second; }

bool IsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }

void SetBinaryMode(FILE*) {}

bool SystemButtonFace(std::uint32_t&) { return false; }

void PrintText(FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stream, format, arguments);
    va_end(arguments);
}
