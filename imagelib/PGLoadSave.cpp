// Moving a whole picture in or out: loading through the reader list with gamma correction, saving
// through the writer list with the colour-resolution fallback, the class library's stream
// persistence, and the clipboard block.
#include <cmath>
#include <cstring>

#include "classlib/files.h"
#include "classlib/finally.h"
#include "classlib/numerics.h"
#include "classlib/text.h"
#include "imagelib/PGOptions.h"
#include "imagelib/PGQuantize.h"
#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGBMPFormat.h"
#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

namespace {

// A memory stream laid over memory it does not own (a locked clipboard block): it never grows it,
// never frees it, and is detached before it goes.
class TMyMemoryStream : public TCustomMemoryStream {
  CL_CLASS(TMyMemoryStream)
  using TCustomMemoryStream::SetPointer;
};

// The bitmap writer of the library's start-up, or one of our own before it (or after shut-down).
void WriteAsBitmap(TStream* Stream, TPixelGraphic* Graphic) {
  if (DefaultBMPFileFormatWriter) {
    DefaultBMPFileFormatWriter->Write(Stream, Graphic);
    return;
  }
  TOwned<TBMPFileFormatWriter> writer(New<TBMPFileFormatWriter>());
  writer->Write(Stream, Graphic);
}

}  // namespace

// ---- loading

void TPixelGraphic::ApplyGammaCorrection() {
  if (!PGGammaCorrection) return;
  // A gamma that is no positive number (a damaged file) would turn the table into nonsense.
  if (!std::isfinite(double(Gamma)) || Gamma <= 0 || !(PGDisplayGamma > 0)) return;
  long double ratio = Gamma / PGDisplayGamma;
  if (fabsl(ratio - 1) <= 0.05L) return;
  uint8_t table[256];
  for (int i = 0; i < 256; ++i) {
    int64_t v = Round(255 * PGPower(i / 255.0L, ratio));
    table[i] = uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
  }
  if (IsTrueColor()) {
    if (Width > 0 && Height > 0 && Bits)
      for (int y = 0; y < Height; ++y) {
        uint8_t* row = ScanLine(y);
        for (int64_t i = 0; i < int64_t(Width) * 3; ++i) row[i] = table[row[i]];
      }
  } else {
    for (int i = 0; i < PaletteCount; ++i) {
      TRGB c = PaletteEntries[size_t(i)];
      SetPaletteEntry(i, MakeRGB(table[RGBRed(c)], table[RGBGreen(c)], table[RGBBlue(c)]));
    }
  }
  Gamma = PGDisplayGamma;
}

void TPixelGraphic::LoadFromStreamIndex(TStream* Stream, const std::string& Ext, int Index) {
  FlushGdi();
  BeginUpdate();
  Finally(
      [&] {
        NewImage(0, 0, pgbc24Bits);
        Gamma = PGDisplayGamma;
        TFileFormatReader* reader = FindFileFormatReader(Stream, Ext);
        if (!reader) throw EPGUnknownFileFormat(PGLangStr(pgmUnknownFileFormat));
        reader->Read(Stream, this, Index);
        ApplyGammaCorrection();
        UpdatePaletteIdent();
      },
      [&] { EndUpdate(); });
}

void TPixelGraphic::LoadFromStreamExt(TStream* Stream, const std::string& Ext) { LoadFromStreamIndex(Stream, Ext, 0); }

void TPixelGraphic::LoadFromStream(TStream* Stream) { LoadFromStreamExt(Stream, ""); }

void TPixelGraphic::LoadFromFileIndex(const std::string& FileName, int Index) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStreamIndex(&stream, GetLowerFileExt(FileName), Index);
}

void TPixelGraphic::LoadFromFile(const std::string& FileName) { LoadFromFileIndex(FileName, 0); }

// ---- saving

void TPixelGraphic::PrepareForResolution(TPGColorResolution Target, TPixelGraphic* Source) {
  static const TPGBitCountNum bitCount[8] = {pgbc1Bit,  pgbc1Bit,  pgbc4Bits, pgbc4Bits,
                                             pgbc4Bits, pgbc8Bits, pgbc8Bits, pgbc24Bits};
  SetBitCountNum(bitCount[Target]);
  switch (Target) {
    case pgcrBlackWhite: SetPaletteIdent(pBlackWhite); break;
    case pgcr2Colors: CreateOptimizedPalette(this, Source, 2, false); break;
    case pgcr16Gray: SetPaletteIdent(pGray16); break;
    case pgcr16SysColors: SetPaletteIdent(pSys16); break;
    case pgcr16Colors: CreateOptimizedPalette(this, Source, 16, false); break;
    case pgcr256Gray: SetPaletteIdent(pGray256); break;
    case pgcr256Colors: CreateOptimizedPalette(this, Source, 252, true); break;
    case pgcrTrueColor: break;
  }
}

void TPixelGraphic::SaveWithWriter(bool ToFile, const std::string& FileName, const std::string& Ext,
                                   TStream* Stream) {
  FlushGdi();
  std::string ext = !Ext.empty() && Ext[0] == '.' ? Ext.substr(1) : Ext;
  TFileFormatWriter* writer = FindFileFormatWriter(ext);
  UpdatePaletteIdent();
  TPGColorResolution current = GetColorResolution(this);
  TPGColorResolution target = ChooseColorResolution(writer, current);
  auto write = [&](TPixelGraphic* Graphic) {
    if (ToFile) {
      TFileStream file(FileName, fmCreate);
      writer->Write(&file, Graphic);
    } else {
      writer->Write(Stream, Graphic);
    }
  };
  if (target == current) {
    UpdatePaletteIdent();
    write(this);
    return;
  }
  ConfirmColorResolutionChange(SaveColorResWarningAction, writer, current, target);
  // The conversion works on a copy with the default settings; the progress reaches our handlers.
  TOwned<TPixelGraphic> converted(New<TPixelGraphic>());
  converted->OnProgress = OnProgress;
  converted->OnProgressEnd = OnProgressEnd;
  converted->OnProgressStart = OnProgressStart;
  converted->PrepareForResolution(target, this);
  converted->SetWidth(Width);
  converted->SetHeight(Height);
  converted->CopyFrom(this);
  converted->UpdatePaletteIdent();
  write(converted.get());
}

void TPixelGraphic::SaveToFile(const std::string& FileName) {
  bool existed = FileExists(FileName);
  try {
    SaveWithWriter(true, FileName, LowerCase(GetLowerFileExt(FileName)), nullptr);
  } catch (...) {
    // A file this save made is not left behind half written.
    if (!existed && FileExists(FileName)) DeleteFile(FileName);
    throw;
  }
}

void TPixelGraphic::SaveToStreamExt(TStream* Stream, const std::string& Ext) { SaveWithWriter(false, "", Ext, Stream); }

void TPixelGraphic::SaveToStream(TStream* Stream) {
  FlushGdi();
  WriteAsBitmap(Stream, this);
}

// ---- persistence in component streams

void TPixelGraphic::WriteData(TStream* Stream) {
  FlushGdi();
  int64_t p0 = Stream->GetPosition();
  int32_t length = 0;
  Stream->WriteBuffer(&length, 4);
  int64_t p1 = Stream->GetPosition();
  WriteAsBitmap(Stream, this);
  int64_t p2 = Stream->GetPosition();
  Stream->SetPosition(p0);
  length = int32_t(p2 - p1);
  Stream->WriteBuffer(&length, 4);
  Stream->SetPosition(p2);
}

void TPixelGraphic::ReadData(TStream* Stream) {
  int32_t length = 0;
  Stream->ReadBuffer(&length, 4);
  int64_t p = Stream->GetPosition();
  LoadFromStreamExt(Stream, "bmp");
  Stream->Seek(p + length, soBeginning);
}

// ---- the clipboard block

void TPixelGraphic::SaveToClipboardFormat(WORD& Format, HANDLE& Data, HPALETTE& Palette) {
  int64_t size = GetStreamSize();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, SIZE_T(size));
  if (!block) throw EPixelGraphic(PGLangStrS1(pgmFailed, "GlobalAlloc"));
  void* memory = GlobalLock(block);
  if (!memory) {
    GlobalFree(block);
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "GlobalLock"));
  }
  TMyMemoryStream stream;
  stream.SetPointer(memory, size);
  try {
    WriteDIB(&stream);
  } catch (...) {
    stream.SetPointer(nullptr, 0);
    GlobalUnlock(block);
    GlobalFree(block);
    throw;
  }
  stream.SetPointer(nullptr, 0);
  GlobalUnlock(block);
  Format = CF_DIB;
  Data = block;
  Palette = nullptr;
}

void TPixelGraphic::LoadFromClipboardFormat(WORD Format, HANDLE Data, HPALETTE) {
  // Only packed bitmaps: a bitmap handle (CF_BITMAP) is no block of memory to read.
  if (Format != CF_DIB || !Data) throw EPGUnknownClipboardFormat(PGLangStr(pgmUnknownClipboardFormat));
  FlushGdi();
  BeginUpdate();
  Finally(
      [&] {
        void* memory = GlobalLock(Data);
        if (!memory) throw EPGUnknownClipboardFormat(PGLangStr(pgmUnknownClipboardFormat));
        TMyMemoryStream stream;
        stream.SetPointer(memory, int64_t(GlobalSize(Data)));
        Finally(
            [&] {
              ReadDIB(&stream, false);
              Gamma = PGDisplayGamma;
            },
            [&] {
              stream.SetPointer(nullptr, 0);
              GlobalUnlock(Data);
            });
      },
      [&] {
        Finally([&] { UpdatePaletteIdent(); }, [&] { EndUpdate(); });
      });
}

}  // namespace imagelib
