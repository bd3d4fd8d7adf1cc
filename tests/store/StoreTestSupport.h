#pragma once
// Shared by the store tests: a scratch folder, a file system that fails on request, hand-made
// property lists, and a kind-exact comparison of values.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <sstream>

#include "platform/TempFolder.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"
#include "platform/store/StoreFileSystem.h"

class TempDir : public TempFolder {
public:
    std::string file(const std::string& name) const { return str() + "/" + name; }
    long entriesStartingWith(const std::string& prefix) const {
        return std::count_if(std::filesystem::directory_iterator(path()), {},
                             [&](const auto& entry) { return entry.path().filename().string().rfind(prefix, 0) == 0; });
    }
};

inline std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
using std::filesystem::exists;
inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  static_cast<std::streamsize>(bytes.size()));
}

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
    for (uint64_t v : {uint64_t(objects.size()), top, table}) appendBigEndian(out, v, 8);
    return out;
}

// Arrays each holding the next one, `levels` deep, in either form.
inline std::vector<uint8_t> binaryChain(size_t levels) {
    std::vector<std::vector<uint8_t>> objects(levels - 1, {0xA1});
    for (size_t i = 0; i + 1 < levels; ++i) appendBigEndian(objects[i], i + 1, 4);
    objects.push_back({0xA0});
    return binaryFromObjects(objects, 0, 4);
}
inline std::vector<uint8_t> xmlChain(size_t levels) {
    std::string open, close;
    for (size_t i = 0; i < levels; ++i) open += "<array>", close += "</array>";
    return bytesOf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + open + close + "\n</plist>\n");
}

// The real file system, with faults on request: each fault fires on the next matching call.
class FaultyFileSystem : public PosixStoreFileSystem {
public:
    enum class Call { Open, Write, Fsync, Close, Rename, SyncDirectory };

    void failNext(Call call, int error, int times = 1) {
        std::lock_guard lock(mutex_);
        fault_ = call, faultErrno_ = error, faultTimes_ = times;
    }
    void limitWritesTo(size_t bytes) { shortWrite_ = bytes; }  // every write writes at most this much
    void setDiskSpace(long long bytes) { space_ = bytes; }     // then writes fail with ENOSPC
    void clearFaults() {
        std::lock_guard lock(mutex_);
        faultTimes_ = 0, shortWrite_ = 0, space_ = -1;
    }
    int calls(Call call) const { return counts_[static_cast<int>(call)]; }

    int open(const std::string& path, int flags, mode_t mode) override {
        return fires(Call::Open) ? -1 : PosixStoreFileSystem::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (fires(Call::Write)) return -1;
        if (shortWrite_ && size > shortWrite_) size = shortWrite_;
        if (space_ == 0) return errno = ENOSPC, -1;
        if (space_ > 0) size = std::min<size_t>(size, static_cast<size_t>(space_)), space_ -= static_cast<long long>(size);
        return PosixStoreFileSystem::write(fd, data, size);
    }
    int fsync(int fd) override { return fires(Call::Fsync) ? -1 : PosixStoreFileSystem::fsync(fd); }
    int close(int fd) override {
        if (!fires(Call::Close)) return PosixStoreFileSystem::close(fd);
        PosixStoreFileSystem::close(fd);  // as on Linux: the descriptor is gone all the same
        return errno = faultErrno_, -1;
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
    int faultErrno_ = 0, faultTimes_ = 0;
    std::atomic<size_t> shortWrite_{0};
    long long space_ = -1;
    std::atomic<int> counts_[6] = {};
};

// A store on a faulty file system; tests take it apart with `auto& [dir, path, fs, store] = faulty;`.
struct FaultyStore {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::shared_ptr<FaultyFileSystem> fs = std::make_shared<FaultyFileSystem>();
    SavedStateStore store{path, fs};
};

// One line per value, with its path, kind, signedness, precision and exact contents: two values
// print the same only when equal and of the same kinds all the way down (Value's == compares
// numbers by value only).
inline std::string kindsOf(const Value& v, const std::string& at = "root") {
    char text[40];
    std::snprintf(text, sizeof text, "%a", v.doubleValue() + 0.0);  // -0 reads as 0, as == has it
    std::string s = at + " kind " + std::to_string(static_cast<int>(v.type())) + (v.isUnsigned() ? " unsigned " : " ") +
                    (v.isSinglePrecision() ? "single " : "") + (v.isReal() || v.isDate() ? text : "");
    if (v.isData())
        for (uint8_t c : v.dataValue()) std::snprintf(text, sizeof text, "%02x", c), s += text;
    if (!v.isReal() && !v.isDate() && !v.isData() && !v.isArray() && !v.isDictionary()) s += v.debugDescription();
    s += "\n";
    for (size_t i = 0; v.isArray() && i < v.count(); ++i) s += kindsOf(v[i], at + "[" + std::to_string(i) + "]");
    if (v.isDictionary())
        for (const auto& [key, value] : v.dictionaryValue()) s += kindsOf(value, at + "." + key);
    return s;
}
inline ::testing::AssertionResult keepsKinds(const Value& expected, const Value& actual) {
    std::istringstream a(kindsOf(expected)), b(kindsOf(actual));
    for (std::string x, y; bool(std::getline(a, x)) | bool(std::getline(b, y));)
        if (x != y) return ::testing::AssertionFailure() << "expected " << x << "\n  actual " << y;
    return ::testing::AssertionSuccess();
}
