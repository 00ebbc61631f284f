// A file name as the system's own calls take it: UTF-16 on Windows, the bytes
// as typed elsewhere.
#ifndef PELLFORM_NATIVE_PATH_H
#define PELLFORM_NATIVE_PATH_H

#include <string>

#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

#endif
