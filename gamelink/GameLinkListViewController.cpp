#include "gamelink/GameLinkListViewController.h"

#include <mutex>

#include "gamelink/GameLinkCommon.h"
#include "gamelink/GameLinkListCell.h"
#include "overlays/OverlayLayoutClasses.h"
#include "platform/net/GameIndexAddress.h"
#include "platform/net/HttpClient.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

GameLinkListViewController::GameLinkListViewController() : OverlayViewController("GameLinkListViewController") {
    registerLayoutClasses();
}

GameLinkListViewController::~GameLinkListViewController() {
    if (request_) request_->cancel();
}

void GameLinkListViewController::registerLayoutClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        OverlayLayoutClasses::registerAll();
        if (!LayoutLoader::isClassRegistered("GameLinkListCell")) LayoutLoader::registerClass<GameLinkListCell>("GameLinkListCell");
    });
}

void GameLinkListViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(myTableView_, "myTableView");
    bindAction("pressClose", [this] { pressClose(); });
}

void GameLinkListViewController::viewDidLoad() {
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setScrollIndicatorColor(Color::whiteColor());
    myTableView_->numberOfRows = [this](TableView&) { return static_cast<int>(items_.size()); };
    myTableView_->cellForRow = [this](TableView& table, int row) -> std::shared_ptr<TableViewCell> { return cellForRow(table, row); };
    myTableView_->didSelectRow = [this](TableView& table, int row) {
        table.deselectRow(row, true);
        didSelectRow(row);
    };
}

void GameLinkListViewController::startLoad() {
    if (request_) request_->cancel();
    base_ = GameIndexAddress::current();
    request_ = HttpClient::shared().getJson(
        GameIndexAddress::indexAddress(base_), lifetime(), [this](const Value& parsed) { showAppInfoWithParsedResponse(parsed); },
        [](const HttpError&) {});
}

void GameLinkListViewController::showAppInfoWithParsedResponse(const Value& parsed) {
    items_ = GameLinkCommon::gamesFromIndex(parsed, thisAppId_);
    myTableView()->reloadData();
}

std::shared_ptr<GameLinkListCell> GameLinkListViewController::cellForRow(TableView& table, int row) {
    auto cell = std::dynamic_pointer_cast<GameLinkListCell>(table.dequeueReusableCell(GameLinkListCell::reuseIdentifier()));
    if (!cell) cell = LayoutLoader::loadView<GameLinkListCell>("GameLinkListCell");
    const Value& game = items_[static_cast<size_t>(row)];
    cell->nameLabel->setText(GameLinkCommon::localizedStringWithDictionary(game["fullname"]));
    cell->detailLabel->setText(GameLinkCommon::localizedStringWithDictionary(game["detail"]));
    const std::string appId = game["id"].isString() ? game["id"].stringValue() : "";
    cell->startLoadIconFromUrl(GameLinkCommon::iconAddressForAppId(base_, appId));
    return cell;
}

void GameLinkListViewController::didSelectRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= items_.size()) return;
    const Value& game = items_[static_cast<size_t>(row)];
    auto text = [&](const char* key) { return game[key].isString() ? game[key].stringValue() : std::string(); };
    GameLinkCommon::processUserInteractionWithScheme(text("scheme"), text("id"));
}

void GameLinkListViewController::pressClose() {
    if (request_) request_->cancel();
    OverlayViewController::pressClose();
}
