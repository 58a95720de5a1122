#include "classlib/statusbar.h"

#include "classlib/exceptions.h"
#include "classlib/text.h"

namespace classlib {

void TStatusPanel::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  FStatusBar->UpdatePanelText(FIndex);
}

void TStatusPanel::SetWidth(int Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  FStatusBar->UpdateParts();
}

TStatusPanels::~TStatusPanels() {
  for (TStatusPanel* p : FItems) delete p;
}

TStatusPanel* TStatusPanels::Add() {
  auto* panel = new TStatusPanel(FStatusBar, GetCount());
  FItems.push_back(panel);
  FStatusBar->UpdateParts();
  return panel;
}

TStatusPanel* TStatusPanels::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FItems[size_t(Index)];
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  FAlign = alBottom;
  FWidth = 200;
  FHeight = 19;
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SuperClassOf = STATUSCLASSNAMEA;
  // The layout places the bar; the control must not move itself.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | SBARS_SIZEGRIP;
}

void TStatusBar::CreateWndDone() {
  if (FSimplePanel) SendMessageA(FHandle, SB_SIMPLE, TRUE, 0);
  UpdateParts();
  for (int i = 0; i < FPanels.GetCount(); ++i) UpdatePanelText(i);
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (Value == FSimplePanel) return;
  FSimplePanel = Value;
  if (FHandle) SendMessageA(FHandle, SB_SIMPLE, Value, 0);
}

void TStatusBar::UpdateParts() {
  if (!FHandle) return;
  int count = FPanels.GetCount();
  std::vector<int> edges(size_t(count > 0 ? count : 1), -1);
  int right = 0;
  for (int i = 0; i < count - 1; ++i) {
    right += FPanels[i]->GetWidth();
    edges[size_t(i)] = right;
  }
  SendMessageA(FHandle, SB_SETPARTS, WPARAM(edges.size()), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::UpdatePanelText(int Index) {
  if (!FHandle) return;
  SendMessageA(FHandle, SB_SETTEXTA, WPARAM(Index), reinterpret_cast<LPARAM>(FPanels[Index]->GetText().c_str()));
}

}  // namespace classlib
