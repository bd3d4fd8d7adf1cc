#pragma once
// Shared by the store tests: a scratch folder, a file system that fails on request, and small
// file helpers.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "platform/store/StoreFileSystem.h"

namespace storetest {

// A fresh folder under the system temp folder, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "re-store-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        char* made = ::mkdtemp(buf.data());
        path_ = made ? made : "";
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Names in the folder that start with the prefix.
    std::vector<std::string> entriesStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) == 0) out.push_back(name);
        }
        return out;
    }

private:
    std::string path_;
};

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::string& path, const std::string& text) {
    writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
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
        if (fires(Call::Open)) return -1;
        return PosixStoreFileSystem::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (fires(Call::Write)) return -1;
        if (shortWrite_ && size > shortWrite_) size = shortWrite_;
        if (space_ >= 0) {
            if (space_ == 0) {
                errno = ENOSPC;
                return -1;
            }
            if (static_cast<long long>(size) > space_) size = static_cast<size_t>(space_);
            space_ -= static_cast<long long>(size);
        }
        return PosixStoreFileSystem::write(fd, data, size);
    }
    int fsync(int fd) override {
        if (fires(Call::Fsync)) return -1;
        return PosixStoreFileSystem::fsync(fd);
    }
    int close(int fd) override {
        if (fires(Call::Close)) {
            PosixStoreFileSystem::close(fd);  // as on Linux: the descriptor is gone all the same
            errno = faultErrno_;
            return -1;
        }
        return PosixStoreFileSystem::close(fd);
    }
    int rename(const std::string& from, const std::string& to) override {
        if (fires(Call::Rename)) return -1;
        return PosixStoreFileSystem::rename(from, to);
    }
    int syncDirectory(const std::string& dir) override {
        if (fires(Call::SyncDirectory)) return -1;
        return PosixStoreFileSystem::syncDirectory(dir);
    }

private:
    bool fires(Call call) {
        std::lock_guard lock(mutex_);
        ++counts_[static_cast<int>(call)];
        if (faultTimes_ > 0 && fault_ == call) {
            --faultTimes_;
            errno = faultErrno_;
            return true;
        }
        return false;
    }

    std::mutex mutex_;
    Call fault_ = Call::Open;
    int faultErrno_ = 0;
    int faultTimes_ = 0;
    std::atomic<size_t> shortWrite_{0};
    long long space_ = -1;
    std::atomic<int> counts_[6] = {};
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
    case Value::Type::Integer:
        if (a.unsignedValue() != b.unsignedValue()) return differ("value");
        return true;
    case Value::Type::Real:
    case Value::Type::Date:
        if (!(a.doubleValue() == b.doubleValue()) && !(a.doubleValue() != a.doubleValue() && b.doubleValue() != b.doubleValue()))
            return differ("value");
        return true;
    case Value::Type::Array:
        if (a.count() != b.count()) return differ("count");
        for (size_t i = 0; i < a.count(); ++i)
            if (!sameKinds(a[i], b[i], where, at + "[" + std::to_string(i) + "]")) return false;
        return true;
    case Value::Type::Dictionary:
        if (a.count() != b.count()) return differ("count");
        for (const auto& [key, value] : a.dictionaryValue()) {
            if (!b.contains(key)) return differ("missing key " + key);
            if (!sameKinds(value, b[key], where, at + "." + key)) return false;
        }
        return true;
    default:
        return a == b ? true : differ("value");
    }
}

}  // namespace storetest
