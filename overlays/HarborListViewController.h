#pragma once
// The map list (layout "HarborListViewController"): one row a visible dungeon (six until the
// seventh opens, then all). Choosing an open row makes it the current dungeon, written as
// row + 1, and closes the list; while an explore runs the player is first asked to give it up
// (tag 20), and only a confirmed answer ends the explore ("exploreSuspended") and switches
// ("dungeonUpdated"). A closed row shows which monster opens it and changes nothing.
#include <cstdint>
#include <memory>
#include <vector>

#include "overlays/ListOverlayViewController.h"
#include "model/StaticRows.h"
#include "platform/services/AlertPresenter.h"

class HarborListCell;
class TableView;

class HarborListViewController : public ListOverlayViewController, public AlertViewDelegate {
public:
    static constexpr double kRowHeight = 65;

    HarborListViewController();

    // Reports the page view "/MAP", stops the dungeon's music, then slides in as every list.
    void appearWithAnimationAllowInteraction(bool allowInteraction) override;

    int numberOfRows() const { return static_cast<int>(items_.size()); }
    void didSelectRow(int row);
    // Asked before every change of dungeon; always yes.
    bool willChangeMap(int row) const;
    void changeMapWithRowIndex(int row);
    void alertViewClickedButtonAtIndex(const AlertView& alertView, int buttonIndex) override;

    uint32_t latestUnlockedDungeonId() const { return latestUnlockedDungeonId_; }
    uint32_t selectedRowIndex() const { return selectedRowIndex_; }
    const std::vector<bool>& unlockStates() const { return unlockStates_; }
    const std::shared_ptr<TableView>& myTableView() { return (void)view(), myTableView_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    std::shared_ptr<HarborListCell> cellForRow(TableView& table, int row);

    uint32_t latestUnlockedDungeonId_ = 0;
    uint32_t selectedRowIndex_ = 0;
    std::shared_ptr<TableView> myTableView_;
    std::vector<bool> unlockStates_;
    std::vector<DungeonRow> items_;
};
