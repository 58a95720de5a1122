#include "classlib/graphic.h"

#include "classlib/exceptions.h"
#include "classlib/streams.h"

namespace classlib {

void TGraphic::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromStream(TStream*) { throw EAbstractError("Abstract Error"); }
void TGraphic::SaveToStream(TStream*) { throw EAbstractError("Abstract Error"); }
void TGraphic::LoadFromClipboardFormat(WORD, HANDLE, HPALETTE) { throw EAbstractError("Abstract Error"); }
void TGraphic::SaveToClipboardFormat(WORD&, HANDLE&, HPALETTE&) { throw EAbstractError("Abstract Error"); }

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }
void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

}  // namespace classlib
