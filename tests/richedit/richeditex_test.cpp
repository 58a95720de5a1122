// The rich edit 2.0 control on real windows under Wine: creation and properties, the ANSI text
// messages in the language's code page, the lock, new windows that keep the content, the stored
// rich text, the old control without the 2.0 library, and embedded objects with their verb menu.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>
#include <string>

#include "classlib/exceptions.h"
#include "classlib/filer.h"
#include "classlib/menus.h"
#include "classlib/streams.h"
#include "tests/richedit/richedit_support.h"
#include "tests/richedit/richeditex_fixture.h"

using namespace classlib;
using namespace richedit;
using testsupport::ExpectSampleFormatting;
using testsupport::FormatOf;
using testsupport::kSampleRTF;
using testsupport::kSampleText;
using testsupport::LoadBytes;
using testsupport::Select;

using RichEditEx = testsupport::RichEditExWindow;

TEST_F(RichEditEx, IsMadeOnTheWideClassWithItsDefaults) {
  char name[64] = {};
  GetClassNameA(Window, name, sizeof name);
  EXPECT_STREQ(name, "TRichEditEx");
  EXPECT_FALSE(Edit->IsOldControl());
  LONG style = GetWindowLongA(Window, GWL_STYLE);
  EXPECT_EQ(style & 0x46008000, 0x46008000) << "child, clipping, and the selection kept while unfocused";
  EXPECT_EQ(SendMessageA(Window, EM_GETEVENTMASK, 0, 0), 0x042C0001);
  EXPECT_EQ(SendMessageA(Window, EM_GETAUTOURLDETECT, 0, 0), 0);
  EXPECT_FALSE(SendMessageA(Window, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
  EXPECT_EQ(SendMessageA(Window, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFF) << "MaxLength 0 is no limit";

  EXPECT_EQ(Edit->GetLanguage(), GetSystemDefaultLCID());
  EXPECT_EQ(Edit->GetCodePage(), 1252u);
  EXPECT_EQ(Edit->GetLangOptions(), LangOption(loAutoFont));
  EXPECT_EQ(Edit->GetURLColor(), clBlue);
  EXPECT_EQ(Edit->GetURLCursor(), crHandPoint);
  EXPECT_EQ(Edit->GetAutoURLDetect(), adNone);
  EXPECT_EQ(Edit->GetInputFormat(), ifRTF);
  EXPECT_EQ(Edit->GetOutputFormat(), ofRTF);
  EXPECT_TRUE(Edit->GetWordFormatting());
  EXPECT_TRUE(Edit->GetAutoVerbMenu());
  EXPECT_FALSE(Edit->GetIncludeOLE() || Edit->GetAllowInPlace() || Edit->GetPlainRTF() || Edit->GetSelectedInOut());
  EXPECT_EQ(Edit->GetRichEditOle(), nullptr);

  Edit->SetMaxLength(100);
  EXPECT_EQ(SendMessageA(Window, EM_GETLIMITTEXT, 0, 0), 100);
  Edit->SetAutoURLDetect(adDefault);
  EXPECT_EQ(SendMessageA(Window, EM_GETAUTOURLDETECT, 0, 0), 1);
  Edit->SetAutoURLDetect(adExtended);
  EXPECT_EQ(SendMessageA(Window, EM_GETAUTOURLDETECT, 0, 0), 0) << "the control's own marking, not the system's";

  // The default font of new text is the control's font.
  Edit->GetFont()->SetName("Courier New");
  Edit->GetFont()->SetSize(14);
  EXPECT_EQ(Edit->GetDefAttributesEx()->GetName(), "Courier New");
  EXPECT_EQ(Edit->GetDefAttributesEx()->GetSize(), 14);
}

namespace {
// Records the language options the control hands its window (the platform's control keeps none).
class TRecordingRichEdit : public TRichEditEx {
 public:
  using TRichEditEx::TRichEditEx;
  std::vector<LPARAM> LangOptions;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == EM_SETLANGOPTIONS) LangOptions.push_back(Message.LParam);
    TRichEditEx::WndProc(Message);
  }
};
}  // namespace

TEST_F(RichEditEx, LanguageOptionsGoToTheWindowAtCreationAndOnChange) {
  auto* edit = New<TRecordingRichEdit>(Form);
  edit->SetLangOptions(LangOption(loAutoKeyboard));  // no window yet: kept for it
  edit->SetParent(Form);
  edit->SetLangOptions(LangOption(loIMECancelComplete) | LangOption(loIMEAlwaysSendNotify));
  EXPECT_EQ(edit->LangOptions, (std::vector<LPARAM>{IMF_AUTOKEYBOARD, IMF_IMECANCELCOMPLETE | IMF_IMEALWAYSSENDNOTIFY}));
}

TEST_F(RichEditEx, UndoLimitAndReadOnlyReachTheWindow) {
  SendMessageA(Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("typed"));
  EXPECT_TRUE(SendMessageA(Window, EM_CANUNDO, 0, 0));
  Edit->SetUndoLimit(0);
  SendMessageA(Window, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageA(Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(" more"));
  EXPECT_FALSE(SendMessageA(Window, EM_CANUNDO, 0, 0)) << "no undo at all";
  Edit->SetReadOnly(true);
  EXPECT_TRUE(GetWindowLongA(Window, GWL_STYLE) & ES_READONLY);
  SendMessageA(Window, WM_CHAR, 'x', 0);
  EXPECT_EQ(Text(), L"typed more");
}

TEST_F(RichEditEx, TextMessagesSpeakTheLanguagesCodePage) {
  struct Case {
    LCID Language;
    UINT CodePage;
    const wchar_t* Wide;
    const char* Ansi;  // the same text in that code page
  } cases[] = {
      {1033, 1252, L"caf\u00e9 \u00c6", "caf\xE9 \xC6"},
      {1049, 1251, L"\u0416\u0438\u0442\u044c", "\xC6\xE8\xF2\xFC"},
      {1032, 1253, L"\u03a9\u03bc\u03b5\u03b3\u03b1", "\xD9\xEC\xE5\xE3\xE1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.CodePage);
    Edit->SetLanguage(c.Language);
    ASSERT_EQ(Edit->GetCodePage(), c.CodePage);
    std::string ansi = c.Ansi, wide_line = std::string(c.Ansi) + "\r\nx";
    SetWindowTextA(Window, wide_line.c_str());
    EXPECT_EQ(Text(), std::wstring(c.Wide) + L"\rx");
    EXPECT_EQ(GetWindowTextLengthA(Window), int(ansi.size()) + 2) << "a paragraph mark counts one";
    EXPECT_EQ(Edit->GetText(), wide_line);

    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    TEXTRANGEA range{{0, LONG(ansi.size())}, buffer};
    EXPECT_EQ(SendMessageA(Window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)), LRESULT(ansi.size()));
    EXPECT_STREQ(buffer, c.Ansi);
    range.chrg = CHARRANGE{1, -1};
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(SendMessageA(Window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)), LRESULT(ansi.size() + 1))
        << "to -1 is to the end";

    Select(Window, 1, 3);
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(SendMessageA(Window, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 2);
    EXPECT_EQ(std::string(buffer), ansi.substr(1, 2));

    std::memset(buffer, '#', sizeof buffer);
    *reinterpret_cast<WORD*>(buffer) = sizeof buffer;
    EXPECT_EQ(SendMessageA(Window, EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer)), LRESULT(ansi.size() + 1));
    EXPECT_EQ(std::string(buffer, ansi.size() + 1), ansi + "\r");

    Select(Window, 0, 0);
    SendMessageA(Window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(c.Ansi));
    EXPECT_EQ(Text(), std::wstring(c.Wide) + c.Wide + L"\rx");
    EXPECT_TRUE(SendMessageA(Window, EM_CANUNDO, 0, 0)) << "a replacement can always be undone";
  }
}

TEST_F(RichEditEx, TranslatedAnswersStayInsideTheCallersBuffers) {
  SetWindowTextA(Window, "abcdef\r\nsecond");
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  *reinterpret_cast<WORD*>(buffer) = 3;
  EXPECT_EQ(SendMessageA(Window, EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_EQ(std::string(buffer, 4), "abc#") << "a full buffer gets no terminator";

  Select(Window, 2, 2);
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(SendMessageA(Window, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], '#') << "an empty selection leaves the buffer alone";

  std::memset(buffer, '#', sizeof buffer);
  TEXTRANGEA range{{4, 2}, buffer};
  EXPECT_EQ(SendMessageA(Window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');

  SetWindowTextA(Window, "");
  EXPECT_EQ(Text(), L"") << "an empty text empties the control";
  Edit->SetText("again");
  EXPECT_EQ(Edit->GetText(), "again");
  Edit->Clear();
  EXPECT_EQ(GetWindowTextLengthA(Window), 0);
}

TEST_F(RichEditEx, TheLockKeepsSelectionAndFirstLineAndPaintsNothing) {
  std::wstring text;
  for (int i = 0; i < 200; ++i) text += L"line " + std::to_wstring(i) + L"\r";
  SetText(text);
  SendMessageA(Window, EM_LINESCROLL, 0, 50 - SendMessageA(Window, EM_GETFIRSTVISIBLELINE, 0, 0));
  int first = int(SendMessageA(Window, EM_GETFIRSTVISIBLELINE, 0, 0));
  ASSERT_GT(first, 0);
  Select(Window, 400, 405);

  Edit->BeginLock();
  Edit->BeginLock();
  Select(Window, 3, 3);
  SendMessageA(Window, EM_LINESCROLL, 0, 100);
  InvalidateRect(Window, nullptr, TRUE);
  UpdateWindow(Window);
  EXPECT_FALSE(GetUpdateRect(Window, nullptr, FALSE)) << "a swallowed paint leaves nothing to paint again";
  Edit->EndLock();
  EXPECT_EQ(Edit->GetSelStart(), 3) << "only the outermost end restores";
  Edit->EndLock();
  EXPECT_EQ(Edit->GetSelStart(), 400);
  EXPECT_EQ(Edit->GetSelLength(), 5);
  EXPECT_EQ(SendMessageA(Window, EM_GETFIRSTVISIBLELINE, 0, 0), first);
  Edit->EndLock();  // one too many does nothing
  EXPECT_EQ(Edit->GetSelStart(), 400);

  // A first line that no longer exists is scrolled towards as far as it goes.
  Edit->BeginLock();
  SetText(L"short\rtext");
  Edit->EndLock();
  EXPECT_EQ(SendMessageA(Window, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(RichEditEx, NewWindowsKeepTheTextAndItsFormatting) {
  LoadBytes(Edit, kSampleRTF);
  Edit->SetUndoLimit(0);
  Edit->SetShowSelectionBar(false);  // unchanged: the same window
  EXPECT_EQ(Edit->GetHandle(), Window);

  Edit->SetShowSelectionBar(true);
  HWND window = Edit->GetHandle();
  EXPECT_NE(window, Window);
  EXPECT_TRUE(SendMessageA(window, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
  EXPECT_EQ(Edit->GetWideText(), kSampleText);
  ExpectSampleFormatting(window);

  Edit->SetScrollBars(ssBoth);
  EXPECT_NE(Edit->GetHandle(), window);
  window = Edit->GetHandle();
  EXPECT_TRUE(SendMessageA(window, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
  ExpectSampleFormatting(window);
  SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  EXPECT_FALSE(SendMessageA(window, EM_CANUNDO, 0, 0)) << "the undo limit went along";
}

TEST_F(RichEditEx, StoredRichTextComesBackWithItsFormatting) {
  for (TOutputFormat output : {ofRTF, ofUnicode}) {
    SCOPED_TRACE(output);
    LoadBytes(Edit, kSampleRTF);
    Edit->SetOutputFormat(output);
    TMemoryStream data;
    TWriter writer(&data);
    writer.WriteProperties(Edit);

    TRichEditEx* copy = New<TRichEditEx>(Form);
    copy->SetInputFormat(output == ofRTF ? ifRTF : ifUnicode);
    copy->SetParent(Form);
    int changes = 0;
    copy->OnChange = [&](TObject*) { ++changes; };
    copy->OnSelectionChange = [&](TObject*) { ++changes; };
    data.SetPosition(0);
    TReader reader(&data);
    reader.ReadProperties(copy);
    EXPECT_EQ(changes, 0) << "no events while the stored text is read";
    ASSERT_TRUE(copy->OnChange && copy->OnSelectionChange) << "and the handlers are back";
    EXPECT_EQ(copy->GetWideText(), kSampleText);
    if (output == ofRTF) ExpectSampleFormatting(copy->GetHandle());
    Free(copy);
  }

  // An empty control stores nothing.
  Edit->Clear();
  TMemoryStream data;
  TWriter writer(&data);
  writer.WriteProperties(Edit);
  data.SetPosition(0);
  TReader reader(&data);
  TRichEditEx* copy = New<TRichEditEx>(Form);
  copy->SetParent(Form);
  reader.ReadProperties(copy);
  EXPECT_EQ(copy->GetWideText(), L"");
  EXPECT_EQ(data.GetSize(), 4) << "only the closing empty name";
}

TEST_F(RichEditEx, WithoutTheLibraryItIsTheOldControl) {
  TRichEditEx::SetLibraryName("NoSuchRichEdit20.dll");
  TRichEditEx* old = New<TRichEditEx>(Form);
  old->SetBounds(10, 10, 300, 200);
  old->SetWordWrap(false);
  old->SetParent(Form);
  HWND window = old->GetHandle();
  TRichEditEx::SetLibraryName("RICHED20.DLL");
  EXPECT_TRUE(old->IsOldControl());
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  EXPECT_STREQ(name, "TRichEditEx.Old");

  LoadBytes(old, kSampleRTF);
  EXPECT_EQ(old->GetLines()->GetCount(), 2);
  EXPECT_EQ(old->GetLines()->Get(0), "one two");
  EXPECT_EQ(old->GetLines()->Get(1), "three four");
  Select(window, 4, 7);
  EXPECT_EQ(old->GetSelAttributesEx()->GetWeight(), 700) << "from the plain attributes' bold";
  Select(window, 0, 3);
  EXPECT_EQ(old->GetSelAttributesEx()->GetWeight(), 400);
  EXPECT_FALSE(old->GetSelAttributesEx()->GetLink());
  EXPECT_EQ(old->GetSelAttributesEx()->GetBackColor(), clNone);

  old->GetLines()->Add("third");
  EXPECT_EQ(old->GetLines()->Get(2), "third");

  // A 2.0 control made afterwards is the wide one again.
  TRichEditEx* wide = New<TRichEditEx>(Form);
  wide->SetParent(Form);
  EXPECT_FALSE(wide->IsOldControl());
  SetWindowTextA(wide->GetHandle(), "caf\xE9");
  EXPECT_EQ(wide->GetWideText(), L"caf\u00e9");
}

namespace {
// Inserts Object at the caret through the control's object interface.
void InsertObject(IRichEditOle* Ole, IOleObject* Object) {
  IOleClientSite* site = nullptr;
  ASSERT_EQ(Ole->GetClientSite(&site), S_OK);
  REOBJECT record{};
  record.cbStruct = sizeof record;
  record.cp = REO_CP_SELECTION;
  record.poleobj = Object;
  record.polesite = site;
  record.dvaspect = DVASPECT_CONTENT;
  EXPECT_EQ(Ole->InsertObject(&record), S_OK);
  site->Release();
}

bool gPopupShown = false;

void CALLBACK ClosePopup(HWND, UINT, UINT_PTR, DWORD) {
  if (FindWindowA("#32768", nullptr)) gPopupShown = true;
  EndMenu();
}

// A popup menu shown while this runs is closed again at once; true when one was shown.
bool PopupShownBy(const std::function<void()>& Run) {
  gPopupShown = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, ClosePopup);
  Run();
  KillTimer(nullptr, timer);
  return gPopupShown;
}
}  // namespace

TEST_F(RichEditEx, EmbeddedObjectsOfferTheirVerbsAndAreClosedWithTheWindow) {
  SetText(L"text");
  Edit->SetIncludeOLE(true);
  Window = Edit->GetHandle();
  IRichEditOle* ole = Edit->GetRichEditOle();
  ASSERT_NE(ole, nullptr);
  EXPECT_EQ(Text(), L"text") << "the new window kept the text";

  auto* object = new testsupport::TTestOleObject;
  object->AddRef();
  object->AddVerb(0, L"&Edit");
  object->AddVerb(3, L"&Open");
  object->AddVerb(4, L"&Hidden", 0);  // not for a container's menu: the list ends before it
  object->AddVerb(5, L"&Never");
  Select(Window, 0, 0);
  InsertObject(ole, object);
  ASSERT_EQ(ole->GetObjectCount(), 1);

  TPopupMenu* own = New<TPopupMenu>(Form);
  Edit->SetPopupMenu(own);
  Select(Window, 2, 4);
  EXPECT_EQ(Edit->GetPopupMenu(), own) << "no object selected";

  Select(Window, 0, 1);
  TPopupMenu* verbs = Edit->GetPopupMenu();
  ASSERT_NE(verbs, nullptr);
  ASSERT_NE(verbs, own);
  ASSERT_EQ(verbs->GetItems()->GetCount(), 2);
  EXPECT_EQ(verbs->GetItems()->GetItem(0)->GetCaption(), "&Edit");
  EXPECT_TRUE(verbs->GetItems()->GetItem(0)->GetDefault());
  EXPECT_EQ(verbs->GetItems()->GetItem(1)->GetCaption(), "&Open");
  EXPECT_FALSE(verbs->GetItems()->GetItem(1)->GetDefault());
  EXPECT_EQ(GetMenuDefaultItem(verbs->GetHandle(), TRUE, 0), 0u) << "by position";
  EXPECT_EQ(Edit->GetPopupMenu(), verbs) << "the same object keeps its menu";

  verbs->GetItems()->GetItem(1)->Click();
  Edit->DoVerb(-65536);
  Edit->DoVerb(2 - 2);
  ASSERT_EQ(object->Runs.size(), 3u);
  EXPECT_EQ(object->Runs[0].Verb, 3);
  EXPECT_TRUE(object->Runs[0].WithSite);
  EXPECT_EQ(object->Runs[0].Window, Window);
  EXPECT_EQ(object->Runs[1].Verb, 0);
  EXPECT_EQ(object->Runs[2].Verb, 0);
  try {
    Edit->DoVerb(2);
    ADD_FAILURE() << "no third verb";
  } catch (const EOleError& e) {
    EXPECT_EQ(e.Message(), "Invalid Verb");
  }
  EXPECT_THROW(Edit->DoVerb(testsupport::TTestOleObject::kFailingVerb), EOleSysError);

  // A right click shows the verb menu.
  RECT r{};
  GetWindowRect(Window, &r);
  EXPECT_TRUE(PopupShownBy([&] {
    SendMessageA(Window, WM_CONTEXTMENU, WPARAM(Window), MAKELPARAM(r.left + 20, r.top + 20));
  }));

  // Leaving the object lets it go; an object without verbs has no menu at all.
  LONG held = object->GetRefCount();
  Select(Window, 2, 3);
  EXPECT_EQ(Edit->GetPopupMenu(), own);
  EXPECT_LT(object->GetRefCount(), held);
  auto* mute = new testsupport::TTestOleObject;
  mute->AddRef();
  Select(Window, 5, 5);
  InsertObject(ole, mute);
  Select(Window, 5, 6);
  EXPECT_EQ(Edit->GetPopupMenu(), nullptr);
  EXPECT_FALSE(PopupShownBy([&] {
    SendMessageA(Window, WM_CONTEXTMENU, WPARAM(Window), MAKELPARAM(r.left + 20, r.top + 20));
  }));

  Free(Edit);
  EXPECT_EQ(object->Closes, std::vector<DWORD>{OLECLOSE_NOSAVE});
  EXPECT_EQ(mute->Closes, std::vector<DWORD>{OLECLOSE_NOSAVE});
  object->Release();
  mute->Release();
}
