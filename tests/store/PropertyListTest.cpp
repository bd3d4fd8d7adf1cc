// Property lists: every kind survives, other readers agree, hostile inputs are refused harmlessly.
#include <cfloat>
#include <limits>
#include <random>

#include "StoreTestSupport.h"

namespace {

Value nestedArrays(int levels) {
    Value v = Value::array();
    for (int i = 1; i < levels; ++i) v = Value::array({v});
    return v;
}

Value everyKind() {
    Value::Array manyStrings, twenty;
    for (int i = 0; i < 300; ++i) manyStrings.push_back(Value("entry " + std::to_string(i)));
    for (int i = 0; i < 20; ++i) twenty.push_back(Value(i * 1000));
    Value::Bytes allBytes(256);
    for (int i = 0; i < 256; ++i) allBytes[size_t(i)] = static_cast<uint8_t>(i);
    Value::Dictionary d{
        {"uint2p63", Value(9223372036854775808ull)}, {"uintMax", Value(std::numeric_limits<unsigned long long>::max())},
        {"uintZero", Value(0ull)}, {"uintSmall", Value(5u)}, {"floatTenth", Value(0.1f)}, {"floatNegative", Value(-3.25f)},
        {"floatMax", Value(FLT_MAX)}, {"floatTiny", Value(FLT_TRUE_MIN)}, {"doubleTenth", Value(0.1)}, {"doubleHuge", Value(1e300)},
        {"doubleNegativeZero", Value(-0.0)}, {"doubleTime", Value(1718000000.125)}, {"yes", Value(true)}, {"no", Value(false)},
        {"emptyString", Value("")}, {"accented", Value("h\xC3\xA9llo")}, {"japanese", Value("\xE6\x97\xA5\xE6\x9C\xAC")},
        {"crown", Value("\xF0\x9F\x91\x91 king")}, {"longText", Value(std::string(300, 'x'))}, {"emptyData", Value::data({})},
        {"allBytes", Value::data(allBytes)}, {"date", Value::date(1718000000.5)}, {"epoch", Value::date(0)},
        {"dateLongAgo", Value::date(-1e10)}, {"dateFarAhead", Value::date(4.5e9)}, {"emptyArray", Value::array()},
        {"emptyDictionary", Value::dictionary()}, {"twenty", Value(twenty)}, {"manyStrings", Value(manyStrings)},
        {"nested", Value{{"person", Value{{"person_id", Value(3)}, {"monsterId", Value(12u)}, {"is_exploring", Value(true)}}},
                         {"list", Value::array({Value::array({Value(1.25f), Value("a")}), Value::dictionary()})}}}};
    // Signed integers at every width boundary.
    for (long long i : {std::numeric_limits<long long>::min(), -5LL, 0LL, 255LL, 256LL, 65536LL, 4294967296LL, std::numeric_limits<long long>::max()})
        d["int" + std::to_string(i)] = Value(i);
    return Value(d);
}

// What the XML form gives back: integers up to 2^63 - 1 read as signed, larger ones as unsigned;
// reals as doubles of the same value.
Value asXmlReadsIt(const Value& v) {
    if (v.isInteger() && !(v.isUnsigned() && v.unsignedValue() > uint64_t(std::numeric_limits<int64_t>::max())))
        return Value(static_cast<long long>(v.integerValue()));
    if (v.isReal()) return Value(v.doubleValue());
    Value out = v;
    if (v.isArray())
        for (size_t i = 0; i < v.count(); ++i) out = out.replacingAt(i, asXmlReadsIt(v[i]));
    if (v.isDictionary())
        for (const auto& [k, e] : v.dictionaryValue()) out = out.with(k, asXmlReadsIt(e));
    return out;
}

// The reader's error for input it refuses ("read" when it reads it after all).
std::string refusal(const std::vector<uint8_t>& bytes) {
    std::string error;
    return PropertyList::read(bytes, &error) ? "read" : error;
}
std::string objectRefusal(const std::vector<std::vector<uint8_t>>& objects) { return refusal(binaryFromObjects(objects, 0, 1)); }

}  // namespace

TEST(PropertyListRoundTrip, BinaryKeepsEveryKindExactlyXmlAllButPrecision) {
    for (const Value& v : {everyKind(), Value(-42), Value(7u), Value(2.5f), Value(2.5), Value(true), Value("root"),
                           Value::date(1.5), Value::array({Value(1), Value(2u)})}) {
        std::string error;
        std::optional<Value> back = PropertyList::read(PropertyList::writeBinary(v), &error);
        ASSERT_TRUE(back) << v.debugDescription() << ": " << error;
        EXPECT_TRUE(keepsKinds(v, *back));
    }
    // The single-precision real keeps its short text, the way the game shows rates.
    EXPECT_EQ(PropertyList::read(PropertyList::writeBinary(everyKind())).value()["floatTenth"].stringValue(), "0.1");
    // XML keeps integers, reals, booleans and large unsigned ones.
    std::vector<uint8_t> bytes = PropertyList::writeXml(everyKind());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("<integer>18446744073709551615</integer>"), std::string::npos);
    EXPECT_NE(text.find("<integer>-5</integer>"), std::string::npos);
    std::string error;
    std::optional<Value> back = PropertyList::read(bytes, &error);
    ASSERT_TRUE(back) << error;
    // libplist writes XML dates in whole seconds and keeps them in 32 bits of seconds since 2001.
    Value expected = asXmlReadsIt(everyKind()).without("dateLongAgo").without("dateFarAhead").with("date", Value::date(1718000000));
    EXPECT_TRUE(keepsKinds(expected, back->without("dateLongAgo").without("dateFarAhead")));
}

TEST(PropertyListRoundTrip, XmlFromOtherWritersWithCommentsCdataAndHex) {
    std::string error;
    std::optional<Value> back = PropertyList::read(
        bytesOf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                "<plist version=\"1.0\"><!-- <array><array> in a comment does not nest -->\n<dict>\n"
                "  <key>big</key><integer>18446744073709551615</integer><key>minusOne</key><integer>-1</integer>\n"
                "  <key>hex</key><integer>0x10</integer><key>name</key><string><![CDATA[<dict><dict>]]></string>\n"
                "  <key>rate</key><real>1.25</real><key>empty</key><array/><key>flag</key><false/>\n</dict></plist>\n"),
        &error, Value::Type::Dictionary);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(keepsKinds(*back, Value{{"big", Value(std::numeric_limits<unsigned long long>::max())}, {"minusOne", Value(-1)},
                                        {"hex", Value(16)}, {"name", Value("<dict><dict>")}, {"rate", Value(1.25)},
                                        {"empty", Value::array()}, {"flag", Value(false)}}));
}

TEST(PropertyListRoundTrip, PlistutilReadsOurBinaryWithTheSameKinds) {
    if (std::system("command -v plistutil >/dev/null 2>&1") != 0) GTEST_SKIP() << "plistutil is not installed";
    TempDir dir;
    Value v{{"unsignedMax", Value(std::numeric_limits<unsigned long long>::max())}, {"small", Value(5u)},
            {"negative", Value(-5)}, {"rate", Value(1.5f)}, {"time", Value(1718000000.125)}, {"flag", Value(true)}};
    writeBytes(dir.file("in.plist"), PropertyList::writeBinary(v));
    ASSERT_EQ(std::system(("plistutil -i " + dir.file("in.plist") + " -o " + dir.file("out.xml")).c_str()), 0);
    std::vector<uint8_t> xml = readBytes(dir.file("out.xml"));
    const std::string text(xml.begin(), xml.end());
    for (const char* element : {"<integer>18446744073709551615</integer>", "<integer>5</integer>", "<integer>-5</integer>",
                                "<real>1.5</real>", "<real>1718000000.125</real>", "<true/>"})
        EXPECT_NE(text.find(element), std::string::npos) << element << " in " << text;
}

TEST(PropertyListLimits, NestingUpToTheLimitIsReadDeeperIsRefusedQuickly) {
    Value deepest = nestedArrays(PropertyList::maxDepth);
    for (const auto& bytes : {PropertyList::writeBinary(deepest), PropertyList::writeXml(deepest), binaryChain(PropertyList::maxDepth),
                              xmlChain(PropertyList::maxDepth)})
        EXPECT_EQ(refusal(bytes), "read");
    std::string error;
    EXPECT_TRUE(PropertyList::writeBinary(nestedArrays(PropertyList::maxDepth + 1), &error).empty());
    EXPECT_EQ(error, "nesting too deep");
    EXPECT_TRUE(PropertyList::writeXml(nestedArrays(PropertyList::maxDepth + 1)).empty());
    std::vector<std::vector<uint8_t>> tooDeep;
    for (size_t levels : {size_t(PropertyList::maxDepth + 1), size_t(100000)})
        for (auto bytes : {binaryChain(levels), xmlChain(levels)}) tooDeep.push_back(std::move(bytes));
    const auto started = std::chrono::steady_clock::now();
    for (const auto& bytes : tooDeep) EXPECT_EQ(refusal(bytes), "nesting too deep");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const auto bound = std::chrono::seconds(10);  // instrumented builds run several times slower
#else
    const auto bound = std::chrono::seconds(2);
#endif
    EXPECT_LT(std::chrono::steady_clock::now() - started, bound);
}

TEST(PropertyListLimits, SharedObjectsCyclesBadReferencesAndNonStringKeysAreRefused) {
    // Each array holds the next one twice: 41 objects, 2^41 values once expanded.
    std::vector<std::vector<uint8_t>> objects;
    for (int i = 0; i < 40; ++i) objects.push_back({0xA2, static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i + 1)});
    objects.push_back({0x10, 0x01});
    EXPECT_EQ(objectRefusal(objects), "too many values");
    // A few levels of sharing are fine and read as copies.
    std::optional<Value> back = PropertyList::read(binaryFromObjects({{0xA2, 1, 1}, {0xA2, 2, 2}, {0x10, 0x07}}, 0, 1));
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)[1][0].integerValue(), 7);

    EXPECT_EQ(objectRefusal({{0xA1, 0}}), "object graph has a cycle");
    EXPECT_NE(objectRefusal({{0xA1, 1}, {0xA1, 0}}), "read");
    EXPECT_EQ(objectRefusal({{0xA1, 9}}), "object reference out of range");
    EXPECT_EQ(objectRefusal({{0xD1, 1, 1}, {0x10, 0x01}}), "dictionary key is not a string");
    EXPECT_NE(objectRefusal({{0x80, 0x01}}), "read");  // a UID
}

TEST(PropertyListLimits, NulStringsOversizedEmptyAndWrongRootAreRefusedAndNilIsLeftOut) {
    EXPECT_EQ(objectRefusal({{0x53, 'a', 0, 'b'}}), "string holds a NUL character");
    EXPECT_NE(objectRefusal({{0x61, 0, 0}}), "read");
    EXPECT_NE(objectRefusal({{0xD1, 1, 2}, {0x52, 'k', 0}, {0x09}}), "read");
    EXPECT_EQ(refusal(bytesOf("<plist><string>a&#0;b</string></plist>")), "NUL character in XML");
    EXPECT_NE(refusal(bytesOf("<plist><string>a&#x000;b</string></plist>")), "read");
    EXPECT_NE(refusal(bytesOf(std::string("<plist><string>a\0b</string></plist>", 35))), "read");
    EXPECT_EQ(refusal(bytesOf("<plist><string>a&#10;b&#x41;</string></plist>")), "read");
    std::vector<uint8_t> huge = bytesOf("<plist><string>");
    huge.resize(PropertyList::maxBytes + 1, 'a');
    EXPECT_EQ(refusal(huge), "input larger than the limit");
    EXPECT_NE(refusal(std::vector<uint8_t>{}), "read");
    std::string error;
    std::vector<uint8_t> array = PropertyList::writeBinary(Value::array({Value(1)}));
    EXPECT_TRUE(PropertyList::read(array, &error, Value::Type::Array));
    EXPECT_FALSE(PropertyList::read(array, &error, Value::Type::Dictionary));
    EXPECT_EQ(error, "root is not of the expected kind");
    EXPECT_TRUE(PropertyList::writeBinary(Value()).empty() && PropertyList::writeXml(Value()).empty());
    // Nil entries inside are left out.
    Value withNil{{"list", Value(Value::Array{Value(1), Value(), Value(2)})}, {"gone", Value()}};
    for (auto format : {PropertyList::Format::Binary, PropertyList::Format::Xml})
        EXPECT_EQ(PropertyList::read(PropertyList::write(withNil, format)).value_or(Value()), (Value{{"list", Value::array({1, 2})}}));
}

TEST(PropertyListDamage, EveryTruncationAndRandomCorruptionIsHandled) {
    Value::Dictionary d;
    for (int i = 0; i < 12; ++i)
        d["person_" + std::to_string(i)] = Value{{"person_id", Value(i)}, {"monsterId", Value(static_cast<unsigned>(i))},
                                                  {"rate", Value(0.5f)}, {"name", Value("h\xC3\xA9ros")}};
    for (auto format : {PropertyList::Format::Binary, PropertyList::Format::Xml}) {
        std::vector<uint8_t> good = PropertyList::write(Value(d), format);
        ASSERT_TRUE(PropertyList::read(good));
        for (size_t length = 0; length < good.size(); ++length) {
            const bool read = PropertyList::read(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length))).has_value();
            if (read && format == PropertyList::Format::Binary) ADD_FAILURE() << "truncated binary read at " << length;
        }
        std::mt19937 random(1234);
        for (int round = 0; round < 1500; ++round) {
            std::vector<uint8_t> bad = good;
            for (int f = 0, flips = 1 + static_cast<int>(random() % 4); f < flips; ++f) bad[random() % bad.size()] = static_cast<uint8_t>(random());
            (void)PropertyList::read(bad);  // must not crash, hang or leak
        }
    }
}
