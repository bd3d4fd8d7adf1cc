// The picture generator as the build runs it: sources in a temporary folder, PNG files read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "PngIo.h"
#include "Script.h"

namespace fs = std::filesystem;
using spritegen::Rgba;
#define PALETTE "palette palette.txt\n"

namespace {

class SpritegenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    write("palette.txt", "ink #1b1426 K\nred #c0392b r\nred_dk #7a1f2b R\nramp red_dk red\n");
  }
  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }
  // Runs the generator on `source`; the exit status and everything printed.
  std::pair<int, std::string> generate(const std::string& source, const std::string& options = "--out out") {
    write("test.art", source);
    FILE* pipe = popen(("cd " + dir_.string() + " && " SPRITEGEN_EXE " " + options + " test.art 2>&1").c_str(), "r");
    std::string out;
    std::array<char, 256> buf{};
    while (fgets(buf.data(), buf.size(), pipe)) out += buf.data();
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
  }
  fs::path dir_ = fs::path(RE_TEST_BINARY_DIR) / "spritegen-test" / ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(SpritegenTest, PicturesHaveTheirSizeTimesScaleAndAreReproducible) {
  std::string src = PALETTE "sprite plain.png 7 5\n  rect 0 0 7 5 red\nend\nsprite retina@2x.png 7 5\n  rect 0 0 7 5 red\nend\n"
                    "sprite big.png 4 3 3\n  rect 0 0 4 3 red\nend\n"
                    "for f 1 3\n  sprite p{f}@2x.png 20 20\n    ellipse 10 10 f*2 5 red\n    shade\n    outline\n  end\nend\n";
  ASSERT_EQ(generate(src, "--out a").first, 0);
  ASSERT_EQ(generate(src, "--out b").first, 0);
  for (auto [name, w, h] : {std::tuple{"plain.png", 7, 5}, {"retina@2x.png", 14, 10}, {"big.png", 12, 9}}) {
    auto pic = spritegen::loadPng((dir_ / "a" / name).string());
    EXPECT_EQ(std::pair(pic.width(), pic.height()), std::pair(w, h)) << name;
  }
  EXPECT_EQ(spritegen::loadPng((dir_ / "a/retina@2x.png").string()).at(13, 9), (Rgba{0xc0, 0x39, 0x2b, 255}));
  auto bytes = [&](const std::string& p) { std::ifstream in(dir_ / p, std::ios::binary); return std::string(std::istreambuf_iterator<char>(in), {}); };
  for (std::string name : {"p1@2x.png", "p2@2x.png", "p3@2x.png"})
    EXPECT_TRUE(!bytes("a/" + name).empty() && bytes("a/" + name) == bytes("b/" + name)) << name;
}

TEST_F(SpritegenTest, FaultsNameTheFileAndLineAndListingWritesNothing) {
  write("bad.txt", "ink #1b1426 K\nred #12 r\n");
  for (auto [source, fault] : {
           std::pair{"palette bad.txt\nsprite a.png 4 4\nend\n", "bad.txt:2: bad colour '#12'"},
           {PALETTE "sprite a.png 4 4\n  rect 0 0 2 2 blu\nend\n", "test.art:3: unknown colour 'blu'"},
           {PALETTE "sprite a.png 4 4\n  rows\n  rr\n  rz\n  end\nend\n", "test.art:5: no colour has the key 'z'"},
           {PALETTE "sprite a.png 4 4\n  rect 0 0 (2 2 red\nend\n", "test.art:3: unbalanced '('"},
           {PALETTE "sprite a.png 4 4\n  rect 0 0 q 2 red\n", "test.art:2: block is not closed"},
           {PALETTE "sprite a.png 4 4\nend\nsprite a.png 4 4\nend\n", "a.png is already produced"},
           {PALETTE "sprite a.png 4 4\n  rect 0 0 size 2 red\nend\n", "test.art:3: bad expression 'size': unknown variable 'size'"},
           {PALETTE "for f 1 3\n  sprite a{f}.png 4 4\n    pixel pick(f,0,1) 0 red\n  end\nend\n", "test.art:4: bad expression 'pick(f,0,1)': pick index 3 out of range"},
           {PALETTE "macro dot x y\n  pixel x y red\nend\nsprite a.png 4 4\n  call dot 1\nend\n", "test.art:6: macro 'dot' takes 2 value(s)"}}) {
    auto [code, out] = generate(source);
    EXPECT_TRUE(code == 1 && out.find(fault) != std::string::npos) << code << " " << out;
  }
  EXPECT_EQ(generate(PALETTE "for f 1 2\n  sprite p_{f}@2x.png 2 2\n  end\nend\n", "--list --out none"),
            std::pair(0, std::string("p_1@2x.png\np_2@2x.png\n")));
  EXPECT_FALSE(fs::exists(dir_ / "none"));
}

// One picture drawn from a script in memory with the game's palette, and that palette.
std::pair<spritegen::Canvas, spritegen::Palette> draw(const std::string& body) {
  auto script = spritegen::Script::fromText("palette " RE_TEST_SOURCE_DIR "/art/palette.txt\n" + body, "inline.art");
  std::vector<spritegen::Picture> pics;
  script.run([&](const spritegen::Picture& p) { pics.push_back(p); });
  EXPECT_EQ(pics.size(), 1u);
  return {pics.at(0).canvas, script.palette()};
}

TEST(SpritegenScript, PartsMirrorOutlineAndShadeAsDeclared) {
  auto [c, pal] = draw("part dot 3 1\n  rows\n  r..\n  end\nend\nsprite t.png 9 5\n"
                       "  layer\n    rect 3 1 3 3 red\n    shade\n    outline\n  end\n  place dot 0 0 flipx\nend\n");
  EXPECT_EQ(c.at(2, 0), pal.find("red"));  // the part, mirrored
  EXPECT_EQ(c.at(0, 0), Rgba{});
  EXPECT_EQ(c.at(2, 2), pal.find("ink"));  // outline left of the square
  EXPECT_EQ(c.at(3, 1), pal.find("red"));     // lit side keeps its colour
  EXPECT_EQ(c.at(5, 3), pal.find("red_dk"));  // lower right rim is shaded
  EXPECT_EQ(c.at(6, 4), Rgba{});              // 4-neighbour outline leaves corners open
}

// A condition written with blanks is one expression: both sides of || and && count.
TEST(SpritegenScript, ConditionsWithBlanksTestEverySide) {
  auto [c, pal] = draw("set d 6\nset n d + 1\nsprite t.png 3 1\n  if d==4 || d==6\n    pixel 0 0 red\n  end\n"
                       "  if d==6 && n==8\n    pixel 1 0 red\n  end\n  if d == 6 && n == 7\n    pixel 2 0 red\n  end\nend\n");
  EXPECT_EQ(c.at(0, 0), pal.find("red"));
  EXPECT_EQ(c.at(1, 0), Rgba{});
  EXPECT_EQ(c.at(2, 0), pal.find("red"));
}

// The game loads these pictures by name: every one must be drawn, at the size its view expects.
TEST(GameArt, EveryNamedPictureIsDrawnAtItsSize) {
  std::vector<std::tuple<std::string, int, int>> expected{{"person_1_6_1.png", 43, 60}, {"k.png", 43, 60}};
  auto add = [&](const std::string& prefix, int from, int to, const char* suffix, int w, int h) {
    for (int f = from; f <= to; ++f) expected.push_back({prefix + std::to_string(f) + suffix, w, h});
  };
  for (int a = 1; a <= 5; ++a) add("king-" + std::to_string(a) + "_", 1, std::array{3, 9, 9, 3, 11}[a - 1], "@2x.png", 160, 160);
  for (int pose = 1; pose <= 5; ++pose) add("person_1_" + std::to_string(pose) + "_", 1, pose == 5 ? 25 : 2, ".png", 43, 60);
  add("k", 1, 6, ".png", 56, 56);
  add("ef", 1, 15, "@2x.png", 120, 180);
  for (const auto& [name, w, h] : expected) {
    auto pic = spritegen::loadPng(RE_TEST_RESOURCE_DIR "/images/" + name);  // throws naming a missing file
    EXPECT_EQ(std::pair(pic.width(), pic.height()), std::pair(w, h)) << name;
  }
}

}  // namespace
