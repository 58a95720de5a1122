// A watch on rich text on its way into the system control. The platform's control fails on some
// damaged input: groups nested deeper than 32 crash it, so does a tab stop (\txN) without a
// position or with one below 0 or beyond 32 bits, so does the end of a nested cell (\nestcell,
// \nestrow) in a paragraph that is not in a nested table, so does a paragraph mark (\par, \sect,
// \page) right after a table row's end, and a huge table nesting level (\itapN, also a negative
// one beyond 32 bits, which the control reads as positive) keeps it busy for minutes. A brace
// where a Unicode character (\uN) has its replacement upsets the control's count of groups and
// crashes it; where \uc0 says there is no replacement, a brace there is text as usual. The control
// reads the data of \binN as rich text, braces and all, and so does the guard. A control word
// of about a thousand letters or digits crashes it too; the guard holds words to the format's
// own limits, a name of at most 32 letters and a parameter of at most 10 digits. So does a font's
// or a style's name (the text up to a semicolon or a brace in \fonttbl or \stylesheet) of about
// a thousand characters (text in a group marked to be skipped there counts too); the guard takes
// 255. A row (\row, or \nestrow at a nested level) that has ended (\cell, \nestcell) more
// cells than its definition holds (\cellxN since \trowd, wherever they stand in the row) makes
// the control read memory that is not the row's when the row or the text ends, and crashes it
// when that holds no row; so does a row of more than 63 cells, the format's own limit. The guard
// refuses the cell too many where the row was defined before its cells, else the row's end; a
// text that ends, or is refused, while a row defined after its cells defines fewer than it has
// is beyond the guard. The control reads rows, cells and their definitions in groups marked to be
// skipped too ({\*\nesttableprops} holds a nested row's definition).
// The guard reads the bytes as they stream past, as far as braces and control words go, and
// refuses the text at the byte (or the control word) that makes such a construct, so that the
// control never sees it; the caller then ends the stream with an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace richedit {

class TRichTextGuard {
 public:
  static constexpr int kMaxDepth = 32;
  static constexpr int64_t kMaxTableLevel = 32;
  static constexpr int kMostCells = 63;  // in a row
  static constexpr int kLongestTableName = 255;

  // How many of the Count bytes may go on: all of them, or those before the construct the
  // control cannot take (and the guard refuses from then on). With MayHold, a control word
  // whose name the chunk cuts off is left out too, unread: the caller hands it in again at the
  // start of the next chunk, so that the word is judged whole and refused at its start. Last
  // says the text ends with the chunk, and with it any word.
  size_t Accept(const char* Data, size_t Count, bool MayHold = false, bool Last = false);
  bool Refused() const { return FRefused; }

 private:
  enum TState { sText, sEscape, sWord, sParameter };
  bool ParameterAllowed() const;
  bool AllowedWithoutParameter() const;
  bool NameAllowed() const;  // false when the word whose name was just read may not go on
  bool RowFits(int Level, int Cells) const;
  bool WordEnds();           // false when the word just read may not go on
  bool NameCharacter(char C);  // false when C makes a font's or style's name too long
  TState FState = sText;
  int FDepth = 0;
  // The table level of the paragraph (\intbl, \itapN, \pard), kept per group.
  int FTableLevel = 0;
  int FTableLevels[kMaxDepth + 1] = {};
  // The replacement characters that follow a \uN (\ucN), kept per group.
  int64_t FReplacements = 1;
  int64_t FReplacementsOf[kMaxDepth + 1] = {};
  // A \uN has just ended, with a replacement to follow.
  bool FAfterUnicode = false;
  // A row has ended and no paragraph has begun since.
  bool FAfterRow = false;
  // The cells ended in the row being read and the cells its definition holds, per table level.
  int FCells[kMaxTableLevel + 1] = {};
  int FCellsDefined[kMaxTableLevel + 1] = {};
  bool FRowDefined[kMaxTableLevel + 1] = {};  // defined (\trowd) since the last row ended
  int FNamesFrom = -1;  // the depth of the font table or style sheet being read, or -1
  int FNameLength = 0;  // of the name being read there
  int FIgnoredFrom = 0;  // the depth of the outermost {\* group being read, or 0
  std::string FWord;     // the control word being read
  int64_t FParameter = 0;
  int FDigits = 0;  // of the parameter
  bool FNegative = false;
  bool FRefused = false;
};

}  // namespace richedit
