#pragma once
// PlayerSettings: the player's own settings file in the data folder ("settings.json", a JSON
// object), apart from the saved game. Keys are read with a fallback; keys this version does not
// know are kept as they are when the file is written again. A missing, unreadable or corrupt
// file reads as empty (and `problem()` says why); a key of the wrong kind reads as its fallback.
//
// Keys in use: "indexUrl" (text: the base address of the game list, see GameIndexAddress).
#include <string>

#include <nlohmann/json.hpp>

class PlayerSettings {
public:
    static constexpr const char* kFileName = "settings.json";

    // The settings of a data folder ("" gives empty settings kept in memory only).
    static PlayerSettings loadFromDataDirectory(const std::string& dataDirectory);
    static PlayerSettings load(const std::string& path);

    std::string stringForKey(const std::string& key, const std::string& fallback = "") const;
    bool boolForKey(const std::string& key, bool fallback) const;
    void setString(const std::string& key, const std::string& value);
    void setBool(const std::string& key, bool value);
    void removeKey(const std::string& key);

    // Writes the file whole (a temporary file renamed over it); false when it cannot be written.
    // A file that could not be read is not overwritten (nothing of it is lost): false.
    bool save() const;
    const std::string& path() const { return path_; }
    // Why the file read as empty ("" when it was fine or absent).
    const std::string& problem() const { return problem_; }

private:
    std::string path_;
    nlohmann::json values_ = nlohmann::json::object();
    std::string problem_;
};
