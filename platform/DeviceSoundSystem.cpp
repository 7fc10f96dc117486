#include "platform/SdlSoundSystem.h"

namespace Platform {

ISoundSystem& DeviceSoundSystem()
{
    static SdlSoundSystem device;
    return device;
}

} // namespace Platform
