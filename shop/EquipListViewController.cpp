#include "shop/EquipListViewController.h"

#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/GameEvents.h"
#include "model/GoldManager.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "shop/EquipListCell.h"

EquipListViewController::EquipListViewController() : ListOverlayViewController("EquipListViewController", kMusic) {
    EquipListCell::registerLayoutClass();
}

EquipListViewController::~EquipListViewController() { NMCommon::removeObserver(static_cast<const void*>(this)); }

void EquipListViewController::bindOutlets() {
    ListOverlayViewController::bindOutlets();
    bind(myTableView_, "myTableView");
    bindAction("pressClose", [this] { pressClose(); });
}

void EquipListViewController::viewDidLoad() {
    NMCommon::addObserver(static_cast<const void*>(this), [this](const Notification& n) { equipUpdated(n); }, GameEvents::kEquipUpdated);
    myTableView_->setRowHeight(EquipListCell::kRowHeight);
    myTableView_->numberOfRows = [this](TableView&) { return static_cast<int>(items_.size()); };
    myTableView_->cellForRow = [this](TableView& table, int row) -> std::shared_ptr<TableViewCell> {
        auto cell = std::dynamic_pointer_cast<EquipListCell>(table.dequeueReusableCell(EquipListCell::kReuseIdentifier));
        if (!cell) cell = EquipListCell::load();
        cell->onBuy = [this, row] { didSelectRow(row); };
        const size_t i = static_cast<size_t>(row);
        cell->showEquipInfo(items_[i], unlockStates_[i], blandNewStates_[i]);
        return cell;
    };
    myTableView_->didSelectRow = [this](TableView&, int row) { didSelectRow(row); };
}

void EquipListViewController::viewDidUnload() {
    NMCommon::removeObserver(static_cast<const void*>(this));
    buy_.drop();
    ListOverlayViewController::viewDidUnload();
}

void EquipListViewController::loadData() {
    items_ = EquipManager::equipmentsInStore();
    unlockStates_.clear();
    blandNewStates_.clear();
    for (const EquipRow& item : items_) {
        unlockStates_.push_back(EquipManager::isEquipUnlockedWithEquipStaticInfo(item));
        blandNewStates_.push_back(EquipManager::isNewEquipWithEquipStaticInfo(item));
    }
    myTableView()->reloadData();
}

void EquipListViewController::appearWithAnimationAllowInteraction(bool allowInteraction) {
    ListOverlayViewController::appearWithAnimationAllowInteraction(allowInteraction);
    if (auto analytics = Analytics::shared()) analytics->trackPageView("/EQUIP_LIST");
}

void EquipListViewController::equipUpdated(const Notification&) { myTableView()->reloadData(); }

void EquipListViewController::didSelectRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= items_.size()) return;
    const size_t i = static_cast<size_t>(row);
    const EquipRow& item = items_[i];
    const unsigned equipId = item.id;
    const int64_t gold = item.gold;
    auto refuse = [](const std::string& message) {
        NMCommon::showAlertWithTitle("", message, nullptr, 0);
        SoundEngine::sharedEngine().playEffect("tap_fail.wav");
    };
    if (EquipManager::haveEquipmentWithId(equipId)) return refuse(NSLocalizedString("Purchased"));
    if (!unlockStates_[i]) return refuse(EquipManager::descriptionForUnlockWithEquipStaticInfo(item).value_or(""));
    if (gold >= 1 && GoldManager::getInstance()->currentGold() < static_cast<uint64_t>(gold)) return refuse(NSLocalizedString("NoGold"));

    SoundEngine::sharedEngine().playEffect("tap.mp3");
    BuyViewController& buy = buy_.present(view().get());
    buy.setBuyingItemInfo(item);
    buy.appearWithAnimationAllowInteraction(false);
    myTableView_->deselectRow(row, true);
}
