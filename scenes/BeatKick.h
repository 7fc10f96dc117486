#pragma once

namespace Effects {

// A beat-driven value: on its event it jumps to `peak` and decays in the
// same frame; otherwise it decays while above 0. Never below 0.
inline void KickAndDecay(float& value, bool event, float peak, double decay)
{
    if (event)
        value = static_cast<float>(peak - decay);
    else if (value > 0.0f)
        value = static_cast<float>(value - decay);
    if (value < 0.0f)
        value = 0.0f;
}

// Fades toward 0 by `decay` while above it; never below 0.
inline void Decay(float& value, double decay)
{
    if (value > 0.0f)
        value = static_cast<float>(value - decay);
    if (value < 0.0f)
        value = 0.0f;
}

} // namespace Effects
