#pragma once
// One row of the game list (layout "GameLinkListCell"): the game's icon, loaded in the background
// from its address, its name and its one-line description in the player's language.
#include <memory>
#include <string>

#include "platform/ui/LayoutLoader.h"
#include "platform/ui/TableViewCell.h"

class HttpRequest;
class ImageView;
class Label;

class GameLinkListCell : public TableViewCell, public LayoutAware {
public:
    GameLinkListCell();
    ~GameLinkListCell() override;
    static const char* reuseIdentifier() { return "GameLinkListCell"; }

    // Shows the picture at the address when it arrives; an earlier load of a reused row is
    // dropped, so a late picture never lands on the wrong game. "" leaves the picture empty.
    void startLoadIconFromUrl(const std::string& url);

    void awakeFromLayout() override;

    std::shared_ptr<ImageView> iconView;
    std::shared_ptr<Label> nameLabel, detailLabel;

private:
    std::shared_ptr<HttpRequest> iconRequest_;
    std::shared_ptr<char> iconOwner_;
};
