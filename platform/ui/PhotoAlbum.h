#pragma once
// The desktop's photo album: pictures saved by the player go as PNG files into the pictures
// folder ($XDG_PICTURES_DIR, else the XDG user-dirs file's PICTURES entry, else ~/Pictures),
// created when missing. A picture never replaces a file: "royal-expedition-<name>.png", then
// "-2", "-3", ... for the next free name. The file is written aside, flushed and only then given
// its name, so a failure (no folder, no permission, no space) leaves nothing behind.
#include <memory>
#include <string>

class Image;

class PhotoAlbum {
public:
    struct Result {
        bool saved = false;
        std::string path;   // the file written
        std::string error;  // why it failed, for the log
    };

    // The folder pictures go to.
    static std::string picturesDirectory();
    // Writes the picture (its pixels, at its own size) into the folder. Never throws.
    static Result saveImage(const Image& image, const std::string& baseName);
    static Result saveImageToDirectory(const Image& image, const std::string& baseName, const std::string& directory);
};
