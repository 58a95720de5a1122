// Protected blocks: Finally(body, cleanup) runs cleanup after body whether body returns or throws.
// An exception from cleanup wins over one from body; nothing ever reaches std::terminate.
#pragma once

#include <exception>
#include <utility>

namespace classlib {

template <class Body, class Cleanup>
void Finally(Body&& body, Cleanup&& cleanup) {
  try {
    body();
  } catch (...) {
    std::exception_ptr first = std::current_exception();
    cleanup();  // if this throws, its exception propagates and the body's is dropped
    std::rethrow_exception(first);
  }
  cleanup();
}

// For releases that cannot fail: runs the function when the scope ends.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : FFunc(std::move(f)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() {
    if (FActive) FFunc();
  }
  void Dismiss() { FActive = false; }

 private:
  F FFunc;
  bool FActive = true;
};

}  // namespace classlib
