#include "platform/SoundSystem.h"

namespace Platform {

// Placeholder until the SDL audio player lands.
ISoundSystem& DeviceSoundSystem()
{
    static ScriptedSoundSystem placeholder;
    return placeholder;
}

} // namespace Platform
