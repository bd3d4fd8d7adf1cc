#pragma once
// Carrying a saved game out of the data folder and back in.
//
// An export is a readable XML property list: a dictionary with
//   application  "com.example.royalexpedition"
//   version      the version of the game that wrote it ("1.0.0")
//   exported     when
//   savedState   every key of the saved state
// An import is checked whole before anything changes: the property-list limits (size, depth,
// values), the header (our game, a version no newer than this one) and the kinds of the game's
// own keys. A good one waits in the data folder as "savedstate-import.plist" and takes the save's
// place at the next start, before the store reads it; the save it replaces is kept first as that
// day's backup. The running game never writes that file, so nothing it saves meanwhile can undo
// the import.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class SaveTransfer {
public:
    static constexpr const char* kApplicationId = "com.example.royalexpedition";
    static constexpr const char* kPendingImportName = "savedstate-import.plist";
    static constexpr const char* kExportFolderName = "exports";

    // The version of this game, as exports carry it.
    static std::string version();
    // -1, 0 or 1 as a is older than, the same as or newer than b ("1.10" is newer than "1.9";
    // missing parts count as 0, anything but digits ends a part).
    static int compareVersions(const std::string& a, const std::string& b);

    enum class Problem { None, NoSave, Missing, Unreadable, OtherGame, NewerVersion, WrongKinds, NotWritten };
    struct Result {
        Problem problem = Problem::None;
        std::string detail;  // the file's version for NewerVersion, its name for Missing, else why
        bool ok() const { return problem == Problem::None; }
    };
    // The player's words for a problem (a key of the string tables, with the version as its
    // argument for NewerVersion), filled in.
    static std::string message(const Result& result);

    // Writes the saved state to path as an export.
    static Result exportTo(const std::string& path, const Value& savedState, double wallTime);
    // The saved game as its file holds it, for an export from the command line: the file is only
    // read, never kept aside or changed.
    static Result readSaveFile(const std::string& dataDirectory, Value* savedState);

    // The data folder's "exports/", where the game writes its exports and looks for imports.
    static std::string exportFolder(const std::string& dataDirectory);
    // A new dated path there ("royal-expedition-2026-12-07-221500.plist"), never an existing file.
    static std::string newExportPath(const std::string& dataDirectory, double wallTime);
    // The files there, newest first by name, at most `limit`.
    static std::vector<std::string> listExports(const std::string& dataDirectory, size_t limit);

    // Checks an export; when good, *savedState holds its saved state.
    static Result check(const std::string& path, Value* savedState);
    // Checks the file and, when good, leaves it for the next start.
    static Result scheduleImport(const std::string& path, const std::string& dataDirectory);
    // At start, before the store reads its file: a waiting import takes the save's place. True
    // when one did (importedAtStart() says so from then on).
    static bool applyPendingImport(const std::string& dataDirectory, double wallTime, std::string* error = nullptr);
    static bool importedAtStart();
};
