#include "app/Timeline.h"
#include "runtime/DemoPlayer.h"
#include "runtime/FileSynchronizer.h"
#include "runtime/ShowEnd.h"
#include "scenes/BallEffects.h"
#include "scenes/ClearEffect.h"
#include "scenes/CubeEffect.h"
#include "scenes/CylinderEffect.h"
#include "scenes/DrinkEffect.h"
#include "scenes/FlatEffect.h"
#include "scenes/LogoEffect.h"
#include "scenes/ParticleEffect.h"
#include "scenes/TheEndEffect.h"

#include <vector>

namespace Demo {

namespace {

// Keeps every timeline object reachable for the life of the process; they
// are never destroyed.
struct TimelineObjects {
    std::vector<IEffect*> effects;
    std::vector<ITimingElement*> timings;
    std::vector<ISynchronizerChannel*> channels;
};
TimelineObjects* timelineObjects = nullptr;

} // namespace

void BuildTimeline(DemoPlayer& player)
{
    if (!timelineObjects)
        timelineObjects = new TimelineObjects;
    TimelineObjects& kept = *timelineObjects;

    struct Row {
        ITimingElement* timing;
        IEffect* effect;
    };
    const Row rows[] = {
        {new AlwaysOnTiming, new Effects::ClearEffect(0.0f, 0.0f, 0.0f, 0.0f, true)},
        {new StartEndTiming(0, 37000), new Effects::LogoEffect},
        {new StartEndTiming(37000, 52000), new Effects::ParticleEffect},
        {new StartEndTiming(52000, 66000), new Effects::CylinderEffect},
        {new StartEndTiming(66000, 80000), new Effects::BallEffects},
        {new StartEndTiming(80000, 122000), new Effects::DrinkEffect},
        {new StartEndTiming(122000, 145000), new Effects::FlatEffect},
        {new StartEndTiming(145000, 185000), new Effects::CubeEffect},
        {new StartEndTiming(185000, showEnd), new Effects::TheEndEffect},
    };

    // The clap channel is made first, but the bass channel is polled first.
    auto* claps = new FileSynchronizer(SyncClap, "data/claps.txt");
    auto* bass = new FileSynchronizer(SyncBass, "data/bass.txt");
    kept.channels.push_back(claps);
    kept.channels.push_back(bass);
    player.AddChannel(bass);
    player.AddChannel(claps);

    for (const Row& row : rows) {
        kept.timings.push_back(row.timing);
        kept.effects.push_back(row.effect);
        player.AddEffect(row.timing, row.effect);
    }
}

} // namespace Demo
