#pragma once
// The few system calls the saved-state store makes to write its file durably, behind one small
// interface so that tests can make any of them fail. Every call behaves like the system call of
// the same name: a negative result with errno set on failure.
#include <sys/types.h>

#include <memory>
#include <string>

class StoreFileSystem {
public:
    virtual ~StoreFileSystem() = default;

    virtual int open(const std::string& path, int flags, mode_t mode) = 0;
    virtual ssize_t write(int fd, const void* data, size_t size) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const std::string& from, const std::string& to) = 0;
    virtual int unlink(const std::string& path) = 0;
    // Opens the folder, fsyncs it and closes it, so that a rename inside it is durable.
    virtual int syncDirectory(const std::string& dir) = 0;

    // The real thing, shared.
    static std::shared_ptr<StoreFileSystem> posix();
};

class PosixStoreFileSystem : public StoreFileSystem {
public:
    int open(const std::string& path, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* data, size_t size) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int rename(const std::string& from, const std::string& to) override;
    int unlink(const std::string& path) override;
    int syncDirectory(const std::string& dir) override;
};
