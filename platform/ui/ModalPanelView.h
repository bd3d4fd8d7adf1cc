#pragma once
// The base of the modal panels (alert, action sheet): a view over the whole window that dims
// what is behind it and takes every touch, holding a gold-framed parchment panel with an
// optional title and its buttons. The keyboard reaches the panel in front (Window::handleEnterKey,
// handleEscapeKey): Enter presses its default button, Esc its cancel button.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/PanelButton.h"
#include "platform/ui/View.h"

class Label;

class ModalPanelView : public View {
public:
    // Answers the pressed button's index once. The panel is already closing when it runs, so
    // the callback may show the next panel.
    using ButtonCallback = std::function<void(int buttonIndex)>;

    ~ModalPanelView() override;

    // ---- Contents
    const std::string& title() const { return title_; }
    int numberOfButtons() const { return static_cast<int>(buttonTitles_.size()); }
    const std::string& buttonTitleAtIndex(int index) const;
    // The button drawn for an index, once the panel is shown (tests press it like a finger).
    std::shared_ptr<PanelButton> buttonAtIndex(int index) const;
    int cancelButtonIndex() const { return cancelButtonIndex_; }
    // The button Enter presses (-1: none).
    int defaultButtonIndex() const { return defaultButtonIndex_; }
    // The parchment panel, once shown: its frame in the panel view's coordinates.
    const std::shared_ptr<View>& panel() const { return panel_; }
    // The caller's number for telling panels apart (the phone's tag; wider than View::tag).
    int64_t alertTag() const { return alertTag_; }
    void setAlertTag(int64_t tag) { alertTag_ = tag; }
    ButtonCallback onButton;

    // ---- Showing
    // Over the key window; false (nothing shown) when there is none.
    bool show();
    // Over any view (its bounds are covered).
    void showInView(View& parent);
    bool isVisible() const { return shown_ && !answered_; }
    // Answers as if the button was pressed: the callback runs once, then the panel leaves.
    // Out-of-range indexes and presses after the first are ignored (false).
    bool dismissWithClickedButtonIndex(int index, bool animated = true);
    // Enter: the default button. Esc: the cancel button, or a lone button. False when there is none.
    bool pressDefaultButton() { return dismissWithClickedButtonIndex(defaultButtonIndex_); }
    bool pressCancelButton();
    // A shown panel answers every key itself (its buttons, or refused); nothing behind it is asked.
    KeyAnswer offerKey(bool escape, bool buttonsLive) override;

    // Seconds the panel takes to come in and to go.
    static constexpr double kAppearDuration = 0.2;
    static constexpr double kDisappearDuration = 0.15;

protected:
    ModalPanelView(std::string title, std::vector<std::string> buttonTitles, int cancelButtonIndex, int defaultButtonIndex);
    // Builds the panel and its contents for a window of this size (called by show).
    virtual void layoutPanel(const Rect& area) = 0;
    virtual void animateIn() = 0;
    virtual void animateOut(std::function<void()> done) = 0;
    // A fresh, empty parchment panel in panel_.
    void makePanel();
    // All buttons in index order, one under another from y; `cancelGap` stands before the
    // cancel button instead of the usual gap. Returns the bottom.
    double stackButtons(double x, double y, double width, double height, double cancelGap);
    // A button for an index, its press wired to dismissWithClickedButtonIndex, added to the panel.
    std::shared_ptr<PanelButton> addButton(int index, const Rect& frame);
    // A centred dot-font text fitted to the width, added to the panel at y.
    std::shared_ptr<Label> addText(const std::string& text, double pointSize, Color color, double x, double y, double width);

    std::shared_ptr<View> dim_;
    std::shared_ptr<View> panel_;

private:
    std::string title_;
    std::vector<std::string> buttonTitles_;
    int cancelButtonIndex_ = -1;
    int defaultButtonIndex_ = -1;
    std::vector<std::shared_ptr<PanelButton>> buttons_;
    int64_t alertTag_ = 0;
    bool shown_ = false;
    bool answered_ = false;
};
