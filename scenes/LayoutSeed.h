#pragma once

namespace Effects {

// The flower column and the boxes' first arrangement are both drawn from
// rand() started at this seed; a clap then reseeds the boxes.
constexpr unsigned layoutSeed = 267250366;

} // namespace Effects
