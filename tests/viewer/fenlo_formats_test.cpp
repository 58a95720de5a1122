// Fenlo with every kind of file it reads, written by other programs: opened through the dialog,
// fitted, changed by a filter through its menu and dialog, saved through the save dialog as every
// kind the library writes, and each saved file opened again and read back from what Fenlo shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "imagelib/PGConvFilter.h"
#include "imagelib/PGFilters.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/viewer/fenlo_driver.h"

using namespace fenlotest;
using imagelib::TPixelGraphic;
using imagelib::TRGB;
using TPicture = classlib::TOwned<TPixelGraphic>;

namespace {

TPicture LoadPicture(const std::string& File) {
  TPicture p(classlib::New<TPixelGraphic>());
  p->LoadFromFile(File);
  return p;
}

// ---- the filters as the commands run them with the settings the test gives their dialogs:
// point filters change the picture in place, convolutions make a new one.

template <class Filter>
TPicture InPlace(TPicture P, void (*Settings)(Filter*)) {
  classlib::TOwned<Filter> f(classlib::New<Filter>());
  Settings(f.get());
  P->ApplyFilter(f.get(), P.get());
  return P;
}
TPicture Convolved(TPicture P, bool Sharpen) {
  classlib::TOwned<imagelib::TConvFilter> f(classlib::New<imagelib::TConvFilter>());
  if (Sharpen)
    f->MakeSharpenKernel(imagelib::dsGaussian, true, 0.75L, 50);
  else
    f->MakeSmoothKernel(imagelib::dsGaussian, true, 1.3L, 100);
  TPicture result(classlib::New<TPixelGraphic>());
  result->ApplyFilter(f.get(), P.get());
  return result;
}
TPicture Gray(TPicture P) { return InPlace<imagelib::TGrayScaleFilter>(std::move(P), [](auto*) {}); }
TPicture Brighter(TPicture P) {
  return InPlace<imagelib::TBCGFilter>(std::move(P), [](imagelib::TBCGFilter* F) { F->Brightness = 100; });
}
TPicture FullRed(TPicture P) {
  return InPlace<imagelib::TRGBFilter>(std::move(P), [](imagelib::TRGBFilter* F) {
    for (int i = 0; i < 256; ++i) F->TableR[i] = 255;
  });
}
TPicture Sharper(TPicture P) { return Convolved(std::move(P), true); }
TPicture Softer(TPicture P) { return Convolved(std::move(P), false); }

// ---- what each filter plainly does to a picture, whatever the library computes

using TColors = std::vector<TRGB>;
TColors Colors(TPixelGraphic* P) {
  TColors c;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) c.push_back(P->GetPixelColor(x, y));
  return c;
}
int Channel(TRGB C, int I) { return (C >> (8 * I)) & 0xFF; }
// How much neighbouring pixels differ, over all channels: edges raise it, blurring lowers it.
long Edges(const TColors& C, int Width) {
  long sum = 0;
  for (size_t i = 0; i + size_t(Width) < C.size(); ++i)
    for (int ch = 0; ch < 3; ++ch)
      sum += std::abs(Channel(C[i], ch) - Channel(C[i + 1], ch)) + std::abs(Channel(C[i], ch) - Channel(C[i + Width], ch));
  return sum;
}
long Sum(const TColors& C) {
  long sum = 0;
  for (TRGB c : C) sum += Channel(c, 0) + Channel(c, 1) + Channel(c, 2);
  return sum;
}
// How many pixels differ (all of them when the sizes do).
size_t Differing(const TColors& A, const TColors& B) {
  if (A.size() != B.size()) return std::max(A.size(), B.size());
  size_t n = 0;
  for (size_t i = 0; i < A.size(); ++i) n += A[i] != B[i];
  return n;
}

// The mean difference of a channel (JPEG moves single pixels on sharp edges far).
double MeanDifference(const TColors& A, const TColors& B) {
  if (A.size() != B.size() || A.empty()) return 255;
  long sum = 0;
  for (size_t i = 0; i < A.size(); ++i)
    for (int ch = 0; ch < 3; ++ch) sum += std::abs(Channel(A[i], ch) - Channel(B[i], ch));
  return double(sum) / double(3 * A.size());
}
bool AllGray(const TColors& Before, const TColors& After, int) {
  return After != Before && std::all_of(After.begin(), After.end(), [](TRGB c) {
           return Channel(c, 0) == Channel(c, 1) && Channel(c, 1) == Channel(c, 2);
         });
}
bool NoneDarker(const TColors& Before, const TColors& After, int) {
  for (size_t i = 0; i < After.size(); ++i)
    for (int ch = 0; ch < 3; ++ch)
      if (Channel(After[i], ch) < Channel(Before[i], ch)) return false;
  return Sum(After) > Sum(Before);
}
bool RedFull(const TColors& Before, const TColors& After, int) {
  for (size_t i = 0; i < After.size(); ++i)
    if (Channel(After[i], 0) != 255 || (After[i] & 0xFFFF00) != (Before[i] & 0xFFFF00)) return false;
  return true;
}
bool MoreEdges(const TColors& Before, const TColors& After, int Width) { return Edges(After, Width) > Edges(Before, Width); }
bool FewerEdges(const TColors& Before, const TColors& After, int Width) { return Edges(After, Width) < Edges(Before, Width); }

struct TFilterStep {
  TCommand Command;
  const char* Caption;
  bool SliderToTheEnd;  // the dialog's first slider moved to its end, else the dialog's defaults
  TPicture (*Apply)(TPicture);
  bool (*Plausible)(const TColors& Before, const TColors& After, int Width);
};
const TFilterStep kGrayStep{kGray, "Grayscale Filter", false, Gray, AllGray};
const TFilterStep kSharpenStep{kSharpen, "Sharpen", false, Sharper, MoreEdges};
const TFilterStep kSmoothStep{kSmooth, "Smooth", false, Softer, FewerEdges};
const TFilterStep kBCGStep{kBCG, "Brightness, Contrast, Gamma Filter", true, Brighter, NoneDarker};
const TFilterStep kRGBStep{kRGB, "RGB Filter", true, FullRed, RedFull};

// What a kind of file keeps of a picture's colours: all of them, near ones, shades of grey, or
// black and white.
enum TKeeps { kAll, kNear, kGrays, kBlackWhite };

// A sample of each kind (made at build time by ImageMagick, netpbm and libtiff's tiffcp from one
// picture), what the kind keeps of it, and the filter it gets: every filter more than once, on
// pictures of every depth the samples have.
struct TSource {
  const char* File;
  TKeeps Kind;
  const TFilterStep* Filter;
};
const TSource kSources[] = {
    {"muster.bmp", kAll, &kGrayStep},     {"muster.dib", kAll, &kSharpenStep},  {"muster.rle", kAll, &kSmoothStep},
    {"muster.jpg", kNear, &kBCGStep},     {"muster.png", kAll, &kRGBStep},      {"muster.pcx", kAll, &kGrayStep},
    {"muster.pbm", kBlackWhite, &kRGBStep}, {"muster.pgm", kGrays, &kBCGStep}, {"muster.ppm", kAll, &kSharpenStep},
    {"muster.tga", kAll, &kSmoothStep},   {"muster.tif", kAll, &kGrayStep},
};

TKeeps WhatIsKept(const std::string& Extension) {
  return Extension == "jpg" ? kNear : Extension == "pgm" ? kGrays : Extension == "pbm" ? kBlackWhite : kAll;
}
bool Keeps(TKeeps Kind, const TColors& Filtered, const TColors& Saved) {
  switch (Kind) {
    case kAll:
      return Differing(Saved, Filtered) == 0;
    case kNear:
      return MeanDifference(Saved, Filtered) <= 6;
    case kGrays:
      return std::all_of(Saved.begin(), Saved.end(), [](TRGB c) {
        return Channel(c, 0) == Channel(c, 1) && Channel(c, 1) == Channel(c, 2);
      });
    case kBlackWhite:
      return std::all_of(Saved.begin(), Saved.end(), [](TRGB c) { return c == 0 || c == 0xFFFFFF; });
  }
  return false;
}

// The extensions of the writers the save dialog lists.
std::vector<std::string> WriterExtensions() {
  std::vector<std::string> list;
  for (int i = 0; i < imagelib::FileFormatWriters->GetCount(); ++i)
    if (imagelib::FileFormatWriters->GetItem(i)->GetListed())
      list.push_back(imagelib::FileFormatWriters->GetItem(i)->GetExtension());
  return list;
}

// Where the view shows the picture: the box of its pixels that are not the window's colour.
RECT PictureOnScreen(FenloProcess& P) {
  HWND view = P.View();
  RECT client{};
  GetClientRect(view, &client);
  const auto pixels = P.Capture(view, client.right, client.bottom);
  const COLORREF back = GetSysColor(COLOR_BTNFACE);
  RECT box{client.right, client.bottom, 0, 0};
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x)
      if (pixels[size_t(y) * size_t(client.right) + size_t(x)] != back) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

// The view shows a picture of Width x Height fitted: as large as the view allows, its shape kept.
bool ShowsFitted(FenloProcess& P, int Width, int Height) {
  RECT client{};
  GetClientRect(P.View(), &client);
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  return WaitUntil([&] {
    const RECT box = PictureOnScreen(P);
    const int w = box.right - box.left, h = box.bottom - box.top;
    const bool fills = w >= client.right - bar || h >= client.bottom - bar;
    return fills && w > Width && std::abs(w * Height - h * Width) <= std::max(Width, Height);
  }, 15);
}

class FenloFormats : public ::testing::TestWithParam<TSource> {};

TEST_P(FenloFormats, OpensFitsFiltersAndSavesAsEveryWriterAndReopens) {
  const TSource& source = GetParam();
  const TFilterStep& step = *source.Filter;
  FenloProcess p;
  const std::string folder = p.Folder.File("Billeder");
  std::filesystem::copy_file(std::string(FENLO_SAMPLE_DIR) + "/" + source.File, folder + "\\" + source.File);
  TPicture original = LoadPicture(folder + "\\" + source.File);
  const int width = original->GetWidth(), height = original->GetHeight();
  const TColors before = Colors(original.get());
  EXPECT_TRUE(Keeps(source.Kind, Colors(LoadPicture(std::string(FENLO_SAMPLE_DIR) + "/kilde.ppm").get()), before))
      << "the picture the sample was made from";

  ASSERT_TRUE(OpenThroughDialog(p, source.File)) << p.Caption();
  EXPECT_TRUE(WaitUntil([&] {
    const RECT box = PictureOnScreen(p);
    return box.right - box.left == width && box.bottom - box.top == height;
  }, 15)) << "at full size first";
  Choose(p, kFit);
  EXPECT_TRUE(ShowsFitted(p, width, height));

  ASSERT_TRUE(RunFilter(p, step.Command, step.Caption, step.SliderToTheEnd)) << step.Caption;

  TPicture expected = step.Apply(LoadPicture(folder + "\\" + source.File));
    TPicture filtered = CopyShown(p);
  ASSERT_EQ(filtered->GetWidth(), width);
  ASSERT_EQ(filtered->GetHeight(), height);
  const TColors shown = Colors(filtered.get());
  EXPECT_TRUE(step.Plausible(before, shown, width)) << step.Caption << " on " << source.File;
  EXPECT_EQ(Differing(shown, Colors(expected.get())), 0u) << "what the library makes of the file";

  // Saved as every kind first: a file opened again becomes the picture shown.
  const std::vector<std::string> extensions = WriterExtensions();
  std::vector<TPicture> wanted;
  for (const std::string& ext : extensions) {
    SCOPED_TRACE(ext);
    // The same picture through the same writer in this process: what the file must hold, and
    // the warning the library gives when the kind cannot hold the picture's colours.
    const std::string mine = p.Folder.File("mine." + ext);
    std::vector<classlib::MessageBoxCall> warnings;
    {
      testsupport::MessageBoxRecorder boxes(IDOK);
      expected->SaveToFile(mine);
      warnings = boxes.Calls;
    }
    wanted.push_back(LoadPicture(mine));
    Choose(p, kSaveAs);
    p.AnswerFileDialog(kSaveTitle.c_str(), std::string("ud.") + ext);
    if (!warnings.empty()) {
      EXPECT_EQ(p.TakeMessageBox(), warnings[0].Text) << "OK answers the warning";
    }
    TPicture written(classlib::New<TPixelGraphic>());
    ASSERT_TRUE(LoadWhenWritten(written.get(), folder + "\\ud." + ext));
  }
  for (size_t i = 0; i < extensions.size(); ++i) {
    SCOPED_TRACE(extensions[i]);
    ASSERT_TRUE(OpenThroughDialog(p, "ud." + extensions[i])) << p.Caption();
    TPicture back = CopyShown(p);
    ASSERT_EQ(back->GetWidth(), width);
    ASSERT_EQ(back->GetHeight(), height);
    const TColors got = Colors(back.get());
    EXPECT_EQ(Differing(got, Colors(wanted[i].get())), 0u) << "shown as the library reads what it writes";
    EXPECT_TRUE(Keeps(WhatIsKept(extensions[i]), shown, got)) << "the filtered colours, as far as the kind keeps them; mean difference " << MeanDifference(shown, got);
    EXPECT_TRUE(ShowsFitted(p, width, height)) << "the view stays fitted";
  }
  EXPECT_TRUE(p.Answers());
}

INSTANTIATE_TEST_SUITE_P(EveryReader, FenloFormats, ::testing::ValuesIn(kSources),
                         [](const ::testing::TestParamInfo<TSource>& Info) {
                           std::string name = Info.param.File;
                           return name.substr(name.find('.') + 1);
                         });

}  // namespace
