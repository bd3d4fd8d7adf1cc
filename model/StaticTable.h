#pragma once
// Loads one of the game's fixed tables: the property list "name.plist" of the resource bundle,
// read whole. Gives nil when the file is missing or unreadable or its root is not an array.
#include <string>

#include "platform/foundation/Value.h"

Value loadStaticTable(const std::string& name);
