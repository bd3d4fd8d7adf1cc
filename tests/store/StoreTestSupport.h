#pragma once
// Shared by the store tests: a scratch folder, a file system that fails on request, a kind-exact print of values.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/TempFolder.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"
#include "platform/store/StoreFileSystem.h"

struct TempDir : TempFolder {
    std::string file(const std::string& name) const { return str() + "/" + name; }
    long entriesStartingWith(const std::string& prefix) const {
        return std::count_if(std::filesystem::directory_iterator(path()), {},
                             [&](const auto& entry) { return entry.path().filename().string().starts_with(prefix); });
    }
};

inline std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The real file system, with faults on request.
class FaultyFileSystem : public PosixStoreFileSystem {
public:
    enum class Call { Open, Write, Fsync, Close, Rename, SyncDirectory };
    void failNext(Call call, int error, int times = 1, int after = 0) {  // `times` calls fail after `after` good ones
        faultErrno = error, faultTimes = times, faultAfter = after, fault = static_cast<int>(call);
    }
    std::atomic<size_t> writeLimit{0};  // every write writes at most this much (0: any)
    int calls(Call call) const { return counts[static_cast<int>(call)]; }

    int open(const std::string& p, int flags, mode_t m) override { return fires(Call::Open) ? -1 : PosixStoreFileSystem::open(p, flags, m); }
    ssize_t write(int fd, const void* data, size_t size) override {
        return fires(Call::Write) ? -1 : PosixStoreFileSystem::write(fd, data, writeLimit ? std::min<size_t>(size, writeLimit) : size);
    }
    int fsync(int fd) override { return fires(Call::Fsync) ? -1 : PosixStoreFileSystem::fsync(fd); }
    int close(int fd) override {  // as on Linux, the descriptor is gone even when close fails
        return fires(Call::Close) ? (PosixStoreFileSystem::close(fd), errno = faultErrno, -1) : PosixStoreFileSystem::close(fd);
    }
    int rename(const std::string& a, const std::string& b) override { return fires(Call::Rename) ? -1 : PosixStoreFileSystem::rename(a, b); }
    int syncDirectory(const std::string& dir) override { return fires(Call::SyncDirectory) ? -1 : PosixStoreFileSystem::syncDirectory(dir); }

private:
    bool fires(Call call) {
        ++counts[static_cast<int>(call)];
        return fault == static_cast<int>(call) && faultAfter-- <= 0 && faultTimes-- > 0 && (errno = faultErrno, true);
    }
    std::atomic<int> fault{-1}, faultErrno{0}, faultTimes{0}, faultAfter{0}, counts[6] = {};
};

// A store on a faulty file system; tests take it apart with `auto& [dir, path, fs, store] = faulty;`.
struct FaultyStore {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::shared_ptr<FaultyFileSystem> fs = std::make_shared<FaultyFileSystem>();
    SavedStateStore store{path, fs};
};

// One line per value with its path, kind, signedness, precision and exact contents: two values
// print the same only when equal and of the same kinds all the way down (== compares numbers only).
inline std::string kindsOf(const Value& v, const std::string& at = "root") {
    char real[40];
    std::snprintf(real, sizeof real, "%a", v.doubleValue() + 0.0);  // -0 reads as 0, as == has it
    std::string s = "\n" + at + " kind " + std::to_string(static_cast<int>(v.type())) + (v.isUnsigned() ? " unsigned " : " ") +
                    (v.isSinglePrecision() ? "single " : "") +
                    (v.isReal() || v.isDate() ? real : v.isArray() || v.isDictionary() ? "" : v.debugDescription());
    for (uint8_t c : v.dataValue()) s += " " + std::to_string(c);
    for (size_t i = 0; v.isArray() && i < v.count(); ++i) s += kindsOf(v[i], at + "[" + std::to_string(i) + "]");
    for (const auto& [key, value] : v.dictionaryValue()) s += kindsOf(value, at + "." + key);
    return s;
}
