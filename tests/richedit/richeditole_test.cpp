// The rich edit control's OLE callback: its reference count and interfaces, its installation in a
// real 2.0 window, and every method's answer (called directly where Wine's control never calls it).
#include <gtest/gtest.h>

#include <vector>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "richedit/RichEditOle.h"
#include "tests/richedit/richedit_support.h"

using namespace classlib;
using namespace richedit;
using testsupport::TTestRichEdit;

namespace {

class TCountingCallback : public TRichEditOleCallback {
 public:
  TCountingCallback(TCustomRichEditExBase* RichEdit, bool* Gone) : TRichEditOleCallback(RichEdit), FGone(Gone) {}
  ~TCountingCallback() override {
    if (FGone) *FGone = true;
  }
  HRESULT STDMETHODCALLTYPE GetContextMenu(WORD Type, LPOLEOBJECT Object, CHARRANGE* Range, HMENU* Menu) override {
    ++ContextMenus;
    return TRichEditOleCallback::GetContextMenu(Type, Object, Range, Menu);
  }
  int ContextMenus = 0;

 private:
  bool* FGone;
};

class OleCallback : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();  // OLE
    Form = New<TForm>(Application);
    Form->SetBounds(0, 0, 400, 300);
    Form->Show();
    Edit = New<TTestRichEdit>(Form, false);
    Edit->SetBounds(10, 10, 300, 200);
    Edit->SetParent(Form);
    Callback = new TCountingCallback(Edit, &Gone);
    Callback->AddRef();
  }
  void TearDown() override {
    Free(Form);
    if (!Gone) Callback->Release();
  }
  TForm* Form = nullptr;
  TTestRichEdit* Edit = nullptr;
  TCountingCallback* Callback = nullptr;
  bool Gone = false;
};

}  // namespace

TEST_F(OleCallback, ReferencesGovernItsLifeAndItAnswersItsInterfaces) {
  EXPECT_EQ(Callback->GetRefCount(), 1);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(Callback->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(Callback));
  IRichEditOleCallback* callback = nullptr;
  ASSERT_EQ(Callback->QueryInterface(IID_RichEditOleCallback, reinterpret_cast<void**>(&callback)), S_OK);
  EXPECT_EQ(callback, Callback);
  EXPECT_EQ(Callback->GetRefCount(), 3);
  IOleObject* object = reinterpret_cast<IOleObject*>(1);
  EXPECT_EQ(Callback->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Callback->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(Callback->GetRefCount(), 3);
  EXPECT_EQ(unknown->Release(), 2u);
  EXPECT_EQ(callback->Release(), 1u);
  EXPECT_FALSE(Gone);
  EXPECT_EQ(Callback->Release(), 0u);
  EXPECT_TRUE(Gone) << "the last reference frees it";
}

TEST_F(OleCallback, TheControlHoldsTheCallbackWhileItIsInstalled) {
  HWND window = Edit->GetHandle();
  EXPECT_NE(RichEditSetOleCallback(window, Callback), 0);
  EXPECT_EQ(Callback->GetRefCount(), 2) << "ours and the control's";
  IRichEditOle* ole = reinterpret_cast<IRichEditOle*>(1);
  EXPECT_NE(RichEditGetOleInterface(window, ole), 0);
  ASSERT_NE(ole, nullptr);
  EXPECT_EQ(ole->GetObjectCount(), 0);
  ole->Release();

  // Wine's control asks the callback for a menu on a context-menu request; it gets none, so
  // nothing pops up.
  RECT r{};
  GetWindowRect(window, &r);
  SendMessageA(window, WM_CONTEXTMENU, WPARAM(window), MAKELPARAM(r.left + 20, r.top + 20));
  EXPECT_EQ(Callback->ContextMenus, 1);

  Free(Edit);
  EXPECT_EQ(Callback->GetRefCount(), 1) << "the window released its reference when it went";
}

TEST_F(OleCallback, MethodsAnswerAsTheControlExpects) {
  EXPECT_EQ(Callback->ShowContainerUI(TRUE), E_NOTIMPL);
  EXPECT_EQ(Callback->ContextSensitiveHelp(TRUE), E_NOTIMPL);
  EXPECT_EQ(Callback->QueryInsertObject(nullptr, nullptr, 0), S_OK);
  CLIPFORMAT format = CF_TEXT;
  EXPECT_EQ(Callback->QueryAcceptData(nullptr, &format, RECO_PASTE, TRUE, nullptr), S_OK);
  EXPECT_EQ(format, CF_TEXT) << "the format stays";
  IDataObject* data = reinterpret_cast<IDataObject*>(1);
  CHARRANGE range{0, 1};
  EXPECT_EQ(Callback->GetClipboardData(&range, RECO_COPY, &data), E_NOTIMPL);
  EXPECT_EQ(data, nullptr) << "the control builds its own clipboard data";
  HMENU menu = reinterpret_cast<HMENU>(1);
  EXPECT_EQ(Callback->GetContextMenu(SEL_TEXT, nullptr, &range, &menu), S_OK);
  EXPECT_EQ(menu, nullptr);

  IStorage* storage = nullptr;
  ASSERT_EQ(Callback->GetNewStorage(&storage), S_OK);
  ASSERT_NE(storage, nullptr);
  IStream* stream = nullptr;
  ASSERT_EQ(storage->CreateStream(L"Contents", STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &stream),
            S_OK);
  ULONG written = 0;
  EXPECT_EQ(stream->Write("abc", 3, &written), S_OK);
  EXPECT_EQ(written, 3u);
  stream->Release();
  storage->Release();
  EXPECT_EQ(Callback->GetNewStorage(nullptr), E_OUTOFMEMORY);

  auto* object = new testsupport::TTestOleObject;
  object->AddRef();
  EXPECT_EQ(Callback->DeleteObject(object), S_OK);
  EXPECT_EQ(Edit->VerbObjectReleases, 1) << "the next popup builds its verb list anew";
  EXPECT_EQ(object->Closes, std::vector<DWORD>{OLECLOSE_NOSAVE});
  object->Release();
}

TEST_F(OleCallback, DropsGetTheEffectTheKeysAskForWhereTheSourceAllowsIt) {
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  struct Case {
    BOOL Drag;
    DWORD Keys, Effect, Expected;
  } cases[] = {
      {TRUE, MK_CONTROL, all, all},  // a drag never changes the effect
      {FALSE, 0, all, DROPEFFECT_MOVE},
      {FALSE, MK_CONTROL, all, DROPEFFECT_COPY},
      {FALSE, MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK},
      {FALSE, MK_SHIFT, all, DROPEFFECT_MOVE},
      {FALSE, MK_CONTROL | MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_COPY},  // link not allowed: unchanged
      {FALSE, 0, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_COPY | DROPEFFECT_LINK},
  };
  for (const Case& c : cases) {
    DWORD effect = c.Effect;
    EXPECT_EQ(Callback->GetDragDropEffect(c.Drag, c.Keys, &effect), S_OK);
    EXPECT_EQ(effect, c.Expected) << "drag " << c.Drag << " keys " << c.Keys << " effect " << c.Effect;
  }
}

TEST_F(OleCallback, InPlaceContextIsTheFrameOfTheControlsForm) {
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  info.fMDIApp = TRUE;
  info.cAccelEntries = 7;
  ASSERT_EQ(Callback->GetInPlaceContext(&frame, &doc, &info), S_OK);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(doc, nullptr);
  EXPECT_EQ(info.hwndFrame, Form->GetHandle());
  EXPECT_FALSE(info.fMDIApp);
  EXPECT_EQ(info.cAccelEntries, 0u);
  HWND window = nullptr;
  EXPECT_EQ(frame->GetWindow(&window), S_OK);
  EXPECT_EQ(window, Form->GetHandle());
  IOleWindow* oleWindow = nullptr;
  EXPECT_EQ(frame->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow)), S_OK);
  oleWindow->Release();
  IOleInPlaceFrame* again = nullptr;
  ASSERT_EQ(Callback->GetInPlaceContext(&again, &doc, &info), S_OK);
  EXPECT_EQ(again, frame) << "one OLE object per form";
  again->Release();

  // The frame outlives its form, and then has no window to give.
  Free(Form);
  Form = nullptr;
  EXPECT_EQ(frame->GetWindow(&window), E_FAIL);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(frame->Release(), 0u);
}

TEST_F(OleCallback, AControlOnNoFormHasNoInPlaceContext) {
  TTestRichEdit* loose = New<TTestRichEdit>(nullptr, false);
  auto* callback = new TRichEditOleCallback(loose);
  callback->AddRef();
  IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(1);
  IOleInPlaceUIWindow* doc = nullptr;
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  EXPECT_EQ(callback->GetInPlaceContext(&frame, &doc, &info), E_FAIL);
  EXPECT_EQ(frame, nullptr);
  callback->Release();
  Free(loose);
}
