// Saved-state files that cannot be read: the store starts empty and says so, the damaged file is
// kept aside byte for byte, and the next synchronize writes a good file in its place.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RealisticState.h"
#include "StoreTestSupport.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"

using namespace storetest;

namespace {

struct Damage {
    const char* name;
    std::function<std::vector<uint8_t>()> bytes;
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

std::vector<uint8_t> goodFile() {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    fillRealisticState(store);
    store.synchronize();
    return readBytes(dir.file("savedstate.plist"));
}

class StoreDamagedFile : public ::testing::TestWithParam<Damage> {};

}  // namespace

TEST_P(StoreDamagedFile, IsKeptAsideAndTheStoreStartsEmptyThenWritesAGoodFile) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::vector<uint8_t> damaged = GetParam().bytes();
    writeBytes(path, damaged);

    SavedStateStore store(path);
    EXPECT_TRUE(store.foundDamagedFile());
    EXPECT_EQ(store.dictionaryRepresentation().count(), 0u);
    std::string aside = store.damagedFilePath();
    ASSERT_EQ(aside.rfind(path + ".damaged-", 0), 0u) << aside;
    EXPECT_TRUE(readBytes(aside) == damaged) << "the damaged copy must keep its bytes";
    EXPECT_FALSE(exists(path));

    // Untouched, the store still replaces it with a good (empty) file.
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(PropertyList::readFile(path, nullptr, Value::Type::Dictionary).value_or(Value(1)).count(), 0u);
    store.setInteger(3, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    SavedStateStore again(path);
    EXPECT_FALSE(again.foundDamagedFile());
    EXPECT_EQ(again.integerForKey("gold"), 3);
    EXPECT_TRUE(readBytes(aside) == damaged);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoreDamagedFile,
    ::testing::Values(
        Damage{"Truncated", [] { auto b = goodFile(); b.resize(b.size() / 2); return b; }},
        Damage{"TruncatedByOneByte", [] { auto b = goodFile(); b.pop_back(); return b; }},
        Damage{"Garbage", [] { return bytesOf("\x01\x02 this is not a property list \xff\xfe"); }},
        Damage{"ZeroBytes", [] { return std::vector<uint8_t>{}; }},
        Damage{"Oversized", [] {
            std::vector<uint8_t> b = bytesOf("<?xml version=\"1.0\"?><plist><dict><key>k</key><string>");
            b.resize(PropertyList::maxBytes + 10, 'a');
            return b;
        }},
        Damage{"DeepXml", [] { return xmlChain(100000); }},
        Damage{"DeepBinary", [] { return binaryChain(100000); }},
        Damage{"RootIsAnArray", [] { return PropertyList::writeBinary(Value::array({Value(1)})); }},
        Damage{"XmlCutMidway", [] {
            auto b = PropertyList::writeXml(Value{{"gold", Value(5)}, {"monsters", Value::array({Value(1), Value(2)})}});
            b.resize(b.size() - 20);
            return b;
        }}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(StoreDamagedFileCopies, AnEarlierDamagedCopyIsNeverOverwrittenAndAGoodFileStays) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    writeBytes(path, bytesOf("first damage"));
    SavedStateStore first(path);
    writeBytes(path, bytesOf("second damage"));
    SavedStateStore second(path);
    ASSERT_TRUE(first.foundDamagedFile() && second.foundDamagedFile());
    EXPECT_EQ(readBytes(first.damagedFilePath()), bytesOf("first damage"));
    EXPECT_EQ(readBytes(second.damagedFilePath()), bytesOf("second damage"));

    // A missing file is no damage, and a good one is not moved.
    TempDir fresh;
    path = fresh.file("savedstate.plist");
    {
        SavedStateStore missing(path);
        EXPECT_FALSE(missing.foundDamagedFile());
        EXPECT_TRUE(missing.damagedFilePath().empty());
        missing.setInteger(9, "gold");
        ASSERT_TRUE(missing.synchronize());
    }
    SavedStateStore good(path);
    EXPECT_FALSE(good.foundDamagedFile());
    EXPECT_EQ(good.integerForKey("gold"), 9);
    EXPECT_TRUE(fresh.entriesStartingWith("savedstate.plist.damaged-").empty());
}
