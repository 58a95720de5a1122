#include "classlib/ole.h"

#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/text.h"

namespace classlib {

void OleCheck(HRESULT Result) {
  if (SUCCEEDED(Result)) return;
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, DWORD(Result), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = n && text ? TrimRight(text) : Format("OLE error %08lX", static_cast<unsigned long>(Result));
  if (text) LocalFree(text);
  throw EOleSysError(message, long(Result));
}

class TOleForm::TInPlaceFrame : public TInterfacedObject<IOleInPlaceFrame> {
 public:
  explicit TInPlaceFrame(TForm* Form) : FForm(Form) {}
  void FormGone() { FForm = nullptr; }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override {
    return ComMethod(E_FAIL, [&] {
      if (!Window) return E_POINTER;
      *Window = nullptr;
      // Never makes a window: not for a form that is going, which may be asked on its way out.
      if (!FForm || FForm->IsDestroying()) return E_FAIL;
      *Window = FForm->GetHandle();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return E_NOTIMPL; }

 protected:
  bool Supports(REFIID Iid) const override {
    return IsEqualIID(Iid, IID_IOleWindow) || IsEqualIID(Iid, IID_IOleInPlaceUIWindow) ||
           IsEqualIID(Iid, IID_IOleInPlaceFrame);
  }

 private:
  TForm* FForm;
};

TOleForm::TOleForm(TForm* Form) : TComponent(Form), FFrame(new TInPlaceFrame(Form)) { FFrame->AddRef(); }

TOleForm::~TOleForm() {
  FFrame->FormGone();
  FFrame->Release();
}

TOleForm* TOleForm::Of(TForm* Form) {
  for (int i = 0; i < Form->GetComponentCount(); ++i)
    if (auto* ole = dynamic_cast<TOleForm*>(Form->GetComponent(i))) return ole;
  return New<TOleForm>(Form);
}

IOleInPlaceFrame* TOleForm::GetInPlaceFrame() const { return FFrame; }

}  // namespace classlib
