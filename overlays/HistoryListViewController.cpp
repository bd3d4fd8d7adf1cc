#include "overlays/HistoryListViewController.h"

#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/EquipManager.h"
#include "model/EquipStaticData.h"
#include "model/MonsterStaticData.h"
#include "model/SavedStateKeys.h"
#include "overlays/HistoryListCell.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

HistoryListViewController::HistoryListViewController() : OverlayViewController("HistoryListViewController") {}

void HistoryListViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(myTableView_, "myTableView");
    bindAction("pressClose", [this] { pressClose(); });
}

void HistoryListViewController::viewDidLoad() {
    moveDownOnTallScreen();
    myTableView_->setRowHeight(kRowHeight);
    myTableView_->setScrollIndicatorColor(Color::whiteColor());
    myTableView_->setAllowsSelection(false);
    myTableView_->numberOfRows = [this](TableView&) { return static_cast<int>(items_.size()); };
    myTableView_->cellForRow = [this](TableView& table, int row) -> std::shared_ptr<TableViewCell> {
        auto cell = table.dequeueReusableCell(HistoryListCell::reuseIdentifierName());
        if (!cell) cell = LayoutLoader::loadView<HistoryListCell>("HistoryListCell");
        cell->textLabel().setText(items_[row]);
        return cell;
    };
}

std::string HistoryListViewController::rowTextForLogEntry(const Value& entry) {
    const unsigned m = static_cast<unsigned>(entry["monsterId"].unsignedValue());
    if (entry["isWin"].boolValue()) return "";
    auto* monsters = MonsterStaticData::getInstance();
    const std::string monster =
        DungeonStaticData::getInstance()->isBossinDungeonId(DungeonManager::currentDungeonId(), m) ? "BOSS" : monsters->monsterNameWithMonsterId(m);
    const std::string sentence =
        stringWithFormat(NSLocalizedString("FormatLogLose"), {Value(static_cast<unsigned>(entry["id"].integerValue())), Value(monster)});
    const MonsterRow* info = monsters->monsterStaticInfoWithMonsterId(m);
    if (!info) return sentence;
    for (const unsigned equip : info->reqEquip) {
        if (equip == 0 || EquipManager::haveEquipmentWithId(equip)) continue;
        const std::string name = EquipStaticData::getInstance()->equipNameWithEquipId(equip);
        return name.empty() ? sentence : stringWithFormat(NSLocalizedString("FormatLogEquip"), {Value(sentence), Value(name)});
    }
    return sentence;
}

void HistoryListViewController::updateHistory() {
    std::vector<std::string> rows;
    const Value logs = SavedStateStore::standardUserDefaults().objectForKey(SavedStateKeys::battleLogs);
    if (logs.isArray())
        for (const Value& entry : logs.arrayValue())
            if (!entry["isWin"].boolValue()) rows.push_back(rowTextForLogEntry(entry));
    items_ = std::move(rows);
    myTableView()->reloadData();
}

void HistoryListViewController::pressClose() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    OverlayViewController::pressClose();
}
