#pragma once
// The post composer, standing in for the phone's: a sheet in the game showing the post text and
// the link, with Post and Cancel. Post opens the social network's web share page in the
// player's browser, the text and the link percent-encoded into its query (the address form is
// the product setting "shareAddress"), through the safe address opener (an argument list, no
// shell), then reports done; Cancel reports cancelled. When the page cannot be handed to the
// browser the post reports cancelled, never done.
//
// Threading: a composer may be made and filled on any thread (a background queue does it);
// present() and everything after run on the main thread, and so does the completion.
//
//   if (!SocialComposer::canSendPost()) { ...alert...; return; }
//   worker.dispatch([] {
//       auto composer = std::make_shared<SocialComposer>();
//       composer->setInitialText(text);
//       composer->addUrl(link);
//       composer->setCompletionHandler([composer](SocialComposer::Result r) { ...; composer->dismiss(true); });
//       RunLoop::main().post([composer] { composer->present(); HUDManager...hideHUD(); });
//   });
//
// View names: "composeSheet", "composeText" (the post text), "composeLink", "composePostBtn",
// "composeCancelBtn".
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class View;
class ModalPanelView;

class SocialComposer : public std::enable_shared_from_this<SocialComposer> {
public:
    enum class Result { cancelled = 0, done = 1 };
    using Completion = std::function<void(Result)>;

    // Whether a post can be made at all: an address opener is available.
    static bool canSendPost();
    // Percent-encodes every byte but letters, digits and "-._~" (UTF-8 bytes one by one).
    static std::string percentEncode(const std::string& text);
    // The share page for a text and a link, from the product setting.
    static std::string shareAddress(const std::string& text, const std::string& url);

    SocialComposer() = default;
    // Filling, from any thread, before present().
    void setInitialText(std::string text);
    void addUrl(std::string url);
    void setCompletionHandler(Completion completion);
    std::string initialText() const;
    std::string url() const;

    // Shows the sheet over the key window (false: none) or over a view. Main thread. The composer
    // must be held by a shared pointer; the sheet keeps it until the sheet has answered.
    bool present();
    void presentInView(View& parent);
    // Takes the sheet away when it is still up (no result is reported then). Main thread.
    void dismiss(bool animated);
    // The sheet while it is up, else nullptr.
    std::shared_ptr<ModalPanelView> sheet() const;

private:
    std::shared_ptr<ModalPanelView> makeSheet();
    void finish(int buttonIndex);

    mutable std::mutex mutex_;
    std::string text_;
    std::string url_;
    Completion completion_;
    std::weak_ptr<ModalPanelView> sheet_;
};
