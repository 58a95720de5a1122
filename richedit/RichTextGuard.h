// A watch on rich text on its way into the system control. The platform's control fails on some
// damaged input: groups nested deeper than 32 crash it, so does a tab stop (\txN) without a
// position or with one below 0 or beyond 32 bits, so does the end of a nested cell (\nestcell,
// \nestrow) in a paragraph that is not in a nested table, and a huge table nesting level (\itapN)
// keeps it busy for minutes. The guard reads the bytes as they stream past, as far as braces, control
// words and binary data go, and refuses the text at the byte that makes such a construct, so
// that the control never sees it; the caller then ends the stream with an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace richedit {

class TRichTextGuard {
 public:
  static constexpr int kMaxDepth = 32;
  static constexpr int64_t kMaxTableLevel = 32;

  // How many of the Count bytes may go on: all of them, or those before the construct the
  // control cannot take (and the guard refuses from then on).
  size_t Accept(const char* Data, size_t Count);
  bool Refused() const { return FRefused; }

 private:
  enum TState { sText, sEscape, sWord, sParameter, sBinary };
  bool ParameterAllowed() const;
  bool AllowedWithoutParameter() const;
  bool WordEnds();  // false when the word just read may not go on
  TState FState = sText;
  int FDepth = 0;
  // The table level of the paragraph (\intbl, \itapN, \pard), kept per group.
  int FTableLevel = 0;
  int FTableLevels[kMaxDepth + 1] = {};
  std::string FWord;  // the control word being read
  int64_t FParameter = 0;
  bool FNegative = false;
  int64_t FBinaryLeft = 0;  // raw bytes of \binN still to come
  bool FRefused = false;
};

}  // namespace richedit
