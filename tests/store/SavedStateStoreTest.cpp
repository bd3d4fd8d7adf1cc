// The saved-state store on real files: defaults, typed round trips before and after a restart,
// kinds kept, where the file lives.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <limits>

#include "RealisticState.h"
#include "StoreTestSupport.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"

using storetest::TempDir;

TEST(SavedStateStoreBasics, FreshStoreGivesTypedDefaults) {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    EXPECT_FALSE(store.foundDamagedFile());
    EXPECT_EQ(store.integerForKey("gold"), 0);
    EXPECT_FALSE(store.boolForKey("shopUnlocked"));
    EXPECT_EQ(store.floatForKey("goldRate"), 0.0f);
    EXPECT_EQ(store.doubleForKey("timestamp_start"), 0.0);
    EXPECT_TRUE(store.objectForKey("monsters").isNil());
    EXPECT_TRUE(store.arrayForKey("battleLogs").isNil());
    EXPECT_TRUE(store.dictionaryForKey("dungeon_1").isNil());
    EXPECT_EQ(store.dictionaryRepresentation().count(), 0u);
}

TEST(SavedStateStoreBasics, WritesAreSeenAtOnceAndWrongKindsReadAsDefaults) {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    store.setInteger(250, "gold");
    EXPECT_EQ(store.integerForKey("gold"), 250);
    store.setObject(Value("not a record"), "dungeon_3");
    EXPECT_TRUE(store.dictionaryForKey("dungeon_3").isNil());
    EXPECT_TRUE(store.arrayForKey("dungeon_3").isNil());
    store.setObject(Value::array({Value(1)}), "monsters");
    EXPECT_TRUE(store.dictionaryForKey("monsters").isNil());
    EXPECT_EQ(store.arrayForKey("monsters").count(), 1u);
    store.setObject(Value(true), "tutorialShown");  // a boolean number object
    EXPECT_TRUE(store.boolForKey("tutorialShown"));
    store.removeObjectForKey("gold");
    EXPECT_EQ(store.integerForKey("gold"), 0);
    store.setObject(Value(), "tutorialShown");  // nil removes
    EXPECT_FALSE(store.boolForKey("tutorialShown"));
}

TEST(SavedStateStoreBasics, EveryTypedValueSurvivesARestartWithItsKind) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    Value record{{"monster_id", Value(12u)}, {"times", Value(3u)}, {"viewed", Value(true)},
                 {"nested", Value::array({Value{{"deep", Value(-7)}}})}};
    {
        SavedStateStore store(path);
        store.setInteger(-42, "negative");
        store.setInteger(std::numeric_limits<int64_t>::max(), "largest");
        store.setObject(Value(std::numeric_limits<unsigned long long>::max()), "unsignedMax");
        store.setObject(Value(9223372036854775809ull), "unsignedAbove2p63");
        store.setFloat(1.1f, "goldRate");
        store.setDouble(1718000000.123456, "timestamp_start");
        store.setDouble(0.5, "halfAsDouble");
        store.setBool(true, "shopUnlocked");
        store.setBool(false, "pushSoundOff");
        store.setObject(record, "record");
        store.setObject(Value("\xE7\x8E\x8B\xE6\xA7\x98 \xF0\x9F\x91\x91"), "kingName");
        store.setObject(Value::data({0, 1, 2, 255}), "blob");
        store.setObject(Value::date(1718000000.25), "when");
        ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    }
    SavedStateStore again(path);
    EXPECT_FALSE(again.foundDamagedFile());
    EXPECT_EQ(again.integerForKey("negative"), -42);
    EXPECT_FALSE(again.objectForKey("negative").isUnsigned());
    EXPECT_EQ(again.integerForKey("largest"), std::numeric_limits<int64_t>::max());
    EXPECT_TRUE(again.objectForKey("unsignedMax").isUnsigned());
    EXPECT_EQ(again.objectForKey("unsignedMax").unsignedValue(), std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(again.objectForKey("unsignedAbove2p63").unsignedValue(), 9223372036854775809ull);
    EXPECT_TRUE(again.objectForKey("goldRate").isSinglePrecision());
    EXPECT_EQ(again.floatForKey("goldRate"), 1.1f);
    EXPECT_EQ(again.objectForKey("goldRate").stringValue(), "1.1");
    EXPECT_FALSE(again.objectForKey("timestamp_start").isSinglePrecision());
    EXPECT_EQ(again.doubleForKey("timestamp_start"), 1718000000.123456);
    EXPECT_FALSE(again.objectForKey("halfAsDouble").isSinglePrecision());
    EXPECT_TRUE(again.objectForKey("shopUnlocked").isBoolean());
    EXPECT_TRUE(again.boolForKey("shopUnlocked"));
    EXPECT_TRUE(again.objectForKey("pushSoundOff").isBoolean());
    EXPECT_FALSE(again.boolForKey("pushSoundOff"));
    std::string where;
    EXPECT_TRUE(storetest::sameKinds(record, again.dictionaryForKey("record"), &where)) << where;
    EXPECT_EQ(again.objectForKey("kingName").stringValue(), "\xE7\x8E\x8B\xE6\xA7\x98 \xF0\x9F\x91\x91");
    EXPECT_EQ(again.objectForKey("blob").dataValue(), (Value::Bytes{0, 1, 2, 255}));
    EXPECT_EQ(again.objectForKey("when").dateValue(), 1718000000.25);
}

TEST(SavedStateStoreBasics, RealisticStateReloadsIdenticallyAndRemovalsPersist) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    Value before;
    {
        SavedStateStore store(path);
        storetest::fillRealisticState(store);
        ASSERT_TRUE(store.synchronize());
        store.removeObjectForKey("timestamp_start");
        store.removeObjectForKey("battleLogs");
        ASSERT_TRUE(store.synchronize());
        before = store.dictionaryRepresentation();
    }
    SavedStateStore again(path);
    std::string where;
    EXPECT_TRUE(storetest::sameKinds(before, again.dictionaryRepresentation(), &where)) << where;
    EXPECT_FALSE(again.dictionaryRepresentation().contains("timestamp_start"));
    EXPECT_TRUE(again.arrayForKey("battleLogs").isNil());
    EXPECT_EQ(again.arrayForKey("monsters").count(), 60u);
    EXPECT_TRUE(again.arrayForKey("monsters")[0]["monster_id"].isUnsigned());
}

TEST(SavedStateStoreBasics, SynchronizeWithoutChangesWritesNothing) {
    TempDir dir;
    auto fs = std::make_shared<storetest::FaultyFileSystem>();
    SavedStateStore store(dir.file("savedstate.plist"), fs);
    store.setInteger(1, "gold");
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(fs->calls(storetest::FaultyFileSystem::Call::Rename), 1);
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(fs->calls(storetest::FaultyFileSystem::Call::Rename), 1);
    store.removeObjectForKey("absent");  // nothing changes
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(fs->calls(storetest::FaultyFileSystem::Call::Rename), 1);
}

TEST(SavedStateStoreFiles, FileIsBinaryPrivateAndItsFolderIsCreated) {
    TempDir dir;
    std::string folder = dir.file("a/b/royal-expedition");
    std::string path = folder + "/savedstate.plist";
    SavedStateStore store(path);
    store.setInteger(5, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::vector<uint8_t> bytes = storetest::readBytes(path);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "bplist00");
}

TEST(SavedStateStoreFiles, LeftoverTemporaryFilesAreClearedOnLoad) {
    TempDir dir;
    storetest::writeText(dir.file("savedstate.plist.tmp-999-0"), "half a file");
    SavedStateStore store(dir.file("savedstate.plist"));
    EXPECT_TRUE(dir.entriesStartingWith("savedstate.plist.tmp-").empty());
    EXPECT_FALSE(store.foundDamagedFile());
}

TEST(SavedStateStoreFiles, DataDirectoryComesFromTheEnvironmentThenXdgThenHome) {
    ::setenv("RE_DATA_DIR", "/somewhere/data", 1);
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/somewhere/data");
    ::unsetenv("RE_DATA_DIR");
    ::setenv("XDG_DATA_HOME", "/xdg/share", 1);
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/xdg/share/royal-expedition");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    ::setenv("HOME", "/home/player", 1);
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/home/player/.local/share/royal-expedition");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/home/player/.local/share/royal-expedition");
}

namespace {
// Runs the body in a child process and gives its exit status (the shared store is per process).
int inChild(const std::function<void()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        body();
        std::exit(0);  // a normal exit: exit handlers run
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}
}  // namespace

TEST(SavedStateStoreShared, SharedStoreLivesInTheConfiguredFolderAndFlushesAtNormalExit) {
    TempDir dir;
    std::string folder = dir.file("data");
    int status = inChild([&] {
        SavedStateStore::configureDataDirectory(folder);
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        if (&store != &SavedStateStore::standardUserDefaults()) std::_Exit(3);
        if (store.filePath() != folder + "/savedstate.plist") std::_Exit(4);
        store.setInteger(77, "gold");  // no synchronize: the exit handler writes it
    });
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    std::optional<Value> saved = PropertyList::readFile(folder + "/savedstate.plist");
    ASSERT_TRUE(saved);
    EXPECT_EQ((*saved)["gold"].integerValue(), 77);
}

TEST(SavedStateStoreShared, WithAutomaticFlushingOffAnExitLeavesTheFileAsItWas) {
    TempDir dir;
    std::string folder = dir.file("data");
    int status = inChild([&] {
        ::setenv("RE_DATA_DIR", folder.c_str(), 1);
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        store.setAutoFlushDelay(0);
        store.setInteger(1, "gold");
        if (!store.synchronize()) std::_Exit(5);
        store.setInteger(2, "gold");  // never synchronized
    });
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    std::optional<Value> saved = PropertyList::readFile(folder + "/savedstate.plist");
    ASSERT_TRUE(saved);
    EXPECT_EQ((*saved)["gold"].integerValue(), 1);
}
