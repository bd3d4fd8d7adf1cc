#include "app/SaveProblemNotice.h"

#include "explore/NMCommon.h"
#include "platform/core/RunLoop.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/store/SavedStateStore.h"

void SaveProblemNotice::watch(SavedStateStore& store) {
    std::weak_ptr<SaveProblemNotice> weak = weak_from_this();
    // Saves run on the main thread and on the store's flusher: the notice is always shown on the main one.
    store.setSyncObserver([weak](bool ok, const std::string&) {
        if (ok) return;
        if (auto self = weak.lock()) ++self->failures_;
        RunLoop::main().post([weak] {
            if (auto self = weak.lock()) self->saveFailed();
        });
    });
}

void SaveProblemNotice::saveFailed() {
    if (!onScreen_) show("SaveFailed");
}

void SaveProblemNotice::show(const char* key) {
    onScreen_ = true;
    ++shown_;
    NMCommon::showAlertWithTitle("", NSLocalizedString(key), this, kAlertTag);
}

void SaveProblemNotice::alertViewClickedButtonAtIndex(const AlertView&, int) { onScreen_ = false; }
