#include "overlays/CollectionViewController.h"

#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "platform/resources/Format.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Label.h"

CollectionViewController::CollectionViewController() : ListOverlayViewController("CollectionViewController", "bgm_10.aif") {}

void CollectionViewController::bindOutlets() {
    ListOverlayViewController::bindOutlets();
    bind(completionLabel_, "completionLabel");
    bind(pageLabel_, "pageLabel");
    bind(nameLabel_, "nameLabel");
    bindAction("pressNext", [this] { pressNext(); });
    bindAction("pressPrev", [this] { pressPrev(); });
    bindAction("pressClose", [this] { pressClose(); });
}

void CollectionViewController::viewDidLoad() {
    currentPageIndex_ = 0;
    // The cells in layout order, numbered from 0.
    for (const auto& sub : view()->subviews())
        if (auto cell = std::dynamic_pointer_cast<CollectionCellView>(sub)) {
            cell->setTag(static_cast<int>(collectionCells_.size()));
            cell->delegate = this;
            collectionCells_.push_back(cell);
        }
    for (const auto& label : {completionLabel_, pageLabel_, nameLabel_}) label->setAdjustsFontSizeToFitWidth(true);
    const unsigned all = MonsterManager::numAllMonsters();
    maxPage_ = all / kMonstersPerPage + (all % kMonstersPerPage ? 1 : 0);
    const unsigned hunted = MonsterManager::getInstance()->numHuntedMonsters();
    completionLabel_->setText(stringWithFormat("%d%%", {Value(all ? hunted * 100u / all : 0u)}));
}

void CollectionViewController::showMonstersAtCurrentDungeon() { showMonstersAtPageIndex(DungeonManager::currentDungeonId() - 1); }

void CollectionViewController::showMonstersAtPageIndex(uint32_t page) {
    if (auto analytics = Analytics::shared()) analytics->trackPageView(stringWithFormat("/ZUKAN_PAGE_%u", {Value(page + 1)}));
    const std::span<const MonsterRow> monsters = MonsterStaticData::getInstance()->monstersWithPageIndex(page, kMonstersPerPage);
    if (monsters.empty()) return;
    currentPageIndex_ = page;
    pageLabel()->setText(stringWithFormat("%d/%d", {Value(page + 1), Value(maxPage_)}));
    for (size_t i = 0; i < collectionCells_.size(); ++i) {
        collectionCells_[i]->setHidden(i >= monsters.size());
        if (i < monsters.size()) collectionCells_[i]->showCollectionWithMonsterInfo(monsters[i]);
    }
    const unsigned dungeon = page + 1;
    nameLabel_->setText(DungeonManager::isUnlockedWithDungeonId(dungeon) ? DungeonStaticData::getInstance()->dungeonNameWithId(dungeon)
                                                                         : std::string("????"));
}

void CollectionViewController::pressNext() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    showMonstersAtPageIndex(currentPageIndex_ + 1 >= maxPage_ ? 0 : currentPageIndex_ + 1);
}

void CollectionViewController::pressPrev() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    showMonstersAtPageIndex(currentPageIndex_ == 0 ? (maxPage_ > 0 ? maxPage_ - 1 : 0) : currentPageIndex_ - 1);
}

void CollectionViewController::cellPressed(CollectionCellView& cell) {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    auto& detail = detail_.present(view().get());
    detail.showCollectionWithMonsterInfo(cell.currentMonsterInfo());
    detail.appearWithAnimationAllowInteraction(false);
}
