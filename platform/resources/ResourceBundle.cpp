#include "platform/resources/ResourceBundle.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Made on first use, so the folder can be set from another file's static set-up (tests do)
// without touching a string that is not constructed yet.
std::mutex& overrideMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string& rootOverride() {  // the --resources option
    static std::string dir;
    return dir;
}

bool isFolder(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

fs::path executableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

ResourceBundle& ResourceBundle::mainBundle() {
    static ResourceBundle bundle([] {
        std::lock_guard lock(overrideMutex());
        return rootOverride().empty() ? defaultRootDirectory() : rootOverride();
    }());
    return bundle;
}

void ResourceBundle::setRootDirectory(const std::string& dir) {
    {
        std::lock_guard lock(overrideMutex());
        rootOverride() = dir;
    }
    mainBundle().moveTo(dir.empty() ? defaultRootDirectory() : dir);
}

std::string ResourceBundle::defaultRootDirectory() {
    if (const char* env = std::getenv("RE_RESOURCE_DIR"); env && isFolder(env)) return env;
    fs::path exeDir = executableFolder();
    if (!exeDir.empty()) {
        if (isFolder(exeDir / "resources")) return (exeDir / "resources").string();
        // Installed: <prefix>/bin/royal-expedition finds <prefix>/share/royal-expedition.
        fs::path installed = exeDir / ".." / "share" / "royal-expedition";
        if (isFolder(installed)) return installed.lexically_normal().string();
    }
    return "";
}

ResourceBundle::ResourceBundle(std::string root) : root_(std::move(root)) {}

std::string ResourceBundle::rootDirectory() const {
    std::lock_guard lock(mutex_);
    return root_;
}

void ResourceBundle::moveTo(std::string root) {
    std::lock_guard lock(mutex_);
    root_ = std::move(root);
    indexed_ = false;
    files_.clear();
}

void ResourceBundle::reload() {
    std::lock_guard lock(mutex_);
    indexed_ = false;
    files_.clear();
}

void ResourceBundle::indexLocked() const {
    if (indexed_) return;
    indexed_ = true;
    files_.clear();
    if (!isFolder(root_)) return;

    // Gather every file with its path below the folder, then keep the first of each name in
    // sorted path order, whatever order the file system lists them in.
    std::vector<std::pair<std::string, std::string>> found;  // relative path, file name
    std::error_code ec;
    fs::recursive_directory_iterator it(root_, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        std::string name = p.filename().string();
        if (name.empty() || name[0] == '.') {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        if (it->is_directory(ec)) {
            if (endsWith(name, ".lproj")) it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file(ec)) continue;
        found.emplace_back(p.lexically_relative(root_).generic_string(), name);
    }
    std::sort(found.begin(), found.end());
    const fs::path root(root_);
    for (const auto& [relative, name] : found)
        files_.emplace(name, (root / relative).string());
}

std::string ResourceBundle::pathForResource(const std::string& name, const std::string& type) const {
    std::string ext = type;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::string fileName = ext.empty() ? name : name + "." + ext;
    if (fileName.empty()) return "";

    std::lock_guard lock(mutex_);
    if (fileName.find('/') != std::string::npos) {
        fs::path relative = fs::path(fileName).lexically_normal();
        if (relative.is_absolute() || relative.empty() || *relative.begin() == "..") return "";
        std::error_code ec;
        fs::path full = fs::path(root_) / relative;
        return !root_.empty() && fs::is_regular_file(full, ec) ? full.string() : "";
    }
    indexLocked();
    auto found = files_.find(fileName);
    if (found == files_.end() && !ext.empty() && endsWith(name, "." + ext)) found = files_.find(name);
    return found == files_.end() ? "" : found->second;
}

bool ResourceBundle::imageExists(const std::string& fileName) const {
    if (fileName.empty() || fileName.find('/') != std::string::npos) return false;
    std::lock_guard lock(mutex_);
    indexLocked();
    return files_.count(fileName) > 0;
}

std::vector<std::string> ResourceBundle::resourceNamesWithPrefix(const std::string& prefix) const {
    std::lock_guard lock(mutex_);
    indexLocked();
    std::vector<std::string> names;
    for (auto it = files_.lower_bound(prefix); it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
        names.push_back(it->first);
    return names;
}
