// The wide-string list: its line splitting, the UTF-16 stream format with its byte-order mark,
// searching, moving and assigning, and the "WideStrings" form data.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "classlib/canvas.h"
#include "classlib/exceptions.h"
#include "classlib/filer.h"
#include "classlib/streams.h"
#include "classlib/stringlist.h"
#include "richedit/WideStrList.h"
#include "tests/test_support.h"

using namespace classlib;
using namespace richedit;

namespace {

// The plainest storage a descendant can give: lines with their objects in a vector.
class TTestWideStrings : public TWideStrings {
  CL_CLASS(TTestWideStrings)
  WideString Get(int Index) const override { return Items.at(size_t(Index)).first; }
  int GetCount() const override { return int(Items.size()); }
  TObject* GetObject(int Index) const override { return Items.at(size_t(Index)).second; }
  void PutObject(int Index, TObject* Object) override { Items.at(size_t(Index)).second = Object; }
  void Insert(int Index, const WideString& S) override { Items.insert(Items.begin() + Index, {S, nullptr}); }
  void Delete(int Index) override { Items.erase(Items.begin() + Index); }
  void Clear() override { Items.clear(); }

  std::vector<WideString> Lines() const {
    std::vector<WideString> lines;
    for (const auto& item : Items) lines.push_back(item.first);
    return lines;
  }
  std::vector<std::pair<WideString, TObject*>> Items;
  std::vector<bool> UpdateStates;

 protected:
  void SetUpdateState(bool Updating) override { UpdateStates.push_back(Updating); }
};

using Lines = std::vector<WideString>;

void Fill(TTestWideStrings& List, const Lines& L) {
  for (const WideString& s : L) List.Add(s);
}

std::vector<unsigned char> Bytes(TMemoryStream& Stream) {
  auto* p = static_cast<unsigned char*>(Stream.GetMemory());
  return std::vector<unsigned char>(p, p + Stream.GetSize());
}

void LoadBytes(TTestWideStrings& List, const std::vector<unsigned char>& Data) {
  TMemoryStream stream;
  if (!Data.empty()) stream.WriteBuffer(Data.data(), int64_t(Data.size()));
  stream.SetPosition(0);
  List.LoadFromStream(&stream);
}

// Writes an object's stored properties and hands back what stands under "WideStrings".
class TStoredValue : public TPersistent {
 public:
  void DefineProperties(TFiler* Filer) override {
    Filer->DefineProperty(
        "WideStrings",
        [this](TReader* Reader) {
          Value = Reader->ReadString();
          Found = true;
        },
        [this](TWriter* Writer) { Writer->WriteString(Value); }, true);
  }
  std::string Value;
  bool Found = false;
};

void WriteTo(TMemoryStream& Stream, TPersistent* Instance, TPersistent* Ancestor = nullptr) {
  TWriter writer(&Stream);
  writer.SetAncestor(Ancestor);
  writer.WriteProperties(Instance);
  Stream.SetPosition(0);
}

void ReadFrom(TMemoryStream& Stream, TPersistent* Instance) {
  TReader reader(&Stream);
  reader.ReadProperties(Instance);
}

TStoredValue Stored(TWideStrings& List, TPersistent* Ancestor) {
  TMemoryStream stream;
  WriteTo(stream, &List, Ancestor);
  TStoredValue stored;
  ReadFrom(stream, &stored);
  return stored;
}

}  // namespace

TEST(WideStrings, TextSplitsAtEveryKindOfLineBreak) {
  struct Case {
    WideString Text;
    Lines Expected;
  } cases[] = {
      {L"a\r\nb", {L"a", L"b"}},       {L"a\rb\nc", {L"a", L"b", L"c"}}, {L"a\n\rb", {L"a", L"", L"b"}},
      {L"a\r\n", {L"a"}},              {L"\r\n\r\n", {L"", L""}},        {L"", {}},
      {WideString(L"a\0b", 3), {L"a"}},  // a zero unit ends the text
  };
  for (const Case& c : cases) {
    TTestWideStrings list;
    Fill(list, {L"old"});
    list.SetTextStr(c.Text);
    EXPECT_EQ(list.Lines(), c.Expected);
    EXPECT_EQ(list.UpdateStates, (std::vector<bool>{true, false})) << "one update around the whole text";
  }
  TTestWideStrings list;
  Fill(list, {L"a", L"", L"Ж"});
  EXPECT_EQ(list.GetTextStr(), L"a\r\n\r\n\u0416\r\n");
  std::unique_ptr<wchar_t[]> text = list.GetText();
  EXPECT_EQ(WideString(text.get()), list.GetTextStr());
  list.SetText(L"x\ny");
  EXPECT_EQ(list.Lines(), (Lines{L"x", L"y"}));
}

TEST(WideStrings, StreamHoldsAMarkAndLittleEndianLines) {
  TTestWideStrings list;
  Fill(list, {L"a", L"b"});
  TMemoryStream stream;
  list.SaveToStream(&stream);
  EXPECT_EQ(Bytes(stream), (std::vector<unsigned char>{0xFF, 0xFE, 0x61, 0, 0x0D, 0, 0x0A, 0, 0x62, 0, 0x0D, 0, 0x0A, 0}));

  // Empty lines and characters outside every ANSI code page come back as they went, also
  // through a file.
  TTestWideStrings source, copy;
  Fill(source, {L"Æble", L"", L"Жук €", L"\U0001F600 smiles", L""});
  testsupport::TempDir dir;
  std::string name = dir.File("lines.txt");
  source.SaveToFile(name);
  copy.LoadFromFile(name);
  EXPECT_EQ(copy.Lines(), source.Lines());
  EXPECT_TRUE(copy.Equals(&source));
}

TEST(WideStrings, LoadingReadsEitherByteOrderAndOddOrShortStreams) {
  struct Case {
    const char* What;
    std::vector<unsigned char> Data;
    Lines Expected;
  } cases[] = {
      {"little-endian mark", {0xFF, 0xFE, 0x16, 0x04, 0x0D, 0, 0x0A, 0, 0x62, 0}, {L"Ж", L"b"}},
      {"big-endian mark", {0xFE, 0xFF, 0x04, 0x16, 0, 0x0D, 0, 0x0A, 0, 0x62}, {L"Ж", L"b"}},
      {"no mark", {0x16, 0x04, 0x0A, 0, 0x62, 0}, {L"Ж", L"b"}},
      {"odd last byte", {0xFF, 0xFE, 0x61, 0, 0x62}, {L"a"}},
      {"one byte", {0x61}, {}},
      {"nothing", {}, {}},
  };
  for (const Case& c : cases) {
    TTestWideStrings list;
    Fill(list, {L"old"});
    LoadBytes(list, c.Data);
    EXPECT_EQ(list.Lines(), c.Expected) << c.What;
  }
}

TEST(WideStrings, IndexOfIgnoresCaseInTheListsLocale) {
  TTestWideStrings list;
  EXPECT_EQ(list.IndexOf(L"a"), -1);
  EXPECT_EQ(list.GetLocale(), GetUserDefaultLCID());
  Fill(list, {L"Æble", L"Pære", L"Жук"});
  EXPECT_EQ(list.IndexOf(L"æBLE"), 0);
  EXPECT_EQ(list.IndexOf(L"PÆRE"), 1);
  EXPECT_EQ(list.IndexOf(L"\u0436\u0423\u041A"), 2) << "Cyrillic";
  EXPECT_EQ(list.IndexOf(L"Pære "), -1);
  // The routine for systems without CompareStringW agrees where the code page holds the letters.
  EXPECT_EQ(CompareWideText9x(L"Æble", L"æBLE", 1030), 0);
  EXPECT_LT(CompareWideText9x(L"abc", L"ABD", 1033), 0);
  EXPECT_GT(CompareWideTextNT(L"b", L"A", 1033), 0);
}

TEST(WideStrings, MoveAndExchangeCarryTheObjects) {
  TObject one, two, three;
  TTestWideStrings list;
  list.AddObject(L"1", &one);
  list.AddObject(L"2", &two);
  list.AddObject(L"3", &three);
  list.UpdateStates.clear();
  list.Move(1, 1);
  EXPECT_EQ(list.Lines(), (Lines{L"1", L"2", L"3"}));
  EXPECT_TRUE(list.UpdateStates.empty()) << "moving a line onto itself is no update";
  list.Move(0, 2);
  EXPECT_EQ(list.Lines(), (Lines{L"2", L"3", L"1"}));
  EXPECT_EQ(list.GetObject(2), &one);
  list.Exchange(0, 1);
  EXPECT_EQ(list.Lines(), (Lines{L"3", L"2", L"1"}));
  EXPECT_EQ(list.GetObject(0), &three);
  EXPECT_EQ(list.GetObject(1), &two);
  list.Put(2, L"uno");
  EXPECT_EQ(list.GetObject(2), &one) << "Put keeps the line's object";
  EXPECT_EQ(list.UpdateStates, (std::vector<bool>{true, false, true, false}));
}

TEST(WideStrings, AssignTakesWideOrAnsiListsWithTheirObjects) {
  TObject tag;
  TStringList ansi;
  ansi.AddObject("Blåbær", &tag);
  ansi.Add("");
  TTestWideStrings list;
  Fill(list, {L"old", L"lines"});
  list.Assign(&ansi);
  EXPECT_EQ(list.Lines(), (Lines{L"Blåbær", L""}));
  EXPECT_EQ(list.GetObject(0), &tag);

  TTestWideStrings copy;
  copy.Assign(&list);
  EXPECT_TRUE(copy.Equals(&list));
  EXPECT_EQ(copy.GetObject(0), &tag);
  copy.Assign(&copy);
  EXPECT_TRUE(copy.Equals(&list)) << "assigning a list to itself keeps it";
  copy.AddStrings(&copy);
  EXPECT_EQ(copy.GetCount(), 4);
  try {
    TFont font;
    list.Assign(&font);
    ADD_FAILURE() << "a font is no list";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TFont to a TTestWideStrings");
  }
}

TEST(WideStrings, FormDataHoldsFourHexDigitsPerUnitWhenThereIsSomethingToStore) {
  TTestWideStrings list, equal, other;
  EXPECT_FALSE(Stored(list, nullptr).Found) << "an empty list without an ancestor stores nothing";
  Fill(list, {L"Ж", L"a"});
  Fill(equal, {L"Ж", L"a"});
  Fill(other, {L"Ж"});
  TStoredValue stored = Stored(list, nullptr);
  EXPECT_TRUE(stored.Found);
  EXPECT_EQ(stored.Value, "0416000D000A0061000D000A");
  EXPECT_FALSE(Stored(list, &equal).Found) << "equal to its ancestor";
  EXPECT_TRUE(Stored(list, &other).Found);
  TTestWideStrings empty;
  TStringList ansiAncestor;
  EXPECT_TRUE(Stored(empty, &ansiAncestor).Found) << "an ancestor of another kind";

  TMemoryStream stream;
  WriteTo(stream, &list);
  TTestWideStrings read;
  Fill(read, {L"old"});
  ReadFrom(stream, &read);
  EXPECT_EQ(read.Lines(), list.Lines());

  // Digits that are not hexadecimal count as 0; an incomplete last group is dropped.
  TStoredValue odd;
  odd.Value = "00410G42" "12";
  TMemoryStream oddStream;
  WriteTo(oddStream, &odd);
  ReadFrom(oddStream, &read);
  EXPECT_EQ(read.Lines(), (Lines{L"AB"}));
}

TEST(WideStrings, FormDataThatDoesNotFitRaisesReadErrors) {
  TTestWideStrings list;
  Fill(list, {L"x"});
  TMemoryStream stream;
  WriteTo(stream, &list);
  TFont font;
  try {
    ReadFrom(stream, &font);
    ADD_FAILURE() << "a font has no wide strings";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Property WideStrings does not exist");
  }
  // The value's length says more bytes than the stream holds.
  stream.SetPosition(4 + 11 + 1);
  uint32_t huge = 0x7FFFFFFF;
  stream.WriteBuffer(&huge, 4);
  stream.SetPosition(0);
  EXPECT_THROW(ReadFrom(stream, &list), EReadError);
}
