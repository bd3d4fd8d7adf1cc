#pragma once
// One row of the battle report (layout "HistoryListCell"): its built-in text, 12 points, white,
// as many lines as it takes; no highlight.
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/TableViewCell.h"

class HistoryListCell : public TableViewCell, public LayoutAware {
public:
    HistoryListCell();
    static const char* reuseIdentifierName() { return "HistoryListCell"; }
    void awakeFromLayout() override;
};
