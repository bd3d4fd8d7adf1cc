#pragma once
// SoundSettings: the player's own sound choices (music volume, effect volume, mute), kept in a
// small JSON file of their own, apart from the saved game. A missing, unreadable or corrupt
// file gives the defaults; a field of the wrong kind gives that field's default.
#include <string>

struct SoundSettings {
    float musicVolume = 1.0f;
    float effectVolume = 1.0f;
    bool muted = false;

    static SoundSettings load(const std::string& path);
    // Writes the file whole (through a temporary file, so a crash never leaves half a file);
    // false when it can't be written. An empty path keeps the settings in memory only.
    bool save(const std::string& path) const;
};
