#include "richedit/RichTextGuard.h"

#include <algorithm>
#include <cstdint>

namespace richedit {

namespace {
bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
// The format's own limits on a control word, far beyond what any word needs.
constexpr size_t kLongestName = 32;
constexpr int kMostDigits = 10;
}  // namespace

// A tab stop needs a position of 0 or more that fits 32 bits; a table nesting level is small.
bool TRichTextGuard::ParameterAllowed() const {
  // The control keeps a parameter in 32 bits: a negative level beyond them comes out huge.
  if (FWord == "itap") return FNegative ? FParameter <= int64_t(1) << 31 : FParameter <= kMaxTableLevel;
  if (FWord == "tx") return !FNegative && FParameter <= INT32_MAX;
  return true;
}

bool TRichTextGuard::AllowedWithoutParameter() const { return FWord != "tx"; }

// A row of Cells cells at a table level, as the control takes it when the row ends.
bool TRichTextGuard::RowFits(int Level, int Cells) const {
  return Cells <= kMostCells && (FCellsDefined[Level] == 0 || Cells <= FCellsDefined[Level]);
}

// A paragraph mark right after a row's end, before text or paragraph properties begin the next
// paragraph, crashes the control or keeps it busy for good; so does a row that has ended more
// cells than it defines, or more than the format's 63. The control takes such a row when the
// row ends, or when the text does: a row defined before its cells is judged at each cell, one
// defined after them only at its end.
bool TRichTextGuard::NameAllowed() const {
  if (FAfterRow && (FWord == "par" || FWord == "sect" || FWord == "page")) return false;
  bool nested = FWord == "nestcell" || FWord == "nestrow";
  if (nested && FTableLevel < 2) return true;  // refused as it ends
  int level = nested ? FTableLevel : 1;
  if (FWord == "row" || FWord == "nestrow") return RowFits(level, FCells[level]);
  if (FWord == "cell" || FWord == "nestcell")
    return FCells[level] < kMostCells && (!FRowDefined[level] || RowFits(level, FCells[level] + 1));
  return true;
}

// Keeps the count of what the rules need. A nested cell or row may only end inside a nested
// table, at level 2 or more.
bool TRichTextGuard::WordEnds() {
  // Counts up to one beyond the most a row may hold, which is all the row's end needs.
  auto count = [](int& Count) { Count = std::min(Count + 1, kMostCells + 1); };
  // A row's definition (\trowd, \cellxN) belongs to the table of the paragraph it is in.
  int rowLevel = std::max(FTableLevel, 1);
  if (FWord == "pard") {
    FTableLevel = 0;
    FAfterRow = false;
  } else if (FWord == "intbl") {
    if (FTableLevel == 0) FTableLevel = 1;
    FAfterRow = false;
  } else if (FWord == "itap" && FState == sParameter) {
    FTableLevel = FNegative ? 0 : int(FParameter);
  } else if (FWord == "nestcell" || FWord == "nestrow") {
    if (FTableLevel < 2) return false;
    if (FWord == "nestcell") {
      count(FCells[FTableLevel]);
    } else {
      FCells[FTableLevel] = 0;
      FRowDefined[FTableLevel] = false;
    }
  } else if (FWord == "row") {  // the control reads rows, also in groups marked to be skipped
    if (FIgnoredFrom == 0) FAfterRow = true;
    FCells[1] = 0;
    FRowDefined[1] = false;
  } else if (FWord == "cell") {
    count(FCells[1]);
  } else if (FWord == "trowd") {
    FCellsDefined[rowLevel] = 0;
    FRowDefined[rowLevel] = true;
  } else if (FWord == "cellx") {
    count(FCellsDefined[rowLevel]);
  } else if (FIgnoredFrom == 0 && (FWord == "fonttbl" || FWord == "stylesheet")) {
    FNamesFrom = FDepth;
    FNameLength = 0;
  } else if (FIgnoredFrom == 0 && FWord == "u") {
    FAfterUnicode = FReplacements > 0;
  }
  if (FWord == "uc" && FState == sParameter) FReplacements = FNegative ? 0 : FParameter;
  return true;
}

// A font's or a style's name, the text up to a semicolon or a brace, of about a thousand
// characters crashes the control, and so does as much text of a group marked to be skipped there.
bool TRichTextGuard::NameCharacter(char C) {
  if (FNamesFrom < 0) return true;
  if (C == ';') {
    FNameLength = 0;
    return true;
  }
  return ++FNameLength <= kLongestTableName;
}

size_t TRichTextGuard::Accept(const char* Data, size_t Count, bool MayHold, bool Last) {
  if (FRefused) return 0;
  // Refusing at the byte that makes the construct too much: what went before is harmless.
  auto refuse = [&](size_t At) {
    FRefused = true;
    return At;
  };
  constexpr size_t kEarlier = SIZE_MAX;
  size_t wordStart = kEarlier;  // where the control word being read began in this chunk
  for (size_t i = 0; i < Count; ++i) {
    char c = Data[i];
    switch (FState) {
      case sEscape:
        if (IsLetter(c)) {
          FWord.assign(1, c);
          FParameter = 0;
          FNegative = false;
          FState = sWord;
        } else {
          // A control symbol: \{ \} \\ \' \* and the rest open or close no group.
          if (c == '*' && FIgnoredFrom == 0) FIgnoredFrom = FDepth;
          if (c == '\'' && FIgnoredFrom == 0) FAfterRow = false;  // a character
          if (c != '*' && !NameCharacter(c)) return refuse(wordStart == kEarlier ? 0 : wordStart);
          FState = sText;
        }
        continue;
      case sWord:
        if (IsLetter(c)) {
          if (FWord.size() == kLongestName) return refuse(i);
          FWord += c;
          continue;
        }
        if (!NameAllowed()) return refuse(wordStart == kEarlier ? 0 : wordStart);
        if (c == '-' || IsDigit(c)) {
          FNegative = c == '-';
          FParameter = FNegative ? 0 : c - '0';
          FDigits = FNegative ? 0 : 1;
          FState = sParameter;
          if (!ParameterAllowed()) return refuse(i);
          continue;
        }
        break;
      case sParameter:
        if (IsDigit(c)) {
          if (++FDigits > kMostDigits) return refuse(i);
          FParameter = FParameter * 10 + (c - '0');
          if (!ParameterAllowed()) return refuse(i);
          continue;
        }
        break;
      case sText:
        break;
    }
    // A control word ends at c. A space after it belongs to it.
    if (FState == sWord || FState == sParameter) {
      if (FState == sWord && !AllowedWithoutParameter()) return refuse(i);
      if (!WordEnds()) return refuse(i);
      FState = sText;
      if (c == ' ') continue;
    }
    if (FAfterUnicode && c != '\r' && c != '\n') {
      FAfterUnicode = false;
      if (c == '{' || c == '}') return refuse(i);
    }
    if (c == '\\') {
      FState = sEscape;
      wordStart = i;
    } else if (c == '{') {
      if (++FDepth > kMaxDepth) return refuse(i);
      FTableLevels[FDepth] = FTableLevel;
      FReplacementsOf[FDepth] = FReplacements;
      FNameLength = 0;
    } else if (c == '}') {
      if (FDepth > 0) {
        FTableLevel = FTableLevels[FDepth];
        FReplacements = FReplacementsOf[FDepth--];
      }
      if (FDepth < FIgnoredFrom) FIgnoredFrom = 0;
      if (FDepth < FNamesFrom) FNamesFrom = -1;
      FNameLength = 0;
    } else if (c != '\r' && c != '\n') {
      if (!NameCharacter(c)) return refuse(i);
      if (FIgnoredFrom == 0) FAfterRow = false;
    }
  }
  if (Last && FState == sWord && !NameAllowed()) return refuse(wordStart == kEarlier ? 0 : wordStart);
  // A name the chunk cuts off waits, unread, for the rest of it.
  bool cut = FState == sEscape || (FState == sWord && FWord.size() < kLongestName);
  if (MayHold && cut && wordStart != kEarlier) {
    FState = sText;
    return wordStart;
  }
  return Count;
}

}  // namespace richedit
