// The rich edit 2.0 control's text lists and streams on real windows under Wine: rows through
// the ANSI and the wide lines in several code pages, rich text kept through streams and files,
// the stream formats and their progress events, damaged rich text, and a large file in chunks.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/streams.h"
#include "classlib/stringlist.h"
#include "tests/richedit/richedit_support.h"
#include "tests/richedit/richeditex_fixture.h"
#include "tests/test_support.h"

using namespace classlib;
using namespace richedit;
using testsupport::ExpectSampleFormatting;
using testsupport::FormatOf;
using testsupport::RichEditExWindow;
using testsupport::kSampleRTF;
using testsupport::kSampleText;
using testsupport::Select;

namespace {

using RichEditLines = RichEditExWindow;

std::string Utf16(const std::wstring& Text) {
  return std::string(reinterpret_cast<const char*>(Text.data()), Text.size() * 2);
}

// A converter that hands over at most three bytes a time, as a slow source might.
class TDribblingConversion : public TConversion {
 public:
  int ConvertReadStream(TStream* Stream, char* Buffer, int BufSize) override {
    return TConversion::ConvertReadStream(Stream, Buffer, BufSize < 3 ? BufSize : 3);
  }
};

// Three bytes a time too, after a first read long enough for the control to know rich text.
class TRichDribblingConversion : public TConversion {
 public:
  int ConvertReadStream(TStream* Stream, char* Buffer, int BufSize) override {
    return TConversion::ConvertReadStream(Stream, Buffer, std::min(BufSize, Stream->GetPosition() == 0 ? 7 : 3));
  }
};

// A converter whose reads fail after the first.
class TFailingConversion : public TConversion {
 public:
  int ConvertReadStream(TStream* Stream, char* Buffer, int BufSize) override {
    if (++Reads > 1) throw EReadError("Stream read error");
    return TConversion::ConvertReadStream(Stream, Buffer, BufSize < 16 ? BufSize : 16);
  }
  static inline int Reads = 0;
};

}  // namespace

TEST_F(RichEditLines, LinesAreTheRowsOfTheControl) {
  TRichEditStringsEx* lines = Edit->GetLines();
  EXPECT_EQ(lines->GetCount(), 0) << "an empty control";
  lines->SetText("one\r\ntwo\nthree");
  ASSERT_EQ(lines->GetCount(), 3) << "the empty row after the last paragraph mark does not count";
  EXPECT_EQ(lines->Get(1), "two");
  EXPECT_EQ(lines->GetText(), "one\r\ntwo\r\nthree\r\n");

  lines->Put(1, "TWO");
  lines->Insert(0, "zero");
  lines->Add("four");
  lines->Delete(1);
  EXPECT_EQ(Text(), L"zero\rTWO\rthree\rfour\r");
  lines->Insert(9, "far");  // beyond an empty last row: nothing
  lines->Delete(-1);
  lines->Put(-1, "x");
  EXPECT_EQ(lines->GetCount(), 4);

  lines->Insert(1, "a\r\nb\nc");  // the control keeps each break as one mark
  EXPECT_EQ(lines->GetCount(), 7);
  EXPECT_EQ(lines->Get(3), "c");

  SetText(L"ab");
  lines->Insert(1, "cd");  // beyond a last row that is not empty: appended after it
  EXPECT_EQ(Text(), L"ab\rcd");
  lines->Clear();
  EXPECT_EQ(lines->GetCount(), 0);

  std::wstring wide(9000, L'w');
  SetText(wide);
  EXPECT_EQ(Edit->GetWideLines()->Get(0).size(), 8192u) << "long rows come back cut";
}

TEST_F(RichEditLines, AnsiLinesSpeakTheLanguagesCodePageAndWideLinesUtf16) {
  struct Case {
    LCID Language;
    const char* Ansi;
    const wchar_t* Wide;
  } cases[] = {
      {1033, "na\xEFve \x80", L"na\u00efve \u20ac"},
      {1049, "\xC6\xE8\xF2\xFC", L"\u0416\u0438\u0442\u044c"},
      {1032, "\xD9\xEC\xE5\xE3\xE1", L"\u03a9\u03bc\u03b5\u03b3\u03b1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Language);
    Edit->SetLanguage(c.Language);
    Edit->GetLines()->SetText(std::string(c.Ansi) + "\r\nplain");
    EXPECT_EQ(Edit->GetWideLines()->Get(0), c.Wide);
    EXPECT_EQ(Edit->GetLines()->Get(0), c.Ansi);
    EXPECT_EQ(Edit->GetWideLines()->GetLocale(), c.Language);
  }
  TWideRichEditStringsEx* wide = Edit->GetWideLines();
  wide->SetTextStr(L"\u0416 \U0001F600\r\n\u03a9");
  EXPECT_EQ(wide->GetCount(), 2);
  EXPECT_EQ(wide->Get(0), L"\u0416 \U0001F600");
  wide->Put(1, L"\u65e5\u672c");
  wide->Insert(0, L"\u00e6");
  EXPECT_EQ(Text(), L"\u00e6\r\u0416 \U0001F600\r\u65e5\u672c\r");
  wide->SetLocale(1049);
  EXPECT_EQ(Edit->GetCodePage(), 1251u);
}

TEST_F(RichEditLines, SettingTheTextRaisesNoChangePerLineAndAddingNoSelectionEvents) {
  int changes = 0, selections = 0;
  Edit->OnChange = [&](TObject*) { ++changes; };
  Edit->OnSelectionChange = [&](TObject*) { ++selections; };
  Edit->GetLines()->SetText("a\r\nb\r\nc\r\nd");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(SendMessageA(Window, EM_GETEVENTMASK, 0, 0), 0x042C0001) << "the change notification is back";
  SendMessageA(Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(changes, 1);

  TStringList more;
  more.Add("e");
  more.Add("f");
  selections = 0;
  Edit->GetLines()->AddStrings(&more);
  EXPECT_EQ(selections, 0);
  EXPECT_EQ(Edit->GetLines()->GetCount(), 7) << "after the row that \"x\" went into";
  ASSERT_TRUE(Edit->OnSelectionChange);
  Select(Window, 0, 1);
  EXPECT_EQ(selections, 1);
}

TEST_F(RichEditLines, RichTextKeepsItsFormattingThroughStreamsAndFiles) {
  testsupport::LoadBytes(Edit, kSampleRTF);
  EXPECT_EQ(Text(), kSampleText);
  ExpectSampleFormatting(Window);
  std::string saved = testsupport::SaveBytes(Edit);
  EXPECT_EQ(saved.compare(0, 5, "{\\rtf"), 0);
  Edit->Clear();
  testsupport::LoadBytes(Edit, saved);
  ExpectSampleFormatting(Window);

  // Whatever the file is called, InputFormat decides how it is read.
  testsupport::TempDir dir;
  for (const char* name : {"help.rtf", "help.TXT", "help.doc", "help"}) {
    SCOPED_TRACE(name);
    Edit->GetLines()->SaveToFile(dir.File(name));
    Edit->Clear();
    Edit->GetWideLines()->LoadFromFile(dir.File(name));
    EXPECT_EQ(Text(), kSampleText);
    ExpectSampleFormatting(Window);
  }
  EXPECT_THROW(Edit->GetLines()->LoadFromFile(dir.File("missing.rtf")), EFOpenError);
  Edit->GetLines()->LoadFromFile(dir.File("help.rtf"));  // a failed open left the lists working
  EXPECT_EQ(Text(), kSampleText);
}

TEST_F(RichEditLines, StreamFormatsInAndOut) {
  struct In {
    TInputFormat Format;
    std::string Bytes;
    std::wstring Text;
  } ins[] = {
      {ifRTF, "{\\rtf1 rich}", L"rich"},
      {ifRTF, "not rich\r\nat all", L"not rich\rat all"},  // read again as plain text
      {ifText, "{\\rtf1 rich}", L"{\\rtf1 rich}"},
      {ifText, "caf\xE9\r\nx", L"caf\u00e9\rx"},  // the system's code page
      {ifUnicode, Utf16(L"\u0416\u0438\r\nx"), L"\u0416\u0438\rx"},
  };
  for (const In& in : ins) {
    SCOPED_TRACE(in.Format);
    Edit->SetInputFormat(in.Format);
    testsupport::LoadBytes(Edit, in.Bytes);
    EXPECT_EQ(Text(), in.Text);
  }

  SetText(L"\u00e9 \u0416\rline");
  struct Out {
    TOutputFormat Format;
    std::string Start;
  } outs[] = {
      {ofText, "\xE9 ?\r\nline"},
      {ofTextized, "\xE9 ?\r\nline"},
      {ofUnicode, Utf16(L"\u00e9 \u0416\r\nline")},
      {ofRTF, "{\\rtf1"},
      {ofRTFNoObjs, "{\\rtf1"},
  };
  for (const Out& out : outs) {
    SCOPED_TRACE(out.Format);
    Edit->SetOutputFormat(out.Format);
    std::string saved = testsupport::SaveBytes(Edit);
    EXPECT_EQ(saved.substr(0, out.Start.size()), out.Start);
  }

  // Chunks of any size, line breaks and UTF-16 units across their ends.
  TConversionClass plain = TCustomRichEdit::DefaultConverter;
  TCustomRichEdit::DefaultConverter = &NewConversion<TDribblingConversion>;
  Edit->SetInputFormat(ifText);
  testsupport::LoadBytes(Edit, "ab\r\ncd\r\n\r\ne\rf\ng");
  EXPECT_EQ(Text(), L"ab\rcd\r\re\rf\rg");
  Edit->SetInputFormat(ifUnicode);
  testsupport::LoadBytes(Edit, Utf16(L"\u0416\r\n\u00e6\u00f8\r\nx"));
  EXPECT_EQ(Text(), L"\u0416\r\u00e6\u00f8\rx");
  TCustomRichEdit::DefaultConverter = plain;

  // Only the selection, both ways.
  Edit->SetSelectedInOut(true);
  Edit->SetInputFormat(ifText);
  Edit->SetOutputFormat(ofText);
  SetText(L"abcdef");
  Select(Window, 2, 4);
  testsupport::LoadBytes(Edit, "XY");
  EXPECT_EQ(Text(), L"abXYef");
  Select(Window, 1, 3);
  EXPECT_EQ(testsupport::SaveBytes(Edit), "bX");
  Edit->SetSelectedInOut(false);
  Edit->SetPlainRTF(true);
  Edit->SetInputFormat(ifRTF);
  testsupport::LoadBytes(Edit, kSampleRTF);
  EXPECT_EQ(Text(), kSampleText);
}

TEST_F(RichEditLines, ProgressEventsFollowTheStreamAndFailuresAreReported) {
  std::string text;
  while (text.size() < 100000) text += "a line of plain text " + std::to_string(text.size()) + "\r\n";
  struct Event {
    int Position, Size;
  };
  std::vector<Event> loads, saves;
  Edit->OnLoadProgress = [&](TObject* Sender, int Position, int Size) {
    EXPECT_EQ(Sender, Edit);
    loads.push_back(Event{Position, Size});
  };
  Edit->OnSaveProgress = [&](TObject*, int Position, int Size) { saves.push_back(Event{Position, Size}); };
  Edit->SetInputFormat(ifText);
  Edit->SetOutputFormat(ofText);
  testsupport::LoadBytes(Edit, text);
  ASSERT_GT(loads.size(), 2u) << "read in chunks";
  EXPECT_EQ(loads.front().Position, 0);
  for (size_t i = 0; i < loads.size(); ++i) {
    EXPECT_EQ(loads[i].Size, int(text.size()));
    if (i > 0) {
      EXPECT_GT(loads[i].Position, loads[i - 1].Position);
    }
  }
  EXPECT_EQ(loads.back().Position, int(text.size())) << "the last call finds the end";

  std::string saved = testsupport::SaveBytes(Edit);
  EXPECT_EQ(saved, text);
  ASSERT_GT(saves.size(), 1u);
  for (size_t i = 1; i < saves.size(); ++i) EXPECT_GT(saves[i].Position, saves[i - 1].Position);
  EXPECT_EQ(saves.back().Position, int(text.size()));
  EXPECT_EQ(saves.back().Size, int(text.size()));

  // A handler or converter that raises ends the stream; the caller hears of it.
  for (TInputFormat format : {ifText, ifRTF}) {
    SCOPED_TRACE(format);
    Edit->SetInputFormat(format);
    int calls = 0;
    Edit->OnLoadProgress = [&](TObject*, int, int) {
      if (++calls >= 2) throw Exception("stop");  // rich text is tried again as plain text
    };
    try {
      testsupport::LoadBytes(Edit, format == ifRTF ? "{\\rtf1 " + text + "}" : text);
      ADD_FAILURE() << "no failure reported";
    } catch (const EOutOfResources& e) {
      EXPECT_EQ(e.Message(), "Failed to Load Stream");
    }
  }
  Edit->OnLoadProgress = nullptr;
  SetText(L"something to save");
  Edit->OnSaveProgress = [](TObject*, int, int) { throw Exception("stop"); };
  try {
    testsupport::SaveBytes(Edit);
    ADD_FAILURE() << "no failure reported";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Failed to Save Stream");
  }
  Edit->OnSaveProgress = nullptr;

  TConversionClass plain = TCustomRichEdit::DefaultConverter;
  TCustomRichEdit::DefaultConverter = &NewConversion<TFailingConversion>;
  Edit->SetInputFormat(ifText);
  EXPECT_THROW(testsupport::LoadBytes(Edit, text), EOutOfResources);
  TCustomRichEdit::DefaultConverter = plain;
  EXPECT_GE(TFailingConversion::Reads, 2);
}

TEST_F(RichEditLines, DamagedRichTextGivesItsTextOrAClearError) {
  std::mt19937 random(21);
  std::string noise(5000, '\0');
  for (char& c : noise) c = char(random());
  std::string sample = kSampleRTF;
  const std::vector<std::string> damaged = {
      sample.substr(0, sample.size() / 2),
      sample.substr(0, sample.size() - 1),
      "{\\rtf1",
      "{\\rtf",
      "{\\rtf1\\bin999999999 x}",
      "{\\rtf1\\bin-5 x}",
      std::string(5000, '{') + "\\rtf1 deep" + std::string(5000, '}'),
      "{\\rtf1 " + std::string(5000, '{') + "deep" + std::string(5000, '}') + "}",
      "{\\rtf1 \\itap32767 x}",
      "{\\rtf1\\trowd\\cellx1000\\pard\\intbl\\itap-3982606503 a\\cell\\row\\pard x}",
      "{\\rtf1\\trowd\\itap2147483647 x\\cell\\row}",
      "{\\rtf1 \\u-99999999? \\u99999999? \\'zz \\'4 x}",
      "{\\rtf1{\\fonttbl{\\f0\\fcharset999 X;}}{\\colortbl;\\red999\\green-1\\blue300;}\\f0\\cf7\\fs-40 x}",
      "{\\rtf1{\\pict\\wmetafile8\\picw999999999\\pich999999999 0102zz}x}",
      "{\\rtf1{\\object\\objemb{\\*\\objdata 0102}}x}",
      std::string("{\\rtf1 a\0b\0c}", 13),
      "{\\rtf1 " + noise + "}",
      noise,
  };
  for (size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(i);
    try {
      testsupport::LoadBytes(Edit, damaged[i]);
    } catch (const EOutOfResources& e) {
      EXPECT_EQ(e.Message(), "Failed to Load Stream");
    }
    // The control is whole afterwards.
    SetText(L"after");
    EXPECT_EQ(Text(), L"after");
  }

  // Groups as deep as the control takes are rich text; one more and it is shown as plain text.
  testsupport::LoadBytes(Edit, "{\\rtf1 " + std::string(31, '{') + "deep" + std::string(31, '}') + "}");
  EXPECT_EQ(Text(), L"deep");
  testsupport::LoadBytes(Edit, "{\\rtf1 " + std::string(32, '{') + "deep" + std::string(32, '}') + "}");
  EXPECT_EQ(Text().substr(0, 7), L"{\\rtf1 ");

  // A paragraph mark right after a row's end (a crash or a hang), groups opened by the data of
  // \\bin, a brace where a Unicode character's replacement goes, a control word or a font's name
  // of about a thousand characters and a row that ends more cells than it defines (a crash) are
  // shown as plain text, even where a chunk ends inside the word; the same table with the
  // paragraph begun after the row is rich text.
  const std::string row = "{\\rtf1\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row";
  TConversionClass plain = TCustomRichEdit::DefaultConverter;
  for (TConversionClass converter : {plain, &NewConversion<TRichDribblingConversion>}) {
    TCustomRichEdit::DefaultConverter = converter;
    for (const std::string& refused : {row + "\\par d}", row + "\\trowd\\cellx4000\\page d}", row + "\\par",
                                       "{\\rtf\\bin5" + std::string(32, '{'), "{\\rtf{\\u" + std::string(30, '{'),
                                       "{\\rtf1 \\fs" + std::string(1100, '9') + " x}",
                                       "{\\rtf1 \\" + std::string(1100, 'a') + " x}",
                                       "{\\rtf1{\\fonttbl{\\f0 " + std::string(1100, 'A') + ";}}x}",
                                       std::string("{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell c\\cell\\row}")}) {
      SCOPED_TRACE(refused.substr(0, 60));
      testsupport::LoadBytes(Edit, refused);
      EXPECT_EQ(Text().substr(0, 5), L"{\\rtf");
    }
    testsupport::LoadBytes(Edit, row + "\\pard d\\par}");
    std::wstring text = Text();
    EXPECT_EQ(text.find(L"rtf"), std::wstring::npos) << "rich text";
    EXPECT_NE(text.find(L'd'), std::wstring::npos);
  }
  TCustomRichEdit::DefaultConverter = plain;
}

TEST_F(RichEditLines, ALargeFileIsReadInChunks) {
  testsupport::TempDir dir;
  std::string name = dir.File("large.txt");
  std::string line(99, 'x');
  {
    TFileStream file(name, fmCreate);
    for (int i = 0; i < 8000; ++i) {
      std::string numbered = std::to_string(i) + line.substr(std::to_string(i).size()) + "\r\n";
      file.WriteBuffer(numbered.data(), int64_t(numbered.size()));
    }
  }
  int calls = 0, largest = 0, last = 0;
  Edit->OnLoadProgress = [&](TObject*, int Position, int) {
    ++calls;
    largest = std::max(largest, Position - last);
    last = Position;
  };
  Edit->SetInputFormat(ifText);
  Edit->GetLines()->LoadFromFile(name);
  EXPECT_EQ(last, 8000 * 101);
  EXPECT_GT(calls, 100);
  EXPECT_LE(largest, 65536) << "no chunk near the whole file";
  EXPECT_EQ(GetWindowTextLengthA(Window), 8000 * 100) << "no line break split in two";
  EXPECT_EQ(Edit->GetLines()->Get(7999).substr(0, 4), "7999");
}
