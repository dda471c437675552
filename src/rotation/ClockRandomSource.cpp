#include "rotation/ClockRandomSource.h"

#include <chrono>

void ClockRandomSource::seedFromClock() {
    m_engine.seed(
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

double ClockRandomSource::next() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
}
