#pragma once
// A row of a table view. Rows are reused: a row scrolled out of sight waits in its table under
// its reuse identifier until dequeueReusableCell() hands it out for another row
// (prepareForReuse() runs first). Selected or highlighted, a row shows a soft highlight behind
// its content; deselected with animation, the highlight fades.
#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/View.h"

enum class TableViewCellSelectionStyle { none, normal };

class TableViewCell : public View {
public:
    explicit TableViewCell(std::string reuseIdentifier = "", const Rect& frame = {});

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::string identifier) { reuseIdentifier_ = std::move(identifier); }

    // The built-in text label (created on first use, inset 10 points left and right).
    Label& textLabel();
    bool hasTextLabel() const { return textLabel_ != nullptr; }

    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle style);
    Color highlightColor() const { return highlightColor_; }
    void setHighlightColor(Color color);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected, bool animated = false);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    // How long the highlight takes to fade after an animated deselect.
    static constexpr double kDeselectDuration = 0.3;
    // The highlight's opacity now (0 when none is shown; during a fade, the value on screen).
    double highlightAlpha() const;

    // Called before the table hands the row out again.
    virtual void prepareForReuse() {}

protected:
    void boundsDidChange() override;

private:
    void updateHighlight(bool animated);
    std::string reuseIdentifier_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<View> highlightView_;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::normal;
    Color highlightColor_;
    bool selected_ = false;
    bool highlighted_ = false;
};
