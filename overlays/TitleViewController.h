#pragma once
// The title: the logo pops in, five party members stand in a row carrying the letters of START,
// and a flick hint loops below them. Touching or swiping over the members collects them; when
// the fifth has finished its collect the title fades out and tells its owner (the application
// object), which brings the main screen up. Each member counts once, however often it is touched.
// On the tall screen the title sits below the top panel. Enter collects every member, as a swipe
// across the row would.
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "overlays/OverlayViewController.h"
#include "stage/PersonView.h"

class ImageView;
class TouchSet;

class TitleViewController : public OverlayViewController, public PersonViewDelegate {
public:
    static constexpr int kMemberCount = 5;
    static constexpr double kHintFramesPerSecond = 12.0;
    static constexpr unsigned kMaxHintFrames = 50;
    static constexpr double kFadeDuration = 1.0;

    TitleViewController();
    ~TitleViewController() override;

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void generatePersonViewAtCenterPos(Point center, int tag, const std::string& filename);
    void drawPersons();
    void hitTestForAllPersonWithPos(Point p);
    void touchesBegan(const TouchSet& touches);
    void touchesMoved(const TouchSet& touches);
    void touchesEnded(const TouchSet& touches);
    void releasePersons();
    void close() override;
    void openAdnetView();
    // Enter: every member not yet collected starts its collect.
    void collectAllMembers();

    bool respondsToFinishCheck() const override { return true; }
    void finishCheck(PersonView& person) override;

    // ---- Fields
    uint32_t flickedCnt() const { return flickedCnt_; }
    bool succeeded() const { return succeeded_; }
    const std::shared_ptr<ImageView>& logoImgView() const { return logoImgView_; }
    const std::shared_ptr<ImageView>& flickImgView() const { return flickImgView_; }
    const std::shared_ptr<ImageView>& adsView() const { return adsView_; }
    bool isClosing() const { return closing_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    uint32_t flickedCnt_ = 0;
    bool succeeded_ = false;
    bool closing_ = false;
    std::set<int> finishedTags_;
    std::shared_ptr<ImageView> logoImgView_;
    std::shared_ptr<ImageView> flickImgView_;
    std::shared_ptr<ImageView> adsView_;
};
