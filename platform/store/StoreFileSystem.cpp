#include "platform/store/StoreFileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

std::shared_ptr<StoreFileSystem> StoreFileSystem::posix() {
    static const std::shared_ptr<StoreFileSystem> shared = std::make_shared<PosixStoreFileSystem>();
    return shared;
}

int PosixStoreFileSystem::open(const std::string& path, int flags, mode_t mode) {
    return ::open(path.c_str(), flags, mode);
}

ssize_t PosixStoreFileSystem::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int PosixStoreFileSystem::fsync(int fd) { return ::fsync(fd); }
int PosixStoreFileSystem::close(int fd) { return ::close(fd); }
int PosixStoreFileSystem::rename(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()); }
int PosixStoreFileSystem::unlink(const std::string& path) { return ::unlink(path.c_str()); }

int PosixStoreFileSystem::syncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    int result = ::fsync(fd);
    int saved = errno;
    // Some file systems cannot sync a folder at all; nothing more can be done there.
    if (result != 0 && (saved == EINVAL || saved == ENOTSUP)) result = 0;
    ::close(fd);
    errno = saved;
    return result;
}
