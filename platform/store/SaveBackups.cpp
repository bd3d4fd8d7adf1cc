#include "platform/store/SaveBackups.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>

#include "platform/foundation/DataFile.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/DurableFile.h"
#include "platform/store/StoreFileSystem.h"

namespace {
constexpr const char* kPrefix = "savedstate-";
constexpr const char* kSuffix = ".plist";
constexpr size_t kDayLength = 10;  // YYYY-MM-DD

// The day of a backup's file name, or "" when the name is not one of ours.
std::string dayOfName(const std::string& name) {
    const std::string prefix = kPrefix, suffix = kSuffix;
    if (name.size() != prefix.size() + kDayLength + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix)) return "";
    const std::string day = name.substr(prefix.size(), kDayLength);
    for (size_t i = 0; i < day.size(); ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? day[i] != '-' : !std::isdigit(static_cast<unsigned char>(day[i]))) return "";
    }
    return day;
}
}  // namespace

SaveBackups::SaveBackups(const std::string& dataDirectory, std::shared_ptr<StoreFileSystem> fileSystem)
    : folder_(dataDirectory + "/" + folderName), fs_(fileSystem ? std::move(fileSystem) : StoreFileSystem::posix()) {}

std::string SaveBackups::localTime(double wallTime, const char* format) {
    const double clamped = std::isfinite(wallTime) ? std::clamp(wallTime, 0.0, 253402300799.0) : 0.0;
    const time_t seconds = static_cast<time_t>(clamped);
    struct tm local {};
    localtime_r(&seconds, &local);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

std::vector<SaveBackups::Backup> SaveBackups::list() const {
    std::vector<Backup> found;
    for (const std::string& name : DataFile::regularFileNames(folder_)) {
        const std::string day = dayOfName(name);
        if (!day.empty()) found.push_back({folder_ + "/" + name, day});
    }
    std::sort(found.begin(), found.end(), [](const Backup& a, const Backup& b) { return a.day > b.day; });
    return found;
}

std::optional<std::pair<SaveBackups::Backup, Value>> SaveBackups::newestGood() const {
    for (const Backup& backup : list()) {
        if (std::optional<Value> values = PropertyList::readFile(backup.path, nullptr, Value::Type::Dictionary))
            return std::make_pair(backup, std::move(*values));
    }
    return std::nullopt;
}

SaveBackups::Kept SaveBackups::keep(const std::vector<uint8_t>& bytes, double wallTime, bool replaceToday, std::string* error) {
    const std::string day = dayOf(wallTime);
    std::vector<Backup> backups = list();
    const bool hasToday = std::any_of(backups.begin(), backups.end(), [&](const Backup& b) { return b.day == day; });
    if (hasToday && !replaceToday) return Kept::AlreadyToday;
    std::string reason;
    const std::string path = folder_ + "/" + kPrefix + day + kSuffix;
    if (!DurableFile::write(*fs_, path, bytes, &reason)) {
        if (error) *error = reason;
        return Kept::Failed;
    }
    if (!hasToday) backups.push_back({path, day});
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) { return a.day > b.day; });
    // Only once the new copy is safe does the oldest go.
    for (size_t i = kKept; i < backups.size(); ++i) fs_->unlink(backups[i].path);
    return Kept::Written;
}
