// Support of the rich edit tests: a rich edit control that answers what the 2.0 control's
// attributes and callback ask of it (a real window of the 2.0 library or, as the old control, the
// class library's plain rich edit); an embedded object that records what the control does to it;
// and reading formats and selections back from a window.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "classlib/ole.h"
#include "classlib/winapi.h"
#include "richedit/RichEditExBase.h"

namespace testsupport {

class TTestRichEdit : public richedit::TCustomRichEditExBase {
 public:
  TTestRichEdit(classlib::TComponent* AOwner, bool Old) : TCustomRichEditExBase(AOwner), FOld(Old) {}
  bool IsOldControl() const override { return FOld; }
  bool GetWordFormatting() const override { return WordFormatting; }
  UINT GetCodePage() const override { return CodePage; }
  void ReleaseVerbObject() override { ++VerbObjectReleases; }

  bool WordFormatting = true;
  UINT CodePage = 1252;
  int VerbObjectReleases = 0;

 protected:
  void CreateParams(classlib::TCreateParams& Params) override {
    TCustomRichEditExBase::CreateParams(Params);
    if (FOld) {
      Params.WinClassName = "TTestRichEdit10";
      return;
    }
    static HMODULE library = LoadLibraryA("RICHED20.DLL");
    (void)library;
    Params.SuperClassOf = "RICHEDIT20W";
    Params.WinClassName = "TTestRichEdit20";
  }

 private:
  bool FOld;
};

// The character format of a range as the control reports it.
inline CHARFORMAT2W FormatOf(HWND Window, int Start, int End) {
  CHARRANGE range{Start, End};
  SendMessageA(Window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageA(Window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

// An embedded object with the verbs it is given; it records the verbs it runs and how it is closed.
class TTestOleObject : public classlib::TInterfacedObject<IOleObject> {
 public:
  struct TVerbRun {
    LONG Verb;
    bool WithSite;
    HWND Window;
  };
  std::vector<OLEVERB> Verbs;  // names are copied out on enumeration
  std::vector<std::wstring> VerbNames;
  std::vector<TVerbRun> Runs;
  std::vector<DWORD> Closes;
  static constexpr LONG kFailingVerb = -7;

  void AddVerb(LONG Verb, const std::wstring& Name, DWORD Attributes = OLEVERBATTRIB_ONCONTAINERMENU) {
    VerbNames.push_back(Name);
    Verbs.push_back(OLEVERB{Verb, nullptr, 0, Attributes});
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD SaveOption) override {
    Closes.push_back(SaveOption);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG Verb, LPMSG, IOleClientSite* Site, LONG, HWND Window, LPCRECT) override {
    Runs.push_back(TVerbRun{Verb, Site != nullptr, Window});
    return Verb == kFailingVerb ? OLEOBJ_E_NOVERBS : S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** Enum) override;
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, WINBOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* Id) override {
    if (Id) *Id = CLSID_NULL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* Size) override {
    if (Size) *Size = SIZEL{500, 500};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* Status) override {
    if (Status) *Status = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

 protected:
  bool Supports(REFIID Iid) const override { return IsEqualIID(Iid, IID_IOleObject); }
};

class TTestVerbEnum : public classlib::TInterfacedObject<IEnumOLEVERB> {
 public:
  explicit TTestVerbEnum(TTestOleObject* Object) : FObject(Object) { FObject->AddRef(); }
  ~TTestVerbEnum() override { FObject->Release(); }
  HRESULT STDMETHODCALLTYPE Next(ULONG Count, OLEVERB* Verbs, ULONG* Fetched) override {
    ULONG n = 0;
    for (; n < Count && FNext < FObject->Verbs.size(); ++n, ++FNext) {
      Verbs[n] = FObject->Verbs[FNext];
      const std::wstring& name = FObject->VerbNames[FNext];
      Verbs[n].lpszVerbName = static_cast<LPOLESTR>(CoTaskMemAlloc((name.size() + 1) * sizeof(wchar_t)));
      name.copy(Verbs[n].lpszVerbName, name.size());
      Verbs[n].lpszVerbName[name.size()] = L'\0';
    }
    if (Fetched) *Fetched = n;
    return n == Count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override {
    FNext += Count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    FNext = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumOLEVERB**) override { return E_NOTIMPL; }

 protected:
  bool Supports(REFIID Iid) const override { return IsEqualIID(Iid, IID_IEnumOLEVERB); }

 private:
  TTestOleObject* FObject;
  size_t FNext = 0;
};

inline HRESULT TTestOleObject::EnumVerbs(IEnumOLEVERB** Enum) {
  if (Verbs.empty()) return OLEOBJ_E_NOVERBS;
  *Enum = new TTestVerbEnum(this);
  (*Enum)->AddRef();
  return S_OK;
}

inline void Select(HWND Window, int Start, int End) {
  CHARRANGE range{Start, End};
  SendMessageA(Window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

}  // namespace testsupport
