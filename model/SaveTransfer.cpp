#include "model/SaveTransfer.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <functional>
#include <initializer_list>

#include "model/SavedStateKeys.h"
#include "platform/foundation/DataFile.h"
#include "platform/foundation/PropertyList.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/store/DurableFile.h"
#include "platform/store/SaveBackups.h"
#include "platform/store/SavedStateStore.h"
#include "platform/store/StoreFileSystem.h"

#ifndef RE_VERSION
#define RE_VERSION "0"
#endif

namespace {
namespace Keys = SavedStateKeys;
constexpr const char* kApplicationKey = "application";
constexpr const char* kVersionKey = "version";
constexpr const char* kExportedKey = "exported";
constexpr const char* kSavedStateKey = "savedState";

std::atomic<bool> importedThisStart{false};

bool isIntegerOrReal(const Value& v) { return v.isInteger() || v.isReal(); }

// The first of the game's own keys whose value is not of a kind the game writes there, or "".
// Keys the game does not know are carried as they are.
std::string wrongKindIn(const Value::Dictionary& state) {
    const auto any = [&](std::initializer_list<const char*> keys, auto good) -> std::string {
        for (const char* key : keys)
            if (auto it = state.find(key); it != state.end() && !good(it->second)) return key;
        return "";
    };
    std::string wrong = any({Keys::gold, Keys::totalGold, Keys::goldRate, Keys::timeRate, Keys::totalMonster, Keys::currentDungeonId,
                             Keys::timestampStart, Keys::numComeback, Keys::timestampBoss, Keys::timestampPostBonus,
                             Keys::timestampLastReport},
                            [](const Value& v) { return isIntegerOrReal(v) || v.isDate(); });
    if (wrong.empty()) wrong = any({Keys::monsters, Keys::battleLogs}, [](const Value& v) { return v.isArray(); });
    if (wrong.empty())
        wrong = any({Keys::collectionUnlocked, Keys::mapUnlocked, Keys::shopUnlocked, Keys::gkLoginSucceeded, Keys::pushSoundOff,
                     Keys::firstTitleDone, Keys::firstMainDone, Keys::tutorialShown, Keys::firstExplore, Keys::secondExplore,
                     Keys::firstCheck, Keys::exploreTutorial2Shown, Keys::waitTutorialShown, Keys::swipeTutorialShown},
                    [](const Value& v) { return v.isBoolean() || v.isInteger(); });
    if (!wrong.empty()) return wrong;
    // The records ("dungeon_3", "equip_12", ...) are dictionaries.
    for (const auto& [key, value] : state) {
        for (const char* prefix : {"dungeon_", "equip_", "member_", "person_"}) {
            const std::string p = prefix;
            const bool numbered = key.size() > p.size() && key.starts_with(p) &&
                                  std::all_of(key.begin() + long(p.size()), key.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
            if (numbered && !value.isDictionary()) return key;
        }
    }
    return "";
}
}  // namespace

std::string SaveTransfer::version() { return RE_VERSION; }

int SaveTransfer::compareVersions(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        // One dotted part of each, as a number (long parts saturate rather than wrap).
        auto part = [](const std::string& s, size_t& at) {
            unsigned long long n = 0;
            while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at]))) n = std::min(n * 10 + unsigned(s[at++] - '0'), 1ull << 60);
            while (at < s.size() && s[at] != '.') ++at;
            if (at < s.size()) ++at;
            return n;
        };
        const unsigned long long x = part(a, i), y = part(b, j);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

std::string SaveTransfer::message(const Result& result) {
    switch (result.problem) {
        case Problem::None: return "";
        case Problem::NoSave: return NSLocalizedString("ExportNoSave");
        case Problem::Missing: return stringWithFormat(NSLocalizedString("FormatImportMissing"), {Value(result.detail)});
        case Problem::Unreadable: return NSLocalizedString("ImportUnreadable");
        case Problem::OtherGame: return NSLocalizedString("ImportOtherGame");
        case Problem::NewerVersion: return stringWithFormat(NSLocalizedString("FormatImportNewer"), {Value(result.detail)});
        case Problem::WrongKinds: return NSLocalizedString("ImportWrongKinds");
        case Problem::NotWritten: return NSLocalizedString("SaveCopyNotWritten");
    }
    return "";
}

SaveTransfer::Result SaveTransfer::exportTo(const std::string& path, const Value& savedState, double wallTime) {
    const Value document{{kApplicationKey, Value(kApplicationId)},
                         {kVersionKey, Value(version())},
                         {kExportedKey, Value::date(wallTime)},
                         {kSavedStateKey, savedState.isDictionary() ? savedState : Value(Value::Dictionary{})}};
    std::string error;
    const std::vector<uint8_t> bytes = PropertyList::writeXml(document, &error);
    if (bytes.empty() || !DurableFile::write(*StoreFileSystem::posix(), path, bytes, &error)) return {Problem::NotWritten, error};
    return {};
}

SaveTransfer::Result SaveTransfer::readSaveFile(const std::string& dataDirectory, Value* savedState) {
    const std::string path = dataDirectory + "/" + SavedStateStore::fileName;
    if (!DataFile::isRegularFile(path)) return {Problem::NoSave, path};
    std::string error;
    std::optional<Value> state = PropertyList::readFile(path, &error, Value::Type::Dictionary);
    if (!state) return {Problem::Unreadable, error};
    *savedState = std::move(*state);
    return {};
}

std::string SaveTransfer::exportFolder(const std::string& dataDirectory) { return dataDirectory + "/" + kExportFolderName; }

std::string SaveTransfer::newExportPath(const std::string& dataDirectory, double wallTime) {
    const std::string stem = exportFolder(dataDirectory) + "/royal-expedition-" + SaveBackups::localTime(wallTime, "%Y-%m-%d-%H%M%S");
    std::string path = stem + ".plist";
    for (int n = 2; DataFile::exists(path); ++n) path = stem + "-" + std::to_string(n) + ".plist";
    return path;
}

std::vector<std::string> SaveTransfer::listExports(const std::string& dataDirectory, size_t limit) {
    std::vector<std::string> names;
    const std::string folder = exportFolder(dataDirectory);
    for (std::string& name : DataFile::regularFileNames(folder))
        if (name.ends_with(".plist") && name[0] != '.') names.push_back(std::move(name));
    std::sort(names.begin(), names.end(), std::greater<>());
    if (names.size() > limit) names.resize(limit);
    for (std::string& name : names) name = folder + "/" + name;
    return names;
}

SaveTransfer::Result SaveTransfer::check(const std::string& path, Value* savedState) {
    if (!DataFile::exists(path)) return {Problem::Missing, path};
    std::string error;
    // Size, depth and number of values are checked before the file is parsed.
    std::optional<Value> document = PropertyList::readFile(path, &error, Value::Type::Dictionary);
    if (!document) return {Problem::Unreadable, error};
    const Value application = (*document)[kApplicationKey];
    if (!application.isString() || application.stringValue() != kApplicationId) return {Problem::OtherGame, application.stringValue()};
    const Value writer = (*document)[kVersionKey];
    if (!writer.isString() || writer.stringValue().empty()) return {Problem::Unreadable, "no version"};
    // The file's own text goes into the message: only a short piece of it.
    if (compareVersions(writer.stringValue(), version()) > 0) return {Problem::NewerVersion, writer.stringValue().substr(0, 24)};
    const Value state = (*document)[kSavedStateKey];
    if (!state.isDictionary()) return {Problem::Unreadable, "no saved state"};
    if (std::string key = wrongKindIn(state.dictionaryValue()); !key.empty()) return {Problem::WrongKinds, key};
    if (savedState) *savedState = state;
    return {};
}

SaveTransfer::Result SaveTransfer::scheduleImport(const std::string& path, const std::string& dataDirectory) {
    Value state;
    Result result = check(path, &state);
    if (!result.ok()) return result;
    std::string error;
    const std::vector<uint8_t> bytes = PropertyList::writeBinary(state, &error);
    if (bytes.empty() || !DurableFile::write(*StoreFileSystem::posix(), dataDirectory + "/" + kPendingImportName, bytes, &error))
        return {Problem::NotWritten, error};
    return {};
}

bool SaveTransfer::applyPendingImport(const std::string& dataDirectory, double wallTime, std::string* error) {
    const std::string pending = dataDirectory + "/" + kPendingImportName;
    const std::string save = dataDirectory + "/" + SavedStateStore::fileName;
    if (!DataFile::isRegularFile(pending)) return false;
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (!PropertyList::readFile(pending, nullptr, Value::Type::Dictionary)) {
        DataFile::keepAside(pending);
        return fail("the waiting import could not be read; it is kept aside");
    }
    auto& fs = *StoreFileSystem::posix();
    // The save it replaces is kept first: a good one as the day's backup, a damaged one aside.
    const DataFile::Contents current = DataFile::read(save, PropertyList::maxBytes);
    if (current.status == DataFile::Status::Read && PropertyList::read(current.bytes, nullptr, Value::Type::Dictionary)) {
        std::string why;
        if (SaveBackups(dataDirectory).keep(current.bytes, wallTime, true, &why) == SaveBackups::Kept::Failed)
            return fail("the save could not be backed up: " + why);
    } else if (current.status != DataFile::Status::Missing && DurableFile::moveAside(fs, save).empty()) {
        return fail("the damaged save could not be kept aside");
    }
    if (fs.rename(pending, save) != 0) return fail("the import could not take the save's place");
    fs.syncDirectory(dataDirectory);
    importedThisStart = true;
    return true;
}

bool SaveTransfer::importedAtStart() { return importedThisStart; }
