#pragma once

// Uniform fractions for the fill's draws; tests give a scripted sequence.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    // A fraction r with 0 <= r < 1.
    virtual double next() = 0;
};
