#pragma once
// Writing a small file so that a crash or a power cut leaves either the old or the new contents,
// never a torn mix: a temporary file beside it, fsync, rename over the old one, fsync of the
// folder. Shared by the saved-state store and the store's purchase ledger.
#include <cstdint>
#include <string>
#include <vector>

class StoreFileSystem;

namespace DurableFile {
std::string folderOf(const std::string& path);
std::string baseNameOf(const std::string& path);
// mkdir -p, new folders private to the player.
bool makeFolders(const std::string& dir);
// Replaces the file at path with the bytes; false with the reason when anything failed (the old
// file is then untouched).
bool write(StoreFileSystem& fs, const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
// Removes temporary files a process that died in the middle of a write left beside path.
void removeTemporaryFiles(const std::string& path);
// Keeps a file that cannot be read: renamed to "<path>.damaged-<unix time>" (never over an
// earlier copy). The new name, or "" when it could not be moved.
std::string moveAside(StoreFileSystem& fs, const std::string& path);
}  // namespace DurableFile
