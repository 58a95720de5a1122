// TObject and TPersistent: the roots of the class library, with the two-phase construction and
// destruction protocol (New/Free) that lets constructors and destructors stay free of virtual calls.
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace classlib {

class TFiler;

// Gives a class its observable class name ("TPixelGraphic").
#define CL_CLASS(Name)                                                   \
 public:                                                                 \
  std::string ClassName() const override { return #Name; }              \
  static const char* StaticClassName() { return #Name; }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  virtual std::string ClassName() const { return "TObject"; }
  static const char* StaticClassName() { return "TObject"; }

  // Runs after the most derived constructor (threads start, forms fire OnCreate here).
  virtual void AfterConstruction() {}
  // Runs before the destructor chain, while the object is still whole.
  virtual void BeforeDestruction() {}
};

// Constructs, then runs AfterConstruction; frees the object again when that throws.
template <class T, class... Args>
T* New(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    object->BeforeDestruction();
    delete object;
    throw;
  }
  return object;
}

// BeforeDestruction, then delete; null-safe.
inline void Free(TObject* object) {
  if (!object) return;
  object->BeforeDestruction();
  delete object;
}

template <class T>
void FreeAndNil(T*& object) {
  T* old = object;
  object = nullptr;
  Free(old);
}

struct FreeDeleter {
  void operator()(TObject* object) const { Free(object); }
};
template <class T>
using TOwned = std::unique_ptr<T, FreeDeleter>;

class TPersistent : public TObject {
  CL_CLASS(TPersistent)
  // Copies Source into this object; the default asks Source to do it (AssignTo).
  virtual void Assign(TPersistent* Source);
  virtual void DefineProperties(TFiler*) {}

 protected:
  // Raises EConvertError "Cannot assign a <source> to a <dest>".
  virtual void AssignTo(TPersistent* Dest);
  void AssignError(TPersistent* Source);
};

}  // namespace classlib
