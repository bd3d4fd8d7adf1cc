#include "stage/EffectManager.h"

#include <mutex>
#include <string>

namespace {
void appendExisting(EffectManager::Frames& frames, const std::string& name) {
    if (Image::exists(name)) frames.push_back(Image::named(name));
}
}  // namespace

void EffectManager::initFile() {
    kemuriEffects_.clear();
    kanokeEffects_.clear();
    for (int i = 1; i <= 6; ++i) appendExisting(kemuriEffects_, "k" + std::to_string(i) + ".png");
    for (int i = 1; i <= 15; ++i) appendExisting(kanokeEffects_, "ef" + std::to_string(i) + "@2x.png");
}
