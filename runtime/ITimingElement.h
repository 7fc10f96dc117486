#pragma once

namespace Demo {

// Says when a scene is active.
class ITimingElement {
public:
    virtual bool IsActive(unsigned time) = 0;

protected:
    ~ITimingElement() = default;
};

// Active for start <= time <= end, both ends included.
class StartEndTiming : public ITimingElement {
public:
    StartEndTiming(unsigned start, unsigned end) : start(start), end(end) {}
    bool IsActive(unsigned time) override { return start <= time && time <= end; }
    const unsigned start;
    const unsigned end;
};

class AlwaysOnTiming : public ITimingElement {
public:
    bool IsActive(unsigned) override { return true; }
};

} // namespace Demo
