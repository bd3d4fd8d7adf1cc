#include "RealisticState.h"
#include "StoreTestSupport.h"

using namespace storetest;

class StoreDamagedFile : public ::testing::TestWithParam<const char*> {};

static std::vector<uint8_t> damagedBytes(const std::string& kind) {
    std::vector<uint8_t> b;
    if (kind == "Truncated" || kind == "TruncatedByOneByte") {
        TempDir dir;
        SavedStateStore store(dir.file("savedstate.plist"));
        fillRealisticState(store);
        store.synchronize();
        b = readBytes(dir.file("savedstate.plist"));
        b.resize(kind == "Truncated" ? b.size() / 2 : b.size() - 1);
    } else if (kind == "Garbage") {
        b = bytesOf("\x01\x02 this is not a property list \xff\xfe");
    } else if (kind == "Oversized") {
        b = bytesOf("<?xml version=\"1.0\"?><plist><dict><key>k</key><string>");
        b.resize(PropertyList::maxBytes + 10, 'a');
    } else if (kind == "DeepXml" || kind == "DeepBinary") {
        b = kind == "DeepXml" ? xmlChain(100000) : binaryChain(100000);
    } else if (kind == "RootIsAnArray") {
        b = PropertyList::writeBinary(Value::array({Value(1)}));
    } else if (kind == "XmlCutMidway") {
        b = PropertyList::writeXml(Value{{"gold", Value(5)}, {"monsters", Value::array({Value(1), Value(2)})}});
        b.resize(b.size() - 20);
    }
    return b;  // ZeroBytes: empty
}

TEST_P(StoreDamagedFile, IsKeptAsideAndTheStoreStartsEmptyThenWritesAGoodFile) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::vector<uint8_t> damaged = damagedBytes(GetParam());
    writeBytes(path, damaged);
    SavedStateStore store(path);
    EXPECT_TRUE(store.foundDamagedFile());
    EXPECT_EQ(store.dictionaryRepresentation().count(), 0u);
    std::string aside = store.damagedFilePath();
    ASSERT_EQ(aside.rfind(path + ".damaged-", 0), 0u) << aside;
    EXPECT_TRUE(readBytes(aside) == damaged) << "the damaged copy must keep its bytes";
    EXPECT_FALSE(exists(path));
    ASSERT_TRUE(store.synchronize()) << "untouched, the store still replaces it with a good (empty) file";
    EXPECT_EQ(PropertyList::readFile(path, nullptr, Value::Type::Dictionary).value_or(Value(1)).count(), 0u);
    store.setInteger(3, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    SavedStateStore again(path);
    EXPECT_FALSE(again.foundDamagedFile());
    EXPECT_EQ(again.integerForKey("gold"), 3);
    writeBytes(path, bytesOf("second damage"));  // a later damage never overwrites the earlier copy
    SavedStateStore third(path);
    EXPECT_EQ(readBytes(third.damagedFilePath()), bytesOf("second damage"));
    EXPECT_TRUE(readBytes(aside) == damaged);
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.damaged-"), 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StoreDamagedFile,
                         ::testing::Values("Truncated", "TruncatedByOneByte", "Garbage", "ZeroBytes", "Oversized", "DeepXml",
                                           "DeepBinary", "RootIsAnArray", "XmlCutMidway"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
