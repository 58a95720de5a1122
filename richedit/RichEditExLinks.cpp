// Links of the rich edit 2.0 control: the control's own marking of words that start with a known
// scheme (after edits and after loads), and the link notification turned into a cursor and the
// link events.
#include <algorithm>

#include "classlib/finally.h"
#include "classlib/screen.h"
#include "classlib/text.h"
#include "richedit/CodePages.h"
#include "richedit/RichEditEx.h"

namespace richedit {

using namespace classlib;

namespace {
// The full stop, slash, digits and colon; '@' and the capitals; the backslash; small letters.
// Every other character ends a word.
bool IsWordChar(wchar_t C) {
  return (C >= L'.' && C <= L':') || (C >= L'@' && C <= L'Z') || C == L'\\' || (C >= L'a' && C <= L'z');
}

WideString UpperCased(WideString S) {
  if (!S.empty()) CharUpperBuffW(S.data(), DWORD(S.size()));
  return S;
}
}  // namespace

void TCustomRichEditEx::FindURLWordBounds(CHARRANGE& Range) {
  int length = TextLength();
  if (length <= 0) {
    Range.cpMin = Range.cpMax = 0;
    return;
  }
  if (Range.cpMin >= length) Range.cpMin = length - 1;
  Range.cpMin = std::max<LONG>(Range.cpMin, 0);
  auto charAt = [&](int Position) {
    WideString c = WideTextRange(Position, Position + 1);
    return c.empty() ? L'\0' : c[0];
  };
  int start = Range.cpMin;
  while (start > 0 && IsWordChar(charAt(start))) --start;
  Range.cpMin = IsWordChar(charAt(start)) ? start : start + 1;
  if (Range.cpMax < length) {
    int end = std::max<int>(Range.cpMax, 0);
    while (end < length && IsWordChar(charAt(end))) ++end;
    Range.cpMax = end;
  }
}

void TCustomRichEditEx::MarkCustomURLs(CHARRANGE Range) {
  if (TextLength() < 3) return;
  CHARRANGE range = Range;
  WideString text;
  int offset = 0;
  {
    TWideMode ansi(this, false);
    FindURLWordBounds(range);
    if (range.cpMin > range.cpMax) return;
    if (range.cpMin == range.cpMax)
      text = GetWideText();  // the whole text, so the words are found from its start
    else {
      text = WideTextRange(range.cpMin, range.cpMax);
      offset = range.cpMin;
    }
  }
  text = UpperCased(text);
  TNotifyEvent change = OnChange, selectionChange = OnSelectionChange;
  OnChange = nullptr;
  OnSelectionChange = nullptr;
  Finally(
      [&] {
        BeginLock();
        // The schemes' prefixes, upper-cased like the text: "HTTP:".
        std::vector<WideString> prefixes;
        for (int i = 1; i < FCustomURLs->GetCount(); ++i)
          prefixes.push_back(UpperCased(AnsiToWideByCodePage(FCustomURLs->GetItem(i)->GetName(), FCodePage)) + L":");
        size_t size = text.size(), p = 0;
        // The first word starts at the first word character.
        while (p < size && !IsWordChar(text[p])) ++p;
        while (p < size) {
          size_t end = p + 1;
          while (end < size && IsWordChar(text[end])) ++end;
          WideString word = text.substr(p, end - p);
          TURLType* item = nullptr;
          for (size_t i = 0; i < prefixes.size() && !item; ++i)
            if (word.size() > prefixes[i].size() && word.compare(0, prefixes[i].size(), prefixes[i]) == 0)
              item = FCustomURLs->GetItem(int(i) + 1);
          if (!item && FCustomURLs->GetCount() > 0) {
            // An address: an '@' inside the word, and a '.' after it that does not follow it at once.
            size_t at = word.find(L'@');
            if (at != WideString::npos && at > 0 && at + 1 < word.size()) {
              size_t dot = word.find(L'.', at + 1);
              if (dot != WideString::npos && dot > at + 1) item = FCustomURLs->GetItem(0);
            }
          }
          CHARRANGE wordRange{LONG(offset + p), LONG(offset + end)};
          Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&wordRange));
          if (item) {
            FSelAttributesEx->SetLink(true);
            FSelAttributesEx->SetColor(item->GetColor() == clWindowText ? FURLColor : item->GetColor());
            FSelAttributesEx->SetUnderlineType(item->GetUnderline() ? 1 : 0);
          } else {
            FSelAttributesEx->SetLink(false);
            FSelAttributesEx->SetColor(clDefault);
            FSelAttributesEx->SetUnderlineType(0);
          }
          p = end;
          while (p < size && !IsWordChar(text[p])) ++p;
        }
      },
      [&] {
        EndLock();
        OnChange = change;
        OnSelectionChange = selectionChange;
      });
}

void TCustomRichEditEx::MarkAfterEdit(WPARAM Notification) {
  if (GetComponentState() & (csLoading | csReading)) return;
  if (FAutoURLDetect != adExtended || FCustomURLs->GetCount() == 0) return;
  if (HIWORD(Notification) != EN_CHANGE || FLockCount != 0) return;
  CHARRANGE selection{};
  Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  CHARRANGE range{std::min(selection.cpMin, FLastSelRange.cpMin), std::max(selection.cpMax, FLastSelRange.cpMax)};
  MarkCustomURLs(range);
  FLastSelRange = selection;
}

void TCustomRichEditEx::MarkAfterLoad() {
  if (FAutoURLDetect != adExtended || FCustomURLs->GetCount() == 0) return;
  FLastSelRange = CHARRANGE{0, TextLength()};
  MarkCustomURLs(FLastSelRange);
}

void TCustomRichEditEx::LinkNotification(const ENLINK& Link) {
  TWideMode ansi(this, false);
  std::string url = WideToAnsiByCodePage(WideTextRange(Link.chrg.cpMin, Link.chrg.cpMax), CP_ACP);
  TURLType* item = nullptr;
  size_t colon = url.find(':');
  if (colon != std::string::npos && colon > 0) {
    std::string scheme = AnsiLowerCase(url.substr(0, colon));
    for (int i = 1; i < FCustomURLs->GetCount() && !item; ++i)
      if (FCustomURLs->GetItem(i)->GetName() == scheme) item = FCustomURLs->GetItem(i);
  } else {
    size_t at = url.find('@');
    if (at != std::string::npos && at > 0 && FCustomURLs->GetCount() > 0) item = FCustomURLs->GetItem(0);
  }
  if (Link.msg == WM_MOUSEMOVE) {
    TCursor cursor = item ? item->GetCursor() : crDefault;
    if (cursor == crDefault) cursor = FURLCursor;
    if (cursor == crDefault) cursor = crHandPoint;
    if (Screen) ::SetCursor(Screen->GetCursors(cursor));
    if (OnURLMove && url.size() > 1) OnURLMove(this, url);
  } else if (Link.msg == WM_LBUTTONUP) {
    if (OnURLClick && url.size() > 1) OnURLClick(this, url);
  }
}

}  // namespace richedit
