#include "platform/ui/LeaderboardView.h"

#include <cmath>

#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/PanelButton.h"

namespace {
constexpr const char* kDotFont = "GD-DOTFONT-DQ-TTF";
constexpr double kPadding = 14;
constexpr double kScopeHeight = 22;
constexpr double kBoardHeight = 34;

const char* const kBoardTitleKeys[] = {"LeaderboardTreasureHunter", "LeaderboardMonsterHunter", "LeaderboardButaHunter",
                                       "LeaderboardFlamebirdHunter"};
const char* const kScopeKeys[] = {"LeaderboardScopeToday", "LeaderboardScopeWeek", "LeaderboardScopeAllTime"};
const char* const kScopeNames[] = {"scopeTodayBtn", "scopeWeekBtn", "scopeAllTimeBtn"};

std::shared_ptr<Label> makeLabel(const std::string& name, const Rect& frame, double size, Color color, TextAlignment alignment) {
    auto label = std::make_shared<Label>(frame);
    label->setName(name);
    label->setFont(kDotFont, size);
    label->setTextColor(color);
    label->setTextAlignment(alignment);
    label->setNumberOfLines(1);
    label->setAdjustsFontSizeToFitWidth(true);
    return label;
}

std::string scoreText(const char* key, const std::optional<int64_t>& value) {
    return NSLocalizedString(key) + " " + (value ? std::to_string(*value) : std::string("-"));
}
}  // namespace

LeaderboardView::LeaderboardView(LeaderboardService& service, LeaderboardTimeScope scope)
    : ModalAlertView(NSLocalizedString("LeaderboardTitle"), "", std::vector<std::string>{NSLocalizedString("LeaderboardClose")}, 0),
      service_(service),
      scope_(scope) {
    setName("leaderboardSheet");
}

LeaderboardView::~LeaderboardView() = default;

void LeaderboardView::layoutPanel(const Rect& area) {
    const double width = std::min(kWidth, area.width() - 8);
    const double inner = width - 2 * kPadding;
    makePanel();
    double y = kPadding;
    auto title = addText(this->title(), 16, GamePalette::redDark, kPadding, y, inner);
    title->setName("leaderboardTitle");
    y += title->frame().height() + 8;

    scopeButtons_.clear();
    const double gap = 4, w = std::floor((inner - 2 * gap) / 3);
    for (int i = 0; i < 3; ++i) {
        auto button = std::make_shared<PanelButton>(Rect(kPadding + i * (w + gap), y, w, kScopeHeight));
        button->setTitle(NSLocalizedString(kScopeKeys[i]));
        button->setName(kScopeNames[i]);
        std::weak_ptr<View> weak = weak_from_this();
        button->setAction([weak, i] {
            if (auto self = std::static_pointer_cast<LeaderboardView>(weak.lock())) self->setTimeScope(static_cast<LeaderboardTimeScope>(i));
        });
        panel_->addSubview(button);
        scopeButtons_.push_back(button);
    }
    y += kScopeHeight + 8;

    titleLabels_.clear();
    bestLabels_.clear();
    lastLabels_.clear();
    const double boardsTop = y;
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        auto boardTitle = makeLabel("boardTitle" + n, Rect(kPadding, y, inner, 14), 8, GamePalette::brownDark, TextAlignment::left);
        boardTitle->setText(NSLocalizedString(kBoardTitleKeys[i]));
        auto best = makeLabel("boardBest" + n, Rect(kPadding + 8, y + 15, inner / 2 - 8, 14), 8, GamePalette::ink, TextAlignment::left);
        auto last = makeLabel("boardLast" + n, Rect(kPadding + inner / 2, y + 15, inner / 2, 14), 8, GamePalette::ink, TextAlignment::left);
        for (auto& l : {boardTitle, best, last}) panel_->addSubview(l);
        titleLabels_.push_back(boardTitle);
        bestLabels_.push_back(best);
        lastLabels_.push_back(last);
        y += kBoardHeight;
    }
    message_ = makeLabel("leaderboardMessage", Rect(kPadding, boardsTop, inner, 4 * kBoardHeight), 8, GamePalette::redDark, TextAlignment::center);
    message_->setNumberOfLines(0);
    message_->setAdjustsFontSizeToFitWidth(false);
    message_->setText(NSLocalizedString("LeaderboardUnreadable"));
    message_->setHidden(true);
    panel_->addSubview(message_);
    y += 4;

    auto close = addButton(0, Rect(kPadding, y, inner, kButtonHeight));
    close->setName("leaderboardCloseBtn");
    y += kButtonHeight + kPadding;
    panel_->setFrame(Rect(std::round((area.width() - width) / 2), std::round((area.height() - y) / 2), width, y));

    std::weak_ptr<View> weak = weak_from_this();
    onButton = [weak](int) {
        auto self = std::static_pointer_cast<LeaderboardView>(weak.lock());
        if (!self) return;
        if (auto finish = std::move(self->onFinish)) finish();
    };
    if (loaded_) apply(snapshot_);
    else apply(LeaderboardSnapshot{scope_, true, "", {}});
    refreshScopeButtons();
    load();
}

void LeaderboardView::setTimeScope(LeaderboardTimeScope scope) {
    scope_ = scope;
    refreshScopeButtons();
    load();
}

void LeaderboardView::refreshScopeButtons() {
    for (size_t i = 0; i < scopeButtons_.size(); ++i)
        scopeButtons_[i]->setStyle(static_cast<int>(i) == static_cast<int>(scope_) ? PanelButton::Style::primary : PanelButton::Style::secondary);
}

void LeaderboardView::load() {
    std::weak_ptr<View> weak = weak_from_this();
    if (weak.expired()) return;  // not shown yet: layoutPanel loads
    service_.loadBoards(scope_, weak, [weak](const LeaderboardSnapshot& snapshot) {
        auto self = std::static_pointer_cast<LeaderboardView>(weak.lock());
        if (!self || snapshot.scope != self->scope_) return;  // an older scope's answer
        self->snapshot_ = snapshot;
        self->loaded_ = true;
        self->apply(snapshot);
    });
}

void LeaderboardView::apply(const LeaderboardSnapshot& snapshot) {
    if (!message_) return;
    message_->setHidden(snapshot.readable);
    for (size_t i = 0; i < bestLabels_.size(); ++i) {
        std::optional<int64_t> best, last;
        if (i < snapshot.boards.size()) {
            best = snapshot.boards[i].best;
            last = snapshot.boards[i].last;
        }
        for (auto& l : {titleLabels_[i], bestLabels_[i], lastLabels_[i]}) l->setHidden(!snapshot.readable);
        bestLabels_[i]->setText(scoreText("LeaderboardBest", best));
        lastLabels_[i]->setText(scoreText("LeaderboardLast", last));
    }
}
