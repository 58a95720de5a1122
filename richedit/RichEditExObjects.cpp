// Embedded objects of the rich edit 2.0 control: closing them, the popup menu of the selected
// object's verbs, and running a verb.
#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/ole.h"
#include "richedit/CodePages.h"
#include "richedit/RichEditEx.h"

namespace richedit {

using namespace classlib;

namespace {
// The interface references a REOBJECT carries, released and cleared.
void ReleaseObjectRecord(REOBJECT& Object) {
  if (Object.poleobj) Object.poleobj->Release();
  if (Object.pstg) Object.pstg->Release();
  if (Object.polesite) Object.polesite->Release();
  Object.poleobj = nullptr;
  Object.pstg = nullptr;
  Object.polesite = nullptr;
}

// The object at Index (or REO_IOB_SELECTION), with its object interface. The platform's header
// declares the method after the GDI macro has renamed it.
HRESULT GetObjectAt(IRichEditOle* Ole, LONG Index, REOBJECT& Record) {
  return Ole->GetObjectA(Index, &Record, REO_GETOBJ_POLEOBJ);
}

// The record of the platform's size: the control writes all of it.
REOBJECT EmptyObjectRecord() {
  REOBJECT record{};
  record.cbStruct = sizeof record;
  return record;
}
}  // namespace

void TCustomRichEditEx::ReleaseVerbObject() {
  if (FVerbObject) FVerbObject->Release();
  FVerbObject = nullptr;
}

void TCustomRichEditEx::DropVerbMenu() {
  FVerbMenu.reset();
  FVerbList.reset();
}

void TCustomRichEditEx::CloseObjects() {
  if (!FRichEditOle) return;
  // Compared by address only, once released: the verb object is not closed a second time below.
  IOleObject* closed = FVerbObject;
  if (FVerbObject) {
    FVerbObject->Close(OLECLOSE_NOSAVE);
    ReleaseVerbObject();
  }
  REOBJECT record = EmptyObjectRecord();
  ScopeExit release([&] { ReleaseObjectRecord(record); });
  LONG count = FRichEditOle->GetObjectCount();
  for (LONG i = 0; i < count; ++i) {
    ReleaseObjectRecord(record);
    if (SUCCEEDED(GetObjectAt(FRichEditOle, i, record)) && record.poleobj && record.poleobj != closed)
      record.poleobj->Close(OLECLOSE_NOSAVE);
  }
}

// The verbs in the object's order up to the first that fails, has a negative number or does not
// belong on a container's menu.
void TCustomRichEditEx::BuildVerbList() {
  FVerbList = std::make_unique<std::vector<TVerb>>();
  IEnumOLEVERB* verbs = nullptr;
  if (!FVerbObject || FAILED(FVerbObject->EnumVerbs(&verbs)) || !verbs) return;
  ScopeExit release([verbs] { verbs->Release(); });
  for (;;) {
    OLEVERB verb{};
    ULONG fetched = 0;
    if (verbs->Next(1, &verb, &fetched) != S_OK || fetched != 1) break;
    std::string name = verb.lpszVerbName ? WideToAnsiByCodePage(verb.lpszVerbName, CP_ACP) : std::string();
    CoTaskMemFree(verb.lpszVerbName);
    if (verb.lVerb < 0 || !(verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU)) break;
    FVerbList->push_back(TVerb{name, LONG(verb.lVerb & 0xFFFF), UINT(verb.fuFlags & 0xFFFF)});
  }
}

TPopupMenu* TCustomRichEditEx::GetPopupMenu() {
  TPopupMenu* inherited = TCustomRichEditExBase::GetPopupMenu();
  if (!FAutoVerbMenu || !FRichEditOle) return inherited;
  REOBJECT record = EmptyObjectRecord();
  ScopeExit release([&] { ReleaseObjectRecord(record); });
  if (FAILED(GetObjectAt(FRichEditOle, REO_IOB_SELECTION, record)) || !record.poleobj) {
    ReleaseVerbObject();
    DropVerbMenu();
    return inherited;
  }
  if (record.poleobj == FVerbObject) return FVerbMenu.get();
  ReleaseVerbObject();
  DropVerbMenu();
  FVerbObject = record.poleobj;
  FVerbObject->AddRef();
  BuildVerbList();
  if (FVerbList->empty()) return nullptr;
  FVerbMenu.reset(New<TPopupMenu>(nullptr));
  for (size_t i = 0; i < FVerbList->size(); ++i) {
    const TVerb& verb = (*FVerbList)[i];
    auto* item = New<TMenuItem>(FVerbMenu.get());
    item->SetCaption(verb.Name);
    item->SetTag(intptr_t(i));
    item->SetDefault(verb.Verb == 0);
    item->OnClick = [this](TObject* Sender) { DoVerb(int(static_cast<TMenuItem*>(Sender)->GetTag())); };
    FVerbMenu->GetItems()->Add(item);
  }
  return FVerbMenu.get();
}

void TCustomRichEditEx::DoVerb(int Index) {
  if (!FRichEditOle || !FVerbObject) return;
  LONG verb = Index;
  if (Index > 0) {
    if (!FVerbList) BuildVerbList();
    if (Index >= int(FVerbList->size())) throw EOleError("Invalid Verb");
    verb = (*FVerbList)[size_t(Index)].Verb;
  } else if (Index == -65536) {
    verb = 0;
  }
  TRect bounds = GetBoundsRect();
  RECT rect{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
  IOleClientSite* site = nullptr;
  OleCheck(FRichEditOle->GetClientSite(&site));
  ScopeExit release([site] {
    if (site) site->Release();
  });
  OleCheck(FVerbObject->DoVerb(verb, nullptr, site, 0, FHandle, &rect));
}

}  // namespace richedit
