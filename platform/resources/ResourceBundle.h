#pragma once
// The game's resource bundle: every file the game loads by name (tables, strings, pictures,
// sounds, layouts, fonts), found by name and type wherever it sits below the bundle folder.
#include <map>
#include <mutex>
#include <string>
#include <vector>

class ResourceBundle {
public:
    static ResourceBundle& mainBundle();

    // The folder is, in order: setRootDirectory(), $RE_RESOURCE_DIR, <exe dir>/resources,
    // <exe dir>/../share/royal-expedition/resources.
    static void setRootDirectory(const std::string& dir);

    explicit ResourceBundle(std::string root);
    const std::string& rootDirectory() const { return root_; }

    // Full path of "name.type", or "" when there is none. type may be empty when name has it.
    std::string pathForResource(const std::string& name, const std::string& type) const;
    // Whether a picture of this file name exists ("m3.png", "king-1_1@2x.png").
    bool imageExists(const std::string& fileName) const;
    // Every file whose name starts with the prefix (sorted), e.g. all "manga_op" pages.
    std::vector<std::string> resourceNamesWithPrefix(const std::string& prefix) const;

private:
    void index() const;
    std::string root_;
    mutable std::once_flag indexed_;
    mutable std::map<std::string, std::string> files_;  // file name -> full path
};
