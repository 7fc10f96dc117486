#pragma once

namespace Adapter {
class Graphics;
}

namespace Drawables {

// Anything that issues one group of GL calls when handed to an output medium.
class IDrawable {
public:
    virtual void Draw(Adapter::Graphics& graphics) = 0;

protected:
    ~IDrawable() = default;
};

} // namespace Drawables
