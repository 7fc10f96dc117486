#pragma once

namespace Demo {

// A source of beat events.
class ISynchronizerChannel {
public:
    // Reads the channel's data; throws when it cannot.
    virtual void Load() = 0;
    // The channel's id when one of its events is due at `time`, else 0.
    virtual int Poll(unsigned time) = 0;
    // The show starts at `time`: events due before it are dropped unreported,
    // so that a late start begins with the beats of its first frame rather
    // than a backlog of every earlier one. Events at `time` and later stay
    // due. Called once, before the first Poll; 0 drops nothing.
    virtual void SkipBefore(unsigned time) = 0;

protected:
    ~ISynchronizerChannel() = default;
};

} // namespace Demo
