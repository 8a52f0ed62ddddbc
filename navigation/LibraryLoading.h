// The order in which the icon library's pictures are loaded once its names
// are in the grid: the rows on screen at once, then the rest in order, in
// steps bounded in time, so that the window opens and answers whatever
// the size of the library. It knows rows only; what loading one means, and
// where the time comes from, it is given.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <vector>

namespace quorvane {

class LibraryLoading {
public:
    using Microseconds = std::int64_t;
    // Loads one row's picture; throws the loader's error when it cannot.
    using LoadRow = std::function<void(int row)>;
    using Clock = std::function<Microseconds()>;

    // `budget`: what one step may spend. A step loads at least one row and
    // starts another only while what it has spent plus its slowest load so
    // far stays within the budget: it ends within it unless one load takes
    // longer than every one before it in the step.
    LibraryLoading(int rows, LoadRow load, Clock clock, Microseconds budget);

    // Loads each row of [first, last) not tried yet: the rows on screen, or
    // scrolled into view. Never raises: a failure waits for the pass.
    void LoadNow(int first, int last);

    // The pass in row order: moves over the rows tried already. When it
    // comes to the first row that failed, tried now or before, it raises
    // that row's error, once for the whole library.
    void Advance();
    // One step of the pass: Advance, loading the rows not tried yet on
    // the way while the budget lasts. Returns whether rows remain.
    bool Step();

    bool Tried(int row) const;
    bool Done() const { return next_ >= static_cast<int>(state_.size()); }

private:
    enum class State : std::uint8_t { kPending, kLoaded, kFailed };
    // Loads the row; returns how long it took.
    Microseconds Load(int row);
    // Moves the pass past the row, raising its error if it is the first.
    void Pass();

    std::vector<State> state_;
    // Few rows fail, so their errors are kept apart from the states.
    std::map<int, std::exception_ptr> failures_;
    bool reported_ = false;
    int next_ = 0;
    LoadRow load_;
    Clock clock_;
    Microseconds budget_;
};

}  // namespace quorvane
