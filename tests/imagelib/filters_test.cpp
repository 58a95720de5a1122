#include <gtest/gtest.h>

#include <cmath>

#include "imagelib/PGConvFilter.h"
#include "imagelib/PGFilters.h"
#include "tests/imagelib/filter_reference.h"

using namespace imagelib;
using namespace filtertest;

namespace {

// The colour filters as defined, colour by colour.
TRGB ReferenceGray(TRGB C, bool Weighted) {
  int r = RGBRed(C), g = RGBGreen(C), b = RGBBlue(C);
  int v = (Weighted ? (3 * (299 * r + 587 * g + 114 * b)) / 1000 : r + g + b) / 3;
  return MakeRGB(v, v, v);
}

int Rounded(long double V) {
  long double r = nearbyintl(std::fmax(-1.0L, std::fmin(256.0L, V)));
  return r < 0 ? 0 : (r > 255 ? 255 : int(r));
}

std::vector<int> ReferenceBCGTable(int Brightness, long double Contrast, long double Gamma) {
  std::vector<int> t;
  for (int i = 0; i < 256; ++i) {
    long double x = i / 255.0L;
    long double p = Gamma == 0 ? 1 : (x == 0 ? 0 : expl(Gamma * logl(x)));
    t.push_back(Rounded((p * 255 - 127.5L) * Contrast + 127.5L + (Brightness * 255) * 0.01L));
  }
  return t;
}

TRGB ReferenceBCG(TRGB C, const std::vector<int>& T, bool UseY) {
  int r = RGBRed(C), g = RGBGreen(C), b = RGBBlue(C);
  if (!UseY) return MakeRGB(T[size_t(r)], T[size_t(g)], T[size_t(b)]);
  long double R = r / 255.0L, G = g / 255.0L, B = b / 255.0L;
  long double y = 0.299L * R + 0.587L * G + 0.114L * B;
  long double cb = -0.169L * R - 0.331L * G + 0.5L * B, cr = 0.5L * R - 0.419L * G - 0.081L * B;
  long double s = y * 255;
  int k = int(floorl(s));
  y = k >= 255 ? T[255] / 255.0L : ((1 - (s - k)) * T[size_t(k)] + (s - k) * T[size_t(k) + 1]) / 255;
  return MakeRGB(Rounded((y + 1.403L * cr) * 255), Rounded((y - 0.344L * cb - 0.714L * cr) * 255),
                 Rounded((y + 1.773L * cb) * 255));
}

// ApplyFilter of a colour filter as defined: the palette shortcut, else the pixel run.
void ReferenceApply(TPixelGraphic* Target, TPixelGraphic* Source, const std::function<TRGB(TRGB)>& Color) {
  if (Source != Target) Target->NewImage(Source->GetWidth(), Source->GetHeight(), Target->GetBitCountNum());
  if (Target->GetBitCountNum() != 3 && Target->GetBitCountNum() >= Source->GetBitCountNum()) {
    if (Source != Target) Target->Assign(Source);
    for (int i = 0; i < Target->GetPaletteCount(); ++i)
      Target->SetPaletteEntry(i, Color(Target->GetPaletteEntry(i)));
    return;
  }
  ReferenceRun(Target, [&](int x, int y) { return Color(ColorOf(Source, x, y)); });
}

// Counts its runs, and knows whether it was ended.
class CountingFilter : public TGrayScaleFilter {
 public:
  void BeginFilter(TPixelGraphic* S) override {
    ++Begun;
    TGrayScaleFilter::BeginFilter(S);
  }
  void EndFilter() override {
    ++Ended;
    TGrayScaleFilter::EndFilter();
  }
  int Begun = 0, Ended = 0;
};

}  // namespace

TEST(BCGFilter, TablesOfTheWorkedSettings) {
  auto picture = Picture(1, 1, 3);
  struct Case {
    int Brightness;
    long double Contrast, Gamma;
    std::function<int(int)> Entry;
  } cases[] = {
      {0, 1, 1, [](int i) { return i; }},
      {1, 1, 1, [](int i) { return std::min(255, int(nearbyintl(i + 2.55L))); }},  // the constructor's
      {0, 0, 1, [](int) { return 128; }},                                             // Round(127.5)
  };
  for (const Case& c : cases) {
    TBCGFilter f;
    f.Brightness = c.Brightness;
    f.Contrast = c.Contrast;
    f.Gamma = c.Gamma;
    f.BeginFilter(picture.get());
    for (int i = 0; i < 256; ++i) ASSERT_EQ(f.Table[i], c.Entry(i)) << "brightness " << c.Brightness << " entry " << i;
  }
  TBCGFilter fresh;
  fresh.BeginFilter(picture.get());
  EXPECT_EQ(fresh.Table[0], 3);
  EXPECT_EQ(fresh.Table[253], 255);
  fresh.Brightness = 0;
  fresh.Gamma = 2.0L;
  fresh.BeginFilter(picture.get());  // every run builds the table anew
  EXPECT_EQ(fresh.Table[128], 64);
  EXPECT_EQ(fresh.FilterColor(MakeRGB(128, 0, 255)), MakeRGB(64, 0, 255));
}

TEST(BCGFilter, WithYAGreyStaysGreyAndFollowsTheTable) {
  auto picture = Picture(1, 1, 3);
  TBCGFilter f;
  f.UseY = true;
  f.Brightness = 7;
  f.Contrast = 1.3L;
  f.Gamma = 0.6L;
  f.BeginFilter(picture.get());
  for (int v = 0; v < 256; ++v) {
    TRGB out = f.FilterColor(MakeRGB(v, v, v));
    ASSERT_EQ(out, MakeRGB(f.Table[v], f.Table[v], f.Table[v])) << v;
  }
  // Between entries Y is interpolated: red's Y x 255 is 76.245, so its Y becomes 124.5 / 255,
  // which gives green and blue 48.3 and 48.1 (100 / 255 would give 24 and 24).
  f.Table[76] = 100;
  f.Table[77] = 200;
  EXPECT_EQ(f.FilterColor(MakeRGB(255, 0, 0)), MakeRGB(255, 48, 48));
}

TEST(GrayScaleFilter, WeightedAndPlainLuminance) {
  TGrayScaleFilter f;
  EXPECT_TRUE(f.GetRGBWeighting());
  EXPECT_EQ(f.FilterColor(MakeRGB(255, 0, 0)), MakeRGB(76, 76, 76));
  EXPECT_EQ(f.FilterColor(MakeRGB(255, 255, 255)), MakeRGB(255, 255, 255));
  f.SetRGBWeighting(false);
  EXPECT_EQ(f.FilterColor(MakeRGB(255, 0, 0)), MakeRGB(85, 85, 85));
}

TEST(ApplyFilter, AColourFilterOnAPaletteFiltersOnlyThePalette) {
  std::mt19937 random(1);
  auto picture = Picture(9, 4, 1, pSys16);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) picture->SetPixel(x, y, int(random() % 16));
  auto indices = Pixels(picture.get());
  TRGBFilter inverse;
  for (int i = 0; i < 256; ++i) inverse.TableR[i] = inverse.TableG[i] = inverse.TableB[i] = uint8_t(255 - i);
  std::vector<TRGB> expected;
  for (int i = 0; i < 16; ++i) expected.push_back(inverse.FilterColor(picture->GetPaletteEntry(i)));
  Events events(picture.get());
  picture->ApplyFilter(&inverse, picture.get());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"changed"}));
  EXPECT_EQ(Pixels(picture.get()), indices);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(picture->GetPaletteEntry(i), expected[size_t(i)]) << i;
  EXPECT_EQ(inverse.Source, nullptr);
}

TEST(ApplyFilter, InPlaceOnlyForColourFilters) {
  std::mt19937 random(2);
  auto picture = RandomPicture(7, 3, 3, random);
  auto expected = Picture(7, 3, 3);
  ReferenceApply(expected.get(), picture.get(), [](TRGB c) { return ReferenceGray(c, true); });
  auto before = Pixels(picture.get());
  TConvFilter conv;
  Events events(picture.get());
  try {
    picture->ApplyFilter(&conv, picture.get());
    ADD_FAILURE() << "no exception";
  } catch (const EPGFilter& e) {
    EXPECT_EQ(e.Message(), "Cannot apply this filter to a source that is identical to the target");
  }
  EXPECT_TRUE(events.Log.empty());
  EXPECT_EQ(Pixels(picture.get()), before);
  TGrayScaleFilter gray;
  picture->ApplyFilter(&gray, picture.get());
  EXPECT_EQ(Pixels(picture.get()), Pixels(expected.get()));
}

TEST(ApplyFilter, RowFormsGiveThePixelByPixelResult) {
  std::mt19937 random(3);
  for (int from = 0; from < 4; ++from)
    for (int to = 0; to < 4; ++to)
      for (int kind = 0; kind < 5; ++kind) {
        bool dither = random() & 1, inPlace = from == to && (random() & 1);
        auto source = RandomPicture(13, 5, from, random, random() & 1);
        auto copy = Picture(1, 1, from);
        copy->Assign(source.get());
        TOwned<TPGFilter> filter;
        std::function<TRGB(TRGB)> color;
        if (kind < 2) {
          auto* f = new TGrayScaleFilter;
          f->SetRGBWeighting(kind == 0);
          color = [w = kind == 0](TRGB c) { return ReferenceGray(c, w); };
          filter.reset(f);
        } else if (kind == 2) {
          auto* f = new TRGBFilter;
          for (int i = 0; i < 256; ++i) {
            f->TableR[i] = uint8_t(random());
            f->TableG[i] = uint8_t(random());
            f->TableB[i] = uint8_t(random());
          }
          color = [f](TRGB c) { return MakeRGB(f->TableR[RGBRed(c)], f->TableG[RGBGreen(c)], f->TableB[RGBBlue(c)]); };
          filter.reset(f);
        } else {
          auto* f = new TBCGFilter;
          f->UseY = kind == 4;
          f->Brightness = int(random() % 201) - 100;
          f->Contrast = (random() % 300) / 100.0L;
          f->Gamma = 0.2L + (random() % 280) / 100.0L;
          color = [t = ReferenceBCGTable(f->Brightness, f->Contrast, f->Gamma), y = f->UseY](TRGB c) {
            return ReferenceBCG(c, t, y);
          };
          filter.reset(f);
        }
        auto target = inPlace ? std::move(copy) : Picture(3, 2, to, TargetPalette(to));
        auto expected = Picture(target->GetWidth(), target->GetHeight(), to, TargetPalette(to));
        expected->Assign(target.get());
        target->SetDither(dither);
        expected->SetDither(dither);
        TPixelGraphic* from1 = inPlace ? target.get() : source.get();
        TPixelGraphic* from2 = inPlace ? expected.get() : source.get();
        target->ApplyFilter(filter.get(), from1);
        ReferenceApply(expected.get(), from2, color);
        std::string what = std::to_string(from) + " -> " + std::to_string(to) + " filter " + std::to_string(kind) +
                           (dither ? " dithered" : "") + (inPlace ? " in place" : "");
        ASSERT_EQ(target->GetBitCountNum(), expected->GetBitCountNum()) << what;
        ASSERT_EQ(Pixels(target.get()), Pixels(expected.get())) << what;
        ASSERT_EQ(Colors(target.get()), Colors(expected.get())) << what;
      }
}

TEST(ApplyFilter, ProgressPerRowAndAbort) {
  std::mt19937 random(4);
  auto source = RandomPicture(4, 3, 3, random);
  auto target = Picture(4, 3, 3);
  Events events(target.get());
  events.AbortAt = 0;
  TGrayScaleFilter gray;
  target->ApplyFilter(&gray, source.get());
  // NewImage of the same size clears the picture first.
  EXPECT_EQ(events.Log, (std::vector<std::string>{"changed", "start", "0/2", "end", "changed"}));
  EXPECT_EQ(target->GetPixel(1, 1), 0) << "only the first row was filtered";
  EXPECT_EQ(target->GetPixel(1, 0), ReferenceGray(source->GetPixel(1, 0), true));
  events.Log.clear();
  events.AbortAt = -1;
  target->ApplyFilter(&gray, target.get());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"start", "0/2", "1/2", "2/2", "end", "changed"}));
}

TEST(ApplyFilter, TheFilterIsEndedAlsoOnAFailure) {
  std::mt19937 random(5);
  auto source = RandomPicture(4, 3, 3, random);
  auto target = Picture(4, 3, 2, pNone);  // nothing to match colours to
  for (bool dither : {true, false}) {
    target->SetDither(dither);
    Events events(target.get());
    CountingFilter f;
    EXPECT_THROW(target->ApplyFilter(&f, source.get()), EPGNoPalette);
    EXPECT_EQ(f.Begun, 1);
    EXPECT_EQ(f.Ended, 1);
    EXPECT_EQ(f.Source, nullptr);
    EXPECT_EQ(events.Log.back(), "start") << "no end event after a failure";
  }
}

TEST(ApplyFilter, BadInputRaisesOrDoesNothing) {
  auto target = Picture(2, 2, 3);
  TGrayScaleFilter gray;
  EXPECT_THROW(target->ApplyFilter(nullptr, target.get()), EPGFilter);
  EXPECT_THROW(target->ApplyFilter(&gray, nullptr), EPGFilter);
  EXPECT_THROW(gray.FilterPixel(0, 0), EPGFilter) << "no source outside a run";
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>());
  Events events(target.get());
  target->ApplyFilter(&gray, empty.get());
  EXPECT_TRUE(target->GetEmpty());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"changed"})) << "only NewImage's";
  auto one = Picture(1, 1, 3);
  one->SetPixel(0, 0, MakeRGB(255, 0, 0));
  target->ApplyFilter(&gray, one.get());
  EXPECT_EQ(target->GetPixel(0, 0), MakeRGB(76, 76, 76));
}

TEST(ApplyFilter, PaletteTargetsMatchInTheSerpentineOrder) {
  // Colour matching into an unknown palette keeps the match of the first colour to reach a colour
  // cell far from every entry, so the result depends on the order of the pixels. Here each row is
  // one such cell, split between the two entries at red 68.
  std::mt19937 random(6);
  auto source = Picture(17, 6, 3);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 17; ++x) source->SetPixel(x, y, MakeRGB(64 + int(random() % 8), 80 + 4 * y, 100));
  auto target = Picture(1, 1, 2, pUnknown), expected = Picture(17, 6, 2, pUnknown);
  for (TPixelGraphic* p : {target.get(), expected.get()}) {
    p->SetPaletteCount(2);
    p->SetPaletteEntry(0, MakeRGB(20, 100, 100));
    p->SetPaletteEntry(1, MakeRGB(116, 100, 100));
    p->SetDither(false);
  }
  TRGBFilter identity;
  target->ApplyFilter(&identity, source.get());
  ReferenceRun(expected.get(), [&](int x, int y) { return source->GetPixel(x, y); });
  EXPECT_EQ(Pixels(target.get()), Pixels(expected.get()));
}
