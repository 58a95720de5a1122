// The rich edit control's side of embedded objects: the callback object the system control asks
// where to store a new object, which frame hosts in-place editing, whether to accept an insertion
// or a drop and which drop effect to use; and the two messages that fetch the control's object
// interface and install the callback.
#pragma once

#include "classlib/ole.h"
#include "classlib/winapi.h"

namespace classlib {
class TForm;
}

namespace richedit {

class TCustomRichEditExBase;

// Reference counted: the control that makes it holds one reference, the system control another
// while the callback is installed. Every method catches what it raises and answers with a result.
class TRichEditOleCallback : public classlib::TInterfacedObject<IRichEditOleCallback> {
 public:
  explicit TRichEditOleCallback(TCustomRichEditExBase* RichEdit) : FRichEdit(RichEdit) {}

  // A storage on a byte array in memory; E_OUTOFMEMORY on any failure.
  HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* Storage) override;
  // The in-place frame of the form holding the control (a reference for the caller) and its
  // window; E_FAIL without a form. No document window, no accelerators.
  HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* Frame, LPOLEINPLACEUIWINDOW* Doc,
                                              LPOLEINPLACEFRAMEINFO FrameInfo) override;
  HRESULT STDMETHODCALLTYPE ShowContainerUI(WINBOOL Show) override;  // E_NOTIMPL
  // Every object may be inserted.
  HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID ClassId, LPSTORAGE Storage, LONG Position) override;
  // The control forgets its verb object, then the object is closed without saving.
  HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT OleObject) override;
  // All data is accepted, its format unchanged.
  HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT DataObject, CLIPFORMAT* Format, DWORD Operation,
                                            WINBOOL Really, HGLOBAL MetaPicture) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL EnterMode) override;  // E_NOTIMPL
  // E_NOTIMPL with no data object, so the control builds its own clipboard data.
  HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* Range, DWORD Operation, LPDATAOBJECT* DataObject) override;
  // A drag keeps Effect. A drop wants link with Ctrl and Shift, copy with Ctrl, else move, and
  // gets it where Effect allows it; otherwise Effect stays.
  HRESULT STDMETHODCALLTYPE GetDragDropEffect(WINBOOL Drag, DWORD KeyState, LPDWORD Effect) override;
  // No menu of the control's own.
  HRESULT STDMETHODCALLTYPE GetContextMenu(WORD SelectionType, LPOLEOBJECT OleObject, CHARRANGE* Range,
                                           HMENU* Menu) override;

 protected:
  bool Supports(REFIID Iid) const override;

 private:
  TCustomRichEditExBase* FRichEdit;
};

// IID of IRichEditOleCallback, 00020D03-0000-0000-C000-000000000046.
extern const IID IID_RichEditOleCallback;

// EM_GETOLEINTERFACE: the control's object interface (with a reference for the caller, or null);
// the message's answer, non-zero on success.
LRESULT RichEditGetOleInterface(HWND Wnd, IRichEditOle*& RichEditOle);
// EM_SETOLECALLBACK, holding a reference to Callback while the message runs; the message's answer.
LRESULT RichEditSetOleCallback(HWND Wnd, IRichEditOleCallback* Callback);
// The in-place frame of the form's OLE object (made when the form has none yet), with a
// reference for the caller.
void GetOleInPlaceFrameOfForm(classlib::TForm* Form, IOleInPlaceFrame*& Frame);

}  // namespace richedit
