#pragma once
// Every event name the game posts or observes, with who posts it. Posted through
// NMCommon::sendNotification unless marked direct (observers run at once on the posting thread).
namespace GameEvents {

// ---- The stage and the king (to the main screen)
inline constexpr const char* kMoveDidEnd = "moveDidEnd";          // a person's departure walk has ended
inline constexpr const char* kBattling = "battling";              // a returning person fought, shown with a quake
inline constexpr const char* kComebackDidEnd = "comebackDidEnd";  // a person's return has ended
inline constexpr const char* kCheckDidEnd = "checkDidEnd";        // a person's yield has been collected
inline constexpr const char* kSleepAnimationDidStart = "sleepAnimationDidStart";

// ---- The message box: object = the box's tag as a number
inline constexpr const char* kOkPressed = "okPressed";

// ---- The model
inline constexpr const char* kMemberUpdated = "memberUpdated";            // a member record was added
inline constexpr const char* kEquipUpdated = "equipUpdated";              // an equipment was added
inline constexpr const char* kNewMonster = "newMonster";                  // a monster counted the first time
inline constexpr const char* kCollectionUnlocked = "collectionUnlocked";  // first save with a hunted monster

// ---- The map list
inline constexpr const char* kDungeonUpdated = "dungeonUpdated";
inline constexpr const char* kExploreSuspended = "exploreSuspended";

// ---- A person's battle and collect
inline constexpr const char* kBossHunted = "bossHunted";      // first win against the dungeon's boss
inline constexpr const char* kNewMap = "newMap";              // object: the dungeon id
inline constexpr const char* kMapUnlocked = "mapUnlocked";    // right after the first newMap
inline constexpr const char* kShopUnlocked = "shopUnlocked";  // the first coffin collected

// ---- The application and the stores
inline constexpr const char* kGKStatusUpdated = "GKStatusUpdated";
inline constexpr const char* kStoreRestoreFailed = "STORE_RESTORE_FAILED";            // user info "error"
inline constexpr const char* kStoreRestoreCompleted = "STORE_RESTORE_COMPLETED";      // direct
inline constexpr const char* kStoreFailedPurchase = "STORE_FAILED_PURCHASE";          // direct, user info "error"
inline constexpr const char* kStoreCompletedPurchase = "STORE_COMPLETED_PURCHASE";    // direct
inline constexpr const char* kAsyncImageLoadDidFinish = "AsyncImageLoadDidFinish";    // direct

// ---- The platform: the application is about to leave the foreground
inline constexpr const char* kWillResignActive = "applicationWillResignActive";

}  // namespace GameEvents
