#include "rotation/ClockRandomSource.h"

#include <QByteArray>
#include <QtGlobal>
#include <chrono>

ClockRandomSource::ClockRandomSource() {
    bool isNumber = false;
    const qulonglong seed = qgetenv("QUAVEX_SEED").toULongLong(&isNumber);
    if (isNumber)
        m_testSeed = seed;
}

void ClockRandomSource::seedFromClock() {
    m_engine.seed(m_testSeed ? *m_testSeed
                             : static_cast<std::uint64_t>(
                                   std::chrono::system_clock::now().time_since_epoch().count()));
}

double ClockRandomSource::next() {
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
}
