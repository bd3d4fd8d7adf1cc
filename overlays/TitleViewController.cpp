#include "overlays/TitleViewController.h"

#include "model/SavedStateKeys.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/AdvertisingKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Touch.h"
#include "stage/NMAnimationCommon.h"

namespace {

void reportPage(const std::string& name) {
    if (auto analytics = Analytics::shared()) analytics->trackPageView("/" + name);
}

// The swipe hint's pictures (some 12 MB of pixels) are read when the hint first plays, not
// while the game is getting its first frame out.
void loadHintFrames(ImageView& hint) {
    if (!hint.animationImages().empty()) return;
    std::vector<std::shared_ptr<Image>> frames;
    for (unsigned i = 1; i <= TitleViewController::kMaxHintFrames; ++i) {
        const std::string name = "f" + std::to_string(i) + "@2x.png";
        if (Image::exists(name)) frames.push_back(Image::named(name));
    }
    hint.setAnimationImages(frames);
    hint.setAnimationDuration(frames.size() / TitleViewController::kHintFramesPerSecond);
}

}  // namespace

TitleViewController::TitleViewController() : OverlayViewController("Title") {}

TitleViewController::~TitleViewController() {
    if (isViewLoaded()) releasePersons();
}

void TitleViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(logoImgView_, "logoImgView");
    bind(flickImgView_, "flickImgView");
    bind(adsView_, "adsView");
}

void TitleViewController::viewDidLoad() {
    OverlayViewController::viewDidLoad();
    moveDownOnTallScreen();
    SavedStateStore& store = SavedStateStore::standardUserDefaults();
    if (!store.boolForKey(SavedStateKeys::firstTitleDone)) {
        reportPage("FIRST_TITLE");
        store.setBool(true, SavedStateKeys::firstTitleDone);
    }
    reportPage("TITLE");
    flickedCnt_ = 0;

    if (flickImgView_) {
        flickImgView_->setAnimationRepeatCount(0);
        flickImgView_->setHidden(true);
    }

    View& root = *view();
    std::weak_ptr<void> alive = lifetime();
    root.onTouchesBegan = [this, alive](const TouchSet& t) { if (!alive.expired()) touchesBegan(t); };
    root.onTouchesMoved = [this, alive](const TouchSet& t) { if (!alive.expired()) touchesMoved(t); };
    root.onTouchesEnded = [this, alive](const TouchSet& t) { if (!alive.expired()) touchesEnded(t); };
    root.onTouchesCancelled = [this, alive](const TouchSet& t) { if (!alive.expired()) touchesEnded(t); };
    // A faceless, sizeless button: Enter reaches it, no touch does.
    auto enterKey = View::make<Button>(Rect(0, 0, 0, 0));
    enterKey->setPressesOnEnter(true);
    enterKey->setAction([this, alive] { if (!alive.expired()) collectAllMembers(); });
    root.addSubview(enterKey);
}

void TitleViewController::viewWillAppear(bool animated) {
    OverlayViewController::viewWillAppear(animated);
    if (logoImgView_) {
        std::weak_ptr<void> alive = lifetime();
        NMAnimationCommon::animateView(*logoImgView_, NMAnimationCommon::kGrowInWithBounce, true, [this, alive] {
            if (alive.expired() || closing_) return;
            drawPersons();
            if (flickImgView_) {
                view()->bringSubviewToFront(flickImgView_.get());
                flickImgView_->setHidden(false);
            }
            SoundEngine::sharedEngine().playBackgroundMusic("bgm_8.aif");
            if (flickImgView_) {
                loadHintFrames(*flickImgView_);
                flickImgView_->startAnimating();
            }
        });
    }
    // On the screen with the top panel the banners are there instead.
    if (!AdvertisingKit::hasTopPanel()) openAdnetView();
}

void TitleViewController::viewWillDisappear(bool animated) {
    if (!AdvertisingKit::hasTopPanel() && isViewLoaded())
        AdvertisingKit::removeBanners(*view(), AdvertisingKit::kBannersInRow);
    OverlayViewController::viewWillDisappear(animated);
}

void TitleViewController::generatePersonViewAtCenterPos(Point center, int tag, const std::string& filename) {
    auto person = std::make_shared<PersonView>(Rect::withCenter(center, Size(PersonView::kWidth, PersonView::kHeight)));
    person->setDelegate(this);
    view()->addSubview(person);
    person->setTag(tag);
    person->setName("person" + std::to_string(tag));
    person->showImage(Image::exists(filename) ? Image::named(filename) : Image::empty(), Size(32, 31));
    person->updateCurrentRect();
}

void TitleViewController::drawPersons() {
    generatePersonViewAtCenterPos(Point(74, 323), 1, "Default-flick_s@2x.png");
    generatePersonViewAtCenterPos(Point(117, 323), 2, "Default-flick_t@2x.png");
    generatePersonViewAtCenterPos(Point(160, 323), 3, "Default-flick_a@2x.png");
    generatePersonViewAtCenterPos(Point(203, 323), 4, "Default-flick_r@2x.png");
    generatePersonViewAtCenterPos(Point(246, 323), 5, "Default-flick_t@2x.png");
}

void TitleViewController::hitTestForAllPersonWithPos(Point p) {
    const auto subviews = view()->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        auto* person = dynamic_cast<PersonView*>(it->get());
        if (!person || !person->currentRect().contains(p)) continue;
        if (person->checkResult()) {
            succeeded_ = true;
            break;
        }
    }
}

void TitleViewController::touchesBegan(const TouchSet& touches) {
    Touch* touch = touches.anyObject();
    if (!touch) return;
    hitTestForAllPersonWithPos(touch->locationInView(view().get()));
    if (flickImgView_) flickImgView_->stopAnimating();
}

void TitleViewController::touchesMoved(const TouchSet& touches) {
    Touch* touch = touches.anyObject();
    if (!touch) return;
    hitTestForAllPersonWithPos(touch->locationInView(view().get()));
}

void TitleViewController::touchesEnded(const TouchSet& /*touches*/) {
    if (!succeeded_ && flickImgView_) {
        loadHintFrames(*flickImgView_);
        flickImgView_->startAnimating();
    }
}

void TitleViewController::collectAllMembers() {
    if (closing_) return;
    const auto subviews = view()->subviews();
    for (const auto& sub : subviews)
        if (auto* person = dynamic_cast<PersonView*>(sub.get()); person && !finishedTags_.count(person->tag()) && person->checkResult())
            succeeded_ = true;
    if (succeeded_ && flickImgView_) flickImgView_->stopAnimating();
}

void TitleViewController::finishCheck(PersonView& person) {
    if (!finishedTags_.insert(person.tag()).second) return;
    ++flickedCnt_;
    if (flickedCnt_ >= kMemberCount) close();
}

void TitleViewController::releasePersons() {
    for (const auto& sub : view()->subviews())
        if (auto* person = dynamic_cast<PersonView*>(sub.get())) person->setDelegate(nullptr);
}

void TitleViewController::close() {
    if (closing_) return;
    closing_ = true;
    releasePersons();
    SoundEngine::sharedEngine().stopBackgroundMusic();
    SoundEngine::sharedEngine().playEffect("start.mp3");
    View& root = *view();
    root.setAlpha(1);
    willClose();
    std::weak_ptr<void> alive = lifetime();
    std::shared_ptr<View> rootRef = view();
    View::animateWithDuration(
        kFadeDuration, 0.0, AnimationOptions{AnimationCurve::easeInOut, false}, [rootRef] { rootRef->setAlpha(0); },
        [this, alive](bool) {
            if (!alive.expired()) OverlayViewController::close();
        });
}

void TitleViewController::openAdnetView() {
    if (adsView_) AdvertisingKit::placeBannerRow(*view(), adsView_->frame(), AdvertisingKit::kBannersInRow);
}
