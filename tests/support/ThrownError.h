#pragma once

#include "fs/AppError.h"

#include <cstdint>
#include <functional>
#include <optional>

// The failure an action raises, for checks on its number and text; none when it returns.
inline std::optional<AppError> thrownError(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        return error;
    }
    return std::nullopt;
}

// The number of the failure an action raises; 0 when it returns.
inline std::int32_t errorNumberOf(const std::function<void()>& action) {
    const std::optional<AppError> error = thrownError(action);
    return error ? error->number() : 0;
}
