#pragma once
// The monster collection (layout "CollectionViewController"): one page a dungeon, six monsters
// a page, paged with wrapping next and previous buttons; the page counter, the dungeon's name
// ("????" while it is closed) and the share of all monsters hunted, figured once when opened.
// A hunted monster's cell opens its detail, which is kept for the next one.
#include <cstdint>
#include <memory>
#include <vector>

#include "overlays/CollectionCellView.h"
#include "overlays/CollectionDetailViewController.h"
#include "overlays/ListOverlayViewController.h"
#include "overlays/OverlaySlot.h"

class Label;

class CollectionViewController : public ListOverlayViewController, public CollectionCellViewDelegate {
public:
    static constexpr unsigned kMonstersPerPage = 6;

    CollectionViewController();

    void showMonstersAtCurrentDungeon();
    void showMonstersAtPageIndex(uint32_t page);
    void pressNext();
    void pressPrev();
    void cellPressed(CollectionCellView& cell) override;

    uint32_t currentPageIndex() const { return currentPageIndex_; }
    uint32_t maxPage() const { return maxPage_; }
    const std::vector<std::shared_ptr<CollectionCellView>>& collectionCells() { return (void)view(), collectionCells_; }
    const std::shared_ptr<CollectionDetailViewController>& detailCtr() const { return detail_.screen(); }
    const std::shared_ptr<Label>& completionLabel() { return (void)view(), completionLabel_; }
    const std::shared_ptr<Label>& pageLabel() { return (void)view(), pageLabel_; }
    const std::shared_ptr<Label>& nameLabel() { return (void)view(), nameLabel_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    uint32_t currentPageIndex_ = 0;
    uint32_t maxPage_ = 0;
    std::shared_ptr<Label> completionLabel_, pageLabel_, nameLabel_;
    std::vector<std::shared_ptr<CollectionCellView>> collectionCells_;
    OverlaySlot<CollectionDetailViewController> detail_{OverlaySlot<CollectionDetailViewController>::kKeepOnClose};
};
