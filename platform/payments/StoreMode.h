#pragma once
// How the desktop's stand-in for the phone's store answers: set by the option --store MODE, the
// environment variable RE_STORE and the script driver's `store MODE`.
//   sheet     the player confirms each payment in the store's own sheet (the default)
//   approve   every payment is approved without the sheet
//   fail      every payment fails (code 0) with the store's text
//   cancel    every payment is cancelled by the player (code 2)
//   invalid   product requests report every identifier invalid
//   empty     product requests return no product
//   silent    nothing is ever answered (product requests, payments, restores)
//   disabled  payments are switched off on this device (canMakePayments is false)
#include <optional>
#include <string>

enum class StoreMode { sheet, approve, fail, cancel, invalid, empty, silent, disabled };

namespace StoreModes {
// The mode of a name, or nothing for an unknown one.
std::optional<StoreMode> fromName(const std::string& name);
const char* name(StoreMode mode);
// "sheet, approve, fail, cancel, invalid, empty, silent, disabled"
std::string allNames();
// "unknown store mode "x" (sheet, approve, ...)": the one line a bad name gets.
std::string unknownModeMessage(const std::string& name);
// RE_STORE: nothing when unset or empty; *error is set when it names no mode.
std::optional<StoreMode> fromEnvironment(std::string* error);
}  // namespace StoreModes
