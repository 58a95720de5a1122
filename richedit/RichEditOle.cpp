#include "richedit/RichEditOle.h"

#include "classlib/forms.h"
#include "richedit/RichEditExBase.h"

namespace richedit {

using namespace classlib;

const IID IID_RichEditOleCallback = {0x00020D03, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool TRichEditOleCallback::Supports(REFIID Iid) const { return IsEqualIID(Iid, IID_RichEditOleCallback); }

HRESULT TRichEditOleCallback::GetNewStorage(LPSTORAGE* Storage) {
  return ComMethod(E_OUTOFMEMORY, [&] {
    if (!Storage) return E_OUTOFMEMORY;
    *Storage = nullptr;
    ILockBytes* bytes = nullptr;
    if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes)) || !bytes) return E_OUTOFMEMORY;
    HRESULT result = StgCreateDocfileOnILockBytes(bytes, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0,
                                                  Storage);
    bytes->Release();  // the storage holds the byte array now
    if (SUCCEEDED(result) && *Storage) return S_OK;
    if (*Storage) (*Storage)->Release();
    *Storage = nullptr;
    return E_OUTOFMEMORY;
  });
}

HRESULT TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* Frame, LPOLEINPLACEUIWINDOW* Doc,
                                                LPOLEINPLACEFRAMEINFO FrameInfo) {
  return ComMethod(E_FAIL, [&] {
    if (Frame) *Frame = nullptr;
    if (Doc) *Doc = nullptr;
    if (!Frame || !FrameInfo) return E_INVALIDARG;
    TForm* form = FRichEdit ? GetParentForm(FRichEdit) : nullptr;
    if (!form) return E_FAIL;
    IOleInPlaceFrame* frame = nullptr;
    GetOleInPlaceFrameOfForm(form, frame);
    HWND window = nullptr;
    if (FAILED(frame->GetWindow(&window))) {
      frame->Release();
      return E_FAIL;
    }
    FrameInfo->fMDIApp = FALSE;
    FrameInfo->hwndFrame = window;
    FrameInfo->haccel = nullptr;
    FrameInfo->cAccelEntries = 0;
    *Frame = frame;
    return S_OK;
  });
}

HRESULT TRichEditOleCallback::ShowContainerUI(WINBOOL) { return E_NOTIMPL; }

HRESULT TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }

HRESULT TRichEditOleCallback::DeleteObject(LPOLEOBJECT OleObject) {
  return ComMethod(E_UNEXPECTED, [&] {
    if (FRichEdit) FRichEdit->ReleaseVerbObject();
    if (OleObject) OleObject->Close(OLECLOSE_NOSAVE);
    return S_OK;
  });
}

HRESULT TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, WINBOOL, HGLOBAL) { return S_OK; }

HRESULT TRichEditOleCallback::ContextSensitiveHelp(WINBOOL) { return E_NOTIMPL; }

HRESULT TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* DataObject) {
  if (DataObject) *DataObject = nullptr;
  return E_NOTIMPL;
}

HRESULT TRichEditOleCallback::GetDragDropEffect(WINBOOL Drag, DWORD KeyState, LPDWORD Effect) {
  if (Drag || !Effect) return S_OK;
  DWORD wanted = DROPEFFECT_MOVE;
  if ((KeyState & MK_CONTROL) && (KeyState & MK_SHIFT))
    wanted = DROPEFFECT_LINK;
  else if (KeyState & MK_CONTROL)
    wanted = DROPEFFECT_COPY;
  if (*Effect & wanted) *Effect = wanted;
  return S_OK;
}

HRESULT TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* Menu) {
  if (Menu) *Menu = nullptr;
  return S_OK;
}

LRESULT RichEditGetOleInterface(HWND Wnd, IRichEditOle*& RichEditOle) {
  RichEditOle = nullptr;
  return SendMessageA(Wnd, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&RichEditOle));
}

LRESULT RichEditSetOleCallback(HWND Wnd, IRichEditOleCallback* Callback) {
  if (Callback) Callback->AddRef();
  LRESULT result = SendMessageA(Wnd, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(Callback));
  if (Callback) Callback->Release();
  return result;
}

void GetOleInPlaceFrameOfForm(TForm* Form, IOleInPlaceFrame*& Frame) {
  Frame = TOleForm::Of(Form)->GetInPlaceFrame();
  Frame->AddRef();
}

}  // namespace richedit
