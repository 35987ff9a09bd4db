// A function run on a thread of its own whose result is taken once the thread
// has ended. A future of std::async is ready before its thread has finished
// ending, and a thread still ending as the program exits trips up the leak
// checker's stop of all threads; this one is joined before anything is taken,
// and at the latest when it is destroyed.
#pragma once

#include <exception>
#include <thread>
#include <utility>

namespace platform {

template <class T> class TJoinedTask {
public:
    template <class F>
    explicit TJoinedTask(F&& f)
        : FThread([this, f = std::forward<F>(f)]() mutable {
              try {
                  FResult = f();
              } catch (...) {
                  FError = std::current_exception();
              }
          }) {}
    ~TJoinedTask() {
        if (FThread.joinable())
            FThread.join();
    }
    // The thread works on this object: it stays where it was made.
    TJoinedTask(const TJoinedTask&) = delete;
    TJoinedTask& operator=(const TJoinedTask&) = delete;

    // The result once the thread has ended (an exception it threw is thrown
    // here); once only.
    T Take() {
        FThread.join();
        if (FError)
            std::rethrow_exception(FError);
        return std::move(FResult);
    }

private:
    T FResult{};
    std::exception_ptr FError;
    std::thread FThread; // last: started once the rest is made
};

} // namespace platform
