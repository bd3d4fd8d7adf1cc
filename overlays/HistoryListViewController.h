#pragma once
// The battle report (layout "HistoryListViewController"): for the last explore, one row per
// person beaten, in the order the log was written: "FormatLogLose" with the person's number and
// the monster ("BOSS" for the current dungeon's boss), and "FormatLogEquip" naming the first
// equipment the monster requires that the party lacks. Built once when opened.
#include <memory>
#include <string>
#include <vector>

#include "overlays/OverlayViewController.h"
#include "platform/foundation/Value.h"

class TableView;

class HistoryListViewController : public OverlayViewController {
public:
    static constexpr double kRowHeight = 50;

    HistoryListViewController();

    // Rebuilds the rows from the saved log and reloads the table.
    void updateHistory();
    // The row text of one log entry; "" for a won battle.
    static std::string rowTextForLogEntry(const Value& entry);
    // Effect "tap.mp3", then the shrink-out and close.
    void pressClose() override;

    const std::vector<std::string>& items() const { return items_; }
    const std::shared_ptr<TableView>& myTableView() { return (void)view(), myTableView_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    std::vector<std::string> items_;
    std::shared_ptr<TableView> myTableView_;
};
