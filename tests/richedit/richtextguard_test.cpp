// The watch on rich text streaming into the control: what it lets through and where it stops,
// whole and split into chunks of every size.
#include <gtest/gtest.h>

#include <string>

#include "richedit/RichTextGuard.h"

using richedit::TRichTextGuard;

namespace {
// The bytes accepted when Text comes in chunks of Chunk bytes.
size_t Accepted(const std::string& Text, size_t Chunk) {
  TRichTextGuard guard;
  size_t total = 0;
  for (size_t at = 0; at < Text.size(); at += Chunk) {
    size_t n = std::min(Chunk, Text.size() - at);
    size_t taken = guard.Accept(Text.data() + at, n);
    total += taken;
    if (taken < n) {
      EXPECT_TRUE(guard.Refused());
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
  std::string binary = "{\\rtf1 \\bin40 " + std::string(40, '{') + "}";
  std::string binaryNoSpace = "{\\rtf1 \\bin3{{{}";
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
  } cases[] = {
      {deep, deep.size()},
      {tooDeep, tooDeep.find(std::string(32, '{')) + 31},  // the 33rd group's brace stays out
      {escaped + std::string(escaped), escaped.size() * 2},
      {binary, binary.size()},
      {binaryNoSpace, binaryNoSpace.size()},
      {"{\\rtf1 \\itap32 x}", 17},
      {"{\\rtf1 \\itap-5 x}", 17},
      {"{\\rtf1 \\itap33 x}", 13},  // the "3" goes, the "33" does not
      {"{\\rtf1 \\itap2147483647 x}", 14},  // up to "21"
      {"{\\rtf1 \\itapx99 x}", 18},  // another word
      {"{\\rtf1 \\tx720\\tx0 x\\par}", 24},
      {"{\\rtf1 \\tx x\\par}", 10},      // no position: the space stays out
      {"{\\rtf1 \\tx-5 x\\par}", 10},
      {"{\\rtf1 \\tx2147483647 x}", 23},
      {"{\\rtf1 \\tx2147483648 x}", 19},  // beyond 32 bits at the last digit
      {"{\\rtf1 \\txe x}", 14},           // another word
      {"}}}}{\\rtf1 x}", 13},         // closing more than was opened is the control's business
      {nested, nested.size()},
      {flat, after(flat, "\\nestcell")},
      {closed, after(closed, "\\nestcell")},  // the level ends with its group
      {reset, after(reset, "\\nestrow")},    // and with the paragraph's properties
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t(1), size_t(2), size_t(7), c.Text.size()}) {
      SCOPED_TRACE(c.Text.substr(0, 40) + " / " + std::to_string(chunk));
      EXPECT_EQ(Accepted(c.Text, chunk), c.Accepted);
    }
  }
}
