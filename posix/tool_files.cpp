// Region files and the atomic writer on POSIX systems.
#include "platform/tool_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "core/no_throw.h"

namespace {

// A descriptor closed when its owner goes.
class OwnedDescriptor {
public:
    explicit OwnedDescriptor(int descriptor) : descriptor_(descriptor) {}
    OwnedDescriptor(const OwnedDescriptor&) = delete;
    OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;
    OwnedDescriptor(OwnedDescriptor&& other) noexcept : descriptor_(other.descriptor_) { other.descriptor_ = -1; }
    ~OwnedDescriptor() { Close(); }
    int get() const { return descriptor_; }
    explicit operator bool() const { return descriptor_ >= 0; }
    bool Close() {
        const bool closed = descriptor_ < 0 || close(descriptor_) == 0;
        descriptor_ = -1;
        return closed;
    }

private:
    int descriptor_;
};

bool ReadAll(int descriptor, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = read(descriptor, data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got, size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool WriteAll(int descriptor, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = write(descriptor, data, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done, size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool ReadDataFrom(int descriptor, RegionHeader& header, RegionRects& rects) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    return ReadRegionBlock(static_cast<std::uint64_t>(status.st_size),
                           [&](std::uint8_t* data, std::size_t count) { return ReadAll(descriptor, data, count); },
                           header, rects);
}

// A name no one can have planted: random, created only if it does not exist.
OwnedDescriptor CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::random_device device;
    std::mt19937_64 random(device() ^ static_cast<std::uint64_t>(
                                          std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "PF%016llx.tmp", static_cast<unsigned long long>(random()));
        tempPath = folder + name;
        const int descriptor = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0) return OwnedDescriptor(descriptor);
        if (errno != EEXIST) break;
    }
    tempPath.clear();
    return OwnedDescriptor(-1);
}

// The rename reaches the disk with the folder's own entries.
void FlushFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    OwnedDescriptor descriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor) fsync(descriptor.get());
}

}  // namespace

bool ReadRegionData(const NativePath& path, RegionHeader& header, RegionRects& rects) {
    OwnedDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file && ResultOrFailure(false, [&] { return ReadDataFrom(file.get(), header, rects); });
}

bool ReadRegionFile(const NativePath& path, RegionRects& rects) {
    return ReadUnitedRegion([&](RegionHeader& header, RegionRects& stored) { return ReadRegionData(path, header, stored); },
                            rects);
}

bool WriteFileAtomically(const NativePath& path, const void* data, std::size_t size) {
    // A read-only file (no write permission for anyone, as Windows and wine
    // see it) is refused, not replaced.
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && (S_ISDIR(status.st_mode) || !(status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))))
        return false;
    std::string tempPath;
    OwnedDescriptor file = CreateTemporaryBeside(path, tempPath);
    if (!file) return false;
    const bool complete = WriteAll(file.get(), static_cast<const std::uint8_t*>(data), size) &&
                          fsync(file.get()) == 0 && file.Close();
    if (!complete || rename(tempPath.c_str(), path.c_str()) != 0) {
        unlink(tempPath.c_str());
        return false;
    }
    FlushFolderOf(path);
    return true;
}

bool WriteRegionFile(const NativePath& path, const RegionRects& rects) {
    if (rects.size() > kMaxRegionRects) return false;
    return ResultOrFailure(false, [&] {
        const std::vector<std::uint8_t> data = EncodeRegionData(rects);
        return WriteFileAtomically(path, data.data(), data.size());
    });
}
