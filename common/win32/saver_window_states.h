// What a saver keeps for each of its windows. The primary monitor's window
// (and the preview, and every one-monitor run) uses the state the program
// gives it; the window of each other monitor gets a state of its own when it
// is first asked for, which is dropped again when that window is destroyed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "host/saver_host.h"

template <typename State>
class SaverWindowStates {
public:
    explicit SaverWindowStates(State& primary) : primary_(primary) {}

    // The window's number as the host gave it (see GetSaverWindowNumber);
    // 0 where there is no window.
    static int Number(HWND window) { return window != nullptr ? GetSaverWindowNumber(window) : 0; }

    // The window's state; `made` prepares one just made for another monitor.
    template <typename Prepare>
    State& For(HWND window, Prepare made)
    {
        const int number = Number(window);
        if (number <= 0) return primary_;
        const std::size_t slot = static_cast<std::size_t>(number - 1);
        if (others_.size() <= slot) others_.resize(slot + 1);
        if (!others_[slot]) {
            others_[slot].reset(new State(nullptr, nullptr));
            made(*others_[slot]);
        }
        return *others_[slot];
    }
    State& For(HWND window)
    {
        return For(window, [](State&) {});
    }

    // Forgets the state of another monitor's window; the primary's stays.
    void Drop(HWND window)
    {
        const int number = Number(window);
        if (number > 0 && static_cast<std::size_t>(number) <= others_.size()) others_[static_cast<std::size_t>(number - 1)].reset();
    }

    // Every state there is now: the primary's and the others'.
    template <typename Visit>
    void ForEach(Visit visit)
    {
        visit(primary_);
        for (auto& other : others_) {
            if (other) visit(*other);
        }
    }

private:
    State& primary_;
    std::vector<std::unique_ptr<State>> others_;
};
