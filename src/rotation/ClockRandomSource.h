#pragma once

#include "rotation/RandomSource.h"

#include <cstdint>
#include <optional>
#include <random>

// Seeded from the clock at each fill. For tests only, the environment variable QUAVEX_SEED (a
// whole number) seeds every fill alike instead, so that a test can foresee which songs a run
// moves.
class ClockRandomSource : public RandomSource {
public:
    ClockRandomSource();
    void seedFromClock() override;
    double next() override;

private:
    std::mt19937_64 m_engine;
    std::optional<std::uint64_t> m_testSeed;
};
