// The screens behind the menu through the headless window and the manual clock: the map list,
// the monster collection with its detail and saved pictures, the battle report and both pages of
// the settings.
#include "overlay_test_support.h"

#include <cstdlib>
#include <fstream>

#include "model/EquipManager.h"
#include "model/GameEvents.h"
#include "model/MonsterManager.h"
#include "model/SavedStateKeys.h"
#include "overlays/CollectionViewManager.h"
#include "overlays/HarborListCell.h"
#include "overlays/HarborListViewManager.h"
#include "overlays/HistoryListViewController.h"
#include "overlays/SettingViewController.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/store/PlayerSettings.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TableView.h"

namespace overlaytests {
namespace {

namespace Keys = SavedStateKeys;
namespace fs = std::filesystem;
using gametest::store;
constexpr double kSlide = 1.0;  // every list slide and pop-in is over by then

class ListsTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        alerts = std::make_shared<RecordingAlertPresenter>();
        AlertPresenter::setShared(alerts);
        for (const char* name : {GameEvents::kExploreSuspended, GameEvents::kDungeonUpdated})
            NotificationCenter::defaultCenter().addObserver(this, [this, name](const Notification&) { events.push_back(name); }, name);
    }
    void TearDown() override {
        AlertPresenter::setShared(nullptr);
        LocalizedStrings::setPreferredLanguages({});
        OverlayTest::TearDown();
    }
    static void hunt(std::initializer_list<unsigned> ids) {
        for (unsigned id : ids) MonsterManager::getInstance()->addMonsterWithId(id);
    }
    std::string lastAlert() const { return alerts->shownAlerts().empty() ? "" : alerts->shownAlerts().back().message; }

    // ---- Map list
    HarborListViewController& openMapList() {
        HarborListViewManager::getInstance()->showHarborView();
        advance(kSlide);
        return *HarborListViewManager::getInstance()->harborCtr();
    }
    std::shared_ptr<HarborListCell> row(int r) {
        auto& table = *HarborListViewManager::getInstance()->harborCtr()->myTableView();
        table.scrollToRow(r, TableViewScrollPosition::none, false);
        return std::dynamic_pointer_cast<HarborListCell>(table.cellForRowAtIndex(r));
    }
    int stars(int r) {
        auto cell = row(r);
        return !cell->star1->isHidden() + !cell->star2->isHidden() + !cell->star3->isHidden();
    }

    // ---- Collection
    CollectionViewController& openCollection() {
        CollectionViewManager::getInstance()->showCollectionView();
        advance(kSlide);
        return *CollectionViewManager::getInstance()->collectionCtr();
    }

    std::shared_ptr<RecordingAlertPresenter> alerts;
    std::vector<std::string> events;
};

TEST_F(ListsTest, MapListRowsStarsLocksAndMarks) {
    auto& list = openMapList();
    EXPECT_EQ(list.numberOfRows(), 6) << "dungeon 7 locked";
    EXPECT_EQ(lastMusic(), "bgm_11.aif");
    EXPECT_EQ(analytics->pageViews().back(), "/MAP");
    EXPECT_EQ(stars(0), 0);
    EXPECT_FALSE(row(0)->selectImgView->isHidden()) << "the current dungeon is marked";
    EXPECT_FALSE(row(0)->iconNew->isHidden()) << "dungeon 1 is the newest open one, never explored";
    EXPECT_FALSE(row(1)->lockImgView->isHidden());
    EXPECT_EQ(row(1)->bossLabel->text(), stringWithFormat(NSLocalizedString("FormatStageBoss"), {Value("????")}));
    EXPECT_NE(row(1)->dungeonNamaLabel->textColor(), row(0)->dungeonNamaLabel->textColor()) << "dark grey on a locked row";
    EXPECT_EQ(row(1)->dungeonNamaLabel->text(), "2.Whisperwood Forest");
    HarborListViewManager::getInstance()->harborCtr()->pressClose();
    advance(kSlide);

    // Four own monsters without the boss: no star, whatever the count.
    hunt({1, 2, 3, 4, 5});
    openMapList();
    EXPECT_EQ(stars(0), 0);
    EXPECT_EQ(row(0)->monstersLabel->text(), stringWithFormat(NSLocalizedString("FormatStageMonster"), {Value(5)}));
    HarborListViewManager::getInstance()->harborCtr()->pressClose();
    advance(kSlide);

    // The boss too (all six own monsters): three stars; explored once, the next dungeon is the new one.
    MonsterManager::getInstance()->addMonsterWithId(6);
    store().setObject(Value::dictionary({{"dungeon_id", Value(1u)}, {"explore_cnt", Value(3u)}}), "dungeon_1");
    openMapList();
    EXPECT_EQ(stars(0), 3) << "all six own monsters with the boss";
    EXPECT_TRUE(row(0)->iconNew->isHidden());
    EXPECT_FALSE(row(1)->iconNew->isHidden());
    EXPECT_TRUE(row(1)->lockImgView->isHidden()) << "a reused row shows an open dungeon without the lock";
    HarborListViewManager::getInstance()->harborCtr()->pressClose();
    advance(kSlide);

    for (unsigned boss : {12u, 18u, 24u, 30u, 36u}) hunt({boss});
    EXPECT_EQ(openMapList().numberOfRows(), 10) << "dungeon 7 open";
}

TEST_F(ListsTest, TwoStarsWithTheBossAndFiveOwnMonsters) {
    hunt({1, 2, 3, 4, 6});
    openMapList();
    EXPECT_EQ(stars(0), 2);
}

TEST_F(ListsTest, ChoosingARow) {
    hunt({6});  // dungeon 2 open, 3 locked
    auto& list = openMapList();
    list.didSelectRow(2);
    advance(0.1);
    EXPECT_EQ(lastAlert(), stringWithFormat(NSLocalizedString("FormatMapUnlock"), {Value(12u)}));
    EXPECT_EQ(store().integerForKey(Keys::currentDungeonId), 0) << "a locked row changes nothing";
    ASSERT_TRUE(alerts->pressButton(0));

    // An explore runs: the give-up question; cancel keeps everything.
    store().setDouble(1.8e9 - 10, Keys::timestampStart);
    list.didSelectRow(1);
    advance(0.1);
    ASSERT_EQ(alerts->openAlerts().size(), 1u);
    EXPECT_EQ(alerts->openAlerts()[0].tag, 20);
    EXPECT_EQ(alerts->openAlerts()[0].message, stringWithFormat(NSLocalizedString("FormatSuspend"), {Value("Clover Meadow")}));
    ASSERT_TRUE(alerts->pressButton(alerts->openAlerts()[0].cancelButtonIndex));
    advance(0.1);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(store().integerForKey(Keys::currentDungeonId), 0);
    ASSERT_TRUE(HarborListViewManager::getInstance()->harborCtr()) << "the list stays open";

    // Confirmed: the explore ends first, then the dungeon changes, and the list closes.
    list.didSelectRow(1);
    advance(0.1);
    ASSERT_TRUE(alerts->pressButtonOnAlertWithTag(20, 1));
    advance(kSlide);
    EXPECT_EQ(events, (std::vector<std::string>{"exploreSuspended", "dungeonUpdated"}));
    EXPECT_EQ(store().integerForKey(Keys::currentDungeonId), 2);
    EXPECT_FALSE(HarborListViewManager::getInstance()->harborCtr());
    EXPECT_EQ(lastMusic(), "bgm_2.aif") << "the new dungeon's music";

    // No explore: the row switches at once, written as row + 1.
    store().setObject(Value(), Keys::timestampStart);
    events.clear();
    openMapList().didSelectRow(0);
    advance(kSlide);
    EXPECT_EQ(events, std::vector<std::string>{"dungeonUpdated"});
    EXPECT_EQ(store().integerForKey(Keys::currentDungeonId), 1);
}

TEST_F(ListsTest, BattleReportListsTheLossesInOrder) {
    store().setInteger(2, Keys::currentDungeonId);
    EquipManager::addEquipWithId(1);
    auto entry = [](int id, unsigned monster, bool win) {
        return Value::dictionary({{"id", Value(id)}, {"monsterId", Value(monster)}, {"isWin", Value(win)}});
    };
    store().setObject(Value::array({entry(3, 12, false), entry(4, 1, true), entry(7, 1, false)}), Keys::battleLogs);
    auto shared = std::make_shared<HistoryListViewController>();
    auto& report = *shared;
    report.updateHistory();
    const std::string boss = stringWithFormat(NSLocalizedString("FormatLogLose"), {Value(3u), Value("BOSS")});
    EXPECT_EQ(report.items(), (std::vector<std::string>{
                                  stringWithFormat(NSLocalizedString("FormatLogEquip"), {Value(boss), Value("Leather Shield")}),
                                  stringWithFormat(NSLocalizedString("FormatLogLose"), {Value(7u), Value("Puffpig")})}))
        << "the boss of the current dungeon, req_equip2 named when req_equip1 is owned, no sentence without a requirement";
    EXPECT_EQ(report.myTableView()->numberOfRowsCached(), 2);
}

TEST_F(ListsTest, CollectionPagesCompletionAndCells) {
    store().setInteger(4, Keys::currentDungeonId);
    hunt({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    auto& book = openCollection();
    EXPECT_EQ(book.pageLabel()->text(), "4/6");
    EXPECT_EQ(book.completionLabel()->text(), "27%");
    EXPECT_EQ(book.nameLabel()->text(), "????") << "dungeon 4 is still closed";
    EXPECT_EQ(lastMusic(), "bgm_10.aif");
    for (int i = 0; i < 3; ++i) book.pressNext();
    EXPECT_EQ(book.pageLabel()->text(), "1/6") << "next on the last page wraps";
    book.pressPrev();
    EXPECT_EQ(book.pageLabel()->text(), "6/6") << "previous on the first page wraps";

    book.showMonstersAtPageIndex(1);
    const auto& cells = book.collectionCells();
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells[0]->idLabel->text(), "No.07");
    EXPECT_FALSE(cells[0]->blandnewIcon->isHidden());
    EXPECT_FALSE(cells[4]->cellBtn->isEnabled()) << "monster 11 never hunted: a silhouette";
    EXPECT_EQ(cells[4]->nameLabel->text(), "????");
    EXPECT_EQ(cells[4]->numLabel->text(), "x0");
    auto silhouette = cells[4]->itemImgView->image();
    ASSERT_TRUE(silhouette && !silhouette->isEmpty());
    EXPECT_EQ(silhouette->pixelWidth(), 52);
    int visible = 0, coloured = 0;
    for (int y = 0; y < silhouette->pixelHeight(); ++y)
        for (int x = 0; x < silhouette->pixelWidth(); ++x) {
            const Color c = silhouette->pixelAt(x, y);
            if (c.alpha <= 0) continue;
            ++visible;
            coloured += c.red > 0.01f || c.green > 0.01f || c.blue > 0.01f;
        }
    EXPECT_GT(visible, 100);
    EXPECT_EQ(coloured, 0);

    cells[0]->pressCellBtn();
    advance(kSlide);
    ASSERT_TRUE(book.detailCtr());
    EXPECT_EQ(book.detailCtr()->idLabel->text(), "No.07");
    EXPECT_TRUE(MonsterManager::getInstance()->viewedWithId(7));
    EXPECT_FALSE(cells[0]->blandnewIcon->isHidden()) << "the cell is redrawn only with its page";
    book.detailCtr()->pressClose();
    advance(kSlide);
    book.showMonstersAtPageIndex(1);
    EXPECT_TRUE(cells[0]->blandnewIcon->isHidden());
}

TEST_F(ListsTest, SavedPicturesNeverOverwriteAndFailuresSaySo) {
    const auto pictures = gametest::makeTempFolder("re-pictures") / "Pictures";
    setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
    hunt({7});
    auto& book = openCollection();
    book.showMonstersAtPageIndex(1);
    book.collectionCells()[0]->pressCellBtn();
    advance(kSlide);
    auto& detail = *book.detailCtr();
    detail.pressSave();
    advance(0.5);
    const std::string first = detail.lastSavedPath();
    EXPECT_EQ(lastAlert(), NSLocalizedString("SavedPicture"));
    auto png = Image::fromFile(first);
    ASSERT_FALSE(png->isEmpty()) << first;
    EXPECT_EQ(png->pixelWidth(), 80);
    EXPECT_EQ(png->pixelHeight(), 80);
    detail.pressSave();
    advance(0.5);
    EXPECT_NE(detail.lastSavedPath(), first);
    EXPECT_TRUE(fs::exists(first) && fs::exists(detail.lastSavedPath()));

    // A folder that is a file, and one nobody may write in (not even the superuser).
    std::ofstream(pictures / "plain") << "x";
    for (const std::string& bad : {(pictures / "plain").string(), std::string("/proc/self")}) {
        setenv("XDG_PICTURES_DIR", bad.c_str(), 1);
        detail.pressSave();
        advance(0.5);
        EXPECT_EQ(lastAlert(), NSLocalizedString("SavePictureFailed")) << bad;
        EXPECT_TRUE(detail.lastSavedPath().empty());
    }
    size_t files = 0;
    for (const auto& f : fs::directory_iterator(pictures)) files += f.path().extension() == ".png" || f.path().extension() == ".part";
    EXPECT_EQ(files, 2u) << "nothing half-written";
    unsetenv("XDG_PICTURES_DIR");
}

TEST_F(ListsTest, SettingsSwitchPagesAndThePlayersOwnChoices) {
    auto shared = std::make_shared<SettingViewController>();
    auto& settings = *shared;
    settings.addViewTo(*window);
    EXPECT_EQ(fileName(settings.pushSoundBtn()->imageForState(ControlState::normal)->name()), "switch_on@2x.png");
    settings.pressPushSound();
    advance(0.1);
    EXPECT_TRUE(SavedStateStore(store().filePath()).boolForKey(Keys::pushSoundOff)) << "flushed at once";
    EXPECT_EQ(fileName(settings.pushSoundBtn()->imageForState(ControlState::normal)->name()), "switch_off@2x.png");
    EXPECT_EQ(lastAlert(), NSLocalizedString("PushSoundSetting"));
    settings.pressPushSound();
    EXPECT_FALSE(store().boolForKey(Keys::pushSoundOff));

    settings.pressNext();
    EXPECT_EQ(settings.currentPageIndex(), 1u);
    EXPECT_TRUE(shown("musicSlider") && !shown("pushSoundBtn"));
    auto slider = settings.viewNamed<Slider>("musicSlider");
    const Point quarter = slider->convertPointToView(Point(Slider::kKnobWidth / 2 + (slider->bounds().width() - Slider::kKnobWidth) / 4, 9), nullptr);
    window->touchDown(quarter);
    window->touchUp(quarter);
    EXPECT_NEAR(SoundEngine::sharedEngine().settings().musicVolume, 0.25, 0.01);

    // Language: the system's, then English, then Japanese; this screen follows at once.
    settings.pressLanguage();
    settings.pressLanguage();
    EXPECT_EQ(PlayerSettings::loadFromDataDirectory(SavedStateStore::dataDirectory()).stringForKey("language"), "ja");
    EXPECT_EQ(settings.viewNamed<Label>("titleLabel")->text(), "設定");
    EXPECT_TRUE(shown("languageNote"));
    EXPECT_FALSE(store().dictionaryRepresentation().contains("language")) << "never in the saved game";

    settings.pressRestore();
    advance(5);
    EXPECT_EQ(lastAlert(), NSLocalizedString("RestoreNothing"));
    settings.pressPrev();
    EXPECT_EQ(settings.currentPageIndex(), 0u);
    settings.removeViewFromSuperview();
}

}  // namespace
}  // namespace overlaytests
