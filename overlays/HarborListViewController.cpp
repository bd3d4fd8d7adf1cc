#include "overlays/HarborListViewController.h"

#include "explore/NMCommon.h"
#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/GameEvents.h"
#include "model/GameTags.h"
#include "model/SavedStateKeys.h"
#include "overlays/HarborListCell.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TableView.h"

HarborListViewController::HarborListViewController() : ListOverlayViewController("HarborListViewController", "bgm_11.aif") {}

void HarborListViewController::bindOutlets() {
    ListOverlayViewController::bindOutlets();
    bind(myTableView_, "myTableView");
    bindAction("pressClose", [this] { pressClose(); });
}

void HarborListViewController::viewDidLoad() {
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setScrollIndicatorColor(Color::whiteColor());
    items_ = DungeonManager::visibleDungeons();
    latestUnlockedDungeonId_ = 0;
    for (const DungeonRow& dungeon : items_) {
        const unsigned id = dungeon.id;
        const bool open = DungeonManager::isUnlockedWithDungeonId(id);
        unlockStates_.push_back(open);
        if (open && id > latestUnlockedDungeonId_) latestUnlockedDungeonId_ = id;
    }
    myTableView_->numberOfRows = [this](TableView&) { return numberOfRows(); };
    myTableView_->cellForRow = [this](TableView& table, int row) -> std::shared_ptr<TableViewCell> { return cellForRow(table, row); };
    myTableView_->didSelectRow = [this](TableView&, int row) { didSelectRow(row); };
    myTableView_->reloadData();
}

std::shared_ptr<HarborListCell> HarborListViewController::cellForRow(TableView& table, int row) {
    auto cell = std::dynamic_pointer_cast<HarborListCell>(table.dequeueReusableCell(HarborListCell::reuseIdentifierName()));
    if (!cell) {
        cell = LayoutLoader::loadView<HarborListCell>("HarborListCell");
        cell->setLatestUnlockedDungeonId(latestUnlockedDungeonId_);
    }
    cell->selectImgView->setHidden(static_cast<unsigned>(row + 1) != DungeonManager::currentDungeonId());
    cell->showDungeonInfo(items_[row], unlockStates_[row]);
    return cell;
}

void HarborListViewController::appearWithAnimationAllowInteraction(bool allowInteraction) {
    if (auto analytics = Analytics::shared()) analytics->trackPageView("/MAP");
    SoundEngine::sharedEngine().stopBackgroundMusic();
    ListOverlayViewController::appearWithAnimationAllowInteraction(allowInteraction);
}

bool HarborListViewController::willChangeMap(int) const { return true; }

void HarborListViewController::didSelectRow(int row) {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    myTableView_->deselectRow(row, true);
    if (row < 0 || row >= numberOfRows()) return;
    if (unlockStates_[row]) {
        if (!willChangeMap(row)) return;
        if (SavedStateStore::standardUserDefaults().doubleForKey(SavedStateKeys::timestampStart) > 0) {
            selectedRowIndex_ = static_cast<uint32_t>(row);
            const std::string name = DungeonStaticData::getInstance()->currentDungeonName();
            NMCommon::showAlertHavingCancelBtnWithTitle("", stringWithFormat(NSLocalizedString("FormatSuspend"), {Value(name)}), this,
                                                        GameTags::kChangeMap);
        } else {
            changeMapWithRowIndex(row);
        }
        return;
    }
    // The monster whose first hunt opens this dungeon: the boss of the one before it.
    const unsigned id = items_[row].id;
    const unsigned boss = DungeonStaticData::getInstance()->bossIdOpeningDungeonId(id);
    NMCommon::showAlertWithTitle("", stringWithFormat(NSLocalizedString("FormatMapUnlock"), {Value(boss)}), nullptr, GameTags::kNone);
}

void HarborListViewController::alertViewClickedButtonAtIndex(const AlertView& alertView, int buttonIndex) {
    if (buttonIndex == alertView.cancelButtonIndex || alertView.tag != GameTags::kChangeMap) return;
    NMCommon::sendNotification(GameEvents::kExploreSuspended);
    changeMapWithRowIndex(static_cast<int>(selectedRowIndex_));
}

void HarborListViewController::changeMapWithRowIndex(int row) {
    for (int r = 0; r < numberOfRows(); ++r)
        if (auto cell = std::dynamic_pointer_cast<HarborListCell>(myTableView_->cellForRowAtIndex(r))) cell->selectImgView->setHidden(r != row);
    SavedStateStore::standardUserDefaults().setInteger(row + 1, SavedStateKeys::currentDungeonId);
    NMCommon::sendNotification(GameEvents::kDungeonUpdated);
    pressClose();
}
