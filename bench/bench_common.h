// What every benchmark line shares: both sides do the same work the same
// number of times, their outputs are compared byte for byte before a figure is
// printed, and a side that cannot finish is timed on a part of the work and
// carried on to the whole, labelled, with the measured part shown beside it.
#ifndef PELLFORM_BENCH_COMMON_H
#define PELLFORM_BENCH_COMMON_H

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/region_data.h"
#include "platform/region_gdi.h"

namespace bench {

inline double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Best(std::vector<double> ms) { return *std::min_element(ms.begin(), ms.end()); }

inline double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    return n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
}

// A region's data as a region file holds it, to compare regions by; empty for none.
inline std::vector<BYTE> RegionBytes(HRGN region) {
    RegionRects rects;
    if (!region || !FetchRegionRects(region, rects)) return {};
    return EncodeRegionData(rects);
}

// One side's work on the first `part` units of the whole (rows of a picture,
// rectangles of a file, rows of a list); sets the time it took and returns
// what it made, for the comparison.
using Work = std::function<std::vector<BYTE>(std::size_t part, double& ms)>;

struct Timing {
    std::vector<double> ms;       // the runs, on the whole or on `part`
    std::size_t part = 0;         // units timed
    std::size_t whole = 0;
    double exponent = 0;          // growth used to carry a part on to the whole
    double measuredExponent = 0;  // growth measured between the last two parts
    std::vector<BYTE> output;     // of the last run
    bool Extrapolated() const { return part < whole; }
    // The figure for the whole: measured, or carried on with the growth measured.
    double WholeMs(double partMs) const {
        return Extrapolated() ? partMs * std::pow(static_cast<double>(whole) / static_cast<double>(part), exponent)
                              : partMs;
    }
    double BestMs() const { return WholeMs(Best(ms)); }
    double MedianMs() const { return WholeMs(Median(ms)); }
};

// Runs `work` on the whole `runs` times, unless the time one run would take,
// judged by doubling parts from `firstPart` (a sixteenth if 0), passes
// `budgetMs` for all runs: then the runs are made on the largest part that
// fits, and carried on with the growth measured, or at most `maxExponent`
// where that is the least a baseline can cost (1: each unit costs at least as
// much as the first ones did).
inline Timing Measure(const Work& work, std::size_t whole, int runs, double budgetMs, std::size_t firstPart = 0,
                      double maxExponent = 0) {
    Timing timing;
    timing.whole = whole;
    std::size_t part = std::max<std::size_t>(1, std::min(whole, firstPart ? firstPart : whole / 16));
    std::size_t previousPart = 0;
    double ms = 0, previousMs = 0;
    std::vector<BYTE> output = work(part, ms);
    while (part < whole) {
        const double growth = previousMs > 0 ? std::max(2.0, ms / previousMs) : 4.0;
        // Within an eighth of the whole, the next step is the whole.
        const std::size_t next = part * 2 + part / 4 >= whole ? whole : part * 2;
        const double nextMs = ms * growth * static_cast<double>(next) / static_cast<double>(part * 2);
        if (nextMs * runs > budgetMs) {
            // The growth between the last two parts carries the figure on; with
            // only one part timed, half of it is timed for that.
            if (previousMs <= 0 && part >= 4) {
                previousPart = part / 4;
                work(previousPart, previousMs);
            }
            timing.measuredExponent =
                previousMs > 0 ? std::log(std::max(1.0, ms / previousMs)) /
                                     std::log(static_cast<double>(part) / static_cast<double>(previousPart))
                               : 1.0;
            timing.exponent = maxExponent > 0 ? std::min(maxExponent, timing.measuredExponent) : timing.measuredExponent;
            break;
        }
        previousMs = ms;
        previousPart = part;
        part = next;
        output = work(part, ms);
    }
    timing.part = part;
    timing.ms.push_back(ms);
    for (int i = 1; i < runs; ++i) {
        output = work(part, ms);
        timing.ms.push_back(ms);
    }
    timing.output = std::move(output);
    return timing;
}

// Runs `work` on exactly `part` units `runs` times.
inline Timing MeasureOn(const Work& work, std::size_t part, std::size_t whole, int runs) {
    Timing timing;
    timing.whole = whole;
    timing.part = part;
    for (int i = 0; i < runs; ++i) {
        double ms = 0;
        timing.output = work(part, ms);
        timing.ms.push_back(ms);
    }
    return timing;
}

inline std::string Describe(const Timing& t) {
    char text[256];
    if (t.Extrapolated())
        std::snprintf(text, sizeof text,
                      "best %.1f ms, median %.1f ms (carried on as n^%.2f: measured %zu of %zu, best %.1f ms, median %.1f ms, growth seen n^%.2f)",
                      t.BestMs(), t.MedianMs(), t.exponent, t.part, t.whole, Best(t.ms), Median(t.ms), t.measuredExponent);
    else
        std::snprintf(text, sizeof text, "best %.1f ms, median %.1f ms", t.BestMs(), t.MedianMs());
    return text;
}

// The line of one comparison: ours against a baseline, the same work, with
// equality checked on whatever both sides ran. The ratio is median over median.
// Returns false when the outputs differ (nothing is then printed but that).
inline bool Compare(const std::string& name, const Work& ours, const Work& theirs, std::size_t whole, int runs,
                    double budgetMs, double* ratio, const Timing* oursDone = nullptr) {
    const Timing them = Measure(theirs, whole, runs, budgetMs);
    const Timing us = oursDone ? *oursDone : MeasureOn(ours, whole, whole, runs);
    std::vector<BYTE> oursOnPart = us.output;
    if (them.Extrapolated()) {
        double ignored = 0;
        oursOnPart = ours(them.part, ignored);
    }
    if (oursOnPart != them.output || oursOnPart.empty()) {
        std::printf("%s: OUTPUTS DIFFER (%zu against %zu bytes on %zu of %zu)\n", name.c_str(), oursOnPart.size(),
                    them.output.size(), them.part, whole);
        std::fflush(stdout);
        *ratio = 0;
        return false;
    }
    *ratio = them.MedianMs() / us.MedianMs();
    std::printf("%s, %d runs each, outputs equal%s:\n    ours %s\n    baseline %s\n    ratio %.1f\n", name.c_str(), runs,
                them.Extrapolated() ? " on the measured part" : "", Describe(us).c_str(), Describe(them).c_str(), *ratio);
    std::fflush(stdout);
    return true;
}

// One row of the closing table: "target: NAME | MEASURED | TARGET | met".
inline void TargetRow(const std::string& name, const std::string& measured, const std::string& target, bool met) {
    std::printf("target: %s | %s | %s | %s\n", name.c_str(), measured.c_str(), target.c_str(), met ? "met" : "MISSED");
    std::fflush(stdout);
}

inline void RatioRow(const std::string& name, double ratio, double atLeast) {
    char measured[32], target[32];
    std::snprintf(measured, sizeof measured, "%.1fx", ratio);
    std::snprintf(target, sizeof target, ">= %gx", atLeast);
    TargetRow(name, measured, target, ratio >= atLeast);
}

}  // namespace bench

#endif
