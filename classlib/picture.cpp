#include "classlib/picture.h"

#include "classlib/bitmap.h"
#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/text.h"

namespace classlib {

TPicture::~TPicture() { Free(FGraphic); }

void TPicture::Take(TGraphic* Graphic) {
  TGraphic* old = FGraphic;
  FGraphic = Graphic;
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Free(old);
  Changed();
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  if (!Value) {
    Take(nullptr);
    return;
  }
  auto* bitmap = dynamic_cast<TBitmap*>(Value);
  if (!bitmap)
    throw EConvertError(Format("Cannot assign a %s to a %s", Value->ClassName().c_str(), ClassName().c_str()));
  TOwned<TBitmap> copy(New<TBitmap>());
  copy->Assign(bitmap);
  Take(copy.release());
}

TBitmap* TPicture::GetBitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(FGraphic);
  if (!bitmap) {
    bitmap = New<TBitmap>();
    Take(bitmap);
  }
  return bitmap;
}

void TPicture::LoadFromFile(const std::string& FileName) {
  std::string ext = LowerCase(ExtractFileExt(FileName));
  if (ext != ".bmp") throw EInvalidGraphic(Format("Unknown picture file extension (%s)", ext.c_str()));
  TOwned<TBitmap> bitmap(New<TBitmap>());
  bitmap->LoadFromFile(FileName);
  Take(bitmap.release());
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

int TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
int TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    SetGraphic(picture->FGraphic);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace classlib
