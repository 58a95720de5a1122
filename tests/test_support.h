// Helpers shared by the unit tests.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "classlib/msgbox.h"

namespace testsupport {

// A fresh folder for one test's files, removed with its contents at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return FPath; }
  std::string File(const std::string& Name) const;

 private:
  std::string FPath;
};

// Answers message boxes while it lives and records them; without one, a box fails the test.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int Answer);
  ~MessageBoxRecorder();
  std::vector<classlib::MessageBoxCall> Calls;
  int Answer;
};

// Gives a variable a value for one scope and puts the old value back at its end, also when an
// assertion leaves the test early.
template <class T>
class ScopedValue {
 public:
  ScopedValue(T& Variable, std::type_identity_t<T> Value) : FVariable(Variable), FOld(Variable) { Variable = Value; }
  ~ScopedValue() { FVariable = FOld; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& FVariable;
  T FOld;
};

// A CP1252 string with bytes outside printable ASCII escaped, for failure output.
std::string Escaped(const std::string& S);

}  // namespace testsupport
