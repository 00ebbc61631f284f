// Edges the system calls (window, dialog and thread procedures, exports, main)
// must not let a C++ exception unwind into frames that know nothing of it: the
// host process would die. Work that may allocate runs through these.
#ifndef PELLFORM_NO_THROW_H
#define PELLFORM_NO_THROW_H

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

#endif
