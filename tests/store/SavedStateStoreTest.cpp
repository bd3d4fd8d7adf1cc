#include <sys/wait.h>

#include <functional>
#include <limits>

#include "RealisticState.h"
#include "StoreTestSupport.h"

using namespace storetest;

TEST(SavedStateStoreBasics, TypedDefaultsAndWritesSeenAtOnceWithWrongKindsReadingAsDefaults) {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    EXPECT_TRUE(!store.foundDamagedFile() && store.damagedFilePath().empty());
    EXPECT_EQ(store.integerForKey("gold") + store.floatForKey("goldRate") + store.doubleForKey("timestamp_start"), 0.0);
    EXPECT_FALSE(store.boolForKey("shopUnlocked"));
    EXPECT_TRUE(store.arrayForKey("battleLogs").isNil() && store.dictionaryForKey("dungeon_1").isNil());
    EXPECT_EQ(store.dictionaryRepresentation().count(), 0u);
    store.setInteger(250, "gold");
    EXPECT_EQ(store.integerForKey("gold"), 250);
    store.setObject(Value("not a record"), "dungeon_3");
    EXPECT_TRUE(store.dictionaryForKey("dungeon_3").isNil() && store.arrayForKey("dungeon_3").isNil());
    store.setObject(Value::array({Value(1)}), "monsters");
    EXPECT_TRUE(store.dictionaryForKey("monsters").isNil());
    EXPECT_EQ(store.arrayForKey("monsters").count(), 1u);
    store.setObject(Value(true), "tutorialShown");  // a boolean number object
    EXPECT_TRUE(store.boolForKey("tutorialShown"));
    store.removeObjectForKey("gold");
    store.setObject(Value(), "tutorialShown");  // nil removes
    EXPECT_EQ(store.integerForKey("gold"), 0);
    EXPECT_FALSE(store.boolForKey("tutorialShown"));
}

TEST(SavedStateStoreBasics, EveryTypedValueAndARealisticStateSurviveARestartWithTheirKinds) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    Value before;
    {
        SavedStateStore store(path);
        fillRealisticState(store);
        store.setInteger(-42, "negative");
        store.setInteger(std::numeric_limits<int64_t>::max(), "largest");
        store.setFloat(1.1f, "goldRate");
        store.setDouble(0.5, "halfAsDouble");
        store.setBool(false, "pushSoundOff");
        store.setObject(Value{{"name", Value("\xE7\x8E\x8B \xF0\x9F\x91\x91")}, {"blob", Value::data({0, 255})}, {"when", Value::date(1.25)}}, "record");
        ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
        store.removeObjectForKey("battleLogs");  // removals persist too
        ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
        before = store.dictionaryRepresentation();
    }
    // The typed setters store the kinds the phone's store would.
    EXPECT_TRUE(before["goldRate"].isSinglePrecision() && !before["halfAsDouble"].isSinglePrecision());
    EXPECT_TRUE(before["shopUnlocked"].isBoolean() && before["pushSoundOff"].isBoolean());
    EXPECT_FALSE(before["negative"].isUnsigned() || before.contains("battleLogs"));
    SavedStateStore again(path);
    EXPECT_FALSE(again.foundDamagedFile());
    EXPECT_TRUE(keepsKinds(before, again.dictionaryRepresentation()));
    EXPECT_EQ(again.objectForKey("goldRate").stringValue(), "1.1");
}

TEST(SavedStateStoreFiles, FileIsBinaryPrivateItsFolderIsCreatedAndLeftoversAreCleared) {
    TempDir dir;
    std::string folder = dir.file("a/b/royal-expedition"), path = folder + "/savedstate.plist";
    writeBytes(dir.file("savedstate.plist.tmp-999-0"), bytesOf("half a file"));
    EXPECT_FALSE(SavedStateStore(dir.file("savedstate.plist")).foundDamagedFile());
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0);
    SavedStateStore store(path);
    store.setInteger(5, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms(0700));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));
    std::vector<uint8_t> bytes = readBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + std::min<size_t>(8, bytes.size())), "bplist00");
}

TEST(SavedStateStoreFiles, DataDirectoryComesFromTheEnvironmentThenXdgThenHome) {
    ScopedEnv data("RE_DATA_DIR", "/somewhere/data"), xdg("XDG_DATA_HOME", "/xdg/share"), home("HOME", "/home/player");
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/somewhere/data");
    ::unsetenv("RE_DATA_DIR");
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/xdg/share/royal-expedition");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/home/player/.local/share/royal-expedition");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/home/player/.local/share/royal-expedition");
}

// Runs the body in a child process, which ends normally (exit handlers run) unless the body fails.
static bool inChild(const std::function<void()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) body(), std::exit(0);
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SavedStateStoreShared, SharedStoreFlushesAtNormalExitUnlessAutomaticFlushingIsOff) {
    TempDir dir;
    const std::string folder = dir.file("data"), quiet = dir.file("quiet");
    ASSERT_TRUE(inChild([&] {
        SavedStateStore::configureDataDirectory(folder);
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        if (store.filePath() != folder + "/savedstate.plist") std::_Exit(4);
        store.setInteger(77, "gold");  // no synchronize: the exit handler writes it
    }));
    ASSERT_TRUE(inChild([&] {
        ::setenv("RE_DATA_DIR", quiet.c_str(), 1);
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        store.setAutoFlushDelay(0);
        store.setInteger(1, "gold");
        if (!store.synchronize()) std::_Exit(5);
        store.setInteger(2, "gold");  // never synchronized
    }));
    EXPECT_EQ(PropertyList::readFile(folder + "/savedstate.plist").value_or(Value())["gold"].integerValue(), 77);
    EXPECT_EQ(PropertyList::readFile(quiet + "/savedstate.plist").value_or(Value())["gold"].integerValue(), 1);
}
