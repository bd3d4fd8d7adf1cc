#pragma once
// Pieces shared by the test programs' set-ups: temporary folders, property lists written into a
// resource bundle, the build's pictures and string tables linked into a temporary bundle, the
// saved-state store, the model's and screens' singletons torn down between tests, and a manual
// clock with a seeded random source.
// Header only: every .cpp under tests/<folder>/ becomes a test program of its own.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "model/DungeonStaticData.h"
#include "model/EquipStaticData.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "model/PersonManager.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"
#include "platform/events/NotificationCenter.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "stage/EffectManager.h"
#include "stage/PersonView.h"
#include "stage/PoseManager.h"
#include "platform/store/SavedStateStore.h"

namespace gametest {

namespace fs = std::filesystem;

// A new, empty folder under the system's temporary folder, named <prefix>-XXXXXX.
inline fs::path makeTempFolder(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    return fs::path(::mkdtemp(buf.data()));
}

// Makes `data` and points the saved-state store at it.
inline void useDataFolder(const fs::path& data) {
    fs::create_directories(data);
    SavedStateStore::configureDataDirectory(data.string());
}

// A test program's folders: a temporary root holding a resource bundle and the store's data.
struct TestFolders {
    fs::path root;
    fs::path bundle;
    fs::path data;
};

// Makes <temp>/<prefix>-XXXXXX with bundle/ and data/ inside and points the saved-state store at
// the data folder (at `data` instead, when given).
inline TestFolders makeTestFolders(const std::string& prefix, const fs::path& data = {}) {
    TestFolders made;
    made.root = makeTempFolder(prefix);
    made.bundle = made.root / "bundle";
    made.data = data.empty() ? made.root / "data" : data;
    useDataFolder(made.data);
    return made;
}

inline std::string xmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

inline void writeXmlValue(std::ostream& out, const Value& v) {
    switch (v.type()) {
        case Value::Type::Boolean: out << (v.boolValue() ? "<true/>" : "<false/>"); break;
        case Value::Type::Integer: out << "<integer>" << v.integerValue() << "</integer>"; break;
        case Value::Type::Real: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g", v.doubleValue());
            out << "<real>" << buf << "</real>";
            break;
        }
        case Value::Type::String: out << "<string>" << xmlEscape(v.stringValue()) << "</string>"; break;
        case Value::Type::Array:
            out << "<array>";
            for (const Value& e : v.arrayValue()) writeXmlValue(out, e);
            out << "</array>";
            break;
        case Value::Type::Dictionary:
            out << "<dict>";
            for (const auto& [k, e] : v.dictionaryValue()) {
                out << "<key>" << xmlEscape(k) << "</key>";
                writeXmlValue(out, e);
            }
            out << "</dict>";
            break;
        default: out << "<string></string>"; break;
    }
}

// Writes `root` as an XML property list at `path`, making the folders on the way. Written by hand
// here, so the tests of the reader do not lean on the game's own writer.
inline void writePlist(const fs::path& path, const Value& root) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">";
    writeXmlValue(out, root);
    out << "</plist>\n";
}

// Links every file of `from` (but `except`) into `to`, one by one: the bundle does not follow
// folder links. Makes `to`; a missing `from` leaves it empty.
inline void linkFiles(const fs::path& from, const fs::path& to, const std::string& except = "") {
    std::error_code ec;
    fs::create_directories(to, ec);
    for (const auto& file : fs::directory_iterator(from, ec))
        if (file.is_regular_file() && file.path().filename() != except)
            fs::create_symlink(file.path(), to / file.path().filename(), ec);
}

// The build's pictures, linked into <bundle>/images.
inline void linkBuildImages(const fs::path& bundle) { linkFiles(fs::path(RE_TEST_RESOURCE_DIR) / "images", bundle / "images"); }

// The build's string tables, linked into <bundle>/strings/<language>.lproj.
inline void linkBuildStrings(const fs::path& bundle) {
    std::error_code ec;
    for (const auto& lang : fs::directory_iterator(fs::path(RE_TEST_RESOURCE_DIR) / "strings", ec))
        if (lang.is_directory()) linkFiles(lang.path(), bundle / "strings" / lang.path().filename());
}

inline SavedStateStore& store() { return SavedStateStore::standardUserDefaults(); }

inline void clearStore() {
    const Value all = store().dictionaryRepresentation();
    for (const auto& [key, value] : all.dictionaryValue()) store().removeObjectForKey(key);
}

// Everything a game test leaves behind: pending recordings and timers, observers, every
// singleton (the last made first: screens before the managers, which save on teardown, before
// the tables they read), then the stored state.
inline void resetGameSingletons() {
    PersonView::waitForRecordings();
    RunLoop::main().reset();
    NotificationCenter::defaultCenter().removeAllObservers();
    Singletons::resetAll();
    clearStore();
    // The store's queue and its unfinished purchases go with the saved state.
    PaymentQueue::setDefaultQueue(nullptr);
    std::error_code ignored;
    fs::remove(fs::path(store().filePath()).parent_path() / PurchaseLedger::fileName, ignored);
}

// A shared sound engine that plays nothing and finds no files.
inline void installSilentSound() {
    SoundEngine::installSharedEngine(std::make_unique<SoundEngine>([] { return std::make_unique<SilentSoundBackend>(); },
                                                                   [](const std::string&, const std::string&) { return ""; }, ""));
}

// A manual clock at a fixed instant on the main loop, and the shared random source seeded.
inline std::shared_ptr<ManualClock> startManualTime(uint64_t seed) {
    auto clock = std::make_shared<ManualClock>(1.8e9);
    RunLoop::main().setClock(clock);
    RandomSource::shared().seed(seed);
    return clock;
}

}  // namespace gametest
