#pragma once
// A button: a background picture, a picture and a title for each state (normal, highlighted,
// disabled; a state without its own falls back to normal). Highlighted while a finger that went
// down on it is inside; the action runs when the finger is lifted inside.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

enum class ControlState { normal, highlighted, disabled };

class Button : public View {
public:
    explicit Button(const Rect& frame = {});

    void setImage(std::shared_ptr<Image> image, ControlState state = ControlState::normal);
    void setBackgroundImage(std::shared_ptr<Image> image, ControlState state = ControlState::normal);
    void setTitle(const std::string& title, ControlState state = ControlState::normal);
    void setTitleColor(Color color, ControlState state = ControlState::normal);
    std::shared_ptr<Image> imageForState(ControlState state) const;
    std::shared_ptr<Image> backgroundImageForState(ControlState state) const;
    std::string titleForState(ControlState state) const;
    // The label that shows the title (font, shadow and alignment are set on it).
    Label& titleLabel() { return *titleLabel_; }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    ControlState state() const;

    // Runs on touch-up inside.
    std::function<void()> action;
    void setAction(std::function<void()> a) { action = std::move(a); }
    // As a tap would: runs the action when enabled.
    void sendAction();

    // Keys (see Window::handleEscapeKey): Esc presses the frontmost shown button marked
    // closesOnEscape, Enter the frontmost marked pressesOnEnter.
    bool closesOnEscape() const { return closesOnEscape_; }
    void setClosesOnEscape(bool on) { closesOnEscape_ = on; }
    bool pressesOnEnter() const { return pressesOnEnter_; }
    void setPressesOnEnter(bool on) { pressesOnEnter_ = on; }

    void touchesBegan(const TouchSet& touches) override;
    void touchesMoved(const TouchSet& touches) override;
    void touchesEnded(const TouchSet& touches) override;
    void touchesCancelled(const TouchSet& touches) override;
    std::shared_ptr<View> hitTest(Point p) override;

protected:
    void boundsDidChange() override;
    // Presses itself when live, enabled and marked for that key.
    KeyAnswer ownKey(bool escape, bool buttonsLive) override;

private:
    void refresh();
    bool touchInside(const TouchSet& touches) const;
    std::map<ControlState, std::shared_ptr<Image>> images_;
    std::map<ControlState, std::shared_ptr<Image>> backgrounds_;
    std::map<ControlState, std::string> titles_;
    std::map<ControlState, Color> titleColors_;
    std::shared_ptr<ImageView> backgroundView_;
    std::shared_ptr<ImageView> imageView_;
    std::shared_ptr<Label> titleLabel_;
    bool enabled_ = true;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool closesOnEscape_ = false;
    bool pressesOnEnter_ = false;
};
