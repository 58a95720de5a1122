// Links and notifications of the rich edit 2.0 control on real windows under Wine: the link
// schemes, the control's own marking after edits and loads, the system's detection, the link
// notification from real mouse messages, and the events of the other notifications.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/stringlist.h"
#include "tests/richedit/richedit_support.h"
#include "tests/richedit/richeditex_fixture.h"
#include "tests/window_support.h"

using namespace classlib;
using namespace richedit;
using testsupport::FormatOf;
using testsupport::RichEditExWindow;
using testsupport::Select;

namespace {

using RichEditLinks = RichEditExWindow;

// One letter per character: L for a link, '.' for other text.
std::string LinkMask(HWND Window, int Length) {
  std::string mask;
  for (int i = 0; i < Length; ++i) mask += (FormatOf(Window, i, i + 1).dwEffects & CFE_LINK) ? 'L' : '.';
  return mask;
}

// The control's character position as a point in its client area, a little inside the character.
LPARAM PointOf(HWND Window, int Position) {
  POINTL point{};
  SendMessageA(Window, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), Position);
  return testsupport::PointParam(point.x + 2, point.y + 4);
}

HCURSOR SystemCursor(LPCSTR Id) { return LoadCursorA(nullptr, Id); }

}  // namespace

TEST_F(RichEditLinks, SchemesAreKeptByNameWithTheirLook) {
  TURLCollection* urls = Edit->GetCustomURLs();
  std::vector<std::string> names;
  for (int i = 0; i < urls->GetCount(); ++i) {
    TURLType* item = urls->GetItem(i);
    names.push_back(item->GetName());
    EXPECT_EQ(item->GetDisplayName(), item->GetName());
    EXPECT_EQ(item->GetColor(), clWindowText);
    EXPECT_EQ(item->GetCursor(), crDefault);
    EXPECT_TRUE(item->GetUnderline());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"e-mail", "http", "file", "mailto", "ftp", "https", "gopher", "nntp",
                                             "prospero", "telnet", "news", "wais"}));
  EXPECT_EQ(urls->GetOwner(), Edit);

  urls->AddURL("http", clRed, false, crCross);
  urls->AddURL("HTTP", clGreen, true, crDefault);  // names differ in case: a new scheme
  ASSERT_EQ(urls->GetCount(), 13);
  EXPECT_EQ(urls->GetItem(1)->GetColor(), clRed);
  EXPECT_FALSE(urls->GetItem(1)->GetUnderline());
  EXPECT_EQ(urls->GetItem(1)->GetCursor(), crCross);
  EXPECT_EQ(urls->GetItem(12)->GetName(), "HTTP");

  TURLType copy(nullptr);
  copy.Assign(urls->GetItem(1));
  EXPECT_EQ(copy.GetName(), "http");
  EXPECT_EQ(copy.GetColor(), clRed);
  TStringList other;
  copy.Assign(&other);  // not a scheme: ignored
  EXPECT_EQ(copy.GetName(), "http");

  TURLCollection given(nullptr);
  given.AddURL("a", clRed, true, crDefault);
  given.AddURL("b", clRed, true, crDefault);
  given.Add()->SetName("a");  // the same name again, with the look of a new item
  Edit->SetCustomURLs(&given);
  ASSERT_EQ(urls->GetCount(), 2);
  EXPECT_EQ(urls->GetItem(0)->GetName(), "a");
  EXPECT_EQ(urls->GetItem(0)->GetColor(), clWindowText) << "the last of equal names wins";
  Edit->SetCustomURLs(urls);  // itself: unchanged
  EXPECT_EQ(urls->GetCount(), 2);
  Edit->SetCustomURLs(nullptr);
  EXPECT_EQ(urls->GetCount(), 0);
}

TEST_F(RichEditLinks, TheControlsOwnMarkingFindsWordsOfKnownSchemes) {
  struct Case {
    std::wstring Text;
    std::string Links;
    CHARRANGE Range;  // {0, -1}: the whole text
  } cases[] = {
      {L"go http://x.org now", "...LLLLLLLLLLLL....", {0, -1}},
      {L"http: alone", "...........", {0, -1}},
      {L"HTTP://A.B up", "LLLLLLLLLL...", {0, -1}},
      {L"mail a@b.c here", ".....LLLLL.....", {0, -1}},
      {L"@ab.c ab.c@ a@.bc", ".................", {0, -1}},
      {L"ftp://x/a?b=1", "LLLLLLLLL....", {0, -1}},  // '?' ends a word
      {L"(news:x.y)", ".LLLLLLLL.", {0, -1}},
      {L"ab  http://x.y", "....LLLLLLLLLL", {2, 3}},  // widened to one position: the whole text
      {L"ab  http://x.y z", "................", {1, 2}},  // a range of "ab" only
      {L"a@", "..", {0, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Text.begin(), c.Text.end()));
    SetText(c.Text);
    CHARRANGE range = c.Range;
    if (range.cpMax < 0) range.cpMax = LONG(c.Text.size());
    Edit->MarkCustomURLs(range);
    EXPECT_EQ(LinkMask(Window, int(c.Text.size())), c.Links);
  }

  // The look: URLColor and underlined by default, the scheme's own colour, no underline when the
  // scheme says so; other words get the automatic colour and no underline.
  Edit->GetCustomURLs()->AddURL("ftp", clRed, false, crDefault);
  SetText(L"http://a.b ftp://c.d e");
  Select(Window, 1, 2);
  Edit->MarkCustomURLs(CHARRANGE{0, 22});
  EXPECT_EQ(Edit->GetSelStart(), 1) << "the selection is kept";
  EXPECT_EQ(Edit->GetSelLength(), 1);
  CHARFORMAT2W http = FormatOf(Window, 0, 10), ftp = FormatOf(Window, 11, 20), plain = FormatOf(Window, 21, 22);
  EXPECT_EQ(http.crTextColor, RGB(0, 0, 255));
  EXPECT_TRUE(http.dwEffects & CFE_UNDERLINE);
  EXPECT_EQ(ftp.crTextColor, RGB(255, 0, 0));
  EXPECT_FALSE(ftp.dwEffects & CFE_UNDERLINE);
  EXPECT_TRUE(plain.dwEffects & CFE_AUTOCOLOR);
  EXPECT_FALSE(plain.dwEffects & (CFE_UNDERLINE | CFE_LINK));

  // One scheme only: addresses alone; none at all: nothing.
  TURLCollection one(nullptr);
  one.AddURL("e-mail", clWindowText, true, crDefault);
  Edit->SetCustomURLs(&one);
  SetText(L"a@b.c http://x.y");
  Edit->MarkCustomURLs(CHARRANGE{0, 16});
  EXPECT_EQ(LinkMask(Window, 16), "LLLLL...........");
  Edit->SetCustomURLs(nullptr);
  SetText(L"a@b.c http://x.y");
  Edit->MarkCustomURLs(CHARRANGE{0, 16});
  EXPECT_EQ(LinkMask(Window, 16), "................");
}

TEST_F(RichEditLinks, LinksAreMarkedAfterEditsAndLoadsOrByTheSystem) {
  Edit->SetAutoURLDetect(adExtended);
  SetText(L"see ");
  Select(Window, 4, 4);
  SendMessageA(Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("http://typed.org"));
  EXPECT_EQ(LinkMask(Window, 20), "....LLLLLLLLLLLLLLLL");

  testsupport::LoadBytes(Edit, "{\\rtf1 visit http://loaded.org now}");
  EXPECT_EQ(LinkMask(Window, 27), "......LLLLLLLLLLLLLLLLL....");

  Edit->SetAutoURLDetect(adNone);
  SetText(L"");
  SendMessageA(Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("http://none.org"));
  EXPECT_EQ(LinkMask(Window, 15), "...............");

  Edit->SetAutoURLDetect(adDefault);
  SetText(L"sys http://sys.org");
  EXPECT_EQ(LinkMask(Window, 18), "....LLLLLLLLLLLLLL") << "the system control's own detection";
}

TEST_F(RichEditLinks, MouseMessagesOverALinkRaiseTheLinkEvents) {
  testsupport::ParkPointer();
  Edit->GetCustomURLs()->AddURL("ftp", clWindowText, true, crCross);
  SetText(L"see http://x.org and a@b.c or ftp://f.g q word");
  Edit->MarkCustomURLs(CHARRANGE{0, 46});
  // Links the system marks have no scheme of ours: a one-letter one and a plain word.
  CHARFORMAT2W link{};
  link.cbSize = sizeof link;
  link.dwMask = CFM_LINK;
  link.dwEffects = CFE_LINK;
  for (CHARRANGE r : {CHARRANGE{40, 41}, CHARRANGE{42, 46}}) {
    Select(Window, r.cpMin, r.cpMax);
    SendMessageA(Window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&link));
  }
  Select(Window, 0, 0);
  std::vector<std::string> moves, clicks;
  Edit->OnURLMove = [&](TObject* Sender, const std::string& URL) {
    EXPECT_EQ(Sender, Edit);
    moves.push_back(URL);
  };
  Edit->OnURLClick = [&](TObject*, const std::string& URL) { clicks.push_back(URL); };

  struct Case {
    int Position;
    const char* URL;
    LPCSTR Cursor;
  } cases[] = {
      {6, "http://x.org", IDC_HAND},  // URLCursor
      {23, "a@b.c", IDC_HAND},        // the first scheme's, which is the default
      {33, "ftp://f.g", IDC_CROSS},   // the scheme's own
      {40, "q", IDC_HAND},
      {43, "word", IDC_HAND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.URL);
    moves.clear();
    clicks.clear();
    SetCursor(nullptr);
    SendMessageA(Window, WM_MOUSEMOVE, 0, PointOf(Window, c.Position));
    EXPECT_EQ(GetCursor(), SystemCursor(c.Cursor));
    SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, PointOf(Window, c.Position));
    SendMessageA(Window, WM_LBUTTONUP, 0, PointOf(Window, c.Position));
    bool long_enough = std::string(c.URL).size() > 1;
    EXPECT_EQ(moves, long_enough ? std::vector<std::string>{c.URL} : std::vector<std::string>{});
    EXPECT_EQ(clicks, long_enough ? std::vector<std::string>{c.URL} : std::vector<std::string>{});
  }

  Edit->SetURLCursor(crSizeAll);
  SendMessageA(Window, WM_MOUSEMOVE, 0, PointOf(Window, 6));
  EXPECT_EQ(GetCursor(), SystemCursor(IDC_SIZEALL));
  Edit->SetURLCursor(crDefault);
  SendMessageA(Window, WM_MOUSEMOVE, 0, PointOf(Window, 6));
  EXPECT_EQ(GetCursor(), SystemCursor(IDC_HAND)) << "no URLCursor: the hand";

  moves.clear();
  SendMessageA(Window, WM_MOUSEMOVE, 0, PointOf(Window, 1));
  EXPECT_TRUE(moves.empty()) << "plain text is no link";
}

TEST_F(RichEditLinks, NotificationsBecomeEvents) {
  int selections = 0, changes = 0;
  std::vector<TRect> sizes;
  Edit->OnSelectionChange = [&](TObject*) { ++selections; };
  Edit->OnChange = [&](TObject*) { ++changes; };
  Edit->OnResizeRequest = [&](TObject*, TRect Rect) { sizes.push_back(Rect); };
  SendMessageA(Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("some text"));
  EXPECT_EQ(changes, 1);
  selections = 0;
  Select(Window, 1, 3);
  EXPECT_EQ(selections, 1);
  SendMessageA(Window, EM_REQUESTRESIZE, 0, 0);
  ASSERT_FALSE(sizes.empty());
  EXPECT_GT(sizes.back().Height(), 0);

  // Wine's control never reports protected text, so the form gets the notification as the
  // system's control sends it.
  ENPROTECTED protect{};
  protect.nmhdr.hwndFrom = Window;
  protect.nmhdr.code = EN_PROTECTED;
  protect.msg = WM_CHAR;
  protect.chrg = CHARRANGE{2, 5};
  HWND form = Form->GetHandle();
  EXPECT_EQ(SendMessageA(form, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&protect)), 1) << "refused by default";
  CHARRANGE asked{};
  Edit->OnProtectChange = [&](TObject*, int Start, int End, bool& Allow) {
    asked = CHARRANGE{Start, End};
    Allow = Start >= 2;
  };
  EXPECT_EQ(SendMessageA(form, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&protect)), 0);
  EXPECT_EQ(asked.cpMin, 2);
  EXPECT_EQ(asked.cpMax, 5);

  ENSAVECLIPBOARD save{};
  save.nmhdr.hwndFrom = Window;
  save.nmhdr.code = EN_SAVECLIPBOARD;
  save.cObjectCount = 1;
  save.cch = 9;
  EXPECT_EQ(SendMessageA(form, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&save)), 0) << "kept by default";
  Edit->OnSaveClipboard = [](TObject*, int Objects, int Chars, bool& Save) { Save = Objects == 0 && Chars < 9; };
  EXPECT_EQ(SendMessageA(form, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&save)), 1);
}
