#pragma once
// The files of the data folder, read and written defensively. A file is read only when it is a
// regular file within a size limit: a FIFO, a device or a folder in its place is never waited on
// (it is opened without blocking and looked at before a byte is read). A file that cannot be used
// is kept aside as "<name>.damaged-<unix time>", never overwritten, so the player can still
// recover it. Small files are replaced whole through a temporary file, fsync and rename.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

class DataFile {
public:
    enum class Status { Missing, Read, Unusable };
    struct Contents {
        Status status = Status::Missing;
        std::vector<uint8_t> bytes;
        std::string error;  // why it is unusable
    };
    // Reads a whole regular file of at most maxBytes.
    static Contents read(const std::string& path, size_t maxBytes);

    // Moves a file (or whatever stands in its place) aside without replacing an earlier copy; the
    // new path, or "" when it could not be moved.
    // `syncFolder` (when given) makes the folder durable instead of a plain fsync of it.
    static std::string keepAside(const std::string& path, const std::function<void(const std::string&)>& syncFolder = {});

    // Writes the whole file through "<path>.tmp-<pid>", fsync and rename; false on any failure,
    // with the old file left whole.
    static bool replace(const std::string& path, const std::string& contents, std::string* error = nullptr);

    // Appends one line to a regular file (created when missing); false when it is anything else
    // or cannot be written. Never blocks on a FIFO.
    static bool appendLine(const std::string& path, const std::string& line);

    // Whether anything (a link included, never followed) is at the path.
    static bool exists(const std::string& path);
    // Whether the path is a regular file itself, not a link to one.
    static bool isRegularFile(const std::string& path);
    // The names of the regular files in the folder, in no order; empty when it cannot be read.
    static std::vector<std::string> regularFileNames(const std::string& folder);

    // A new empty folder of our own below the system's temporary folder ("<prefix>-XXXXXX"); ""
    // when none can be made.
    // inMemory: below /dev/shm when the system has it and TMPDIR names no other place, for runs
    // that write often and keep nothing (a simulated game).
    static std::string makeScratchFolder(const std::string& prefix, bool inMemory = false);

    // JSON from a data file: nullopt when the text is not JSON or nests deeper than maxDepth.
    static constexpr int maxJsonDepth = 32;
    static std::optional<nlohmann::json> parseJson(const std::string& text, std::string* error = nullptr,
                                                   int maxDepth = maxJsonDepth);
    // A data file's JSON object: Missing, Read (into *object) or Unusable (the file is kept aside,
    // *keptAs names where).
    static Status readJsonObject(const std::string& path, size_t maxBytes, nlohmann::json* object,
                                 std::string* keptAs = nullptr);

    // Typed fields with defaults: a missing field or one of another kind gives the fallback.
    static double number(const nlohmann::json& object, const char* key, double fallback);
    static int64_t integer(const nlohmann::json& object, const char* key, int64_t fallback);
    static std::optional<std::string> string(const nlohmann::json& object, const char* key);
    static bool boolean(const nlohmann::json& object, const char* key, bool fallback);
};
