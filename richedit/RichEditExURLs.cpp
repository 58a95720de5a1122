#include "richedit/RichEditExURLs.h"

namespace richedit {

using namespace classlib;

void TURLType::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TURLType*>(Source);
  if (!source) return;
  FName = source->FName;
  FColor = source->FColor;
  FCursor = source->FCursor;
  FUnderline = source->FUnderline;
}

TURLCollection::TURLCollection(TPersistent* Owner)
    : TCollection([](TCollection* Collection) { return new TURLType(Collection); }), FOwner(Owner) {}

void TURLCollection::AddURL(const std::string& Name, TColor Color, bool Underline, TCursor Cursor) {
  TURLType* item = nullptr;
  for (int i = 0; i < GetCount() && !item; ++i)
    if (GetItem(i)->GetName() == Name) item = GetItem(i);
  if (!item) {
    item = Add();
    item->SetName(Name);
  }
  item->SetColor(Color);
  item->SetCursor(Cursor);
  item->SetUnderline(Underline);
}

}  // namespace richedit
