#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/numerics.h"
#include "classlib/winapi.h"

using namespace classlib;

namespace {
std::vector<std::string> gLog;

class TProbe : public TComponent {
 public:
  TProbe(TComponent* Owner, std::string Name) : TComponent(Owner), FName(std::move(Name)) {}
  void AfterConstruction() override { gLog.push_back("after " + FName); }
  void BeforeDestruction() override {
    gLog.push_back("before " + FName);
    TComponent::BeforeDestruction();
  }
  ~TProbe() override { gLog.push_back("delete " + FName); }
  void Notification(TComponent* Component, TOperation Operation) override {
    if (Operation == opRemove && Component == Watched) {
      Watched = nullptr;
      gLog.push_back(FName + " forgets");
    }
  }
  TComponent* Watched = nullptr;

 private:
  std::string FName;
};
}  // namespace

TEST(TComponent, OwnerFreesWhatItOwnsLastToFirst) {
  gLog.clear();
  TProbe* owner = New<TProbe>(nullptr, "owner");
  New<TProbe>(owner, "a");
  New<TProbe>(owner, "b");
  EXPECT_EQ(owner->GetComponentCount(), 2);
  Free(owner);
  std::vector<std::string> expected = {"after owner", "after a",  "after b", "before owner", "before b",
                                       "delete b",    "before a", "delete a", "delete owner"};
  EXPECT_EQ(gLog, expected);
}

TEST(TComponent, FreeNotificationClearsReferences) {
  gLog.clear();
  TProbe* watcher = New<TProbe>(nullptr, "watcher");
  TProbe* target = New<TProbe>(nullptr, "target");
  watcher->Watched = target;
  target->FreeNotification(watcher);
  Free(target);
  EXPECT_EQ(watcher->Watched, nullptr);
  Free(watcher);
  EXPECT_NE(std::find(gLog.begin(), gLog.end(), "watcher forgets"), gLog.end());
}

TEST(TComponent, AFreedChildLeavesItsOwner) {
  TProbe* owner = New<TProbe>(nullptr, "owner");
  TProbe* child = New<TProbe>(owner, "child");
  Free(child);
  EXPECT_EQ(owner->GetComponentCount(), 0);
  Free(owner);
}

TEST(TPersistent, AssignErrorNamesBothClasses) {
  TOwned<TProbe> a(New<TProbe>(nullptr, "a"));
  try {
    a->Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TComponent");
  }
}

TEST(Finally, CleanupRunsAndItsExceptionWins) {
  int cleanups = 0;
  Finally([] {}, [&] { ++cleanups; });
  EXPECT_EQ(cleanups, 1);
  EXPECT_THROW(Finally([] { throw std::runtime_error("body"); }, [&] { ++cleanups; }), std::runtime_error);
  EXPECT_EQ(cleanups, 2);
  try {
    Finally([] { throw std::runtime_error("body"); }, [] { throw EStreamError("cleanup"); });
    FAIL();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "cleanup");
  }
}

TEST(Numerics, RoundsHalvesToEvenAndChecksRange) {
  EXPECT_EQ(Round(2.5L), 2);
  EXPECT_EQ(Round(3.5L), 4);
  EXPECT_EQ(Round(-0.5L), 0);
  EXPECT_EQ(Round(-1.5L), -2);
  EXPECT_EQ(Round(0.49999999999999999L), 0);
  EXPECT_EQ(Trunc(-2.7L), -2);
  EXPECT_THROW(Trunc(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
  EXPECT_THROW(Round(1e30L), EInvalidOp);
  EXPECT_EQ(Frac(-1.25L), -0.25L);
  EXPECT_EQ(MulDiv(-11, 72, 96), -8);  // halves away from zero: -8.25 -> -8
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(Numerics, LongDoubleIsExtendedPrecision) {
  EXPECT_EQ(std::numeric_limits<long double>::digits, 64);
  EXPECT_EQ(GetX87ControlWord() & 0x0300, 0x0300) << "the main thread computes with a 64-bit mantissa";
  volatile long double third = 1.0L / 3.0L;
  EXPECT_NE(double(third), third);
}

TEST(ExceptionText, AddsAFullStopOnce) {
  EXPECT_EQ(ExceptionText(std::make_exception_ptr(EStreamError("Stream read error"))), "Stream read error.");
  EXPECT_EQ(ExceptionText(std::make_exception_ptr(EStreamError("Done."))), "Done.");
  EXPECT_EQ(ExceptionText(std::make_exception_ptr(std::runtime_error("std"))), "std.");
  EXPECT_EQ(ExceptionText(std::make_exception_ptr(42)), "Unknown error");
}
