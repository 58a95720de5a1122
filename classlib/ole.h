// OLE support of the class library: a base for COM objects with reference counting, the guard
// that keeps exceptions inside COM methods, the check that turns a failed result into an
// exception, and a form's OLE object with the in-place frame that embedded objects are activated in.
#pragma once

#include <exception>

#include "classlib/component.h"
#include "classlib/winapi.h"

namespace classlib {

class TForm;

// A COM object implementing Interface (and IUnknown). Its life is its reference count: it starts
// at 0, the first holder takes a reference, and the last Release deletes it.
template <class Interface>
class TInterfacedObject : public Interface {
 public:
  TInterfacedObject() = default;
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;
  virtual ~TInterfacedObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (!Object) return E_POINTER;
    if (IsEqualIID(Iid, IID_IUnknown) || Supports(Iid)) {
      *Object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&FRefCount)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG count = InterlockedDecrement(&FRefCount);
    if (count == 0) delete this;
    return ULONG(count);
  }
  LONG GetRefCount() const { return FRefCount; }

 protected:
  // The interfaces besides IUnknown that QueryInterface hands out as Interface.
  virtual bool Supports(REFIID Iid) const = 0;

 private:
  LONG FRefCount = 0;
};

// Runs the body of a COM method: an exception never leaves it into the caller's frames; it
// becomes Failure instead.
template <class Body>
HRESULT ComMethod(HRESULT Failure, Body&& Run) noexcept {
  try {
    return Run();
  } catch (...) {
    return Failure;
  }
}

// Raises EOleSysError for a failing result: the system's text for it, else "OLE error <hex>".
void OleCheck(HRESULT Result);

// The OLE object of a form. Made on first need and owned by the form, so it goes with it. The
// in-place frame it hands out is a COM object of its own: it lives while anyone holds it, and
// once the form is gone it answers GetWindow with E_FAIL.
class TOleForm : public TComponent {
  CL_CLASS(TOleForm)
  explicit TOleForm(TForm* Form);
  ~TOleForm() override;
  // The form's OLE object, made when it has none yet.
  static TOleForm* Of(TForm* Form);
  // The in-place frame, without a reference for the caller. Its GetWindow answers the form's
  // window; its other methods answer E_NOTIMPL.
  IOleInPlaceFrame* GetInPlaceFrame() const;

 private:
  class TInPlaceFrame;
  TInPlaceFrame* FFrame;
};

}  // namespace classlib
