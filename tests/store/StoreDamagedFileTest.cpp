#include "StoreTestSupport.h"

class StoreDamagedFile : public ::testing::TestWithParam<const char*> {};

static std::vector<uint8_t> damagedBytes(const std::string& kind) {
    const Value saved{{"gold", Value(5)}, {"rate", Value(1.5f)}, {"monsters", Value::array({Value(1u), Value("h\xC3\xA9ros")})}};
    const std::vector<uint8_t> binary = PropertyList::writeBinary(saved), xml = PropertyList::writeXml(saved);
    std::vector<uint8_t> oversized = bytesOf("<?xml version=\"1.0\"?><plist><dict><key>k</key><string>");
    oversized.resize(PropertyList::maxBytes + 10, 'a');
    if (kind == "Truncated") return {binary.begin(), binary.begin() + long(binary.size() / 2)};
    if (kind == "XmlCutMidway") return {xml.begin(), xml.end() - 20};
    if (kind == "Garbage") return bytesOf("\x01\x02 this is not a property list \xff\xfe");
    if (kind == "RootIsAnArray") return PropertyList::writeBinary(Value::array({Value(1)}));
    return kind == "Oversized" ? oversized : std::vector<uint8_t>{};
}

TEST_P(StoreDamagedFile, IsKeptAsideAndTheStoreStartsEmptyThenWritesAGoodFile) {
    TempDir dir;
    const std::vector<uint8_t> damaged = damagedBytes(GetParam());
    const std::string path = dir.write("savedstate.plist", std::string(damaged.begin(), damaged.end()));
    SavedStateStore store(path);
    EXPECT_TRUE(store.foundDamagedFile() && !std::filesystem::exists(path));
    EXPECT_EQ(store.dictionaryRepresentation().count(), 0u);
    const std::string aside = store.damagedFilePath();
    ASSERT_TRUE(aside.starts_with(path + ".damaged-")) << aside;
    EXPECT_TRUE(readBytes(aside) == damaged) << "the damaged copy must keep its bytes";
    ASSERT_TRUE(store.synchronize()) << "untouched, the store still replaces it with a good (empty) file";
    store.setInteger(3, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_EQ(SavedStateStore(path).integerForKey("gold"), 3);
    dir.write("savedstate.plist", "second damage");  // a later damage never overwrites the earlier copy
    EXPECT_EQ(readBytes(SavedStateStore(path).damagedFilePath()), bytesOf("second damage"));
    EXPECT_TRUE(readBytes(aside) == damaged);
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.damaged-"), 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, StoreDamagedFile,
                         ::testing::Values("Truncated", "Garbage", "ZeroBytes", "Oversized", "RootIsAnArray", "XmlCutMidway"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
