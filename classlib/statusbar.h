// TStatusBar: the status line (a superclass of msctls_statusbar32) with its panels. The last
// panel reaches the right edge whatever its width.
#pragma once

#include <string>
#include <vector>

#include "classlib/controls.h"

namespace classlib {

class TStatusBar;

class TStatusPanel : public TPersistent {
  CL_CLASS(TStatusPanel)
  TStatusPanel(TStatusBar* AStatusBar, int AIndex) : FStatusBar(AStatusBar), FIndex(AIndex) {}
  const std::string& GetText() const { return FText; }
  void SetText(const std::string& Value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int Value);
  int GetIndex() const { return FIndex; }

 private:
  friend class TStatusBar;
  TStatusBar* FStatusBar;
  int FIndex;
  std::string FText;
  int FWidth = 50;
};

class TStatusPanels {
 public:
  explicit TStatusPanels(TStatusBar* AStatusBar) : FStatusBar(AStatusBar) {}
  TStatusPanels(const TStatusPanels&) = delete;
  TStatusPanels& operator=(const TStatusPanels&) = delete;
  ~TStatusPanels();
  TStatusPanel* Add();
  int GetCount() const { return int(FItems.size()); }
  TStatusPanel* GetItem(int Index) const;
  TStatusPanel* operator[](int Index) const { return GetItem(Index); }

 private:
  TStatusBar* FStatusBar;
  std::vector<TStatusPanel*> FItems;
};

class TStatusBar : public TWinControl {
  CL_CLASS(TStatusBar)
  explicit TStatusBar(TComponent* AOwner);

  TStatusPanels* GetPanels() { return &FPanels; }
  bool GetSimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);

 protected:
  friend class TStatusPanel;
  friend class TStatusPanels;
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  void UpdateParts();
  void UpdatePanelText(int Index);

 private:
  TStatusPanels FPanels{this};
  bool FSimplePanel = false;
};

}  // namespace classlib
