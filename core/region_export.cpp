#include "core/region_export.h"

#include <cctype>
#include <cstdio>
#include <initializer_list>

namespace {

// Sources for a Windows toolchain: CR LF line ends.
void AddLine(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

// Numbers as the platform's LONG shows them.
std::string Words(std::initializer_list<std::uint32_t> words) {
    std::string text;
    for (std::uint32_t word : words) {
        if (!text.empty()) text += ", ";
        text += std::to_string(static_cast<std::int32_t>(word));
    }
    return text;
}

std::string Words(const RegionRect& r) {
    return Words({static_cast<std::uint32_t>(r.left), static_cast<std::uint32_t>(r.top),
                  static_cast<std::uint32_t>(r.right), static_cast<std::uint32_t>(r.bottom)});
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::size_t BlockSize(const RegionRects& rects) { return kRegionHeaderSize + kRegionRectSize * rects.size(); }

std::string Summary(const RegionHeader& header, const RegionRects& rects) {
    return SummaryText(rects.size(), header.rcBound);
}

// A file name inside a comment line: a control character (a line end above
// all) would end the comment and put the rest of the name into the code.
std::string CommentText(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

// A line of text padded to `column`, so that the comments stand in one column.
std::string Padded(std::string text, std::size_t column) {
    if (text.size() < column) text.append(column - text.size(), ' ');
    return text;
}

}  // namespace

std::string BoundsText(const RegionRect& bounds) { return "(" + Words(bounds) + ")"; }

std::string SummaryText(std::size_t count, const RegionRect& bounds) {
    return CountOfRectangles(count) + ", bounding box " + BoundsText(bounds);
}

std::string CountOfRectangles(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " rectangle" : " rectangles");
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\:");
    return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

std::string FileStemOf(const std::string& path) {
    std::string name = FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

std::string MakeExportName(const std::string& fileName) {
    const std::string base = FileStemOf(fileName);
    std::string name;
    for (char c : base) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    // The suffix keeps clear of register names and directives ("eax.rgn", "dd.rgn").
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name.insert(0, "_");
    return name + "_rgn";
}

std::string FormatRegionAsMasm(const RegionHeader& header, const RegionRects& rects, const std::string& name,
                               const std::string& source) {
    const std::string size = Upper(name) + "_SIZE";
    const std::string indent(name.size(), ' ');
    const std::size_t column = name.size() + 24;
    std::string text;
    AddLine(text, "; " + CommentText(source) + ": region data (RGNDATA) for ExtCreateRegion, made by pellform");
    AddLine(text, "; " + Summary(header, rects));
    AddLine(text, ";");
    AddLine(text, "; Shaping a window with it (MASM):");
    AddLine(text, ";     invoke ExtCreateRegion, NULL, " + size + ", addr " + name);
    AddLine(text, ";     .if eax");
    AddLine(text, ";         invoke SetWindowRgn, hWnd, eax, TRUE   ; the window owns the region from here on");
    AddLine(text, ";     .endif");
    AddLine(text, "");
    AddLine(text, Padded(name + " dd " + Words({header.dwSize}), column) + "; dwSize: size of this header");
    AddLine(text, Padded(indent + " dd " + Words({header.iType}), column) + "; iType: RDH_RECTANGLES");
    AddLine(text, Padded(indent + " dd " + Words({header.nCount}), column) + "; nCount: number of rectangles");
    AddLine(text, Padded(indent + " dd " + Words({header.nRgnSize}), column) + "; nRgnSize: bytes of rectangles");
    AddLine(text, Padded(indent + " dd " + Words(header.rcBound), column) + "; rcBound: left, top, right, bottom");
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const std::string line = indent + " dd " + Words(rects[i]);
        AddLine(text, i == 0 ? Padded(line, column) + "; rectangles: left, top, right, bottom" : line);
    }
    AddLine(text, size + " equ " + std::to_string(BlockSize(rects)));
    return text;
}

std::string FormatRegionAsC(const RegionHeader& header, const RegionRects& rects, const std::string& name,
                            const std::string& source) {
    const std::string size = Upper(name) + "_SIZE";
    const std::string guard = Upper(name) + "_H";
    std::string text;
    AddLine(text, "/* " + CommentText(source) + ": region data (RGNDATA) for ExtCreateRegion, made by pellform.");
    AddLine(text, "   " + Summary(header, rects) + ".");
    AddLine(text, "");
    AddLine(text, "   Shaping a window with it:");
    AddLine(text, "       HRGN region = ExtCreateRegion(NULL, " + size + ", (const RGNDATA *)" + name + ");");
    AddLine(text, "       if (region) SetWindowRgn(hwnd, region, TRUE);   (the window owns the region from here on)");
    AddLine(text, "*/");
    AddLine(text, "#ifndef " + guard);
    AddLine(text, "#define " + guard);
    AddLine(text, "");
    AddLine(text, "#include <windows.h>");
    AddLine(text, "");
    AddLine(text, "#define " + size + " " + std::to_string(BlockSize(rects)));
    AddLine(text, "");
    AddLine(text, "/* 32-bit words, so the block is aligned as RGNDATA wants. */");
    AddLine(text, "static const LONG " + name + "[" + std::to_string(BlockSize(rects) / 4) + "] = {");
    AddLine(text, "    " + Words({header.dwSize, header.iType, header.nCount, header.nRgnSize}) + ",  /* dwSize, iType, nCount, nRgnSize */");
    AddLine(text, "    " + Words(header.rcBound) + ",  /* rcBound: left, top, right, bottom */");
    for (const RegionRect& r : rects) AddLine(text, "    " + Words(r) + ",");
    AddLine(text, "};");
    AddLine(text, "");
    AddLine(text, "#endif");
    return text;
}
