#pragma once

#include "rotation/RandomSource.h"

#include <random>

class ClockRandomSource : public RandomSource {
public:
    void seedFromClock() override;
    double next() override;

private:
    std::mt19937_64 m_engine;
};
