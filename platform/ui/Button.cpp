#include "platform/ui/Button.h"

namespace {
template <class T>
T lookup(const std::map<ControlState, T>& table, ControlState state, T fallback) {
    if (auto it = table.find(state); it != table.end()) return it->second;
    if (auto it = table.find(ControlState::normal); it != table.end()) return it->second;
    return fallback;
}
// How far outside its bounds a finger still counts as inside, as on the phone.
constexpr double kTouchSlop = 20;
}  // namespace

Button::Button(const Rect& frame) : View(frame) {
    const Rect b = bounds();
    backgroundView_ = std::make_shared<ImageView>(b);
    imageView_ = std::make_shared<ImageView>(b);
    imageView_->setContentMode(ContentMode::center);
    titleLabel_ = std::make_shared<Label>(b);
    titleLabel_->setTextAlignment(TextAlignment::center);
    titleLabel_->setTextColor(Color::whiteColor());
    titleLabel_->setFont(Font::boldSystemFontOfSize(15));
    addSubview(backgroundView_);
    addSubview(imageView_);
    addSubview(titleLabel_);
}

void Button::boundsDidChange() {
    const Rect b = bounds();
    for (View* v : {static_cast<View*>(backgroundView_.get()), static_cast<View*>(imageView_.get()),
                    static_cast<View*>(titleLabel_.get())}) {
        v->setBounds(Rect(0, 0, b.width(), b.height()));
        v->setCenter(b.center());
    }
}

ControlState Button::state() const {
    if (!enabled_) return ControlState::disabled;
    return highlighted_ ? ControlState::highlighted : ControlState::normal;
}

void Button::refresh() {
    const ControlState s = state();
    backgroundView_->setImage(lookup(backgrounds_, s, std::shared_ptr<Image>()));
    imageView_->setImage(lookup(images_, s, std::shared_ptr<Image>()));
    titleLabel_->setText(lookup(titles_, s, std::string()));
    titleLabel_->setTextColor(lookup(titleColors_, s, Color::whiteColor()));
    // Without a picture of its own, a pressed button darkens a little.
    const bool dim = (s == ControlState::highlighted && !images_.count(s) && !backgrounds_.count(s)) ||
                     (s == ControlState::disabled && !images_.count(s) && !backgrounds_.count(s));
    const double a = dim ? (s == ControlState::disabled ? 0.5 : 0.7) : 1.0;
    View::performWithoutAnimation([&] {
        backgroundView_->setAlpha(a);
        imageView_->setAlpha(a);
    });
}

void Button::setImage(std::shared_ptr<Image> image, ControlState state) {
    images_[state] = std::move(image);
    refresh();
}

void Button::setBackgroundImage(std::shared_ptr<Image> image, ControlState state) {
    backgrounds_[state] = std::move(image);
    refresh();
}

void Button::setTitle(const std::string& title, ControlState state) {
    titles_[state] = title;
    refresh();
}

void Button::setTitleColor(Color color, ControlState state) {
    titleColors_[state] = color;
    refresh();
}

std::shared_ptr<Image> Button::imageForState(ControlState state) const { return lookup(images_, state, std::shared_ptr<Image>()); }

std::shared_ptr<Image> Button::backgroundImageForState(ControlState state) const {
    return lookup(backgrounds_, state, std::shared_ptr<Image>());
}

std::string Button::titleForState(ControlState state) const { return lookup(titles_, state, std::string()); }

void Button::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) highlighted_ = false;
    refresh();
}

void Button::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    refresh();
}

void Button::sendAction() {
    if (enabled_ && action) action();
}

View::KeyAnswer Button::ownKey(bool escape, bool buttonsLive) {
    if (!buttonsLive || !enabled_) return KeyAnswer::none;
    if (!(escape ? closesOnEscape_ : pressesOnEnter_)) return KeyAnswer::none;
    auto keep = shared_from_this();
    sendAction();
    return KeyAnswer::taken;
}

std::shared_ptr<View> Button::hitTest(Point p) {
    // The button takes its touches itself (also when disabled, when it ignores them); its
    // picture and title are part of it.
    auto hit = View::hitTest(p);
    return hit ? shared_from_this() : nullptr;
}

bool Button::touchInside(const TouchSet& touches) const {
    Touch* t = touches.anyObject();
    return t && bounds().insetBy(-kTouchSlop, -kTouchSlop).contains(t->locationInView(this));
}

void Button::touchesBegan(const TouchSet&) {
    if (!enabled_) return;
    tracking_ = true;
    setHighlighted(true);
}

void Button::touchesMoved(const TouchSet& touches) {
    if (tracking_) setHighlighted(touchInside(touches));
}

void Button::touchesEnded(const TouchSet& touches) {
    if (!tracking_) return;
    tracking_ = false;
    const bool inside = touchInside(touches);
    setHighlighted(false);
    if (inside) sendAction();
}

void Button::touchesCancelled(const TouchSet&) {
    tracking_ = false;
    setHighlighted(false);
}
