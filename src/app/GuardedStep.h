#pragma once

#include <exception>
#include <functional>

// One step of a sequence in which a failed step is skipped silently and the next one runs.
inline void runGuarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception&) {
        // Skipped by design: the control the step would have set keeps what it showed.
    }
}
