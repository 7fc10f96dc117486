#pragma once

namespace Demo {

class DemoPlayer;

// Creates the nine scenes with their windows and the two beat channels, and
// hands them to `player` in play order. They live until the process ends.
void BuildTimeline(DemoPlayer& player);

} // namespace Demo
