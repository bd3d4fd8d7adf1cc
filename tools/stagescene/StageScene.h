#pragma once
// A main-screen-like scene built from the real views, for the stagescene picture and the stage
// benchmark: the stage background, the stage with 30 persons (most holding monsters, a few coffins
// and a few waiting, two on their way back out of the dungeon), the king, the gold panel, the
// remaining-time panel, the equipment strip and the boss balloon.
//
// Everything runs on a manual clock and a saved-state store in a throw-away folder; nothing of
// the player's own saved game is read or written.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "explore/EquipStatusView.h"
#include "explore/ExploreStatusView.h"
#include "explore/StatusView.h"
#include "model/DungeonStaticData.h"
#include "model/EquipManager.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/PersonManager.h"
#include "platform/core/Clock.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"
#include "stage/KingImageView.h"
#include "stage/StageView.h"

namespace stagescene {

// The 480-point screen: the background is 568 tall and bottom-aligned; its horizon (the
// entrance) is at row 160, where the stage's y 0 lies.
constexpr Rect kScreen{0, 0, 320, 480};
constexpr Rect kBackgroundFrame{0, -88, 320, 568};
constexpr Rect kStageFrame{0, 160, 320, 320};
// The king waits in front of the party, above the equipment strip; yields fly towards x 184.
constexpr Rect kKingFrame{144, 350, 80, 80};

// Who holds what: coffins and empty-handed persons among the holders; two still away.
inline bool isCoffin(int id) { return id == 3 || id == 11 || id == 18 || id == 24 || id == 29; }
inline bool isWaiting(int id) { return id == 6 || id == 13 || id == 20 || id == 27; }
inline bool isAway(int id) { return id == 2 || id == 10; }

// Points the game at the resources, a fresh data folder (returned; the store never writes to it
// on its own), a manual clock and silence.
inline std::string prepareWorld(const std::string& resourceDir) {
    ResourceBundle::setRootDirectory(resourceDir);
    std::string pattern = (std::filesystem::temp_directory_path() / "re-stagescene-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const std::string data = ::mkdtemp(buf.data());
    SavedStateStore::configureDataDirectory(data);
    SavedStateStore::standardUserDefaults().setAutoFlushDelay(0);
    RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
    RandomSource::shared().seed(20240601);
    SoundEngine::installSharedEngine(std::make_unique<SoundEngine>([] { return std::make_unique<SilentSoundBackend>(); },
                                                                   [](const std::string&, const std::string&) { return ""; }, ""));
    return data;
}

struct Scene {
    unsigned dungeonId = 3;
    std::shared_ptr<Window> window;
    std::shared_ptr<ImageView> background;
    std::shared_ptr<StageView> stage;
    std::shared_ptr<KingImageView> king;
    std::shared_ptr<StatusView> status;
    std::shared_ptr<ExploreStatusView> exploreStatus;
    std::shared_ptr<EquipStatusView> equipStatus;

    // Writes the saved state of a party in the middle of an explore, then builds the views from
    // it. The scene is complete (balloons grown, two persons half way home) when this returns.
    void build() {
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        for (int m = 1; m <= 10; ++m) store.setObject(Value{{"member_id", Value(m)}}, "member_" + std::to_string(m));
        // The bosses on the way here are beaten, so the shop sells this far.
        store.setInteger(dungeonId, "current_dungeon_id");
        for (unsigned d = 1; d < dungeonId; ++d)
            MonsterManager::getInstance()->addMonsterWithId(DungeonStaticData::getInstance()->bossIdWithDungeionId(d));
        store.setBool(true, "shopUnlocked");
        for (int e : {1, 2, 3, 4, 5, 7, 9, 12}) EquipManager::addEquipWithId(e);
        GoldManager::getInstance()->setCurrentGold(48210);

        // The dungeon's ordinary monsters, handed out in turn.
        std::vector<unsigned> monsters;
        for (const DungeonMonsterRow& entry : DungeonStaticData::getInstance()->monstersWithDungeonId(dungeonId))
            if (!entry.isBoss) monsters.push_back(entry.monsterId);
        if (monsters.empty()) monsters.push_back(1);
        size_t next = 0;
        for (int id = 1; id <= 30; ++id) {
            PersonManager::updatePersonInfoWithId(id, PersonManager::kYieldNothing, 0, 0);
            if (isAway(id)) {
                PersonManager::getInstance()->addExploringsWithPersonId(id);
                continue;
            }
            PersonManager::getInstance()->addWaitingsWithPersonId(id);
            if (isCoffin(id)) {
                PersonManager::updatePersonInfoWithId(id, PersonManager::kYieldCoffin, 0, 0);
            } else if (!isWaiting(id)) {
                PersonManager::updatePersonInfoWithId(id, PersonManager::kYieldMonster, monsters[next++ % monsters.size()], dungeonId);
            }
        }
        LeftTimeManager::getInstance()->setLeftTime(1234);

        window = std::make_shared<Window>(kScreen);
        background = View::make<ImageView>(kBackgroundFrame);
        background->setImage(Image::named("stage_" + std::to_string(dungeonId) + "@2x.png"));
        window->addSubview(background);

        king = View::make<KingImageView>(kKingFrame, GoldManager::getInstance());
        window->addSubview(king);

        stage = View::make<StageView>(kStageFrame);
        stage->setCurrentDungeonInfo(DungeonStaticData::getInstance()->dungeonStaticInfoWithId(dungeonId));
        window->addSubview(stage);
        stage->drawPersons();

        status = View::make<StatusView>(StatusView::defaultFrame());
        window->addSubview(status);
        exploreStatus = View::make<ExploreStatusView>(ExploreStatusView::defaultFrame());
        window->addSubview(exploreStatus);
        equipStatus = View::make<EquipStatusView>(EquipStatusView::defaultFrame());
        window->addSubview(equipStatus);

        RunLoop& loop = RunLoop::main();
        loop.advanceBy(0.5);
        king->startSleepAnimation();
        exploreStatus->show();
        exploreStatus->updateStatus();
        // Two persons come back out of the dungeon, one after the other; the boss is beaten.
        stage->comebackOnePersonWithResult(true, true);
        stage->comebackOnePersonWithResult(true, true);
        NotificationCenter::defaultCenter().post("bossHunted");
        // Half way home (a battle keeps them out of sight for 1.2 s, the walk takes 1.3 s).
        loop.advanceBy(1.2 + 0.55);
    }
};

}  // namespace stagescene
