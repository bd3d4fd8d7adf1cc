// Another reader agrees with us: Python's plistlib loads the saved-state file and sees integers,
// reals, booleans, dictionaries and lists where the game stored them, and we read what it writes.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "RealisticState.h"
#include "StoreTestSupport.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"

namespace {

bool havePython() { return std::system("command -v python3 >/dev/null 2>&1") == 0; }

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
    ::pclose(pipe);
    return out;
}

}  // namespace

TEST(StoreIndependentReader, PythonSeesTheKindsTheGameStored) {
    if (!havePython()) GTEST_SKIP() << "python3 is not installed";
    storetest::TempDir dir;
    std::string path = dir.file("savedstate.plist");
    SavedStateStore store(path);
    storetest::fillRealisticState(store);
    store.setObject(Value(std::numeric_limits<unsigned long long>::max()), "hugeUnsigned");
    store.setInteger(-5, "negative");
    ASSERT_TRUE(store.synchronize());
    std::string script =
        "import plistlib,sys\n"
        "d=plistlib.load(open(sys.argv[1],'rb'))\n"
        "keys=['gold','goldRate','timestamp_start','shopUnlocked','dungeon_3','monsters','hugeUnsigned','negative']\n"
        "print(' '.join(type(d[k]).__name__ for k in keys))\n"
        "print(d['hugeUnsigned'], d['negative'], d['goldRate'], d['timestamp_start'])\n"
        "m=d['monsters'][0]\n"
        "print(type(m['monster_id']).__name__, type(m['viewed']).__name__, m['monster_id'], d['person_3']['dungeonId'])\n";
    std::string out = run("python3 -c \"" + std::string([&] {
        std::string escaped;
        for (char c : script) {
            if (c == '"' || c == '\\' || c == '$' || c == '`') escaped += '\\';
            escaped += c;
        }
        return escaped;
    }()) + "\" " + path + " 2>&1");
    EXPECT_EQ(out,
              "int float float bool dict list int int\n"
              "18446744073709551615 -5 1.5 1718000000.125\n"
              "int bool 1 7\n");
}

TEST(StoreIndependentReader, WeReadWhatPythonWrites) {
    if (!havePython()) GTEST_SKIP() << "python3 is not installed";
    storetest::TempDir dir;
    for (const char* format : {"FMT_BINARY", "FMT_XML"}) {
        std::string path = dir.file(std::string("from-python-") + format + ".plist");
        std::string command = std::string("python3 -c \"import plistlib,sys,datetime; "
                                          "d={'gold':1234,'negative':-7,'huge':2**64-1,'rate':1.5,'flag':True,"
                                          "'name':'\\u738b','list':[1,{'x':2.25}],'blob':b'\\x00\\x01'}; "
                                          "plistlib.dump(d, open(sys.argv[1],'wb'), fmt=plistlib.") +
                              format + ")\" " + path;
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::string error;
        std::optional<Value> back = PropertyList::readFile(path, &error, Value::Type::Dictionary);
        ASSERT_TRUE(back) << format << ": " << error;
        EXPECT_EQ((*back)["gold"].integerValue(), 1234);
        EXPECT_FALSE((*back)["gold"].isUnsigned());
        EXPECT_EQ((*back)["negative"].integerValue(), -7);
        EXPECT_TRUE((*back)["huge"].isUnsigned()) << format;
        EXPECT_EQ((*back)["huge"].unsignedValue(), std::numeric_limits<uint64_t>::max());
        EXPECT_TRUE((*back)["rate"].isReal());
        EXPECT_EQ((*back)["rate"].doubleValue(), 1.5);
        EXPECT_TRUE((*back)["flag"].isBoolean());
        EXPECT_EQ((*back)["name"].stringValue(), "\xE7\x8E\x8B");
        EXPECT_EQ((*back)["list"][1]["x"].doubleValue(), 2.25);
        EXPECT_EQ((*back)["blob"].dataValue(), (Value::Bytes{0, 1}));
    }
}
