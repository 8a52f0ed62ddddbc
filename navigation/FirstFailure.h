// Work that goes on past a failure: the first failure is kept and raised
// once the work is done, so one bad file neither hides the rest nor shows
// more than one message.
#pragma once

#include <exception>

namespace quorvane {

class FirstFailure {
public:
    template <class Work>
    void Attempt(const Work& work) {
        try {
            work();
        } catch (...) {
            if (!first_) first_ = std::current_exception();
        }
    }
    void RaiseIfAny() const {
        if (first_) std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

}  // namespace quorvane
