#include "platform/foundation/DataFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::atomic<uint64_t> temporarySequence{0};

}  // namespace

DataFile::Contents DataFile::read(const std::string& path, size_t maxBytes) {
    Contents result;
    // Not blocking: opening a FIFO for reading would wait for a writer that never comes.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return result;
        result.status = Status::Unusable;
        result.error = "cannot open " + path + ": " + std::strerror(errno);
        return result;
    }
    result.status = Status::Unusable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = "not a regular file: " + path;
        return result;
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        result.error = "input larger than the limit";
        return result;
    }
    result.bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < result.bytes.size()) {
        ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.error = "cannot read " + path + ": " + std::strerror(errno);
            ::close(fd);
            result.bytes.clear();
            return result;
        }
        if (n == 0) break;  // the file shrank meanwhile
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    result.bytes.resize(done);
    result.status = Status::Read;
    return result;
}

std::string DataFile::keepAside(const std::string& path, const std::function<void(const std::string&)>& syncFolder) {
    const std::string base = path + ".damaged-" + std::to_string(static_cast<long long>(std::time(nullptr)));
    for (int n = 1; n < 1000; ++n) {
        const std::string candidate = n == 1 ? base : base + "-" + std::to_string(n);
        // A hard link never replaces an earlier copy; what cannot be linked gets a checked rename.
        if (::link(path.c_str(), candidate.c_str()) == 0) {
            ::unlink(path.c_str());
        } else if (errno == EEXIST) {
            continue;
        } else {
            struct stat st {};
            if (::lstat(candidate.c_str(), &st) == 0) continue;
            if (::rename(path.c_str(), candidate.c_str()) != 0) return {};
        }
        if (syncFolder) {
            syncFolder(folderOf(path));
        } else if (int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return candidate;
    }
    return {};
}

bool DataFile::replace(const std::string& path, const std::string& contents, std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(temporarySequence++);
    // A new file of our own: whatever stood under that name (a FIFO) is never opened.
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return fail("cannot create a temporary file");
    if (!writeAll(fd, contents.data(), contents.size()) || ::fsync(fd) != 0) {
        int e = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = e;
        return fail("write failed");
    }
    if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(temporary.c_str());
        errno = e;
        return fail("cannot put the file in place");
    }
    return true;
}

bool DataFile::appendLine(const std::string& path, const std::string& line) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && writeAll(fd, line.data(), line.size());
    ::close(fd);
    return ok;
}

std::string DataFile::makeScratchFolder(const std::string& prefix, bool inMemory) {
    const char* tmp = std::getenv("TMPDIR");
    std::error_code ec;
    const bool memory = inMemory && !(tmp && *tmp == '/') && std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
    std::string pattern = std::string(tmp && *tmp == '/' ? tmp : memory ? "/dev/shm" : "/tmp") + "/" + prefix + "-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

std::optional<nlohmann::json> DataFile::parseJson(const std::string& text, std::string* error, int maxDepth) {
    // The nesting is measured before the parser sees the text: the tree it builds is taken apart
    // recursively, so a file of 200,000 brackets must never become one.
    int depth = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) {
                if (error) *error = "nesting too deep";
                return std::nullopt;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    nlohmann::json parsed = nlohmann::json::parse(text, nullptr, false);
    if (parsed.is_discarded()) {
        if (error) *error = "not JSON";
        return std::nullopt;
    }
    return parsed;
}

DataFile::Status DataFile::readJsonObject(const std::string& path, size_t maxBytes, nlohmann::json* object,
                                          std::string* keptAs) {
    Contents contents = read(path, maxBytes);
    if (contents.status == Status::Missing) return Status::Missing;
    if (contents.status == Status::Read) {
        std::optional<nlohmann::json> parsed = parseJson(std::string(contents.bytes.begin(), contents.bytes.end()));
        if (parsed && parsed->is_object()) {
            *object = std::move(*parsed);
            return Status::Read;
        }
    }
    std::string moved = keepAside(path);
    if (keptAs) *keptAs = moved;
    return Status::Unusable;
}

double DataFile::number(const nlohmann::json& object, const char* key, double fallback) {
    if (!object.is_object()) return fallback;
    auto found = object.find(key);
    if (found == object.end() || !found->is_number()) return fallback;
    const double value = found->get<double>();
    return std::isfinite(value) ? value : fallback;
}

int64_t DataFile::integer(const nlohmann::json& object, const char* key, int64_t fallback) {
    if (!object.is_object()) return fallback;
    auto found = object.find(key);
    if (found == object.end() || !found->is_number_integer()) return fallback;
    if (found->is_number_unsigned() && found->get<uint64_t>() > uint64_t(INT64_MAX)) return fallback;
    return found->get<int64_t>();
}

std::optional<std::string> DataFile::string(const nlohmann::json& object, const char* key) {
    if (!object.is_object()) return std::nullopt;
    auto found = object.find(key);
    if (found == object.end() || !found->is_string()) return std::nullopt;
    return found->get<std::string>();
}

bool DataFile::boolean(const nlohmann::json& object, const char* key, bool fallback) {
    if (!object.is_object()) return fallback;
    auto found = object.find(key);
    return found != object.end() && found->is_boolean() ? found->get<bool>() : fallback;
}

bool DataFile::exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool DataFile::isRegularFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> DataFile::regularFileNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && isRegularFile(folder + "/" + name)) names.push_back(name);
    }
    ::closedir(dir);
    return names;
}
