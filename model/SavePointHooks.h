#pragma once
// What runs right after a save point's flush (saveGold, saveMonsters): the leaderboard report
// attaches itself here at start-up, so the model does not depend on the rankings.
#include <functional>

class SavePointHooks {
public:
    // Replaces the hook; an empty function removes it.
    static void setAfterSaveHandler(std::function<void()> handler);
    // Runs the hook, if any (called by the save points).
    static void runAfterSave();
};
