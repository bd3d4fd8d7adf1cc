// Property lists: other readers agree with ours, hostile inputs are refused harmlessly.
#include <climits>
#include <random>

#include "support/Sanitized.h"
#include "StoreTestSupport.h"

using Objects = std::vector<std::vector<uint8_t>>;

// A binary property list from raw objects (each one's bytes, references already inside), the first on top.
static std::vector<uint8_t> binaryFromObjects(const Objects& objects, uint8_t refSize = 1) {
    auto bigEndian = [](std::vector<uint8_t>& to, uint64_t v, int bytes) {
        while (bytes-- > 0) to.push_back(static_cast<uint8_t>(v >> (8 * bytes)));
    };
    std::vector<uint8_t> out = bytesOf("bplist00"), table;
    for (const auto& object : objects) bigEndian(table, out.size(), 4), out.insert(out.end(), object.begin(), object.end());
    const uint64_t tableAt = out.size();
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), {0, 0, 0, 0, 0, 0, 4, refSize});
    for (uint64_t v : {uint64_t(objects.size()), uint64_t(0), tableAt}) bigEndian(out, v, 8);
    return out;
}
// Arrays each holding the next one, `levels` deep, in either form.
static std::vector<uint8_t> chainOfArrays(size_t levels, bool binary) {
    Objects objects;
    std::string open, close;
    for (uint32_t i = 1; i <= levels; ++i)
        objects.push_back({0xA1, uint8_t(i >> 24), uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)}), open += "<array>", close += "</array>";
    objects.back() = {0xA0};
    return binary ? binaryFromObjects(objects, 4) : bytesOf("<?xml version=\"1.0\"?>\n<plist version=\"1.0\">" + open + close + "</plist>\n");
}

// The reader's error for input it refuses ("read" when it reads it after all).
static std::string refusal(const std::vector<uint8_t>& bytes) {
    std::string error;
    return PropertyList::read(bytes, &error) ? "read" : error;
}
static std::string objectRefusal(const Objects& objects) { return refusal(binaryFromObjects(objects)); }

TEST(PropertyListRoundTrip, PlistutilReadsOurBinaryWithTheSameKinds) {
    if (std::system("command -v plistutil >/dev/null 2>&1") != 0) GTEST_SKIP() << "plistutil is not installed";
    TempDir dir;
    const std::vector<uint8_t> ours = PropertyList::writeBinary(
        Value{{"max", Value(ULLONG_MAX)}, {"minus", Value(-5)}, {"rate", Value(1.5f)}, {"time", Value(1718000000.125)}, {"flag", Value(true)}});
    const std::string in = dir.write("in.plist", std::string(ours.begin(), ours.end()));
    ASSERT_EQ(std::system(("plistutil -i " + in + " -o " + dir.file("out.xml")).c_str()), 0);
    const std::vector<uint8_t> xml = readBytes(dir.file("out.xml"));
    for (const char* element : {"<integer>18446744073709551615</integer>", "<integer>-5</integer>", "<real>1.5</real>",
                                "<real>1718000000.125</real>", "<true/>"})
        EXPECT_NE(std::string(xml.begin(), xml.end()).find(element), std::string::npos) << element;
}

TEST(PropertyListLimits, NestingUpToTheLimitIsReadDeeperIsRefusedQuickly) {
    constexpr int limit = PropertyList::maxDepth;
    Value deepest = Value::array();
    for (int i = 1; i < limit; ++i) deepest = Value::array({deepest});
    for (const auto& bytes : {PropertyList::writeBinary(deepest), chainOfArrays(limit, true), chainOfArrays(limit, false)})
        EXPECT_EQ(refusal(bytes), "read");
    std::string deepLooking;  // elements in comments and character data do not nest
    for (int i = 0; i < 100; ++i) deepLooking += "<array><dict>";
    EXPECT_EQ(refusal(bytesOf("<plist><!--" + deepLooking + "--><string><![CDATA[" + deepLooking + "]]></string></plist>")), "read");
    std::string error;
    EXPECT_TRUE(PropertyList::writeBinary(Value::array({deepest}), &error).empty() && error == "nesting too deep") << error;
    const auto started = std::chrono::steady_clock::now();
    for (size_t levels : {size_t(limit + 1), size_t(100000)})
        for (bool binary : {true, false}) EXPECT_EQ(refusal(chainOfArrays(levels, binary)), "nesting too deep") << levels;
#if RE_SANITIZED
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));  // instrumented builds are slower
#else
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
#endif
}

TEST(PropertyListLimits, HostileObjectsAreRefused) {
    // Each array holds the next one twice: 41 objects, 2^41 values once expanded; a few levels are fine.
    Objects objects;
    for (int i = 0; i < 40; ++i) objects.push_back({0xA2, static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i + 1)});
    objects.push_back({0x10, 0x01});
    EXPECT_EQ(objectRefusal(objects), "too many values");
    EXPECT_EQ(PropertyList::read(binaryFromObjects({{0xA2, 1, 1}, {0xA2, 2, 2}, {0x10, 0x07}})).value_or(Value())[1][0].integerValue(), 7);
    EXPECT_EQ(objectRefusal({{0xA1, 0}}), "object graph has a cycle");
    EXPECT_NE(objectRefusal({{0xA1, 1}, {0xA1, 0}}), "read");
    EXPECT_EQ(objectRefusal({{0xA1, 9}}), "object reference out of range");
    EXPECT_EQ(objectRefusal({{0xD1, 1, 1}, {0x10, 0x01}}), "dictionary key is not a string");
    EXPECT_NE(objectRefusal({{0x80, 0x01}}), "read");  // a UID
    // libplist would abort on a NUL inside a string, written in any way.
    for (const auto& objects : {Objects{{0x53, 'a', 0, 'b'}}, Objects{{0x61, 0, 0}}, Objects{{0xD1, 1, 2}, {0x52, 'k', 0}, {0x09}}})
        EXPECT_EQ(objectRefusal(objects), "string holds a NUL character");
    for (const std::string& text : {std::string("a&#0;b"), std::string("a&#x000;b"), std::string("a\0b", 3)})
        EXPECT_EQ(refusal(bytesOf("<plist><string>" + text + "</string></plist>")), "NUL character in XML");
    EXPECT_EQ(refusal(bytesOf("<plist><string>a&#10;b&#x41;</string></plist>")), "read");
}

TEST(PropertyListDamage, EveryTruncationAndRandomCorruptionIsHandled) {
    Value::Array persons(12, Value{{"monsterId", Value(3u)}, {"rate", Value(0.5f)}, {"name", Value("h\xC3\xA9ros")}});
    for (auto format : {PropertyList::Format::Binary, PropertyList::Format::Xml}) {
        const std::vector<uint8_t> good = PropertyList::write(Value{{"persons", Value(persons)}}, format);
        ASSERT_TRUE(PropertyList::read(good));
        for (size_t length = 0; length < good.size(); ++length)  // binary must be refused, XML must not crash
            EXPECT_FALSE(PropertyList::read({good.begin(), good.begin() + long(length)}) && format == PropertyList::Format::Binary) << length;
        std::mt19937 random(1234);
        for (int round = 0; round < 1500; ++round) {
            std::vector<uint8_t> bad = good;
            for (int f = 0, flips = 1 + int(random() % 4); f < flips; ++f) bad[random() % bad.size()] = static_cast<uint8_t>(random());
            (void)PropertyList::read(bad);  // must not crash, hang or leak
        }
    }
}

// Long arrays read in time linear in their length, up to what the limits let through.
TEST(PropertyListLimits, LongArraysLoadWellUnderASecond) {
    auto timed = [](const std::vector<uint8_t>& bytes, size_t expected) {
        const auto started = std::chrono::steady_clock::now();
        std::optional<Value> read = PropertyList::read(bytes);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        EXPECT_TRUE(read && read->isArray() && read->arrayValue().size() == expected) << bytes.size();
        return seconds;
    };
#if RE_SANITIZED
    const double budget = 5.0;
#else
    const double budget = 1.0;
#endif
    Value::Array forty(40000, Value(7));
    EXPECT_LT(timed(PropertyList::writeBinary(Value(forty)), 40000), budget);  // 6.7 s when read by index
    EXPECT_LT(timed(PropertyList::writeXml(Value(forty)), 40000), budget);
    // Near the value limit, and an XML file near the size limit (leeway for a busy machine).
    Value::Array most(PropertyList::maxNodes - 1, Value(1));
    EXPECT_LT(timed(PropertyList::writeBinary(Value(most)), most.size()), 2 * budget);
    std::string xml = "<plist><array>";
    const size_t fits = (PropertyList::maxBytes - 64) / 8;
    for (size_t i = 0; i < std::min(fits, PropertyList::maxNodes - 1); ++i) xml += "<true/>\n";
    EXPECT_LT(timed(bytesOf(xml + "</array></plist>"), std::min(fits, PropertyList::maxNodes - 1)), 2 * budget);
}

// Text that is not UTF-8 (a damaged file, a hand-edited save) keeps its bytes: two such keys stay two.
TEST(PropertyListRoundTrip, KeysAndTextsThatAreNotUtf8KeepTheirBytes) {
    const Value value{{"a\xff", Value(1)}, {"a\xfe", Value(2)}, {"name", Value("\xc3(\xff")}, {"ok", Value("\xe2\x82\xac \xef\xbf\xbd")}};
    std::optional<Value> back = PropertyList::read(PropertyList::writeBinary(value));
    ASSERT_TRUE(back);
    EXPECT_EQ(kindsOf(*back), kindsOf(value));
}
