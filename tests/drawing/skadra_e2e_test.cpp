// Skadra end to end, once for each settings file it ships: started as a program of its own with
// the file chosen in its start-up dialog, it must show what the file sets, draw every figure its
// tool panel offers under the real pointer, save the picture and open it again, copy it to the
// clipboard and paste it back, print it on the PDF printer, and end on its exit command. With a
// damaged help file it starts all the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>

#include "classlib/bitmap.h"
#include "classlib/clipboard.h"
#include "tests/drawing/skadra_driver.h"

using namespace skadratest;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0;

// The menu commands: the menu's place in the bar and the item's in the menu.
struct TCommand {
  int Top, Item;
};
constexpr TCommand kOpen{0, 1}, kSave{0, 2}, kPrint{0, 4}, kExit{0, 5}, kCut{1, 0}, kCopy{1, 1}, kPaste{1, 2},
    kHide{5, -1}, kWordProcessor{6, -1}, kPainterEmpty{7, 1}, kHelp{8, 0}, kAbout{8, 1};

// The tool panel's buttons by their left edge.
enum TTool { kLongLine = 8, kShortNS = 40, kShortNESW = 72, kShortNWSE = 104, kRect = 256, kEllipse = 288,
             kRoundRect = 320 };

// What a settings file sets, as the file says it.
struct TSettings {
  const char* File;  // in the "cfg" folder; nullptr: the dialog is cancelled and default.cfg applies
  int Grid, Width, Height;
  bool Hide, LongLine, Pen, Figures, Painter, WordProcessor;
};
const TSettings kShipped[] = {
    {nullptr, 2, 780, 1200, true, true, true, true, true, true},
    {"alt.cfg", 2, 780, 1200, true, true, true, true, true, true},
    {"begynder.cfg", 4, 780, 1200, false, false, false, false, false, false},
    {"lille.cfg", 2, 400, 300, true, true, true, true, true, true},
    {"stort_net.cfg", 6, 780, 1200, true, true, true, false, true, true},
};

// A point of the snap lattice of grid size G: column C, row R (halves allowed for samples).
POINT Lattice(int G, double C, double R) { return POINT{39 + int(17 * G * C), 20 + int(10 * G * R)}; }
POINT Along(POINT A, POINT B, double T) {
  return POINT{A.x + int((B.x - A.x) * T), A.y + int((B.y - A.y) * T)};
}

// A figure: its tool, where it is pressed and released (lattice columns and rows), and two
// points of its outline, which must turn from white to black.
struct TFigure {
  const char* Name;
  TTool Tool;
  double C1, R1, C2, R2;
  std::vector<POINT> (*Outline)(POINT A, POINT B, int G);
};
std::vector<POINT> LineOutline(POINT A, POINT B, int) { return {Along(A, B, 0.25), Along(A, B, 0.75)}; }
// Short lines: 20G down, 17G left and 10G down, 17G right and 10G down from the release.
std::vector<POINT> NSOutline(POINT A, POINT, int G) { return LineOutline(A, POINT{A.x, A.y + 20 * G}, G); }
std::vector<POINT> NESWOutline(POINT A, POINT, int G) { return LineOutline(A, POINT{A.x - 17 * G, A.y + 10 * G}, G); }
std::vector<POINT> NWSEOutline(POINT A, POINT, int G) { return LineOutline(A, POINT{A.x + 17 * G, A.y + 10 * G}, G); }
std::vector<POINT> RectOutline(POINT A, POINT B, int) {
  return {POINT{A.x + (B.x - A.x) * 3 / 8, A.y}, POINT{A.x, A.y + (B.y - A.y) * 3 / 8}};
}
std::vector<POINT> RoundOutline(POINT A, POINT B, int) {
  return {POINT{(A.x + B.x) / 2, A.y}, POINT{A.x, (A.y + B.y) / 2}};
}
// The long line first: a figure of another tool can leave a band that holds the long line back.
const TFigure kFigures[] = {
    {"long line", kLongLine, 0, 0, 2, 2, LineOutline},     {"short N-S", kShortNS, 3, 0, 3, 0, NSOutline},
    {"short NE-SW", kShortNESW, 5, 0, 5, 0, NESWOutline},  {"short NW-SE", kShortNWSE, 6, 0, 6, 0, NWSEOutline},
    {"rectangle", kRect, 0, 3, 2, 5, RectOutline},         {"ellipse", kEllipse, 3, 3, 4, 5, RoundOutline},
    {"rounded rectangle", kRoundRect, 5, 3, 7, 5, RoundOutline},
};

// Named in test output by its file.
void PrintTo(const TSettings& S, std::ostream* Out) { *Out << (S.File ? S.File : "default.cfg"); }

bool Offered(const TSettings& S, TTool Tool) {
  switch (Tool) {
    case kLongLine:
      return S.LongLine;
    case kRect:
    case kEllipse:
    case kRoundRect:
      return S.Figures;
    default:
      return true;
  }
}

// Black somewhere in the 3 x 3 pixels around P (lines are rasterised to the nearest pixel).
bool BlackNear(const TScreenShot& Shot, POINT P) {
  for (int y = P.y - 1; y <= P.y + 1; ++y)
    for (int x = P.x - 1; x <= P.x + 1; ++x)
      if (x >= 0 && y >= 0 && x < Shot.Width && y < Shot.Height && Shot.At(x, y) == kBlack) return true;
  return false;
}

// A white picture of the shot's size with the grid's dots of size G, drawn with plain GDI: a
// 2 x 2 ellipse at x = 40 + 17G k, y = 20 + 10G m wherever k + m is even.
TScreenShot GridAlone(int G, int Width, int Height) {
  classlib::TBitmap picture;
  picture.SetSize(Width, Height);
  HDC dc = picture.GetCanvas()->GetHandle();
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  for (int m = 0; 20 + 10 * G * m <= Height + 1; ++m)
    for (int k = m % 2; 40 + 17 * G * k <= Width + 1; k += 2) {
      int x = 40 + 17 * G * k, y = 20 + 10 * G * m;
      Ellipse(dc, x - 1, y + 1, x + 1, y - 1);
    }
  TScreenShot shot{Width, Height, std::vector<uint32_t>(size_t(Width) * size_t(Height))};
  for (int y = 0; y < Height; ++y) {
    const uint8_t* p = picture.GetScanLine(y);
    for (int x = 0; x < Width; ++x, p += 3) shot.Pixels[size_t(y) * Width + x] = uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
  }
  return shot;
}

// The pixels of a bitmap as a shot: all of it, or its top left part of the given size.
TScreenShot PixelsOf(classlib::TBitmap& Bitmap, int Width, int Height) {
  TScreenShot shot{Width, Height, std::vector<uint32_t>(size_t(Width) * size_t(Height))};
  for (int y = 0; y < Height; ++y) {
    const uint8_t* p = Bitmap.GetScanLine(y);
    for (int x = 0; x < Width; ++x, p += 3) shot.Pixels[size_t(y) * Width + x] = uint32_t(p[2]) << 16 | p[1] << 8 | p[0];
  }
  return shot;
}

std::string Bytes(const std::filesystem::path& File) {
  std::ifstream in(File, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The PDF printer's folder in this program's terms, when the run has one.
std::string PdfFolder() {
  const char* dir = std::getenv("SKADRA_TEST_PDF_DIR");
  return dir && *dir ? std::string("Z:") + dir : std::string();
}
std::set<std::string> PdfsIn(const std::string& Folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(Folder))
    if (entry.path().extension() == ".pdf") names.insert(entry.path().filename().string());
  return names;
}
// Pages of a whole PDF: its page objects ("/Type /Page", not "/Pages"); -1 while it is unfinished.
int PdfPages(const std::string& Pdf) {
  if (Pdf.rfind("%PDF-", 0) != 0 || Pdf.find("%%EOF", Pdf.size() > 64 ? Pdf.size() - 64 : 0) == std::string::npos)
    return -1;
  int pages = 0;
  for (const char* key : {"/Type /Page", "/Type/Page"})
    for (size_t at = Pdf.find(key); at != std::string::npos; at = Pdf.find(key, at + 1))
      if (Pdf.compare(at + std::strlen(key), 1, "s") != 0) ++pages;
  return pages;
}

class SkadraScenario : public ::testing::TestWithParam<TSettings> {
 protected:
  // Opens the about box and closes it again: once it shows, the program has handled every
  // command chosen before it.
  void Settle(SkadraProcess& P) {
    ASSERT_TRUE(P.Choose(kAbout.Top, kAbout.Item));
    HWND about = P.WaitFor("TForm5");
    ASSERT_NE(about, nullptr);
    PostMessageA(about, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  }

  // Presses at A, moves through the middle to B and releases there, each step seen by the
  // program (the status bar follows the pointer) before the next.
  void Drag(SkadraProcess& P, POINT A, POINT B) {
    testsupport::PointerLock lock;
    // The points are lattice points, where a snapped and a raw position are one.
    auto text = [](const char* Label, POINT At) {
      return std::string(Label) + " (" + std::to_string(At.x) + ", " + std::to_string(At.y) + ")";
    };
    // Wine may fold a move that comes while the program handles the one before into that one,
    // so that the program never hears of it: the pointer then moves off and back, as a person
    // would move the mouse again.
    auto moveTo = [&](POINT At) {
      for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0) P.PointerTo(POINT{At.x + 1, At.y});
        P.PointerTo(At);
        if (WaitUntil([&] { return P.StatusText(1) == text("Nu:", At); }, 3)) return;
      }
      ADD_FAILURE() << "the status bar shows " << P.StatusText(1) << ", not " << text("Nu:", At);
    };
    moveTo(A);
    P.Button(true);
    ASSERT_TRUE(WaitUntil([&] { return P.StatusText(0) == text("Start:", A); }, 10)) << P.StatusText(0);
    P.PointerTo(Along(A, B, 0.5));  // not always a lattice point: the status bar shows it snapped
    moveTo(B);
    P.Button(false);
  }
};

TEST_P(SkadraScenario, ShowsTheFileDrawsSavesCopiesAndPrints) {
  const TSettings& s = GetParam();
  SkadraProcess p(SKADRA_BUILD_DIR, SKADRA_RECORDER, s.File ? s.File : "");
  const int g = s.Grid;

  // ---- what the file sets: the grid of its size on a picture of its size
  TScreenShot blank = p.Shown(s.Width, s.Height);
  ASSERT_GT(blank.Width, 300);
  ASSERT_GT(blank.Height, 200);
  EXPECT_TRUE(WaitUntil([&] { return (blank = p.Shown(s.Width, s.Height)) == GridAlone(g, blank.Width, blank.Height); }))
      << "the screen shows no grid of size " << g;
  // Beyond a picture smaller than its control the scroll box's own colour shows.
  RECT box{};
  GetClientRect(p.Box, &box);
  if (s.Width + 5 < box.right) {
    TScreenShot edge = ShootClient(p.Image, s.Width + 5, 10);
    EXPECT_EQ(edge.At(s.Width - 1, 5), kWhite);
    EXPECT_NE(edge.At(s.Width + 2, 5), kWhite) << "the picture is wider than " << s.Width;
  }
  // The buttons and commands it switches on and off.
  for (TTool tool : {kLongLine, kShortNS, kShortNESW, kShortNWSE, kRect, kEllipse, kRoundRect}) {
    HWND button = p.ToolButton(tool);
    ASSERT_NE(button, nullptr) << "no button at " << int(tool);
    EXPECT_EQ(IsWindowEnabled(button) != 0, Offered(s, tool)) << "the button at " << int(tool);
  }
  EXPECT_EQ(IsWindowEnabled(p.ToolButton(136)) != 0, s.Pen) << "the pen button";
  EXPECT_EQ(IsWindowEnabled(p.ToolButton(352)) != 0, s.Figures) << "the brush button";
  // A greyed command does nothing; one that is on does its work.
  p.Choose(kHide.Top, kHide.Item);
  p.Choose(kWordProcessor.Top, kWordProcessor.Item);
  p.Choose(kPainterEmpty.Top, kPainterEmpty.Item);
  if (s.Hide) {
    HWND hide = p.WaitFor("TForm4");
    ASSERT_NE(hide, nullptr) << "SKJUL opened no dialog";
    PostMessageA(hide, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(hide); }));
  }
  const std::string wordLog = p.Folder.File("RICHEDIT.EXE.log"), painterLog = p.Folder.File("mspaint.exe.log");
  if (s.WordProcessor) {
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(wordLog); })) << "no word processor";
  }
  if (s.Painter) {
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(painterLog); })) << "no paint program";
  }
  Settle(p);
  EXPECT_EQ(p.Find("TForm4") != nullptr, false) << "SKJUL is switched off";
  if (!s.WordProcessor) {
    EXPECT_FALSE(std::filesystem::exists(wordLog)) << "the word processor is switched off";
  }
  if (!s.Painter) {
    EXPECT_FALSE(std::filesystem::exists(painterLog)) << "the paint program is switched off";
  }

  // ---- every figure the panel offers, drawn with the pointer; one that is switched off is
  // not drawn whatever the user does: the first drag, with the tool the start leaves chosen,
  // is the long line's
  for (const TFigure& f : kFigures) {
    SCOPED_TRACE(f.Name);
    const bool offered = Offered(s, f.Tool);
    if (offered && f.Tool != kLongLine) p.ClickOn(p.ToolButton(f.Tool));
    if (!offered && f.Tool != kLongLine) continue;
    POINT a = Lattice(g, f.C1, f.R1), b = Lattice(g, f.C2, f.R2);
    std::vector<POINT> outline = f.Outline(a, b, g);
    TScreenShot before = p.Shown(s.Width, s.Height);
    for (POINT q : outline) ASSERT_FALSE(BlackNear(before, q)) << "the figure's place is not white";
    Drag(p, a, b);
    auto drawn = [&] {
      TScreenShot now = p.Shown(s.Width, s.Height);
      return std::all_of(outline.begin(), outline.end(), [&](POINT q) { return BlackNear(now, q); });
    };
    if (offered)
      EXPECT_TRUE(WaitUntil(drawn, 15)) << "not drawn";
    else
      EXPECT_FALSE(WaitUntil(drawn, 1)) << "drawn with a tool the file switches off";
  }
  const TScreenShot drawing = p.Shown(s.Width, s.Height);
  EXPECT_NE(drawing, blank);

  // ---- saved through the save dialog (a new picture has no name yet) into the picture folder
  ASSERT_TRUE(p.Choose(kSave.Top, kSave.Item));
  p.AnswerDialog("tegning.bmp");
  const std::string saved = p.Folder.File("billeder\\tegning.bmp");
  classlib::TBitmap file;
  ASSERT_TRUE(WaitUntil([&] {
    try {
      file.LoadFromFile(saved);
      return true;
    } catch (...) {
      return false;  // not there, or not whole yet
    }
  })) << saved;
  EXPECT_EQ(file.GetWidth(), s.Width);
  EXPECT_EQ(file.GetHeight(), s.Height);
  EXPECT_EQ(PixelsOf(file, drawing.Width, drawing.Height), drawing) << "the file holds what the screen showed";

  // ---- copied: the clipboard holds the whole picture
  classlib::Clipboard()->Clear();
  ASSERT_TRUE(p.Choose(kCopy.Top, kCopy.Item));
  ASSERT_TRUE(WaitUntil([] { return classlib::Clipboard()->HasFormat(CF_BITMAP); })) << "nothing was copied";
  classlib::TBitmap copied;
  copied.Assign(classlib::Clipboard());
  ASSERT_EQ(copied.GetWidth(), s.Width);
  ASSERT_EQ(copied.GetHeight(), s.Height);
  EXPECT_EQ(PixelsOf(copied, s.Width, s.Height), PixelsOf(file, s.Width, s.Height));

  // ---- cut (the picture turns white), then pasted back; cut again, then opened again
  auto cut = [&] {
    ASSERT_TRUE(p.Choose(kCut.Top, kCut.Item));
    EXPECT_TRUE(WaitUntil([&] {
      TScreenShot now = p.Shown(s.Width, s.Height);
      return std::all_of(now.Pixels.begin(), now.Pixels.end(), [](uint32_t c) { return c == kWhite; });
    })) << "the cut left the picture";
  };
  cut();
  ASSERT_TRUE(p.Choose(kPaste.Top, kPaste.Item));
  EXPECT_TRUE(WaitUntil([&] { return p.Shown(s.Width, s.Height) == drawing; })) << "the paste did not bring it back";
  cut();
  ASSERT_TRUE(p.Choose(kOpen.Top, kOpen.Item));
  p.AnswerDialog("tegning.bmp");
  EXPECT_TRUE(WaitUntil([&] { return p.Shown(s.Width, s.Height) == drawing; })) << "the file did not bring it back";

  // ---- printed on the PDF printer: a new PDF of one page
  const std::string pdfs = PdfFolder();
  if (!pdfs.empty()) {
    const std::set<std::string> earlier = PdfsIn(pdfs);
    ASSERT_TRUE(p.Choose(kPrint.Top, kPrint.Item));
    HWND setup = p.WaitFor("#32770");
    ASSERT_NE(setup, nullptr) << "no printer dialog";
    PostMessageA(GetDlgItem(setup, IDOK), BM_CLICK, 0, 0);
    int pages = -1;
    EXPECT_TRUE(WaitUntil(
        [&] {
          for (const std::string& name : PdfsIn(pdfs))
            if (!earlier.count(name) && (pages = PdfPages(Bytes(std::filesystem::path(pdfs) / name))) >= 0) return true;
          return false;
        },
        60))
        << "no PDF came out of the printer";
    EXPECT_EQ(pages, 1);
  } else {
    std::cout << "printing left out: no PDF printer in this run" << std::endl;
  }

  EXPECT_TRUE(p.Answers());
  ASSERT_TRUE(p.Choose(kExit.Top, kExit.Item));
  EXPECT_TRUE(p.Ended()) << "Afslut did not end the program";
}

std::string CaseName(const ::testing::TestParamInfo<TSettings>& Info) {
  std::string name = Info.param.File ? Info.param.File : "default.cfg";
  name = name.substr(0, name.find('.'));
  name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
  return name;
}
INSTANTIATE_TEST_SUITE_P(Shipped, SkadraScenario, ::testing::ValuesIn(kShipped), CaseName);

// A help file whose rich text would crash the rich edit control (a control word of a thousand
// digits): the program starts all the same, and its help window shows the file as plain text.
TEST(SkadraHelp, DamagedHelpFileIsShownAsPlainText) {
  const std::string damaged = "{\\rtf1 \\fs" + std::string(1100, '9') + " x}";
  SkadraProcess p(SKADRA_BUILD_DIR, SKADRA_RECORDER, "", &damaged);
  ASSERT_TRUE(p.Choose(kHelp.Top, kHelp.Item));
  HWND help = p.WaitFor("TForm2");
  ASSERT_NE(help, nullptr) << "no help window";
  HWND text = Child(help, "TRichEditEx");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(WindowText(text).substr(0, 20), damaged.substr(0, 20));
  PostMessageA(help, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(help); }));
  ASSERT_TRUE(p.Choose(kExit.Top, kExit.Item));
  EXPECT_TRUE(p.Ended());
}

// The table above holds every settings file the sources ship, and the build puts each beside
// the program.
TEST(SkadraShipped, EverySettingsFileHasItsScenario) {
  std::set<std::string> shipped, covered, built;
  for (const auto& e : std::filesystem::directory_iterator(SKADRA_SOURCE_DIR "/cfg"))
    if (e.path().extension() == ".cfg") shipped.insert(e.path().filename().string());
  for (const auto& e : std::filesystem::directory_iterator(SKADRA_BUILD_DIR "/cfg"))
    built.insert(e.path().filename().string());
  for (const TSettings& s : kShipped)
    if (s.File) covered.insert(s.File);
  EXPECT_EQ(covered, shipped);
  EXPECT_EQ(built, shipped);
}

}  // namespace
