// Progress of the Paintbrush, portable bitmap and Targa readers and writers: who reports, each
// row, and what asking to stop does.
#include <gtest/gtest.h>

#include "imagelib/formats/PGPCXFormat.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "tests/imagelib/formats/raster_builders.h"
#include "tests/imagelib/formats/write_check.h"

using namespace rastertest;

namespace {

// The events a picture's handlers saw, as "start S", "step S i/m", "end S" with S the sender's
// class; AbortAt makes the handler ask to stop at that step.
struct Events {
  std::vector<std::string> Seen;
  int AbortAt = -1;
  void Attach(TPixelGraphic* P) {
    P->SetOnProgressStart([this](TObject* S) { Seen.push_back("start " + S->ClassName()); });
    P->SetOnProgress([this](TObject* S, int Step, int Max, bool& Abort) {
      Seen.push_back("step " + S->ClassName() + " " + std::to_string(Step) + "/" + std::to_string(Max));
      Abort = Step == AbortAt;
    });
    P->SetOnProgressEnd([this](TObject* S) { Seen.push_back("end " + S->ClassName()); });
  }
};

std::vector<std::string> Expected(const std::string& Sender, int Steps, int Max) {
  std::vector<std::string> e{"start " + Sender};
  for (int i = 0; i < Steps; ++i) e.push_back("step " + Sender + " " + std::to_string(i) + "/" + std::to_string(Max));
  e.push_back("end " + Sender);
  return e;
}

}  // namespace

TEST(RasterProgress, ReadersReportEachRowAndStopWhenAsked) {
  TOwned<TPixelGraphic> source(New<TPixelGraphic>());
  source->NewImage(4, 3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) source->SetPixel(x, y, MakeRGB(50 + x, 60 + y, 70));
  struct Case {
    std::function<TFileFormatReader*()> Reader;
    Bytes File;
    const char* Sender;
  } cases[] = {
      {[] { return New<TPCXFileFormatReader>(); }, PCXFile(8, 3), "TPCXFileFormatReader"},
      {[] { return New<TPPMFileFormatReader>(); }, writecheck::Written(TPPMFileFormatWriter(), source.get()), "TPPMFileFormatReader"},
      {[] { return New<TTGAFileFormatReader>(); }, writecheck::Written(TTGAFileFormatWriter(), source.get()), "TTGAFileFormatReader"},
  };
  for (const Case& c : cases) {
    TOwned<TFileFormatReader> reader(c.Reader());
    const Bytes& file = c.File;
    for (int abortAt : {-1, 0}) {
      TOwned<TPixelGraphic> p(New<TPixelGraphic>());
      Events events;
      events.AbortAt = abortAt;
      events.Attach(p.get());
      ByteStream s(file);
      ASSERT_NO_THROW(reader->Read(&s, p.get(), 0)) << c.Sender;
      const int height = p->GetHeight();
      EXPECT_EQ(events.Seen, Expected(c.Sender, abortAt < 0 ? height : 1, height));
      // Stopped after the first file row (the top row, but the bottom one of our Targa files): the
      // others stay as the new picture left them.
      const int unread = c.Sender == std::string("TTGAFileFormatReader") ? 0 : height - 1;
      EXPECT_EQ(p->GetPixel(1, unread) == 0, abortAt == 0) << c.Sender;
    }
  }
}

TEST(RasterProgress, WritersReportEachRowAndWriteEverything) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(5, 3, 3);
  Events events;
  events.AbortAt = 0;  // not consulted
  events.Attach(p.get());
  const Bytes ppm = writecheck::Written(TPPMFileFormatWriter(), p.get(), true);
  EXPECT_EQ(ppm.size(), Text("P6\n5 3\n255\n").size() + 45);
  const Bytes tga = writecheck::Written(TTGAFileFormatWriter(), p.get());
  EXPECT_EQ(tga.size(), 18u + 45);
  std::vector<std::string> expected = Expected("TPixelGraphic", 3, 3), twice = expected;
  twice.insert(twice.end(), expected.begin(), expected.end());
  EXPECT_EQ(events.Seen, twice);
}
