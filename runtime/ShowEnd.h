#pragma once

namespace Demo {

// Music time at which the show ends: the entry stops there, the timeline's
// last window closes there and the end scene has faded to black by then.
// Here rather than beside the timeline, so that the end scene, a layer
// below it, reads the same number.
constexpr unsigned showEnd = 204000;

} // namespace Demo
