#pragma once

#include "rotation/RandomSource.h"

#include <deque>
#include <random>

// Gives the scripted fractions first, then a fixed-seed sequence, so every run of a test draws the
// same files. Counts how often the fill seeds it and draws from it.
class ScriptedRandom : public RandomSource {
public:
    void seedFromClock() override { ++seeds; }
    double next() override {
        ++draws;
        if (fractions.empty())
            return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
        const double fraction = fractions.front();
        fractions.pop_front();
        return fraction;
    }

    std::deque<double> fractions;
    int seeds = 0;
    int draws = 0;

private:
    std::mt19937_64 m_engine{20261209};
};
