#include "gamelink/GameLinkListCell.h"

#include "platform/net/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

GameLinkListCell::GameLinkListCell() : TableViewCell(reuseIdentifier()) {}

GameLinkListCell::~GameLinkListCell() {
    if (iconRequest_) iconRequest_->cancel();
}

void GameLinkListCell::awakeFromLayout() {
    iconView = LayoutLoader::outlet<ImageView>(*this, "iconView");
    nameLabel = LayoutLoader::outlet<Label>(*this, "nameLabel");
    detailLabel = LayoutLoader::outlet<Label>(*this, "detailLabel");
}

void GameLinkListCell::startLoadIconFromUrl(const std::string& url) {
    if (iconRequest_) iconRequest_->cancel();
    iconRequest_.reset();
    // A fresh owner per load: the load in flight for the row's previous game delivers nothing.
    iconOwner_ = std::make_shared<char>(0);
    iconView->setImage(nullptr);
    if (url.empty()) return;
    std::weak_ptr<ImageView> view = iconView;
    iconRequest_ = ImageLoader::shared().load(url, Screen::mainScreen().scale(), iconOwner_, [view](std::shared_ptr<Image> image) {
        if (auto v = view.lock()) v->setImage(std::move(image));
    });
}
