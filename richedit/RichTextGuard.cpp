#include "richedit/RichTextGuard.h"

#include <cstdint>

namespace richedit {

namespace {
bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
constexpr int64_t kParameterCap = int64_t(1) << 40;  // far beyond any value the format uses
}  // namespace

// A tab stop needs a position of 0 or more that fits 32 bits; a table nesting level is small.
bool TRichTextGuard::ParameterAllowed() const {
  if (FWord == "itap") return FNegative || FParameter <= kMaxTableLevel;
  if (FWord == "tx") return !FNegative && FParameter <= INT32_MAX;
  return true;
}

bool TRichTextGuard::AllowedWithoutParameter() const { return FWord != "tx"; }

// A nested cell or row may only end inside a nested table, at level 2 or more.
bool TRichTextGuard::WordEnds() {
  if (FWord == "pard") {
    FTableLevel = 0;
  } else if (FWord == "intbl") {
    if (FTableLevel == 0) FTableLevel = 1;
  } else if (FWord == "itap" && FState == sParameter) {
    FTableLevel = FNegative ? 0 : int(FParameter);
  } else if (FWord == "nestcell" || FWord == "nestrow") {
    return FTableLevel >= 2;
  }
  return true;
}

size_t TRichTextGuard::Accept(const char* Data, size_t Count) {
  if (FRefused) return 0;
  // Refusing at the byte that makes the construct too much: what went before is harmless.
  auto refuse = [&](size_t At) {
    FRefused = true;
    return At;
  };
  for (size_t i = 0; i < Count; ++i) {
    char c = Data[i];
    switch (FState) {
      case sBinary:
        if (--FBinaryLeft == 0) FState = sText;
        continue;
      case sEscape:
        if (IsLetter(c)) {
          FWord.assign(1, c);
          FParameter = 0;
          FNegative = false;
          FState = sWord;
        } else {
          FState = sText;  // a control symbol: \{ \} \\ \' \* and the rest open or close no group
        }
        continue;
      case sWord:
        if (IsLetter(c)) {
          if (FWord.size() < 32) FWord += c;
          continue;
        }
        if (c == '-' || IsDigit(c)) {
          FNegative = c == '-';
          FParameter = FNegative ? 0 : c - '0';
          FState = sParameter;
          if (!ParameterAllowed()) return refuse(i);
          continue;
        }
        break;
      case sParameter:
        if (IsDigit(c)) {
          if (FParameter < kParameterCap) FParameter = FParameter * 10 + (c - '0');
          if (!ParameterAllowed()) return refuse(i);
          continue;
        }
        break;
      case sText:
        break;
    }
    // A control word ends at c. A space after it belongs to it; \binN then has N raw bytes.
    if (FState == sWord || FState == sParameter) {
      if (FState == sWord && !AllowedWithoutParameter()) return refuse(i);
      if (!WordEnds()) return refuse(i);
      bool binary = FState == sParameter && FWord == "bin" && !FNegative && FParameter > 0;
      FState = sText;
      if (binary) {
        FBinaryLeft = FParameter;
        FState = sBinary;
        if (c != ' ' && --FBinaryLeft == 0) FState = sText;
        continue;
      }
      if (c == ' ') continue;
    }
    if (c == '\\') {
      FState = sEscape;
    } else if (c == '{') {
      if (++FDepth > kMaxDepth) return refuse(i);
      FTableLevels[FDepth] = FTableLevel;
    } else if (c == '}') {
      if (FDepth > 0) FTableLevel = FTableLevels[FDepth--];
    }
  }
  return Count;
}

}  // namespace richedit
