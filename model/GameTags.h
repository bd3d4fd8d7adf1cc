#pragma once
// The game's numbered tags: the confirmations' tags (carried back by "okPressed" and the
// platform alerts) and the tags that find views again.
namespace GameTags {

// ---- Confirmations
inline constexpr int kNone = 0;               // a message box without buttons
inline constexpr int kStartExplore = 12345;   // "start the explore?"
inline constexpr int kSuspend = 54321;        // "call the party back?"
inline constexpr int kChangeMap = 20;         // a change of map during an explore
inline constexpr int kShareSheet = 212;       // the sharing sheet
inline constexpr int kRestoreBackup = 300;    // "load the backup?" after a damaged save
inline constexpr int kImportChoice = 301;     // the sheet of saved games to import
inline constexpr int kImportConfirm = 302;    // "load this saved game at the next start?"

// ---- Views
inline constexpr int kAdBanner = 100;         // the banner's place at the main screen's bottom edge
inline constexpr int kYieldImage = 1000;      // a person's yield pictures carry this tag or more
inline constexpr int kEquipIcon = 1912;       // the icons of the equipment strip

}  // namespace GameTags
