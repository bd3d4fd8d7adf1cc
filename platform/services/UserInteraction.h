#pragma once
// The window-wide touch switch: while it is off, touches reach nothing. No counting: one
// setEnabled(true) undoes any number of setEnabled(false). The default keeps the flag in memory;
// the view toolkit may plug in one that also tells its window.
#include <atomic>
#include <memory>

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    static std::shared_ptr<UserInteraction> shared();
    // Replaces the shared switch (nullptr restores a fresh in-memory one, enabled).
    static void setShared(std::shared_ptr<UserInteraction> interaction);

    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

class InMemoryUserInteraction : public UserInteraction {
public:
    void setEnabled(bool enabled) override { enabled_.store(enabled); }
    bool isEnabled() const override { return enabled_.load(); }

private:
    std::atomic<bool> enabled_{true};
};
