// The watch on rich text streaming into the control: what it lets through and where it stops,
// whole and split into chunks of every size.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "richedit/RichTextGuard.h"

using richedit::TRichTextGuard;

namespace {
// The bytes accepted when Text comes in chunks of Chunk bytes, what the guard holds back going
// again at the start of the next chunk, as the stream callback does.
size_t Accepted(const std::string& Text, size_t Chunk) {
  TRichTextGuard guard;
  size_t total = 0;
  std::string held;
  for (size_t at = 0; at < Text.size(); at += Chunk) {
    std::string chunk = held + Text.substr(at, Chunk);
    bool more = at + Chunk < Text.size();
    size_t taken = guard.Accept(chunk.data(), chunk.size(), more, !more);
    total += taken;
    held = chunk.substr(taken);
    if (guard.Refused()) {
      EXPECT_EQ(guard.Accept("x", 1), 0u) << "refused for good";
      return total;
    }
  }
  EXPECT_FALSE(guard.Refused());
  return total;
}
}  // namespace

TEST(RichTextGuard, StopsBeforeWhatTheControlCannotTake) {
  std::string deep = "{\\rtf1 " + std::string(31, '{') + "x" + std::string(31, '}') + "}";
  std::string tooDeep = "{\\rtf1 " + std::string(32, '{') + "x" + std::string(32, '}') + "}";
  std::string escaped = "{\\rtf1 " + std::string(40, ' ') + "\\{\\{\\{\\\\" + "}";
  // The control reads the data of \\bin as rich text: its braces open groups.
  std::string binary = "{\\rtf\\bin5" + std::string(32, '{');
  std::string row = "{\\rtf1\\trowd\\cellx4000\\pard\\intbl a\\cell\\row";
  std::string parAfterRow = row + "\\par d}";
  std::string sectAfterBold = row + "\\b\\sect d}";
  std::string pageAfterIgnored = "{" + row + "}{\\*\\x y}\\page d}";
  std::string nested =
      "{\\rtf1\\trowd\\cellx2000\\pard\\intbl\\itap2 a\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
      "{\\nonesttables\\par}\\itap1 \\cell\\row}";
  // Where a nested cell or row ends outside a nested table: after its word, before what follows.
  auto after = [](const std::string& Text, const std::string& Word) { return Text.rfind(Word) + Word.size(); };
  std::string flat = "{\\rtf1\\trowd\\cellx1000\\intbl a\\cell\\nestcell\\cell\\row}";
  std::string closed = "{\\rtf1{\\itap2 a\\nestcell}\\nestcell x}";
  std::string reset = "{\\rtf1\\itap3 a\\nestcell\\pard\\intbl b\\nestrow}";
  struct Case {
    std::string Text;
    size_t Accepted;
  };
  std::vector<Case> cases = {
      {deep, deep.size()},
      {tooDeep, tooDeep.find(std::string(32, '{')) + 31},  // the 33rd group's brace stays out
      {escaped + std::string(escaped), escaped.size() * 2},
      {binary, binary.size() - 1},
      // A paragraph mark after a row's end, before the next paragraph begins, stays out whole.
      {parAfterRow, parAfterRow.rfind("\\par")},
      {row + "\\par", row.size()},  // at the very end too
      {sectAfterBold, sectAfterBold.find("\\sect")},
      {pageAfterIgnored, pageAfterIgnored.find("\\page")},
      {"{\\rtf1 \\itap32 x}", 17},
      {"{\\rtf1 \\itap-5 x}", 17},
      {"{\\rtf1 \\itap-2147483648 x}", 26},
      {"{\\rtf1 \\itap-3982606503 x}", 22},  // beyond 32 bits at the last digit
      {"{\\rtf1 \\itap33 x}", 13},  // the "3" goes, the "33" does not
      {"{\\rtf1 \\itap2147483647 x}", 14},  // up to "21"
      {"{\\rtf1 \\itapx99 x}", 18},  // another word
      {"{\\rtf1 \\tx720\\tx0 x\\par}", 24},
      {"{\\rtf1 \\tx x\\par}", 10},      // no position: the space stays out
      {"{\\rtf1 \\tx-5 x\\par}", 10},
      {"{\\rtf1 \\tx2147483647 x}", 23},
      {"{\\rtf1 \\tx2147483648 x}", 19},  // beyond 32 bits at the last digit
      {"{\\rtf1 \\txe x}", 14},           // another word
      // A control word within the format's limits: 32 letters, 10 digits; beyond, up to there.
      {"{\\rtf1 \\" + std::string(32, 'a') + "9999999999 x}", 53},
      {"{\\rtf1 \\fs-9999999999 x}", 24},
      {"{\\rtf1 \\" + std::string(1040, 'a') + " x}", 40},
      {"{\\rtf1 \\fs" + std::string(1100, '9') + " x}", 20},
      {"{\\rtf1 \\fs-00000000001 x}", 21},
      {"}}}}{\\rtf1 x}", 13},         // closing more than was opened is the control's business
      // A brace where a Unicode character's replacement goes, unless \uc0 says there is none.
      {"{\\rtf1{\\u65{x}}}", 11},
      {"{\\rtf1{\\u-3 }}", 12},
      {"{\\rtf1{\\u\r\n{x}}}", 11},
      {"{\\rtf1{\\uc0}\\u65{x}}", 16},  // \uc ends with its group
      {"{\\rtf1\\uc0{\\u65{x}}}", 20},
      {"{\\rtf1{\\u65?{x}\\u66\\'3f}{\\*\\u67{x}}\\ul{x}}", 42},
      {nested, nested.size()},
      {flat, after(flat, "\\nestcell")},
      {closed, after(closed, "\\nestcell")},  // the level ends with its group
      {reset, after(reset, "\\nestrow")},    // and with the paragraph's properties
  };
  // A paragraph begun by text or its properties, or a row in an ignored group, lets the mark go.
  for (const char* next : {"\\pard\\par d}", "\\intbl\\par d}", " d\\par}", "\\pard{\\*\\x\\row}\\par}"})
    cases.push_back({row + next, row.size() + std::string(next).size()});
  // A row may end as many cells as it defines, 63 at most: defined before its cells, the cell
  // too many stays out, else the row's end.
  auto cells = [](int N, const std::string& End) {
    std::string text = "{\\rtf1\\pard\\intbl";
    for (int i = 0; i < N; ++i) text += " c\\cell";
    return text + End;
  };
  auto nth = [](const std::string& Text, const char* Word, int N) {  // where the Nth Word stands
    size_t at = Text.find(Word);
    while (--N > 0) at = Text.find(Word, at + 1);
    return at;
  };
  auto defined = [](int N) {
    std::string text = "\\trowd";
    for (int i = 0; i < N; ++i) text += "\\cellx" + std::to_string(100 * i + 100);
    return text;
  };
  for (auto [n, defs, fits] : {std::tuple(1, 1, true), {2, 1, false}, {63, 100, true}, {64, 100, false},
                               {63, 0, true}, {64, 0, false}}) {
    // The definition before the cells, after them, or in a group: the row's end counts them all.
    std::string before = "{\\rtf1" + defined(defs) + cells(n, "\\row}").substr(6);
    cases.push_back({before, fits ? before.size() : nth(before, "c\\cell", (defs == 0 ? 63 : std::min(defs, 63)) + 1) + 1});
    for (const std::string& text : {cells(n, "") + defined(defs) + "\\row}", cells(n, "{" + defined(defs) + "}\\row}")})
      cases.push_back({text, fits ? text.size() : n > 63 ? nth(text, "c\\cell", 64) + 1 : text.rfind("\\row")});
  }
  // Cells in a group, also one marked to be skipped, a paragraph out of the table, a new
  // definition: one row still.
  std::string grouped = "{\\rtf1\\trowd\\cellx100\\pard\\intbl a\\cell{b\\cell}\\trowd\\cellx100\\pard c\\cell\\row}";
  cases.push_back({grouped, grouped.find("\\cell}")});
  std::string rows = "{\\rtf1\\trowd\\cellx100\\cellx200\\pard\\intbl a\\cell b\\cell\\row\\pard\\intbl c\\cell d\\cell\\row}";
  cases.push_back({rows, rows.size()});
  std::string skippedCells = "{\\rtf1\\trowd\\cellx100\\pard\\intbl a\\cell{\\*\\x\\cell}\\row}";
  cases.push_back({skippedCells, skippedCells.find("\\cell}")});
  // Each nested level has rows of its own, defined in their nested properties, which are read.
  auto nest = [](int Level, int N) {
    std::string text = "\\pard\\intbl\\itap" + std::to_string(Level);
    for (int i = 0; i < N; ++i) text += " c\\nestcell";
    return text;
  };
  const std::string props = "{\\*\\nesttableprops\\trowd\\cellx100\\nestrow}";
  std::string nested2 = "{\\rtf1\\trowd\\cellx5000" + nest(2, 1) + nest(3, 1) + props + nest(2, 1) + props + "}";
  cases.push_back({nested2, nested2.rfind("\\nestrow")});
  std::string nested3 = "{\\rtf1\\trowd\\cellx5000" + nest(2, 1) + nest(3, 2) + props + "}";
  cases.push_back({nested3, nested3.rfind("\\nestrow")});
  std::string nestedFits = "{\\rtf1\\trowd\\cellx5000" + nest(2, 0) + nest(3, 1) + props + nest(2, 1) + props + "}";
  cases.push_back({nestedFits, nestedFits.size()});

  // A font's or style's name, up to a semicolon or a brace, of 255 characters at most.
  const std::string name(255, 'A');
  for (const char* table : {"fonttbl", "stylesheet"}) {
    std::string head = "{\\rtf1{\\" + std::string(table) + "{\\f0 ";
    std::string names = head + name + ";" + name + "{\\*\\falt " + name + "}" + name + ";}}" + name + name + "}";
    cases.push_back({names, names.size()});
    cases.push_back({head + name + "B;}}}", head.size() + 255});
    std::string skipped = head + "A;}{\\*\\bkmkstart " + name + "B}}}";  // a group marked to be skipped too
    cases.push_back({skipped, skipped.rfind('B')});
    cases.push_back({head + name + "\\{;}}}", head.size() + 255});  // a symbol is a character too
  }
  std::string two = "{\\rtf1\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row\\pard d\\par}";
  cases.push_back({two, two.size()});
  for (const Case& c : cases) {
    for (size_t chunk : {size_t(1), size_t(2), size_t(3), size_t(7), c.Text.size()}) {
      SCOPED_TRACE(c.Text.substr(0, 40) + " / " + std::to_string(chunk));
      EXPECT_EQ(Accepted(c.Text, chunk), c.Accepted);
    }
  }
}
