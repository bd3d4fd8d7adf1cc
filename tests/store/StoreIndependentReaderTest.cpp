// Another reader agrees with us: Python's plistlib loads the saved-state file and sees integers,
// reals, booleans, dictionaries and lists where the game stored them, and we read what it writes.
#include <climits>

#include "RealisticState.h"
#include "StoreTestSupport.h"

TEST(StoreIndependentReader, PythonSeesTheKindsTheGameStoredAndWeReadWhatItWrites) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    storetest::fillRealisticState(store);
    store.setObject(Value(ULLONG_MAX), "hugeUnsigned");
    store.setInteger(-5, "negative");
    ASSERT_TRUE(store.synchronize());
    const std::string script =
        "import plistlib,sys\n"
        "d=plistlib.load(open(sys.argv[1],'rb'))\n"
        "keys=['gold','goldRate','timestamp_start','shopUnlocked','dungeon_3','monsters','hugeUnsigned','negative']\n"
        "print(' '.join(type(d[k]).__name__ for k in keys))\n"
        "m=d['monsters'][0]\n"
        "print(d['hugeUnsigned'], d['negative'], d['goldRate'], d['timestamp_start'])\n"
        "print(type(m['monster_id']).__name__, type(m['viewed']).__name__, m['monster_id'], d['person_3']['dungeonId'])\n"
        "w={'gold':1234,'negative':-7,'huge':2**64-1,'rate':1.5,'flag':True,'name':'\\u738b','list':[1,{'x':2.25}],'blob':b'\\x00\\x01'}\n"
        "for f in ('BINARY','XML'): plistlib.dump(w, open(sys.argv[2]+f,'wb'), fmt=getattr(plistlib,'FMT_'+f))\n";
    const std::string command = "python3 " + dir.write("check.py", script) + " " + store.filePath() + " " + dir.file("py-");
    EXPECT_EQ(std::system((command + " > " + dir.file("out") + " 2>&1").c_str()), 0);
    const std::vector<uint8_t> out = readBytes(dir.file("out"));
    EXPECT_EQ(std::string(out.begin(), out.end()),
              "int float float bool dict list int int\n18446744073709551615 -5 1.5 1718000000.125\nint bool 1 7\n");
    const Value expected{{"gold", Value(1234)}, {"negative", Value(-7)}, {"huge", Value(ULLONG_MAX)}, {"rate", Value(1.5)},
                         {"flag", Value(true)}, {"name", Value("\xE7\x8E\x8B")}, {"list", Value::array({Value(1), Value{{"x", Value(2.25)}}})},
                         {"blob", Value::data({0, 1})}};
    for (const char* format : {"BINARY", "XML"}) {
        std::string error;
        const std::optional<Value> back = PropertyList::readFile(dir.file("py-") + format, &error, Value::Type::Dictionary);
        ASSERT_TRUE(back) << format << ": " << error;
        EXPECT_EQ(kindsOf(expected), kindsOf(*back)) << format;
    }
}
