// The picture generator, driven as the build drives it: sources in a temporary folder,
// the real executable, PNG files read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "PngIo.h"
#include "Script.h"

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int exitCode;
  std::string output;
};

class SpritegenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(RE_TEST_BINARY_DIR) / "spritegen-test" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    write("palette.txt",
          "ink #1b1426 K\n"
          "red #c0392b r\n"
          "red_dk #7a1f2b R\n"
          "white #f4f1e8 W\n"
          "ramp red_dk red\n");
  }

  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }

  RunResult run(const std::string& args) {
    std::string cmd = std::string(SPRITEGEN_EXE) + " " + args + " 2>&1";
    RunResult r{0, {}};
    FILE* pipe = popen(cmd.c_str(), "r");
    std::array<char, 256> buf{};
    while (fgets(buf.data(), buf.size(), pipe)) r.output += buf.data();
    int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
  }

  RunResult generate(const std::string& source, const std::string& out = "out") {
    write("test.art", source);
    return run("--out " + (dir_ / out).string() + " " + (dir_ / "test.art").string());
  }

  std::string bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
};

TEST_F(SpritegenTest, PicturesHaveTheDeclaredSizeTimesTheirScale) {
  auto r = generate(
      "palette palette.txt\n"
      "sprite plain.png 7 5\n  rect 0 0 7 5 red\nend\n"
      "sprite retina@2x.png 7 5\n  rect 0 0 7 5 red\nend\n"
      "sprite big.png 4 3 3\n  rect 0 0 4 3 red\nend\n");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  auto plain = spritegen::loadPng((dir_ / "out/plain.png").string());
  auto retina = spritegen::loadPng((dir_ / "out/retina@2x.png").string());
  auto big = spritegen::loadPng((dir_ / "out/big.png").string());
  EXPECT_EQ(plain.width(), 7);
  EXPECT_EQ(plain.height(), 5);
  EXPECT_EQ(retina.width(), 14);
  EXPECT_EQ(retina.height(), 10);
  EXPECT_EQ(big.width(), 12);
  EXPECT_EQ(big.height(), 9);
  // Each point of an @2x picture is a solid 2 x 2 block.
  EXPECT_EQ(retina.at(13, 9), (spritegen::Rgba{0xc0, 0x39, 0x2b, 255}));
}

TEST_F(SpritegenTest, OutputIsByteForByteReproducible) {
  std::string src =
      "palette palette.txt\n"
      "for f 1 3\n  sprite p{f}@2x.png 20 20\n    ellipse 10 10 f*2 5 red\n    shade\n    outline\n  end\nend\n";
  ASSERT_EQ(generate(src, "a").exitCode, 0);
  ASSERT_EQ(generate(src, "b").exitCode, 0);
  for (int f = 1; f <= 3; ++f) {
    std::string name = "p" + std::to_string(f) + "@2x.png";
    EXPECT_EQ(bytes(dir_ / "a" / name), bytes(dir_ / "b" / name)) << name;
    EXPECT_FALSE(bytes(dir_ / "a" / name).empty());
  }
}

TEST_F(SpritegenTest, FaultsNameTheFileAndLine) {
  write("bad.txt", "ink #1b1426 K\nred #12 r\n");
  auto r = generate("palette bad.txt\nsprite a.png 4 4\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("bad.txt:2: bad colour '#12'"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nsprite a.png 4 4\n  rect 0 0 2 2 blu\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:3: unknown colour 'blu'"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nsprite a.png 4 4\n  rows\n  rr\n  rz\n  end\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:5: no colour has the key 'z'"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nsprite a.png 4 4\n  rect 0 0 (2 2 red\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:3: unbalanced '('"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nsprite a.png 4 4\n  rect 0 0 q 2 red\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:2: block is not closed"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nsprite a.png 4 4\nend\nsprite a.png 4 4\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("a.png is already produced"), std::string::npos) << r.output;
}

TEST_F(SpritegenTest, ValuesAndMacrosAreCheckedWhereTheyAreUsed) {
  auto r = generate("palette palette.txt\nsprite a.png 4 4\n  rect 0 0 size 2 red\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:3: bad expression 'size': unknown variable 'size'"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nfor f 1 3\n  sprite a{f}.png 4 4\n    pixel pick(f,0,1) 0 red\n  end\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:4:"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("pick index 3 out of range"), std::string::npos) << r.output;

  r = generate("palette palette.txt\nmacro dot x y\n  pixel x y red\nend\nsprite a.png 4 4\n  call dot 1\nend\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("test.art:6: macro 'dot' takes 2 value(s)"), std::string::npos) << r.output;

  // Listing names what would be written and writes nothing.
  write("list.art", "palette palette.txt\nfor f 1 2\n  sprite p_{f}@2x.png 2 2\n  end\nend\n");
  r = run("--list --out " + (dir_ / "none").string() + " " + (dir_ / "list.art").string());
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "p_1@2x.png\np_2@2x.png\n");
  EXPECT_FALSE(fs::exists(dir_ / "none"));
}

TEST(SpritegenScript, PartsMirrorOutlineAndShadeAsDeclared) {
  auto script = spritegen::Script::fromText(
      "palette " RE_TEST_SOURCE_DIR "/art/palette.txt\n"
      "part dot 3 1\n  rows\n  r..\n  end\nend\n"
      "sprite t.png 9 5\n"
      "  layer\n    rect 3 1 3 3 red\n    shade\n    outline\n  end\n"
      "  place dot 0 0 flipx\n"
      "end\n",
      "inline.art");
  std::vector<spritegen::Picture> pics;
  script.run([&](const spritegen::Picture& p) { pics.push_back(p); });
  ASSERT_EQ(pics.size(), 1u);
  const auto& c = pics[0].canvas;
  const auto& pal = script.palette();
  EXPECT_EQ(c.at(2, 0), *pal.find("red"));       // the part, mirrored
  EXPECT_EQ(c.at(0, 0), (spritegen::Rgba{}));
  EXPECT_EQ(c.at(2, 2), *pal.find("ink"));       // outline left of the square
  EXPECT_EQ(c.at(2, 1), *pal.find("ink"));
  EXPECT_EQ(c.at(2, 0) == *pal.find("ink"), false);
  EXPECT_EQ(c.at(3, 1), *pal.find("red"));       // lit side keeps its colour
  EXPECT_EQ(c.at(5, 3), *pal.find("red_dk"));    // lower right rim is shaded
  EXPECT_EQ(c.at(6, 4), (spritegen::Rgba{}));    // 4-neighbour outline leaves corners open
}

// A condition written with blanks is one expression: both sides of || and && count.
TEST(SpritegenScript, ConditionsWithBlanksTestEverySide) {
  auto script = spritegen::Script::fromText(
      "palette " RE_TEST_SOURCE_DIR "/art/palette.txt\n"
      "set d 6\n"
      "set n d + 1\n"
      "sprite t.png 3 1\n"
      "  if d==4 || d==6\n    pixel 0 0 red\n  end\n"
      "  if d==6 && n==8\n    pixel 1 0 red\n  end\n"
      "  if d == 6 && n == 7\n    pixel 2 0 red\n  end\n"
      "end\n",
      "inline.art");
  std::vector<spritegen::Picture> pics;
  script.run([&](const spritegen::Picture& p) { pics.push_back(p); });
  ASSERT_EQ(pics.size(), 1u);
  const auto& c = pics[0].canvas;
  const auto& pal = script.palette();
  EXPECT_EQ(c.at(0, 0), *pal.find("red"));
  EXPECT_EQ(c.at(1, 0), (spritegen::Rgba{}));
  EXPECT_EQ(c.at(2, 0), *pal.find("red"));
}

// The game loads these pictures by name: every one must be drawn, at the size its view expects.
TEST(GameArt, EveryNamedPictureIsDrawnAtItsSize) {
  fs::path images = fs::path(RE_TEST_RESOURCE_DIR) / "images";
  std::vector<std::pair<std::string, std::pair<int, int>>> expected;
  auto add = [&](const std::string& n, int w, int h) { expected.push_back({n, {w, h}}); };
  const int kingFrames[] = {3, 9, 9, 3, 11};
  for (int a = 1; a <= 5; ++a)
    for (int f = 1; f <= kingFrames[a - 1]; ++f)
      add("king-" + std::to_string(a) + "_" + std::to_string(f) + "@2x.png", 160, 160);
  for (int pose = 1; pose <= 4; ++pose)
    for (int f = 1; f <= 2; ++f) add("person_1_" + std::to_string(pose) + "_" + std::to_string(f) + ".png", 43, 60);
  for (int f = 1; f <= 25; ++f) add("person_1_5_" + std::to_string(f) + ".png", 43, 60);
  add("person_1_6_1.png", 43, 60);
  add("k.png", 43, 60);
  for (int f = 1; f <= 6; ++f) add("k" + std::to_string(f) + ".png", 56, 56);
  for (int f = 1; f <= 15; ++f) add("ef" + std::to_string(f) + "@2x.png", 120, 180);
  for (const auto& [name, size] : expected) {
    ASSERT_TRUE(fs::exists(images / name)) << name;
    auto pic = spritegen::loadPng((images / name).string());
    EXPECT_EQ(pic.width(), size.first) << name;
    EXPECT_EQ(pic.height(), size.second) << name;
  }
}

}  // namespace
