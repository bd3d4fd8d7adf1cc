#include "overlays/HistoryListCell.h"

#include "platform/ui/Label.h"

HistoryListCell::HistoryListCell() : TableViewCell(reuseIdentifierName()) {}

void HistoryListCell::awakeFromLayout() {
    setSelectionStyle(TableViewCellSelectionStyle::none);
    Label& text = textLabel();
    text.setFont("system", 12);
    text.setTextColor(Color::whiteColor());
    text.setNumberOfLines(0);
}
