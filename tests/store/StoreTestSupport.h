#pragma once
// Shared by the store tests: a scratch folder, a file system that fails on request, hand-made
// property lists, and small file helpers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/TempFolder.h"
#include "platform/foundation/Value.h"
#include "platform/store/SavedStateStore.h"
#include "platform/store/StoreFileSystem.h"

namespace storetest {

// A scratch folder, removed with everything in it afterwards, with the store's file names.
class TempDir : public TempFolder {
public:
    std::string file(const std::string& name) const { return str() + "/" + name; }
    // Names in the folder that start with the prefix.
    std::vector<std::string> entriesStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path()))
            if (entry.path().filename().string().rfind(prefix, 0) == 0) out.push_back(entry.path().filename().string());
        return out;
    }
};

inline std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  static_cast<std::streamsize>(bytes.size()));
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// ---- Hand-made property lists, for inputs no writer would produce.

inline void appendBigEndian(std::vector<uint8_t>& out, uint64_t v, unsigned bytes) {
    for (unsigned i = bytes; i-- > 0;) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A binary property list from raw objects (each one's bytes, references already inside).
inline std::vector<uint8_t> binaryFromObjects(const std::vector<std::vector<uint8_t>>& objects, uint64_t top, unsigned refSize) {
    std::vector<uint8_t> out = bytesOf("bplist00");
    std::vector<uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(out.size());
        out.insert(out.end(), object.begin(), object.end());
    }
    const uint64_t table = out.size();
    for (uint64_t offset : offsets) appendBigEndian(out, offset, 4);
    out.insert(out.end(), {0, 0, 0, 0, 0, 0, 4, static_cast<uint8_t>(refSize)});
    appendBigEndian(out, objects.size(), 8);
    appendBigEndian(out, top, 8);
    appendBigEndian(out, table, 8);
    return out;
}

// Arrays each holding the next one, `levels` deep, in either form.
inline std::vector<uint8_t> binaryChain(size_t levels) {
    std::vector<std::vector<uint8_t>> objects;
    for (size_t i = 0; i + 1 < levels; ++i) {
        objects.push_back({0xA1});
        appendBigEndian(objects.back(), i + 1, 4);
    }
    objects.push_back({0xA0});
    return binaryFromObjects(objects, 0, 4);
}

inline std::vector<uint8_t> xmlChain(size_t levels) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
    for (size_t i = 0; i < levels; ++i) text += "<array>";
    for (size_t i = 0; i < levels; ++i) text += "</array>";
    return bytesOf(text + "\n</plist>\n");
}

// The real file system, with faults on request. Each fault fires on the next matching call.
class FaultyFileSystem : public PosixStoreFileSystem {
public:
    enum class Call { Open, Write, Fsync, Close, Rename, SyncDirectory };

    void failNext(Call call, int error, int times = 1) {
        std::lock_guard lock(mutex_);
        fault_ = call;
        faultErrno_ = error;
        faultTimes_ = times;
    }
    // Every write writes at most this many bytes (0: no limit).
    void limitWritesTo(size_t bytes) { shortWrite_ = bytes; }
    // Writes succeed for this many bytes in all, then fail with ENOSPC (-1: no limit).
    void setDiskSpace(long long bytes) { space_ = bytes; }
    void clearFaults() {
        std::lock_guard lock(mutex_);
        faultTimes_ = 0;
        shortWrite_ = 0;
        space_ = -1;
    }
    int calls(Call call) const { return counts_[static_cast<int>(call)]; }

    int open(const std::string& path, int flags, mode_t mode) override {
        return fires(Call::Open) ? -1 : PosixStoreFileSystem::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (fires(Call::Write)) return -1;
        if (shortWrite_ && size > shortWrite_) size = shortWrite_;
        if (space_ == 0) {
            errno = ENOSPC;
            return -1;
        }
        if (space_ > 0) {
            size = std::min<size_t>(size, static_cast<size_t>(space_));
            space_ -= static_cast<long long>(size);
        }
        return PosixStoreFileSystem::write(fd, data, size);
    }
    int fsync(int fd) override { return fires(Call::Fsync) ? -1 : PosixStoreFileSystem::fsync(fd); }
    int close(int fd) override {
        if (!fires(Call::Close)) return PosixStoreFileSystem::close(fd);
        PosixStoreFileSystem::close(fd);  // as on Linux: the descriptor is gone all the same
        errno = faultErrno_;
        return -1;
    }
    int rename(const std::string& from, const std::string& to) override {
        return fires(Call::Rename) ? -1 : PosixStoreFileSystem::rename(from, to);
    }
    int syncDirectory(const std::string& dir) override {
        return fires(Call::SyncDirectory) ? -1 : PosixStoreFileSystem::syncDirectory(dir);
    }

private:
    bool fires(Call call) {
        std::lock_guard lock(mutex_);
        ++counts_[static_cast<int>(call)];
        if (faultTimes_ <= 0 || fault_ != call) return false;
        --faultTimes_;
        errno = faultErrno_;
        return true;
    }

    std::mutex mutex_;
    Call fault_ = Call::Open;
    int faultErrno_ = 0;
    int faultTimes_ = 0;
    std::atomic<size_t> shortWrite_{0};
    long long space_ = -1;
    std::atomic<int> counts_[6] = {};
};

// A store on a faulty file system in a scratch folder; tests take its parts apart with
// `auto& [dir, path, fs, store] = faulty;`.
struct FaultyStore {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::shared_ptr<FaultyFileSystem> fs = std::make_shared<FaultyFileSystem>();
    SavedStateStore store{path, fs};
};

// Equal and of the same kinds all the way down: Value's == compares numbers by value only.
// The first difference goes to *where.
inline bool sameKinds(const Value& a, const Value& b, std::string* where, const std::string& at = "root") {
    auto differ = [&](const std::string& why) {
        if (where) *where = at + ": " + why + " (" + a.debugDescription() + " vs " + b.debugDescription() + ")";
        return false;
    };
    if (a.type() != b.type()) return differ("type");
    if (a.isUnsigned() != b.isUnsigned()) return differ("unsignedness");
    if (a.isSinglePrecision() != b.isSinglePrecision()) return differ("precision");
    switch (a.type()) {
    case Value::Type::Integer: return a.unsignedValue() == b.unsignedValue() || differ("value");
    case Value::Type::Real:
    case Value::Type::Date:
        return a.doubleValue() == b.doubleValue() || (std::isnan(a.doubleValue()) && std::isnan(b.doubleValue())) ||
               differ("value");
    case Value::Type::Array:
        if (a.count() != b.count()) return differ("count");
        for (size_t i = 0; i < a.count(); ++i)
            if (!sameKinds(a[i], b[i], where, at + "[" + std::to_string(i) + "]")) return false;
        return true;
    case Value::Type::Dictionary:
        if (a.count() != b.count()) return differ("count");
        for (const auto& [key, value] : a.dictionaryValue())
            if (!b.contains(key)) return differ("missing key " + key);
            else if (!sameKinds(value, b[key], where, at + "." + key)) return false;
        return true;
    default: return a == b || differ("value");
    }
}

// sameKinds as a gtest assertion.
inline ::testing::AssertionResult keepsKinds(const Value& expected, const Value& actual) {
    std::string where;
    if (sameKinds(expected, actual, &where)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << where;
}

}  // namespace storetest
