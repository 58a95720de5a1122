#include "classlib/ticks.h"

#include "classlib/testing.h"

namespace classlib {

namespace {
std::function<DWORD()>& Source() {
  static auto* source = new std::function<DWORD()>;
  return *source;
}
}  // namespace

void testing::SetTickSource(std::function<DWORD()> Source_) { Source() = std::move(Source_); }

DWORD TickCount() { return Source() ? Source()() : GetTickCount(); }

}  // namespace classlib
