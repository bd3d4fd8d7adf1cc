#pragma once
// Shared set-up of the stage tests: the build's resources (pictures drawn by the art tools), a
// saved-state store in a temporary folder, a manual clock on the main run loop, a seeded random
// source, the touch switch on, and the stage singletons torn down between tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/GoldManager.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/UserInteraction.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "stage/EffectManager.h"
#include "stage/PoseManager.h"

namespace stagetest {

namespace fs = std::filesystem;

inline const fs::path& tempRoot() {
    static fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "re-stage-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        fs::path made = ::mkdtemp(buf.data());
        fs::create_directories(made / "data");
        SavedStateStore::configureDataDirectory((made / "data").string());
        return made;
    }();
    return root;
}

inline std::string resourceDir() { return RE_TEST_RESOURCE_DIR; }

inline void useResources(const std::string& dir) {
    ResourceBundle::setRootDirectory(dir);
    Image::clearCache();
}

inline void resetSingletons() {
    PoseManager::resetInstanceForTesting();
    EffectManager::resetInstanceForTesting();
    GoldManager::resetInstanceForTesting();
}

class StageTest : public ::testing::Test {
protected:
    void SetUp() override {
        tempRoot();
        useResources(resourceDir());
        resetSingletons();
        clock = std::make_shared<ManualClock>(1.8e9);
        RunLoop::main().reset();
        RunLoop::main().setClock(clock);
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        RandomSource::shared().seed(12345);
    }

    void TearDown() override {
        RunLoop::main().reset();
        resetSingletons();
        NotificationCenter::defaultCenter().removeAllObservers();
        UserInteraction::setShared(nullptr);
        useResources(resourceDir());
    }

    double now() const { return RunLoop::main().now(); }
    // Moves the clock to an instant measured from `start`.
    void advanceTo(double start, double offset) {
        const double target = start + offset;
        if (target > now()) RunLoop::main().advanceBy(target - now());
    }
    static bool touchesEnabled() { return UserInteraction::shared()->isEnabled(); }

    // Records every event of these names, in delivery order.
    void recordEvents(std::initializer_list<const char*> names) {
        for (const char* name : names)
            NotificationCenter::defaultCenter().addObserver(static_cast<const void*>(this),
                                                            [this](const Notification& n) { events.push_back(n.name); }, name);
    }

    // A seed whose first uniform(bound) draw is `wanted`.
    static uint64_t seedDrawing(uint32_t bound, uint32_t wanted) {
        for (uint64_t seed = 1;; ++seed) {
            RandomSource probe(seed);
            if (probe.uniform(bound) == wanted) return seed;
        }
    }

    std::shared_ptr<ManualClock> clock;
    std::vector<std::string> events;
};

}  // namespace stagetest
