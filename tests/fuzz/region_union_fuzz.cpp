// Any bytes as rectangles in a small range: their union must be exactly the
// banded form of the cells they cover, painted plainly, or refused when that
// has more than the limit's rectangles, in at most
// 12 (n + k + 1)(log2(n + 1) + 4) steps for n given and k made (the limit when
// refused). A byte with its low bit clear starts one rectangle of four bytes
// (left, top, right, bottom: some empty or inverted); with it set, a repeat: a
// count byte c, a first rectangle of four 16-bit fields and a signed step byte
// per field make c + 1 rectangles, kept within 0..512. So a repeat makes the
// tall bands, combs, nested rectangles and staircases that once cost a union
// the product of its parts, and one changed count byte makes them larger.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/region_rects.h"
#include "tests/support/repeated_rects.h"

namespace {

constexpr int kSide = 512;
constexpr std::size_t kMostRects = 8192, kLimit = std::size_t{1} << 14;

RegionRects DecodeRects(const std::uint8_t* data, std::size_t size) {
    RegionRects rects;
    const auto within = [](int v) { return v < 0 ? 0 : v > kSide ? kSide : v; };
    for (std::size_t at = 0; at < size && rects.size() < kMostRects;) {
        const std::uint8_t* p = data + at + 1;
        if (!(data[at] & 1)) {
            if (size - at < 5) break;
            rects.push_back({p[0], p[1], p[2], p[3]});
            at += 5;
            continue;
        }
        if (size - at < 14) break;
        at += 14;
        const auto field = [p](int i) { return (p[1 + 2 * i] | p[2 + 2 * i] << 8) % (kSide + 1); };
        const auto step = [p](int i) { return static_cast<int>(static_cast<std::int8_t>(p[9 + i])); };
        for (const RegionRect& r : RepeatedRects(p[0] + 1, {field(0), field(1), field(2), field(3)},
                                                 {step(0), step(1), step(2), step(3)}))
            rects.push_back({within(r.left), within(r.top), within(r.right), within(r.bottom)});
    }
    return rects;
}

// The cells covered, counted from the corners of each rectangle; then each
// row's runs, a row like the one above extending its band. The last row and
// column are past every rectangle, so every run and band ends.
RegionRects PlainUnion(const RegionRects& rects) {
    std::size_t width = 1, height = 1;
    for (const RegionRect& r : rects)
        if (r.left < r.right && r.top < r.bottom) {
            width = std::max(width, static_cast<std::size_t>(r.right) + 1);
            height = std::max(height, static_cast<std::size_t>(r.bottom) + 1);
        }
    std::vector<int> cells(width * height);
    for (const RegionRect& r : rects) {
        if (r.left >= r.right || r.top >= r.bottom) continue;
        cells[r.top * width + r.left] += 1;
        cells[r.top * width + r.right] -= 1;
        cells[r.bottom * width + r.left] -= 1;
        cells[r.bottom * width + r.right] += 1;
    }
    RegionRects out;
    std::vector<int> above, row;
    int bandTop = 0;
    const auto up = static_cast<std::ptrdiff_t>(width);
    for (std::size_t y = 0; y < height; ++y) {
        row.clear();
        for (std::size_t x = 0; x < width; ++x) {
            int* c = &cells[y * width + x];
            if (x) *c += c[-1];
            if (y) *c += c[-up] - (x ? c[-up - 1] : 0);
            if ((*c > 0) != (x && c[-1] > 0)) row.push_back(static_cast<int>(x));
        }
        if (row == above) continue;
        for (std::size_t i = 0; i < above.size(); i += 2)
            out.push_back({above[i], bandTop, above[i + 1], static_cast<int>(y)});
        above.swap(row);
        bandTop = static_cast<int>(y);
    }
    return out;
}

// Each tenth of the bound passed is a branch of its own, new to the fuzzer:
// inputs that bring a union nearer its bound are kept and grown further.
volatile int reached;
void Climb(double share) {
    if (share > 0.5) reached = 5;
    if (share > 0.6) reached = 6;
    if (share > 0.7) reached = 7;
    if (share > 0.8) reached = 8;
    if (share > 0.9) reached = 9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RegionRects rects = DecodeRects(data, size);
    const RegionRects expected = PlainUnion(rects);
    UnionStats stats;
    RegionRects result;
    bool refused = false;
    try {
        result = UnionOfRects(rects, kLimit, &stats);
    } catch (const RegionTooLarge&) {
        refused = true;
    }
    const double n = static_cast<double>(rects.size());
    const double k = static_cast<double>(refused ? kLimit : result.size());
    const double bound = 12 * (n + k + 1) * (std::log2(n + 1) + 4);
    if (refused != (expected.size() > kLimit) || (!refused && (result != expected || !IsBanded(result)))) {
        std::fprintf(stderr, "union of %zu rectangles: %zu made, %zu expected%s\n", rects.size(), result.size(),
                     expected.size(), refused ? ", refused" : "");
        std::abort();
    }
    Climb(static_cast<double>(stats.steps) / bound);
    if (static_cast<double>(stats.steps) > bound) {
        std::fprintf(stderr, "union of %zu rectangles into %zu: %llu steps, bound %.0f\n", rects.size(),
                     result.size(), static_cast<unsigned long long>(stats.steps), bound);
        std::abort();
    }
    return 0;
}
