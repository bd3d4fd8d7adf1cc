#pragma once
// The game's resource bundle: every file the game loads by name (tables, strings, pictures,
// sounds, layouts, fonts), found by name and type wherever it sits below the bundle folder.
// Subfolders only organise: file names are unique. Should two files share a name, the one whose
// path below the folder sorts first wins. Localized folders ("<lang>.lproj") are not in the flat
// index; LocalizedStrings reads them. Hidden files (".name") are skipped. Thread-safe.
#include <map>
#include <mutex>
#include <string>
#include <vector>

class ResourceBundle {
public:
    static ResourceBundle& mainBundle();

    // The --resources option: the main bundle moves to this folder (and reads it afresh).
    // An empty text goes back to the search below.
    static void setRootDirectory(const std::string& dir);
    // The folder the main bundle uses when none was set: $RE_RESOURCE_DIR, <exe dir>/resources
    // (the build), <exe dir>/../share/royal-expedition (installed), the first of them that is a
    // folder; "" when none is.
    static std::string defaultRootDirectory();

    explicit ResourceBundle(std::string root);
    ResourceBundle(const ResourceBundle&) = delete;
    ResourceBundle& operator=(const ResourceBundle&) = delete;

    std::string rootDirectory() const;

    // Full path of "name.type", or "" when there is none. type may be empty when name has it,
    // and may be given with its dot (".plist"). A name with a '/' is a path below the folder.
    std::string pathForResource(const std::string& name, const std::string& type) const;
    // Whether a picture of this file name exists ("m3.png", "king-1_1@2x.png").
    bool imageExists(const std::string& fileName) const;
    // Every file name that starts with the prefix, sorted, e.g. all "manga_op" pages.
    std::vector<std::string> resourceNamesWithPrefix(const std::string& prefix) const;
    // Reads the folder again (files added or removed since).
    void reload();

private:
    void moveTo(std::string root);
    void indexLocked() const;

    mutable std::mutex mutex_;
    std::string root_;
    mutable bool indexed_ = false;
    mutable std::map<std::string, std::string> files_;  // file name -> full path
};
