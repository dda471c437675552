#pragma once

#include <exception>
#include <functional>

// One step of a sequence in which a failed step is skipped silently and the next one runs.
// Says whether the step ran through.
inline bool runGuarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
