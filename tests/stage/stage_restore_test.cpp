// A restart in the middle of an explore: one process plays part of an explore on the stage and
// saves; a second, fresh process draws the stage from the saved person records. Both run as child
// processes of this program on a data folder of their own (RE_DATA_DIR), through the real store file.
#include <sys/wait.h>

#include <fstream>

#include "stage_test_support.h"

namespace stagetests {
namespace {

class StageRestartChild : public StageViewTest {
protected:
    void SetUp() override {
        const char* phase = std::getenv("RE_STAGE_CHILD");
        if (!phase) GTEST_SKIP() << "runs as a child of StageRestartTest";
        setUpStage(std::string(phase) == "1");
    }
};

// First life: persons 1-3 come home with monster 1, 4-5 in coffins, 6 with nothing; person 7 is
// on its way home with a monster when the game goes away; 8-20 are out.
TEST_F(StageRestartChild, Phase1) {
    stage->drawPersons();
    sendEveryoneOff();
    for (int dungeon : {1, 1, 1, 2, 2, 4, 1}) {
        stage->setCurrentDungeonInfo(dungeonInfo(dungeon));
        stage->comebackOnePersonWithResult(true, true);
        advance(dungeon == 1 ? 0 : 3);
    }
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
        EXPECT_EQ(p->currentMonsterId(), 1u) << id;
        EXPECT_TRUE(p->isBeforeCheck()) << id;
        ASSERT_TRUE(p->yieldImgView()) << id;
        EXPECT_EQ(p->yieldImgView()->image(), Image::named("m1.png")) << id;
        EXPECT_TRUE(p->myTimer().isValid()) << id;
    }
    for (int id = 4; id <= 5; ++id) {
        EXPECT_EQ(person(id)->currentYieldType(), 2u) << id;
        EXPECT_EQ(person(id)->personImgView()->image(), Image::named("k.png")) << id;
    }
    // At home with nothing; others hold yields, so it waits with the still picture.
    EXPECT_EQ(person(6)->personImgView()->image(), PoseManager::getInstance()->waitingImage());
    // Out exploring (person 7 was still on its way): hidden, result kept.
    for (int id = 7; id <= 20; ++id) EXPECT_TRUE(person(id)->isHidden()) << id;
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(7), 3);
    const auto out = PersonManager::getInstance()->explorings();
    ASSERT_EQ(out.size(), 14u);
    EXPECT_EQ(out.front(), 7);
    // The holders are straight back in their group, and a touch collects one.
    const auto& group = stage->yieldPersons(1);
    ASSERT_EQ(group.size(), 6u);  // 7, 5, 4, 3, 2, 1 in drawing order
    window->touchDown(screen(Point(296, 120)));
    EXPECT_TRUE(person(1)->isCheking());
    EXPECT_EQ(group.size(), 5u);
    // The next return brings the front person still away.
    stage->comebackOnePersonWithResult(false, true);
    EXPECT_TRUE(person(7)->isMovingForBack());
}

// Runs this program again with only the given phase; true when it passed.
std::string runChild(const std::string& phase, const fs::path& data) {
    const fs::path log = data.parent_path() / ("phase" + phase + ".log");
    const std::string command = "RE_STAGE_CHILD=" + phase + " RE_DATA_DIR='" + data.string() + "' /proc/" + std::to_string(::getpid()) +
                                "/exe --gtest_filter=StageRestartChild.Phase" + phase + " >'" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    const std::string out(std::istreambuf_iterator<char>(in), {});
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && out.find("[  PASSED  ] 1 test") != std::string::npos ? "" : out;
}

TEST(StageRestartTest, HoldersAndExplorersSurviveARestart) {
    const fs::path data = folders().root / "restart-data";
    fs::remove_all(data);
    fs::create_directories(data);
    ASSERT_EQ(runChild("1", data), "");
    {  // what is on disk, read by a store of its own
        SavedStateStore onDisk((data / SavedStateStore::fileName).string());
        const Value p1 = onDisk.objectForKey("person_1");
        EXPECT_EQ(p1["yieldType"].integerValue(), 3);
        EXPECT_EQ(p1["monsterId"].integerValue(), 1);
        EXPECT_FALSE(p1["is_exploring"].boolValue());
        EXPECT_FALSE(onDisk.objectForKey("person_4").contains("monsterId"));
        EXPECT_TRUE(onDisk.objectForKey("person_7")["is_exploring"].boolValue());
        EXPECT_EQ(onDisk.objectForKey("dungeon_1")["explore_cnt"].integerValue(), 4);
    }
    EXPECT_EQ(runChild("2", data), "");
}

}  // namespace
}  // namespace stagetests
