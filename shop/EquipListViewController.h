#pragma once
// The shop: every piece of equipment the player may already see, one row each (EquipListCell).
// Touching a row explains why it cannot be bought (owned, locked, too dear) or opens the
// purchase panel over the list. A purchase turns its row to the owned look at once, the list
// stays open. Layout "EquipListViewController"; slides in and out as the list screens do, with
// the shop's music.
#include <memory>
#include <vector>

#include "overlays/ListOverlayViewController.h"
#include "overlays/OverlaySlot.h"
#include "platform/events/Notification.h"
#include <vector>

#include "model/StaticRows.h"
#include "shop/BuyViewController.h"

class Button;
class TableView;

class EquipListViewController : public ListOverlayViewController {
public:
    static constexpr const char* kMusic = "bgm8.wav";

    EquipListViewController();
    ~EquipListViewController() override;

    // The rows: the equipment on sale now, with their unlock and new states of this moment.
    void loadData();
    void appearWithAnimationAllowInteraction(bool allowInteraction) override;
    // A touch on a row (what the player is told, or the purchase panel).
    void didSelectRow(int row);
    void equipUpdated(const Notification& n);

    const std::vector<EquipRow>& items() const { return items_; }
    const std::vector<bool>& unlockStates() const { return unlockStates_; }
    const std::vector<bool>& blandNewStates() const { return blandNewStates_; }
    const std::shared_ptr<TableView>& myTableView() { return (void)view(), myTableView_; }
    // The open purchase panel, or nullptr.
    const std::shared_ptr<BuyViewController>& buyCtr() const { return buy_.screen(); }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;
    void viewDidUnload() override;

private:
    std::vector<EquipRow> items_;
    std::vector<bool> unlockStates_;
    std::vector<bool> blandNewStates_;
    std::shared_ptr<TableView> myTableView_;
    OverlaySlot<BuyViewController> buy_;
};
