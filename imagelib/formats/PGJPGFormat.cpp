// The glue to libjpeg-turbo: one decompression or compression object per call, our own error
// manager routines and stream managers, rows straight between the library and the picture's
// memory (the library's BGR order is the picture's).
#include "imagelib/formats/PGJPGFormat.h"

#include <cstdio>

#include "classlib/finally.h"
#include "classlib/winapi.h"  // before jpeglib.h: both define boolean, alike on Windows
#include <jerror.h>
#include <jpeglib.h>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGCodecBridge.h"

namespace imagelib {

namespace {

const char* const kPrefix = "JPG: ";
const char* const kFormatWord = "JPG";
// Each scan of a progressive file costs a pass over the whole picture: a few bytes per scan must
// not buy hours of work. Real files have a dozen.
constexpr int kMaxScans = 1000;

[[noreturn]] void Refuse(const std::string& Text) { throw EPGJPGFileFormatReaderWriter(kPrefix + Text); }

// ---- the error manager: the library's standard one, with its two output routines replaced

struct TJPGError {
  jpeg_error_mgr Manager;  // first: the library's err pointer is this record
  TCodecJump Jump;
};

TCodecJump& JumpOf(j_common_ptr Info) { return reinterpret_cast<TJPGError*>(Info->err)->Jump; }

void JPGErrorExit(j_common_ptr Info) {
  char text[JMSG_LENGTH_MAX];
  Info->err->format_message(Info, text);
  JumpOf(Info).Fail(kPrefix, text);
}

// The library calls these for its first warning of a picture only.
void JPGWarning(j_common_ptr Info, TPGWarningAction Action) {
  char text[JMSG_LENGTH_MAX];
  Info->err->format_message(Info, text);
  JumpOf(Info).Warn(Action, kFormatWord, kPrefix, text);
}
void JPGWarningIgnore(j_common_ptr Info) { JPGWarning(Info, pgwaIgnore); }
void JPGWarningOKBox(j_common_ptr Info) { JPGWarning(Info, pgwaOKBox); }
void JPGWarningOKCancelBox(j_common_ptr Info) { JPGWarning(Info, pgwaOKCancelBox); }
void JPGWarningRaise(j_common_ptr Info) { JPGWarning(Info, pgwaRaise); }

using TJPGOutput = void (*)(j_common_ptr);

TJPGOutput WarningHandler(TPGWarningAction Action) {
  switch (Action) {
    case pgwaIgnore: return JPGWarningIgnore;
    case pgwaOKBox: return JPGWarningOKBox;
    case pgwaOKCancelBox: return JPGWarningOKCancelBox;
    default: return JPGWarningRaise;
  }
}

void InitError(TJPGError& Error, TJPGOutput Warning) {
  jpeg_std_error(&Error.Manager);
  Error.Manager.error_exit = JPGErrorExit;
  Error.Manager.output_message = Warning;
}

// ---- the source manager over the stream, with the standard manager's behaviour at the end

struct TJPGSource {
  jpeg_source_mgr Manager;  // first: the library's src pointer is this record
  TCodecInput Input;
  TCodecJump* Jump;
  bool StartOfFile = true;
  explicit TJPGSource(TStream* Stream) : Manager{}, Input(Stream) {}
};

TJPGSource& SourceOf(j_decompress_ptr Info) { return *reinterpret_cast<TJPGSource*>(Info->src); }

void InitSource(j_decompress_ptr Info) { SourceOf(Info).StartOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr Info) {
  TJPGSource& source = SourceOf(Info);
  size_t got = 0;
  if (!source.Jump->Try([&] { got = source.Input.Fill(); })) source.Jump->Leave();
  if (got == 0) {
    if (source.StartOfFile) ERREXIT(Info, JERR_INPUT_EMPTY);
    // A file cut short: the library is warned and finishes the picture with its filler.
    WARNMS(Info, JWRN_JPEG_EOF);
    static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
    source.Manager.next_input_byte = kEndOfImage;
    source.Manager.bytes_in_buffer = 2;
    return TRUE;
  }
  source.Manager.next_input_byte = source.Input.Next();
  source.Manager.bytes_in_buffer = got;
  source.StartOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr Info, long Count) {
  if (Count <= 0) return;
  jpeg_source_mgr& source = SourceOf(Info).Manager;
  while (Count > long(source.bytes_in_buffer)) {
    Count -= long(source.bytes_in_buffer);
    FillInputBuffer(Info);
  }
  source.next_input_byte += Count;
  source.bytes_in_buffer -= size_t(Count);
}

void TermSource(j_decompress_ptr) {}

// ---- the destination manager over the stream

struct TJPGDestination {
  jpeg_destination_mgr Manager;  // first: the library's dest pointer is this record
  TCodecOutput Output;
  TCodecJump* Jump;
  explicit TJPGDestination(TStream* Stream) : Manager{}, Output(Stream) {}
};

TJPGDestination& DestinationOf(j_compress_ptr Info) { return *reinterpret_cast<TJPGDestination*>(Info->dest); }

void InitDestination(j_compress_ptr Info) {
  TJPGDestination& d = DestinationOf(Info);
  d.Manager.next_output_byte = d.Output.Buffer();
  d.Manager.free_in_buffer = d.Output.Capacity();
}

// Hands Count bytes of the buffer to the stream; a short write is the library's write error.
void WriteOut(j_compress_ptr Info, size_t Count) {
  TJPGDestination& d = DestinationOf(Info);
  bool written = false;
  if (!d.Jump->Try([&] { written = d.Output.WriteBuffer(Count); })) d.Jump->Leave();
  if (!written) ERREXIT(Info, JERR_FILE_WRITE);
}

boolean EmptyOutputBuffer(j_compress_ptr Info) {
  WriteOut(Info, DestinationOf(Info).Output.Capacity());
  InitDestination(Info);
  return TRUE;
}

void TermDestination(j_compress_ptr Info) {
  TJPGDestination& d = DestinationOf(Info);
  WriteOut(Info, d.Output.Capacity() - d.Manager.free_in_buffer);
}

// Makes a library object; a failure half way destroys what was made (the owner's destructor
// does not run for an object whose construction fails).
template <class Make, class Destroy>
void Create(TCodecJump& Jump, Make&& MakeCall, Destroy&& DestroyCall) {
  try {
    Jump.Call<EPGJPGFileFormatReaderWriter>(MakeCall);
  } catch (...) {
    DestroyCall();
    throw;
  }
}

// ---- one decompression per call

class TJPGDecoder {
 public:
  TJPGDecoder(TStream* Stream, TJPGOutput Warning) : Source(Stream) {
    InitError(Error, Warning);
    Info.err = &Error.Manager;
    Source.Jump = &Error.Jump;
    Create(Error.Jump, [&] { jpeg_create_decompress(&Info); }, [&] { jpeg_destroy_decompress(&Info); });
    Info.mem->max_memory_to_use = long(PGMaxImageSize);
    Progress.progress_monitor = MonitorScans;
    Info.progress = &Progress;
    Source.Manager.init_source = InitSource;
    Source.Manager.fill_input_buffer = FillInputBuffer;
    Source.Manager.skip_input_data = SkipInputData;
    Source.Manager.resync_to_restart = jpeg_resync_to_restart;
    Source.Manager.term_source = TermSource;
    Info.src = &Source.Manager;
  }
  TJPGDecoder(const TJPGDecoder&) = delete;
  TJPGDecoder& operator=(const TJPGDecoder&) = delete;
  // Legal in every state, also after a failed creation (the object was zeroed first).
  ~TJPGDecoder() { jpeg_destroy_decompress(&Info); }

  // Reads the markers up to the first scan, requiring a picture, and sets the parameters of
  // every decompression: full size, no colour quantisation, BGR rows for colour.
  void ReadHeader(J_DCT_METHOD Method) {
    Call([&] { jpeg_read_header(&Info, TRUE); });
    Info.scale_num = Info.scale_denom = 1;
    Info.dct_method = Method;
    Info.quantize_colors = FALSE;
    Info.dither_mode = JDITHER_NONE;
    Info.two_pass_quantize = FALSE;
    if (Info.out_color_space == JCS_RGB) Info.out_color_space = JCS_EXT_BGR;
  }

  template <class F>
  void Call(F&& LibraryCall) {
    Error.Jump.Call<EPGJPGFileFormatReaderWriter>(LibraryCall);
  }

  jpeg_decompress_struct Info{};

 private:
  static void MonitorScans(j_common_ptr Common) {
    auto* info = reinterpret_cast<j_decompress_ptr>(Common);
    if (info->input_scan_number <= kMaxScans) return;
    char text[160] = {};
    TCodecJump& jump = JumpOf(Common);
    if (!jump.Try([&] { std::snprintf(text, sizeof text, "%s", PGLangStrS1(pgmOutOfRange, "Scan number").c_str()); }))
      jump.Leave();
    jump.Fail(kPrefix, text);
  }

  TJPGError Error{};
  TJPGSource Source;
  jpeg_progress_mgr Progress{};
};

void RequireLibraryVersion() {
  if (!JPGLibraryVersionOK()) throw EPGJPGFileFormatReaderWriter("JPG: Invalid library version");
}

void DecodeRows(TJPGDecoder& Decoder, TPixelGraphic* Graphic, TObject* Sender) {
  jpeg_decompress_struct& info = Decoder.Info;
  if (Graphic->OnProgressStart) Graphic->OnProgressStart(Sender);
  bool aborted = false;
  Finally(
      [&] {
        while (info.output_scanline < info.output_height) {
          JSAMPROW row = Graphic->ScanLine(int(info.output_scanline));
          Decoder.Call([&] { jpeg_read_scanlines(&info, &row, 1); });
          bool abort = false;
          if (Graphic->OnProgress) Graphic->OnProgress(Sender, int(info.output_scanline), int(info.output_height), abort);
          if (abort) {
            aborted = true;
            break;
          }
        }
      },
      [&] {
        if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(Sender);
      });
  // After an abort the object is only destroyed: the rows not read stay as NewImage left them.
  if (!aborted) Decoder.Call([&] { jpeg_finish_decompress(&info); });
}

}  // namespace

// ---- reader

TJPGFileFormatReader::TJPGFileFormatReader() {
  Extension = "jpg";
  Description = "JPEG (JFIF compliant)";
  HasSignature = true;
}

bool TJPGFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  return Header[0] == 0xFF && Header[1] == 0xD8;
}

void TJPGFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  CheckReadIndex<EPGJPGFileFormatReaderWriter>(Index, kPrefix);
  RequireLibraryVersion();
  // JPEG data are taken as suited to the display already: the loader corrects nothing.
  Graphic->SetGamma(PGDisplayGamma);
  TJPGDecoder decoder(Stream, WarningHandler(Graphic->GetReadWarningAction()));
  jpeg_decompress_struct& info = decoder.Info;
  decoder.ReadHeader(Graphic->GetFastJPGDecoding() ? JDCT_IFAST : J_DCT_METHOD(PGJPGReadDCTMethod));
  // The picture's kind and size are settled before the library allocates for the decompression.
  decoder.Call([&] { jpeg_calc_output_dimensions(&info); });
  TPGBitCountNum code;
  switch (info.output_components) {
    case 1: code = pgbc8Bits; break;
    case 3: code = pgbc24Bits; break;
    default: Refuse(PGLangStr(pgmNotSupportedSubformat));  // CMYK, YCCK and other component counts
  }
  TPixelGraphic::RequireImageSize(int(info.output_width), int(info.output_height), code);
  decoder.Call([&] { jpeg_start_decompress(&info); });
  DecodeOrLeaveEmpty(Graphic, [&] {
    if (code == pgbc8Bits) Graphic->SetPaletteIdent(pGray256);
    Graphic->NewImage(int(info.output_width), int(info.output_height), code);
    // Each row the library writes must fit the picture's.
    if (Graphic->GetWidth() != int(info.output_width) || info.output_components != (code == pgbc8Bits ? 1 : 3))
      Refuse(PGLangStrS1(pgmInvalid, "output_width"));
    DecodeRows(decoder, Graphic, this);
  });
}

void TJPGFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  CheckInfoIndex<EPGJPGFileFormatReaderWriter>(Index, kPrefix);
  // Any warning while the markers are read ends the description.
  TJPGDecoder decoder(Stream, JPGWarningRaise);
  decoder.ReadHeader(JDCT_IFAST);
  const jpeg_decompress_struct& info = decoder.Info;
  Width = int(info.image_width);
  Height = int(info.image_height);
  static const char* const spaces[] = {"unknown", "GrayScale", "RGB", "YCbCr", "CMYK", "YCbCrK"};
  if (info.jpeg_color_space >= 0 && info.jpeg_color_space <= JCS_YCCK) Info1 = spaces[info.jpeg_color_space];
  if (info.progressive_mode) Info1 += ", Progressive";
  if (info.saw_Adobe_marker) Info1 = "Adope, " + Info1;
  if (info.saw_JFIF_marker) Info1 = "JFIF, " + Info1;
  switch (info.num_components) {
    case 1: Colors = "256"; break;
    case 2: Colors = "64K"; break;
    case 3: Colors = "16.7M"; break;
    case 4: Colors = "4294.9M"; break;
    default: Colors = "?";
  }
  BitCount = 8 * info.num_components;
}

// ---- writer

TJPGFileFormatWriter::TJPGFileFormatWriter() {
  Extension = "jpg";
  Description = "JPEG (JFIF compliant)";
  CanWriteResolutions = ColorResolutionBit(pgcr256Gray) | ColorResolutionBit(pgcrTrueColor);
}

namespace {

class TJPGEncoder {
 public:
  TJPGEncoder(TStream* Stream, TJPGOutput Warning) : Destination(Stream) {
    InitError(Error, Warning);
    Info.err = &Error.Manager;
    Destination.Jump = &Error.Jump;
    Create(Error.Jump, [&] { jpeg_create_compress(&Info); }, [&] { jpeg_destroy_compress(&Info); });
    Destination.Manager.init_destination = InitDestination;
    Destination.Manager.empty_output_buffer = EmptyOutputBuffer;
    Destination.Manager.term_destination = TermDestination;
    Info.dest = &Destination.Manager;
  }
  TJPGEncoder(const TJPGEncoder&) = delete;
  TJPGEncoder& operator=(const TJPGEncoder&) = delete;
  ~TJPGEncoder() { jpeg_destroy_compress(&Info); }

  template <class F>
  void Call(F&& LibraryCall) {
    Error.Jump.Call<EPGJPGFileFormatReaderWriter>(LibraryCall);
  }

  jpeg_compress_struct Info{};

 private:
  TJPGError Error{};
  TJPGDestination Destination;
};

}  // namespace

void TJPGFileFormatWriter::Write(TStream* Stream, TPixelGraphic* Graphic) {
  RequireLibraryVersion();
  // The warning handler follows the picture's reading choice, also when writing.
  TJPGEncoder encoder(Stream, WarningHandler(Graphic->GetReadWarningAction()));
  jpeg_compress_struct& info = encoder.Info;
  info.image_width = JDIMENSION(Graphic->GetWidth());
  info.image_height = JDIMENSION(Graphic->GetHeight());
  Graphic->UpdatePaletteIdent();
  bool gray = Graphic->GetBitCount() == 8 && Graphic->GetPaletteIdent() == pGray256;
  if (!gray && Graphic->GetBitCount() != 24) Refuse(PGLangStrS1(pgmInvalidValueFor, "BitCount"));
  // A picture whose pixel memory could not be made has rows to write but none to read.
  if (Graphic->GetWidth() > 0 && Graphic->GetHeight() > 0 && !Graphic->GetBits())
    Refuse(PGLangStrS1(pgmFailed, "CreateDIBSection"));
  info.input_components = gray ? 1 : 3;
  info.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
  // In this order: the defaults would overwrite what comes before them.
  encoder.Call([&] {
    jpeg_set_defaults(&info);
    if (PGJPGProgressive) jpeg_simple_progression(&info);
    jpeg_set_quality(&info, PGJPGQuality, TRUE);
  });
  info.dct_method = J_DCT_METHOD(PGJPGWriteDCTMethod);
  encoder.Call([&] { jpeg_start_compress(&info, TRUE); });
  if (Graphic->OnProgressStart) Graphic->OnProgressStart(this);
  Finally(
      [&] {
        // Every line is written: an abort is not honoured.
        while (info.next_scanline < info.image_height) {
          JSAMPROW row = Graphic->ScanLine(int(info.next_scanline));
          encoder.Call([&] { jpeg_write_scanlines(&info, &row, 1); });
          bool abort = false;
          if (Graphic->OnProgress) Graphic->OnProgress(this, int(info.next_scanline), int(info.image_height), abort);
        }
      },
      [&] {
        if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(this);
      });
  encoder.Call([&] { jpeg_finish_compress(&info); });
}

}  // namespace imagelib
