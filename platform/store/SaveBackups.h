#pragma once
// The last good saves, kept in "backups/" of the data folder as "savedstate-YYYY-MM-DD.plist"
// (the local date of the wall clock given): at most one a day, the newest kKept days kept, older
// ones removed. Each is written whole (temporary file, fsync, rename), so a cut leaves the old
// copy or the new one.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class StoreFileSystem;

class SaveBackups {
public:
    static constexpr size_t kKept = 5;
    static constexpr const char* folderName = "backups";

    struct Backup {
        std::string path;
        std::string day;  // "YYYY-MM-DD"
    };

    explicit SaveBackups(const std::string& dataDirectory, std::shared_ptr<StoreFileSystem> fileSystem = nullptr);

    const std::string& folder() const { return folder_; }
    // The backups on disk, newest day first: regular files named as above, nothing else.
    std::vector<Backup> list() const;
    // The newest backup that reads as a saved state (a dictionary within the property-list
    // limits), with its values; nothing when none does.
    std::optional<std::pair<Backup, Value>> newestGood() const;

    enum class Kept { Written, AlreadyToday, Failed };
    // Keeps the bytes as the backup of wallTime's day, when that day has none yet (or always,
    // replacing it, with replaceToday); then removes the oldest beyond kKept.
    Kept keep(const std::vector<uint8_t>& bytes, double wallTime, bool replaceToday, std::string* error = nullptr);

    // The local date of a wall-clock time, "YYYY-MM-DD".
    static std::string dayOf(double wallTime) { return localTime(wallTime, "%Y-%m-%d"); }
    // A wall-clock time in local time through strftime's format; times no calendar holds are read
    // as the nearest one it does.
    static std::string localTime(double wallTime, const char* format);

private:
    std::string folder_;
    std::shared_ptr<StoreFileSystem> fs_;
};
