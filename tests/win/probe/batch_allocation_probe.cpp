// The tool's `build --out-dir` run in this process once for every allocation
// it makes, that one allocation failing as in a host out of address space: the
// picture it belonged to fails and the batch goes on, or, before the first
// picture, the command fails as a whole. Exit 0 when every run did so.
// Usage: batch_allocation_probe PICTURE...
#include <windows.h>

#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "tool/pellform_cli.h"

static long allocations = 0;
static long failingAllocation = 0;  // its number in the run; 0 for none

void* operator new(std::size_t size) {
    if (++allocations == failingAllocation) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

// The batch into a fresh folder, allocation `failing` of it failing (0: none);
// how many of the pictures' files it wrote.
int RunBatch(const std::string& folder, std::vector<std::string> words, long failing, int& status, bool& escaped) {
    for (int i = 0; i < 3; ++i) DeleteFileA((folder + "\\p" + std::to_string(i) + ".rgn").c_str());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    escaped = false;
    allocations = 0;
    failingAllocation = failing;
    try {
        status = RunTool(static_cast<int>(words.size()), argv.data());
    } catch (const std::bad_alloc&) {
        escaped = true;
    }
    failingAllocation = 0;
    int written = 0;
    for (int i = 0; i < 3; ++i)
        written += GetFileAttributesA((folder + "\\p" + std::to_string(i) + ".rgn").c_str()) != INVALID_FILE_ATTRIBUTES;
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return std::fputs("usage: batch_allocation_probe PICTURE PICTURE PICTURE\n", stderr), 2;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "pellform_batch_probe";
    CreateDirectoryA(folder.c_str(), nullptr);
    // The pictures under the names p0, p1, p2, so their files are known.
    std::vector<std::string> words = {"pellform", "build", "--out-dir", folder};
    for (int i = 0; i < 3; ++i) {
        const std::string copy = folder + "\\p" + std::to_string(i) + ".src";
        if (!CopyFileA(argv[i + 1], copy.c_str(), FALSE)) return std::fprintf(stderr, "cannot copy %s\n", argv[i + 1]), 2;
        words.push_back(copy);
    }
    // The tool's messages would be thousands of lines; this program reports on a stream of its own.
    FILE* report = _fdopen(_dup(_fileno(stderr)), "w");
    if (!report || !std::freopen("NUL", "w", stdout) || !std::freopen("NUL", "w", stderr)) return 2;
    int status = 0;
    bool escaped = false;
    if (RunBatch(folder, words, 0, status, escaped) != 3 || status != 0 || escaped)
        return std::fputs("the batch fails without a failing allocation\n", report), 1;
    const long total = allocations;
    int wrong = 0;
    for (long failing = 1; failing <= total; ++failing) {
        const int written = RunBatch(folder, words, failing, status, escaped);
        // Escaping the batch is only right before it wrote anything; in it, one picture fails at most.
        const bool right = escaped ? written == 0 : written >= 2 && (written == 3 || status == 1);
        if (!right && wrong++ < 5)
            std::fprintf(report, "allocation %ld of %ld: %d written, status %d%s\n",
                         failing, total, written, status, escaped ? ", escaped the batch" : "");
    }
    std::fprintf(report, "%ld allocations failed one at a time, %d runs wrong\n", total, wrong);
    return wrong ? 1 : 0;
}
