#include <sys/wait.h>

#include <cfloat>
#include <cmath>
#include <climits>

#include "RealisticState.h"
#include "StoreTestSupport.h"

TEST(SavedStateStoreBasics, ARealisticStateAndEveryKindAtItsEdgesSurviveARestart) {
    Value::Array manyStrings;  // past 255 objects: references two bytes wide
    Value::Bytes allBytes;
    for (int i = 0; i < 300; ++i) manyStrings.push_back(Value("entry " + std::to_string(i))), allBytes.push_back(static_cast<uint8_t>(i));
    Value::Dictionary edges{
        {"uint2p63", Value(9223372036854775808ull)}, {"uintMax", Value(ULLONG_MAX)}, {"uintSmall", Value(5u)}, {"tiny", Value(FLT_TRUE_MIN)},
        {"doubleNegativeZero", Value(-0.0)}, {"no", Value(false)}, {"emptyString", Value("")}, {"crown", Value("h\xC3\xA9 \xF0\x9F\x91\x91")},
        {"longText", Value(std::string(300, 'x'))}, {"emptyData", Value::data({})}, {"allBytes", Value::data(allBytes)},
        {"dateLongAgo", Value::date(-1e10)}, {"date", Value::date(1718000000.5)}, {"emptyArray", Value::array()},
        {"emptyDictionary", Value::dictionary()}, {"manyStrings", Value(manyStrings)}, {"deeper", Value::array({Value::array({Value(0.5f)})})}};
    for (long long i : {LLONG_MIN, -5LL, 0LL, 255LL, 256LL, 65536LL, 4294967296LL, LLONG_MAX}) edges["int" + std::to_string(i)] = Value(i);
    TempDir dir;
    Value before;
    {
        SavedStateStore store(dir.file("savedstate.plist"));
        storetest::fillRealisticState(store);
        for (const auto& [key, value] : edges) store.setObject(value, key);
        store.setFloat(1.1f, "goldRate");
        store.setObject(Value::array({Value(1), Value(), Value(2)}), "withNil");
        ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
        store.removeObjectForKey("battleLogs");     // removals persist too
        store.setObject(Value(), "tutorialShown");  // so does nil
        ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
        before = store.dictionaryRepresentation();
    }
    SavedStateStore again(dir.file("savedstate.plist"));
    EXPECT_EQ(again.arrayForKey("withNil"), Value::array({1, 2}));  // a nil inside is left out of the file
    EXPECT_EQ(kindsOf(before.without("withNil")), kindsOf(again.dictionaryRepresentation().without("withNil")));
    EXPECT_EQ(again.objectForKey("goldRate").stringValue(), "1.1");  // a single-precision rate keeps its short text
}

TEST(SavedStateStoreFiles, FileIsBinaryPrivateItsFolderIsCreatedAndLeftoversAreCleared) {
    TempDir dir;
    const std::string folder = dir.file("a/b/royal-expedition"), path = folder + "/savedstate.plist";
    dir.write("savedstate.plist.tmp-999-0", "half a file");
    EXPECT_FALSE(SavedStateStore(dir.file("savedstate.plist")).foundDamagedFile());
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0);
    SavedStateStore store(path);
    store.setInteger(5, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms(0700));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));
    EXPECT_TRUE(readBytes(path) >= bytesOf("bplist00") && readBytes(path) < bytesOf("bplist01"));  // starts with bplist00
}

TEST(SavedStateStoreFiles, DataDirectoryComesFromTheEnvironmentThenXdgThenHome) {
    ScopedEnv data("RE_DATA_DIR", "/somewhere/data"), xdg("XDG_DATA_HOME", "/xdg/share"), home("HOME", "/home/player");
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/somewhere/data");
    ::unsetenv("RE_DATA_DIR");
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/xdg/share/royal-expedition");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(SavedStateStore::defaultDataDirectory(), "/home/player/.local/share/royal-expedition");
}

TEST(SavedStateStoreShared, SharedStoreFlushesAtNormalExit) {
    TempDir dir;
    const std::string folder = dir.file("data");
    const pid_t pid = ::fork();
    if (pid == 0) {  // a child that ends normally, so that the exit handlers run
        SavedStateStore::configureDataDirectory(folder);
        SavedStateStore::standardUserDefaults().setInteger(77, "gold");  // no synchronize: the exit handler writes it
        std::exit(SavedStateStore::standardUserDefaults().filePath() == folder + "/savedstate.plist" ? 0 : 4);
    }
    int status = 0;
    ASSERT_TRUE(::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(PropertyList::readFile(folder + "/savedstate.plist").value_or(Value())["gold"].integerValue(), 77);
}

TEST(SavedStateStoreWrites, AValueSetAgainAsItIsWritesNothingAChangeOfKindOrBitsDoes) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    const auto writes = [&faulty] { return faulty.fs->calls(FaultyFileSystem::Call::Rename); };
    const auto person = [](double kind) {
        return Value::dictionary({{"id", Value(7)}, {"kind", Value(kind)}, {"name", Value("Ann")}});
    };
    store.setInteger(5, "gold");
    store.setObject(Value::array({person(1), person(2)}), "persons");
    store.setDouble(std::nan(""), "odd");
    ASSERT_TRUE(store.synchronize());
    ASSERT_EQ(writes(), 1);
    // The explore's poll records the same state again every second: no write, no flush due.
    for (int second = 0; second < 5; ++second) {
        store.setInteger(5, "gold");
        store.setObject(Value::array({person(1), person(2)}), "persons");
        store.setDouble(std::nan(""), "odd");
        store.removeObjectForKey("neverSet");
        ASSERT_TRUE(store.synchronize());
    }
    EXPECT_EQ(writes(), 1);
    // Equal by value but saved differently: each is a change that reaches the file.
    const std::vector<std::pair<std::string, Value>> changes{
        {"gold", Value(5.0)},                                                    // an integer becomes a real
        {"gold", Value(5u)},                                                     // and an unsigned integer
        {"odd", Value(-0.0)}, {"odd", Value(0.0)},                               // the sign of zero
        {"persons", Value::array({person(1), person(2.5)})},                     // deep inside a record
        {"persons", Value::array({person(1), Value::dictionary({{"id", Value(7u)}, {"kind", Value(2.0)}, {"name", Value("Ann")}})})},
    };
    for (const auto& [key, value] : changes) {
        const int before = writes();
        store.setObject(value, key);
        ASSERT_TRUE(store.synchronize());
        EXPECT_EQ(writes(), before + 1) << key << " = " << value.debugDescription();
    }
    SavedStateStore again(path);
    EXPECT_EQ(kindsOf(again.dictionaryRepresentation()), kindsOf(store.dictionaryRepresentation()));
}
