#include "platform/store/DurableFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/foundation/DataFile.h"
#include "platform/store/StoreFileSystem.h"

namespace {
std::string describe(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }
std::atomic<uint64_t> temporarySequence{0};
}  // namespace

namespace DurableFile {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool makeFolders(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::string parent = folderOf(dir);
    if (parent != dir && parent != "." && parent != "/") makeFolders(parent);
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

void removeTemporaryFiles(const std::string& path) {
    const std::string prefix = baseNameOf(path) + ".tmp-";
    const std::string folder = folderOf(path);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) ::unlink((folder + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

std::string moveAside(StoreFileSystem& fs, const std::string& path) {
    return DataFile::keepAside(path, [&fs](const std::string& folder) { fs.syncDirectory(folder); });
}

bool write(StoreFileSystem& fs, const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    const std::string folder = folderOf(path);
    if (!makeFolders(folder)) {
        *error = describe("cannot create the data folder", errno);
        return false;
    }
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(temporarySequence++);
        fd = fs.open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        *error = describe("cannot create a temporary file", errno);
        return false;
    }
    auto abandon = [&](const char* what, int e) {
        if (fd >= 0) fs.close(fd);
        fs.unlink(temporary);
        *error = describe(what, e);
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = fs.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon("write failed", errno);
        }
        if (n == 0) return abandon("write made no progress", EIO);
        done += static_cast<size_t>(n);
    }
    // A failed fsync is never retried on the same file: the next write starts afresh.
    if (fs.fsync(fd) != 0) return abandon("fsync failed", errno);
    int closed = fs.close(fd);
    fd = -1;
    if (closed != 0) return abandon("close failed", errno);
    if (fs.rename(temporary, path) != 0) return abandon("rename failed", errno);
    if (fs.syncDirectory(folder) != 0) {
        *error = describe("folder sync failed", errno);
        return false;
    }
    return true;
}

}  // namespace DurableFile
