#pragma once
// The base address of the game list: the folder holding "index_ios.json" and "icon_ios/".
// Chosen, first found wins, from
//   1. the option --index-url URL,
//   2. the environment variable RE_INDEX_URL,
//   3. "indexUrl" in the player's settings file (PlayerSettings, data folder),
//   4. the game's own folder in its resources (ProductSettings "gameListFolder"), so the list
//      works without a network.
// Each candidate must be an address the HTTP client may fetch; a bad one is skipped with a
// message naming where it came from, and the next one is used. The base always ends with "/".
#include <string>
#include <vector>

class GameIndexAddress {
public:
    static constexpr const char* kEnvironmentVariable = "RE_INDEX_URL";
    static constexpr const char* kSettingsKey = "indexUrl";
    static constexpr const char* kIndexFileName = "index_ios.json";

    // Works the choice out; `warnings` gets a line for every candidate skipped.
    static std::string resolve(const std::string& commandLineValue, const std::string& dataDirectory,
                               std::vector<std::string>* warnings = nullptr);
    // The bundled folder's address ("file:///.../resources/gamelink/"), "" without a bundle.
    static std::string bundledAddress();

    // The address in use (set at start-up; the bundled folder until then).
    static std::string current();
    static void setCurrent(std::string base);

    // base + "index_ios.json"; base + "icon_ios/" + id + ".png" (the id must have been checked).
    static std::string indexAddress(const std::string& base);
    static std::string iconAddress(const std::string& base, const std::string& appId);
};
