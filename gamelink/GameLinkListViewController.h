#pragma once
// The list of the maker's other games (layout "GameLinkListViewController"), opened by the main
// screen's information button. The index is fetched anew at each opening from the list's base
// address; every object of it but this game itself becomes a row, in index order, showing its
// icon, name and description in the player's language. Touching a row starts the game when the
// desktop has it, else opens its store page. A failed fetch, or an index that is not an array,
// leaves the list empty without a word; a result arriving after the list has closed is dropped.
#include <memory>
#include <string>
#include <vector>

#include "overlays/OverlayViewController.h"
#include "platform/foundation/Value.h"

class GameLinkListCell;
class HttpRequest;
class TableView;

class GameLinkListViewController : public OverlayViewController {
public:
    static constexpr double kRowHeight = 70;

    GameLinkListViewController();
    ~GameLinkListViewController() override;

    // The layout classes of the list (its row).
    static void registerLayoutClasses();

    const std::string& thisAppId() const { return thisAppId_; }
    void setThisAppId(std::string appId) { thisAppId_ = std::move(appId); }
    // Asks for the index; the rows come when it arrives.
    void startLoad();
    void showAppInfoWithParsedResponse(const Value& parsed);
    void didSelectRow(int row);
    // The shrink-out and close (no sound of its own); a fetch still running is stopped.
    void pressClose() override;

    const std::vector<Value>& items() const { return items_; }
    const std::shared_ptr<TableView>& myTableView() { return (void)view(), myTableView_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    std::shared_ptr<GameLinkListCell> cellForRow(TableView& table, int row);

    std::vector<Value> items_;
    std::shared_ptr<TableView> myTableView_;
    std::string thisAppId_;
    std::string base_;
    std::shared_ptr<HttpRequest> request_;
};
