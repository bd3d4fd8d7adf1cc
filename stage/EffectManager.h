#pragma once
// The frames of the two person effects: the smoke puff ("k1.png" ... "k6.png") and the coffin
// effect ("ef1@2x.png" ... "ef15@2x.png"). Pictures missing from the resources are left out.
// The person plays them once at 20 frames per second.
#include <memory>
#include <vector>

#include "platform/core/Singleton.h"
#include "platform/ui/Image.h"

class EffectManager : public Singleton<EffectManager> {
public:
    using Frames = std::vector<std::shared_ptr<Image>>;

    void initFile();

    const Frames& kemuriEffects() const { return kemuriEffects_; }
    const Frames& kanokeEffects() const { return kanokeEffects_; }

private:
    friend class Singleton<EffectManager>;
    EffectManager() = default;

    Frames kemuriEffects_;
    Frames kanokeEffects_;
};
