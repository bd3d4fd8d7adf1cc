#include "platform/ui/SocialComposer.h"

#include <cctype>
#include <cmath>

#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ProductSettings.h"
#include "platform/services/UrlOpener.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalAlertView.h"
#include "platform/ui/PanelButton.h"

namespace {

constexpr int kCancelIndex = 0;
constexpr int kPostIndex = 1;

// The sheet: the alert's parchment and animations, laid out as a composer.
class ComposeSheetView : public ModalAlertView {
public:
    ComposeSheetView(std::string text, std::string url)
        : ModalAlertView(NSLocalizedString("ComposeTitle"), "", {NSLocalizedString("Cancel"), NSLocalizedString("ComposePost")}, kCancelIndex),
          text_(std::move(text)),
          url_(std::move(url)) {
        setName("composeSheet");
    }

protected:
    void layoutPanel(const Rect& area) override {
        constexpr double kPadding = 16, kGap = 8;
        const double width = std::min(kPanelWidth, area.width() - 16);
        const double inner = width - 2 * kPadding;
        makePanel();
        double y = kPadding;
        addText(title(), 16, GamePalette::redDark, kPadding, y, inner)->setName("composeTitle");
        y += 16 + kGap;
        // The text as it will be posted, on a white card, then the link in blue.
        auto text = addText(text_, 8, GamePalette::ink, kPadding + 4, y + 4, inner - 8);
        text->setName("composeText");
        text->setTextAlignment(TextAlignment::left);
        auto card = std::make_shared<View>(Rect(kPadding, y, inner, text->frame().height() + 8));
        card->setBackgroundColor(GamePalette::white);
        panel_->insertSubviewBelow(card, text.get());
        y += card->frame().height() + 4;
        auto link = addText(url_, 8, GamePalette::blue, kPadding, y, inner);
        link->setName("composeLink");
        link->setTextAlignment(TextAlignment::left);
        y += link->frame().height() + kGap + 2;
        const double w = std::floor((inner - kGap) / 2);
        addButton(kCancelIndex, Rect(kPadding, y, w, kButtonHeight))->setName("composeCancelBtn");
        addButton(kPostIndex, Rect(kPadding + inner - w, y, w, kButtonHeight))->setName("composePostBtn");
        y += kButtonHeight + kPadding - 2;
        panel_->setFrame(Rect(std::round((area.width() - width) / 2), std::round((area.height() - y) / 2), width, y));
    }

private:
    std::string text_, url_;
};

void replaceAll(std::string& text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) text.replace(at, what.size(), with);
}

}  // namespace

bool SocialComposer::canSendPost() { return UrlOpener::shared().isAvailable(); }

std::string SocialComposer::percentEncode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) && c < 0x80) out += static_cast<char>(c);
        else if (c == '-' || c == '.' || c == '_' || c == '~') out += static_cast<char>(c);
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string SocialComposer::shareAddress(const std::string& text, const std::string& url) {
    std::string address = ProductSettings::shared().shareAddress;
    // The link first: an encoded text cannot hold "{url}" (its braces are encoded).
    replaceAll(address, "{url}", percentEncode(url));
    replaceAll(address, "{text}", percentEncode(text));
    return address;
}

void SocialComposer::setInitialText(std::string text) {
    std::lock_guard lock(mutex_);
    text_ = std::move(text);
}

void SocialComposer::addUrl(std::string url) {
    std::lock_guard lock(mutex_);
    url_ = std::move(url);
}

void SocialComposer::setCompletionHandler(Completion completion) {
    std::lock_guard lock(mutex_);
    completion_ = std::move(completion);
}

std::string SocialComposer::initialText() const {
    std::lock_guard lock(mutex_);
    return text_;
}

std::string SocialComposer::url() const {
    std::lock_guard lock(mutex_);
    return url_;
}

std::shared_ptr<ModalPanelView> SocialComposer::makeSheet() {
    auto sheet = std::make_shared<ComposeSheetView>(initialText(), url());
    // The sheet keeps its composer while it is up, as a presented screen is kept.
    std::shared_ptr<SocialComposer> self = shared_from_this();
    sheet->onButton = [self](int index) { self->finish(index); };
    sheet_ = sheet;
    return sheet;
}

bool SocialComposer::present() { return makeSheet()->show(); }

void SocialComposer::presentInView(View& parent) { makeSheet()->showInView(parent); }

void SocialComposer::finish(int buttonIndex) {
    Result result = Result::cancelled;
    if (buttonIndex == kPostIndex) {
        UrlOpener& opener = UrlOpener::shared();
        if (opener.openUrl(shareAddress(initialText(), url())) || opener.isRecordOnly()) result = Result::done;
    }
    Completion completion;
    {
        std::lock_guard lock(mutex_);
        completion = std::move(completion_);
    }
    if (completion) completion(result);
}

void SocialComposer::dismiss(bool animated) {
    auto sheet = sheet_.lock();
    if (!sheet || !sheet->isVisible()) return;
    sheet->onButton = nullptr;
    sheet->dismissWithClickedButtonIndex(kCancelIndex, animated);
}

std::shared_ptr<ModalPanelView> SocialComposer::sheet() const {
    auto sheet = sheet_.lock();
    return sheet && sheet->isVisible() ? sheet : nullptr;
}
