#pragma once

namespace Demo {

// A source of beat events.
class ISynchronizerChannel {
public:
    // Reads the channel's data; throws when it cannot.
    virtual void Load() = 0;
    // The channel's id when one of its events is due at `time`, else 0.
    virtual int Poll(unsigned time) = 0;

protected:
    ~ISynchronizerChannel() = default;
};

} // namespace Demo
