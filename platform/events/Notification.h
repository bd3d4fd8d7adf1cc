#pragma once
// One event of the game's event bus: a name, an optional object and an optional user-info
// dictionary (nil when there is none).
#include <string>

#include "platform/foundation/Value.h"

struct Notification {
    std::string name;
    Value object;
    Value userInfo;
};
