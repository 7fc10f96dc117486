#pragma once
#include "graphics/IDrawable.h"

namespace Medium {

// Something drawables are drawn into: the window, or an off-screen target.
// Draw returns the medium so that calls chain.
class IOutputMedium {
public:
    virtual IOutputMedium& Draw(Drawables::IDrawable& drawable) = 0;

    // Drawables are mostly temporaries built in the call itself.
    IOutputMedium& Draw(Drawables::IDrawable&& drawable) { return Draw(drawable); }

protected:
    ~IOutputMedium() = default;
};

} // namespace Medium
