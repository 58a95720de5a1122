#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "classlib/exceptions.h"
#include "classlib/numerics.h"
#include "classlib/testing.h"
#include "classlib/thread.h"

using namespace classlib;

namespace {
class TRecordingThread : public TThread {
 public:
  explicit TRecordingThread(bool Suspended) : TThread(Suspended), FieldSetInConstructor(42) {}
  std::atomic<int> SeenField{0};
  std::atomic<int> ControlWord{0};
  long double Third = 0;
  std::atomic<bool> Ran{false};

 protected:
  void Execute() override {
    Ran = true;
    SeenField = FieldSetInConstructor;
    ControlWord = GetX87ControlWord();
    volatile long double one = 1.0L, three = 3.0L;
    Third = one / three;
  }

 private:
  int FieldSetInConstructor;
};

class TThrowingThread : public TThread {
 public:
  TThrowingThread() : TThread(false) {}

 protected:
  void Execute() override { throw EStreamError("from the worker"); }
};

class TSpinningThread : public TThread {
 public:
  explicit TSpinningThread(std::atomic<bool>& Stopped) : TThread(false), FStopped(Stopped) {}
  std::atomic<bool> Started{false};

 protected:
  void Execute() override {
    Started = true;
    while (!GetTerminated()) Sleep(1);
    FStopped = true;
  }

 private:
  std::atomic<bool>& FStopped;
};
}  // namespace

TEST(TThread, ExecuteSeesTheWholeObjectAndFullPrecision) {
  auto* t = New<TRecordingThread>(false);
  t->WaitFor();
  EXPECT_TRUE(t->GetFinished());
  EXPECT_EQ(t->SeenField, 42);
  EXPECT_EQ(t->ControlWord & 0x0F3F, 0x037F & 0x0F3F);
  volatile long double one = 1.0L, three = 3.0L;
  EXPECT_EQ(t->Third, one / three) << "long double work agrees with the main thread";
  Free(t);
}

TEST(TThread, AnExceptionEndsTheThreadQuietly) {
  auto* t = New<TThrowingThread>();
  t->WaitFor();
  ASSERT_TRUE(t->GetFatalException());
  try {
    std::rethrow_exception(t->GetFatalException());
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "from the worker");
  }
  Free(t);
}

TEST(TThread, WaitingForANeverStartedThreadReturns) {
  int before = classlib::testing::LiveThreadCount();
  auto* t = New<TRecordingThread>(true);
  EXPECT_EQ(classlib::testing::LiveThreadCount(), before + 1);
  t->WaitFor();
  EXPECT_FALSE(t->Ran) << "Execute never ran";
  Free(t);
  EXPECT_EQ(classlib::testing::LiveThreadCount(), before);
}

TEST(TThread, FreeingARunningThreadStopsIt) {
  std::atomic<bool> stopped{false};
  auto* t = New<TSpinningThread>(stopped);
  while (!t->Started) Sleep(1);
  Free(t);  // terminates and waits; would hang otherwise
  EXPECT_TRUE(stopped);
}
