// Edges the system calls (window, dialog and thread procedures, exports, main)
// must not let a C++ exception unwind into frames that know nothing of it: the
// host process would die. Work that may allocate runs through these.
#ifndef PELLFORM_NO_THROW_H
#define PELLFORM_NO_THROW_H

#include <type_traits>
#include <utility>

// Runs `work`; anything it throws (no memory, a limit refused) becomes `failed`.
template <typename Result, typename Work>
Result ResultOrFailure(Result failed, Work&& work) noexcept {
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        return failed;
    }
}

// Runs `work`; anything it throws runs `onFailure` instead, whose own result is returned.
template <typename Work, typename OnFailure>
auto ResultOrRecovery(Work&& work, OnFailure&& onFailure) noexcept -> decltype(work()) {
    try {
        return std::forward<Work>(work)();
    } catch (...) {
        return std::forward<OnFailure>(onFailure)();
    }
}

// Every procedure handed to the system (window, dialog, thread and hook
// procedures) is its handler called through this, so nothing it throws reaches
// the system's frames. What the handler throws ends as `failed`: the answer that
// leaves the message to the system (a dialog's FALSE, a window's 0), a thread's
// failure code, or a function that makes the answer from the same arguments.
template <typename Failed, typename Handler, typename... Args>
auto CallWithoutThrowing(Failed failed, Handler handler, Args... args) noexcept -> decltype(handler(args...)) {
    using Result = decltype(handler(args...));
    return ResultOrRecovery([&] { return handler(args...); },
                            [&]() -> Result {
                                if constexpr (std::is_invocable_v<Failed&, Args...>) return failed(args...);
                                else return static_cast<Result>(failed);
                            });
}

#endif
