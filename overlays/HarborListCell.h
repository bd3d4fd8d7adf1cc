#pragma once
// One row of the map list (layout "HarborListCell"): the dungeon's picture with a lock over it
// while it is closed, "<id>.<name>", its boss, how many of its own monsters were hunted, up to
// three stars, the current-dungeon flag and the new mark of the newest dungeon never explored.
#include <cstdint>
#include <memory>

#include "model/StaticRows.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/TableViewCell.h"

class ImageView;
class Label;

class HarborListCell : public TableViewCell, public LayoutAware {
public:
    HarborListCell();
    static const char* reuseIdentifierName() { return "HarborListCell"; }

    // Fills the row from a dungeon record; a closed dungeon shows the lock, dark grey texts, its
    // boss as "????" and no monsters.
    void showDungeonInfo(const DungeonRow& dungeon, bool isUnlocked);
    // How many of the dungeon's own ("is_new") monsters have been hunted.
    static unsigned numNewMonstersHuntedInDungeonId(unsigned dungeonId);

    uint32_t latestUnlockedDungeonId() const { return latestUnlockedDungeonId_; }
    void setLatestUnlockedDungeonId(uint32_t id) { latestUnlockedDungeonId_ = id; }

    void awakeFromLayout() override;

    std::shared_ptr<ImageView> mapImgView, lockImgView, iconNew, selectImgView, star1, star2, star3;
    std::shared_ptr<Label> dungeonNamaLabel, bossLabel, monstersLabel;

private:
    uint32_t latestUnlockedDungeonId_ = 0;
};
