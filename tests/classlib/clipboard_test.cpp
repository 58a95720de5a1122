// The clipboard through the real Win32 calls (Wine's clipboard needs no display).
#include <gtest/gtest.h>

#include <cstring>

#include "classlib/clipboard.h"
#include "classlib/exceptions.h"
#include "classlib/graphic.h"

using namespace classlib;

namespace {
HGLOBAL Text(const char* S) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, std::strlen(S) + 1);
  std::memcpy(GlobalLock(h), S, std::strlen(S) + 1);
  GlobalUnlock(h);
  return h;
}

std::string TextOf(HANDLE H) {
  std::string s(static_cast<const char*>(GlobalLock(H)));
  GlobalUnlock(H);
  return s;
}

// A graphic whose clipboard format is text, to see what Assign does with it.
class TTextGraphic : public TGraphic {
 public:
  bool Fail = false;
  bool GetEmpty() override { return false; }
  int GetWidth() override { return 1; }
  void SetWidth(int) override {}
  int GetHeight() override { return 1; }
  void SetHeight(int) override {}
  void SaveToClipboardFormat(WORD& Format, HANDLE& Data, HPALETTE& Palette) override {
    if (Fail) throw EOutOfResources("no memory for the block");
    Format = CF_TEXT;
    Data = Text("from a graphic");
    Palette = nullptr;
  }

 protected:
  void Draw(TCanvas*, const TRect&) override {}
};
}  // namespace

TEST(TClipboard, HandlesGoInAndComeBack) {
  TClipboard* clipboard = Clipboard();
  clipboard->SetAsHandle(CF_TEXT, Text("hello"));
  EXPECT_TRUE(clipboard->HasFormat(CF_TEXT));
  EXPECT_FALSE(clipboard->HasFormat(CF_DIB));
  clipboard->Open();
  clipboard->Open();  // nested: one real opening
  EXPECT_EQ(TextOf(clipboard->GetAsHandle(CF_TEXT)), "hello");
  clipboard->Close();
  EXPECT_EQ(GetOpenClipboardWindow() != nullptr, true) << "still open after the inner Close";
  clipboard->Close();
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  clipboard->Clear();
  EXPECT_FALSE(clipboard->HasFormat(CF_TEXT));
}

TEST(TClipboard, AssignPutsAGraphicsFormatOnIt) {
  TTextGraphic graphic;
  Clipboard()->SetAsHandle(CF_DIB, GlobalAlloc(GMEM_MOVEABLE, 64));
  Clipboard()->Assign(&graphic);
  EXPECT_FALSE(Clipboard()->HasFormat(CF_DIB)) << "the clipboard was emptied first";
  EXPECT_EQ(TextOf(Clipboard()->GetAsHandle(CF_TEXT)), "from a graphic");
  graphic.Fail = true;
  EXPECT_THROW(Clipboard()->Assign(&graphic), EOutOfResources);
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << "a failure closes the clipboard";
  EXPECT_THROW(Clipboard()->Assign(nullptr), EConvertError);
}
