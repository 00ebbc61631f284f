#include "core/region_export.h"

#include <cctype>
#include <cstdio>

namespace {

// Sources for a Windows toolchain: CR LF line ends.
void AddLine(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

std::int32_t WordAt(const std::vector<std::uint8_t>& block, std::size_t index) {
    const std::uint8_t* p = block.data() + index * 4;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

std::string Words(const std::vector<std::uint8_t>& block, std::size_t first, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) text += ", ";
        text += std::to_string(WordAt(block, first + i));
    }
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::size_t RectCount(const std::vector<std::uint8_t>& block) { return (block.size() - 32) / 16; }

std::string Summary(const std::vector<std::uint8_t>& block) {
    return CountOfRectangles(RectCount(block)) + ", bounding box (" + Words(block, 4, 4) + ")";
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

std::string FormatRegionAsMasm(const std::vector<std::uint8_t>& block, const std::string& name,
                               const std::string& source) {
    const std::string size = Upper(name) + "_SIZE";
    const std::string indent(name.size(), ' ');
    const std::size_t column = name.size() + 24;
    std::string text;
    AddLine(text, "; " + CommentText(source) + ": region data (RGNDATA) for ExtCreateRegion, made by pellform");
    AddLine(text, "; " + Summary(block));
    AddLine(text, ";");
    AddLine(text, "; Shaping a window with it (MASM):");
    AddLine(text, ";     invoke ExtCreateRegion, NULL, " + size + ", addr " + name);
    AddLine(text, ";     .if eax");
    AddLine(text, ";         invoke SetWindowRgn, hWnd, eax, TRUE   ; the window owns the region from here on");
    AddLine(text, ";     .endif");
    AddLine(text, "");
    AddLine(text, Padded(name + " dd " + Words(block, 0, 1), column) + "; dwSize: size of this header");
    AddLine(text, Padded(indent + " dd " + Words(block, 1, 1), column) + "; iType: RDH_RECTANGLES");
    AddLine(text, Padded(indent + " dd " + Words(block, 2, 1), column) + "; nCount: number of rectangles");
    AddLine(text, Padded(indent + " dd " + Words(block, 3, 1), column) + "; nRgnSize: bytes of rectangles");
    AddLine(text, Padded(indent + " dd " + Words(block, 4, 4), column) + "; rcBound: left, top, right, bottom");
    const std::size_t count = RectCount(block);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string line = indent + " dd " + Words(block, 8 + 4 * i, 4);
        AddLine(text, i == 0 ? Padded(line, column) + "; rectangles: left, top, right, bottom" : line);
    }
    AddLine(text, size + " equ " + std::to_string(block.size()));
    return text;
}

std::string FormatRegionAsC(const std::vector<std::uint8_t>& block, const std::string& name,
                            const std::string& source) {
    const std::string size = Upper(name) + "_SIZE";
    const std::string guard = Upper(name) + "_H";
    std::string text;
    AddLine(text, "/* " + CommentText(source) + ": region data (RGNDATA) for ExtCreateRegion, made by pellform.");
    AddLine(text, "   " + Summary(block) + ".");
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
    AddLine(text, "#define " + size + " " + std::to_string(block.size()));
    AddLine(text, "");
    AddLine(text, "/* 32-bit words, so the block is aligned as RGNDATA wants. */");
    AddLine(text, "static const LONG " + name + "[" + std::to_string(block.size() / 4) + "] = {");
    AddLine(text, "    " + Words(block, 0, 4) + ",  /* dwSize, iType, nCount, nRgnSize */");
    AddLine(text, "    " + Words(block, 4, 4) + ",  /* rcBound: left, top, right, bottom */");
    const std::size_t count = RectCount(block);
    for (std::size_t i = 0; i < count; ++i) AddLine(text, "    " + Words(block, 8 + 4 * i, 4) + ",");
    AddLine(text, "};");
    AddLine(text, "");
    AddLine(text, "#endif");
    return text;
}
