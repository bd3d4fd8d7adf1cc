#include "platform/ui/PhotoAlbum.h"

#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/ui/Image.h"

namespace {

constexpr int kMaxNames = 10000;

std::string home() {
    const char* h = std::getenv("HOME");
    return h && *h ? h : "/";
}

// PICTURES from "$XDG_CONFIG_HOME/user-dirs.dirs" (XDG_PICTURES_DIR="$HOME/Pictures"), or "".
std::string userDirsPictures() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string file = (config && *config == '/' ? std::string(config) : home() + "/.config") + "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home() + value.substr(5);
        return value.empty() || value.front() != '/' ? std::string() : value;
    }
    return "";
}

bool syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::string PhotoAlbum::picturesDirectory() {
    if (const char* xdg = std::getenv("XDG_PICTURES_DIR"); xdg && *xdg) return xdg;
    std::string dirs = userDirsPictures();
    return dirs.empty() ? home() + "/Pictures" : dirs;
}

PhotoAlbum::Result PhotoAlbum::saveImage(const Image& image, const std::string& baseName) {
    return saveImageToDirectory(image, baseName, picturesDirectory());
}

PhotoAlbum::Result PhotoAlbum::saveImageToDirectory(const Image& image, const std::string& baseName, const std::string& directory) {
    Result result;
    if (image.isEmpty()) {
        result.error = "no picture to save";
        return result;
    }
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (!std::filesystem::is_directory(directory, ec)) {
        result.error = directory + " is no folder";
        return result;
    }
    const std::string temp = directory + "/.royal-expedition-" + std::to_string(::getpid()) + ".part";
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(image.pixels().data()), image.pixelWidth(),
                                                              image.pixelHeight(), 32, image.pixelWidth() * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        result.error = SDL_GetError();
        return result;
    }
    const bool written = IMG_SavePNG(surface, temp.c_str()) == 0;
    SDL_FreeSurface(surface);
    if (!written || !syncFile(temp)) {
        result.error = "cannot write in " + directory + (written ? std::string(": ") + std::strerror(errno) : ": " + std::string(IMG_GetError()));
        ::unlink(temp.c_str());
        return result;
    }
    // link() gives the file its name only when the name is free: nothing is ever replaced.
    for (int n = 1; n <= kMaxNames; ++n) {
        const std::string path = directory + "/royal-expedition-" + baseName + (n == 1 ? "" : "-" + std::to_string(n)) + ".png";
        if (::link(temp.c_str(), path.c_str()) == 0) {
            ::unlink(temp.c_str());
            const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
            if (dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
            result.saved = true;
            result.path = path;
            return result;
        }
        if (errno != EEXIST) break;
    }
    result.error = "cannot name the picture in " + directory + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return result;
}
