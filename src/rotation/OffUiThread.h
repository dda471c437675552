#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

// Runs work on a worker thread and waits for it, while this thread goes on painting the window and
// serving timers. User input stays queued until the run next yields, so nothing the user does can
// act in the middle of a file operation. A failure of the work is raised here, on this thread.
void runOffUiThread(const std::function<void()>& work);

template <typename Work> std::invoke_result_t<Work> offUiThread(Work&& work) {
    using Result = std::invoke_result_t<Work>;
    if constexpr (std::is_void_v<Result>) {
        runOffUiThread(std::forward<Work>(work));
    } else {
        std::optional<Result> result;
        runOffUiThread([&] { result.emplace(work()); });
        return std::move(*result);
    }
}
