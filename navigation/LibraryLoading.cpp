#include "navigation/LibraryLoading.h"

#include <algorithm>
#include <utility>

namespace quorvane {

LibraryLoading::LibraryLoading(int rows, LoadRow load, Clock clock, Microseconds budget)
    : state_(static_cast<size_t>(std::max(rows, 0)), State::kPending),
      load_(std::move(load)),
      clock_(std::move(clock)),
      budget_(budget) {}

bool LibraryLoading::Tried(int row) const {
    return row >= 0 && row < static_cast<int>(state_.size()) && state_[static_cast<size_t>(row)] != State::kPending;
}

LibraryLoading::Microseconds LibraryLoading::Load(int row) {
    const Microseconds start = clock_();
    try {
        load_(row);
        state_[static_cast<size_t>(row)] = State::kLoaded;
    } catch (...) {
        state_[static_cast<size_t>(row)] = State::kFailed;
        failures_.emplace(row, std::current_exception());
    }
    return clock_() - start;
}

void LibraryLoading::LoadNow(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(state_.size()));
    for (int row = first; row < last; ++row) {
        if (!Tried(row)) Load(row);
    }
}

void LibraryLoading::Pass() {
    const int row = next_++;
    if (state_[static_cast<size_t>(row)] == State::kFailed && !reported_) {
        reported_ = true;
        std::rethrow_exception(failures_.at(row));
    }
}

void LibraryLoading::Advance() {
    while (!Done() && Tried(next_)) Pass();
}

bool LibraryLoading::Step() {
    const Microseconds start = clock_();
    Microseconds slowest = -1;
    for (Advance(); !Done(); Advance()) {
        if (slowest >= 0 && clock_() - start + slowest > budget_) return true;
        slowest = std::max(slowest, Load(next_));
    }
    return false;
}

}  // namespace quorvane
