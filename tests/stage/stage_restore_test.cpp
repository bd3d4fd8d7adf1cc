// A restart in the middle of an explore: one process plays part of an explore on the stage and
// saves; a second, fresh process draws the stage from the saved person records. Both run as child
// processes of this test program on a data folder of their own (RE_DATA_DIR), so the records go
// through the real store file between them.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "stage_test_support.h"

namespace stagetests {
namespace {

bool childPhase(const char* phase) {
    const char* given = std::getenv("RE_STAGE_CHILD");
    return given && std::string(given) == phase;
}

// Runs this program again with only the given test, in a data folder of its own.
int runChild(const std::string& phase, const fs::path& data, const fs::path& log) {
    const std::string command = "RE_STAGE_CHILD=" + phase + " RE_DATA_DIR='" + data.string() +
                                "' /proc/" + std::to_string(::getpid()) + "/exe --gtest_filter=StageRestartChild.Phase" + phase +
                                " >'" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- The two lives of the game, run only as child processes.

class StageRestartChild : public StageViewTest {
protected:
    void SetUp() override {
        if (!std::getenv("RE_STAGE_CHILD")) GTEST_SKIP() << "runs as a child of StageRestartTest";
        setUpStage(childPhase("1"));
    }
};

// First life: everybody leaves; persons 1-3 come home with monster 1, 4-5 in coffins, 6 with
// nothing; person 7 is on its way home with a monster when the game goes away; 8-20 are out.
TEST_F(StageRestartChild, Phase1) {
    stage->drawPersons();
    sendEveryoneOff();
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    for (int i = 0; i < 3; ++i) stage->comebackOnePersonWithResult(true, true);
    stage->setCurrentDungeonInfo(dungeonInfo(2));
    for (int i = 0; i < 2; ++i) stage->comebackOnePersonWithResult(true, true);
    advance(3);
    stage->setCurrentDungeonInfo(dungeonInfo(4));
    stage->comebackOnePersonWithResult(true, true);
    advance(3);
    stage->setCurrentDungeonInfo(dungeonInfo(1));
    stage->comebackOnePersonWithResult(true, true);
    advance(0.5);
    ASSERT_TRUE(person(7)->isMovingForBack());
    ASSERT_EQ(stage->yieldPersons(1).size(), 5u);
    ASSERT_TRUE(store().synchronize());
}

// Second life: the stage is drawn from the records alone.
TEST_F(StageRestartChild, Phase2) {
    stage->drawPersons();
    for (int id = 1; id <= 3; ++id) {
        auto p = person(id);
        EXPECT_FALSE(p->isHidden()) << id;
        EXPECT_EQ(p->currentYieldType(), 3u) << id;
        EXPECT_EQ(p->currentMonsterId(), 1u) << id;
        EXPECT_EQ(p->currentDungeonId(), 1u) << id;
        EXPECT_TRUE(p->isBeforeCheck()) << id;
        ASSERT_TRUE(p->yieldImgView()) << id;
        EXPECT_EQ(p->yieldImgView()->image(), Image::named("m1.png")) << id;
        EXPECT_TRUE(p->myTimer().isValid()) << id;
    }
    for (int id = 4; id <= 5; ++id) {
        auto p = person(id);
        EXPECT_EQ(p->currentYieldType(), 2u) << id;
        EXPECT_EQ(p->personImgView()->image(), Image::named("k.png")) << id;
        EXPECT_TRUE(p->transform().isIdentity()) << id;
        EXPECT_TRUE(p->isBeforeCheck()) << id;
    }
    // At home with nothing; others hold yields, so it waits with the still picture.
    EXPECT_FALSE(person(6)->isHidden());
    EXPECT_EQ(person(6)->currentYieldType(), 0u);
    EXPECT_EQ(person(6)->personImgView()->image(), PoseManager::getInstance()->waitingImage());
    // Out exploring (person 7 was still on its way): hidden, result kept.
    for (int id = 7; id <= 20; ++id) EXPECT_TRUE(person(id)->isHidden()) << id;
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(7), 3);
    EXPECT_TRUE(stage->isAnyoneExploring());
    EXPECT_TRUE(stage->isAnyoneHavingYield());
    const auto out = PersonManager::getInstance()->explorings();
    ASSERT_EQ(out.size(), 14u);
    EXPECT_EQ(out.front(), 7);

    // The holders are straight back in their group, and a touch collects one.
    const auto& group = stage->yieldPersons(1);
    ASSERT_EQ(group.size(), 6u);  // 7, 5, 4, 3, 2, 1 in drawing order
    EXPECT_EQ(group.back()->personId(), 1);
    window->touchDown(screen(Point(296, 120)));
    EXPECT_TRUE(person(1)->isCheking());
    EXPECT_EQ(group.size(), 5u);

    // The next return brings the front person still away.
    stage->comebackOnePersonWithResult(false, true);
    EXPECT_TRUE(person(7)->isMovingForBack());
}

// ---- The parent.

TEST(StageRestartTest, HoldersAndExplorersSurviveARestart) {
    const Folders& f = folders();
    const fs::path data = f.root / "restart-data";
    fs::remove_all(data);
    fs::create_directories(data);

    const int first = runChild("1", data, f.root / "phase1.log");
    ASSERT_EQ(first, 0) << readAll(f.root / "phase1.log");
    ASSERT_NE(readAll(f.root / "phase1.log").find("[  PASSED  ] 1 test"), std::string::npos) << readAll(f.root / "phase1.log");

    // What is on disk, read by a store of its own.
    {
        SavedStateStore onDisk((data / SavedStateStore::fileName).string());
        const Value p1 = onDisk.objectForKey("person_1");
        EXPECT_EQ(p1["yieldType"].integerValue(), 3);
        EXPECT_EQ(p1["monsterId"].integerValue(), 1);
        EXPECT_EQ(p1["dungeonId"].integerValue(), 1);
        EXPECT_FALSE(p1["is_exploring"].boolValue());
        const Value p4 = onDisk.objectForKey("person_4");
        EXPECT_EQ(p4["yieldType"].integerValue(), 2);
        EXPECT_FALSE(p4.contains("monsterId"));
        EXPECT_TRUE(onDisk.objectForKey("person_7")["is_exploring"].boolValue());
        EXPECT_TRUE(onDisk.objectForKey("person_20")["is_exploring"].boolValue());
        EXPECT_EQ(onDisk.objectForKey("dungeon_1")["explore_cnt"].integerValue(), 4);
    }

    const int second = runChild("2", data, f.root / "phase2.log");
    EXPECT_EQ(second, 0) << readAll(f.root / "phase2.log");
    EXPECT_NE(readAll(f.root / "phase2.log").find("[  PASSED  ] 1 test"), std::string::npos) << readAll(f.root / "phase2.log");
}

}  // namespace
}  // namespace stagetests
