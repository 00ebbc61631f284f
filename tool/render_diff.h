// `pellform render` and `pellform diff`: a region as a picture, and two regions
// compared by the pixels they cover rather than by their rectangles.
#ifndef PELLFORM_RENDER_DIFF_H
#define PELLFORM_RENDER_DIFF_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/native_path.h"

// A file name as the command line gives it.
using ToolPath = std::string;

// The command line's own ways of naming and reporting files, so these commands
// take and print names exactly as the others do.
struct ToolFiles {
    std::function<NativePath(const ToolPath&)> systemPath;      // the path the system opens
    std::function<bool(const NativePath&)> fileExists;           // of a system path
    std::function<NativePath(const ToolPath&)> fullSystemPath;  // the same in full, for the picture decoder
    std::function<void(const ToolPath&, const std::string&)> complain;  // one line on stderr
    std::function<int(const std::string&)> usageError;      // the problem and the usage; gives 2
    std::uint32_t background;                               // what build composes pictures over (a COLORREF)
};

// The words after the command's name. Exit status as the tool's: 0 done,
// 1 failed, 2 usage error.
int RenderCommand(const std::vector<ToolPath>& words, const ToolFiles& files);
// 0 same pixels, 1 different, 2 a usage error or a file that cannot be
// compared (missing, not region data) or a picture that cannot be written.
int DiffCommand(const std::vector<ToolPath>& words, const ToolFiles& files);

#endif
