// Saved-state files that cannot be read: the store starts empty and says so, the damaged file is
// kept aside byte for byte, and the next synchronize writes a good file in its place.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RealisticState.h"
#include "StoreTestSupport.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"

namespace {

struct Damage {
    const char* name;
    std::function<std::vector<uint8_t>()> bytes;
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

std::vector<uint8_t> goodFile() {
    storetest::TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    storetest::fillRealisticState(store);
    store.synchronize();
    return storetest::readBytes(dir.file("savedstate.plist"));
}

std::vector<uint8_t> text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> deepXml() {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict><key>a</key>";
    for (int i = 0; i < 100000; ++i) s += "<array>";
    for (int i = 0; i < 100000; ++i) s += "</array>";
    return text(s + "</dict></plist>\n");
}

std::vector<uint8_t> deepBinary() {
    // 100,000 arrays, each holding the next; 4-byte references and offsets.
    const uint32_t levels = 100000;
    std::vector<uint8_t> out = text("bplist00");
    auto be = [&](uint64_t v, int bytes) {
        for (int i = bytes; i-- > 0;) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    std::vector<uint64_t> offsets;
    for (uint32_t i = 0; i < levels; ++i) {
        offsets.push_back(out.size());
        if (i + 1 < levels) {
            out.push_back(0xA1);
            be(i + 1, 4);
        } else {
            out.push_back(0xA0);
        }
    }
    uint64_t table = out.size();
    for (uint64_t o : offsets) be(o, 4);
    for (int i = 0; i < 6; ++i) out.push_back(0);
    out.push_back(4);
    out.push_back(4);
    be(levels, 8);
    be(0, 8);
    be(table, 8);
    return out;
}

class StoreDamagedFile : public ::testing::TestWithParam<Damage> {};

}  // namespace

TEST_P(StoreDamagedFile, IsKeptAsideAndTheStoreStartsEmpty) {
    storetest::TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::vector<uint8_t> damaged = GetParam().bytes();
    storetest::writeBytes(path, damaged);

    SavedStateStore store(path);
    EXPECT_TRUE(store.foundDamagedFile());
    EXPECT_EQ(store.dictionaryRepresentation().count(), 0u);
    std::string aside = store.damagedFilePath();
    ASSERT_EQ(aside.rfind(path + ".damaged-", 0), 0u) << aside;
    EXPECT_TRUE(storetest::readBytes(aside) == damaged) << "the damaged copy must keep its bytes";
    EXPECT_FALSE(storetest::exists(path));

    store.setInteger(3, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    SavedStateStore again(path);
    EXPECT_FALSE(again.foundDamagedFile());
    EXPECT_EQ(again.integerForKey("gold"), 3);
    EXPECT_TRUE(storetest::readBytes(aside) == damaged);
}

TEST_P(StoreDamagedFile, AnUntouchedStoreStillReplacesItWithAGoodFile) {
    storetest::TempDir dir;
    std::string path = dir.file("savedstate.plist");
    storetest::writeBytes(path, GetParam().bytes());
    SavedStateStore store(path);
    ASSERT_TRUE(store.synchronize());
    std::optional<Value> saved = PropertyList::readFile(path, nullptr, Value::Type::Dictionary);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoreDamagedFile,
    ::testing::Values(
        Damage{"Truncated", [] { auto b = goodFile(); b.resize(b.size() / 2); return b; }},
        Damage{"TruncatedByOneByte", [] { auto b = goodFile(); b.pop_back(); return b; }},
        Damage{"Garbage", [] { return text("\x01\x02 this is not a property list \xff\xfe"); }},
        Damage{"ZeroBytes", [] { return std::vector<uint8_t>{}; }},
        Damage{"Oversized", [] {
            std::vector<uint8_t> b = text("<?xml version=\"1.0\"?><plist><dict><key>k</key><string>");
            b.resize(PropertyList::maxBytes + 10, 'a');
            return b;
        }},
        Damage{"DeepXml", deepXml},
        Damage{"DeepBinary", deepBinary},
        Damage{"RootIsAnArray", [] { return PropertyList::writeBinary(Value::array({Value(1)})); }},
        Damage{"XmlCutMidway", [] {
            auto b = PropertyList::writeXml(Value{{"gold", Value(5)}, {"monsters", Value::array({Value(1), Value(2)})}});
            b.resize(b.size() - 20);
            return b;
        }}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(StoreDamagedFileCopies, AnEarlierDamagedCopyIsNeverOverwritten) {
    storetest::TempDir dir;
    std::string path = dir.file("savedstate.plist");
    storetest::writeText(path, "first damage");
    SavedStateStore first(path);
    storetest::writeText(path, "second damage");
    SavedStateStore second(path);
    ASSERT_TRUE(first.foundDamagedFile());
    ASSERT_TRUE(second.foundDamagedFile());
    EXPECT_NE(first.damagedFilePath(), second.damagedFilePath());
    std::vector<uint8_t> a = storetest::readBytes(first.damagedFilePath());
    std::vector<uint8_t> b = storetest::readBytes(second.damagedFilePath());
    EXPECT_EQ(std::string(a.begin(), a.end()), "first damage");
    EXPECT_EQ(std::string(b.begin(), b.end()), "second damage");
}

TEST(StoreDamagedFileCopies, AGoodFileIsNotMovedAndAMissingOneIsNoDamage) {
    storetest::TempDir dir;
    std::string path = dir.file("savedstate.plist");
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
    EXPECT_TRUE(dir.entriesStartingWith("savedstate.plist.damaged-").empty());
}
