// The filter dialog framework: a component that keeps one configured filter and, on Execute,
// builds a small modal form in code with up to three sliders, a check box or a pair of radio
// buttons and, for the point filters, a 140 x 140 preview that two worker threads keep up to date
// (one reduces the picture once, the other filters that copy 100 ms after the last change).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/buttons.h"
#include "classlib/component.h"
#include "classlib/forms.h"
#include "classlib/labels.h"
#include "classlib/panels.h"
#include "classlib/thread.h"
#include "classlib/timer.h"
#include "classlib/trackbar.h"
#include "imagelib/PGFilters.h"
#include "imagelib/view/PGImage.h"
#include "imagelib/view/PGViewMessages.h"

namespace imagelib {

using namespace classlib;

struct TFilterDialogSlider {
  bool Used = false;
  int32_t Min = 0, Max = 0;
  int32_t Frequency = 0;
  int32_t Mark = 0;  // marked on the track as a one-point selection
  int32_t LabelWidth = 0;
  std::string Caption;
  std::string MinText, MiddleText, MaxText;
  int32_t ValueWidth = 0;
  int32_t Position = 0;
};

class TFilterDialogForm;

class TFilterDialog : public TComponent {
  CL_CLASS(TFilterDialog)
  explicit TFilterDialog(TComponent* AOwner);
  ~TFilterDialog() override;
  // Makes the filter and configures it with the values the descendant's constructor set (made
  // here rather than in the constructor, where the descendant's CreateFilter cannot be reached).
  void AfterConstruction() override;

  // True when the user pressed OK; Cancel puts back the values held before.
  bool Execute();
  // Every track bar's OnChange and the check box's and radio buttons' OnClick.
  void ControlChange(TObject* Sender);

  TPGFilter* Filter = nullptr;
  TFilterDialogForm* Form = nullptr;  // while Execute runs
  TFilterDialogSlider Slider1, Slider2, Slider3;
  std::string OptionCaption;
  std::string Caption;
  bool HasPreview = false;
  bool HasCheckBox = false;
  bool CheckBoxChecked = false;
  std::string CheckBoxCaption;
  bool HasRadioButtons = false;
  bool Radio1Checked = false;
  std::string Radio1Caption;
  bool Radio2Checked = false;
  std::string Radio2Caption;
  TPixelGraphic* SourceGraphic = nullptr;  // not owned
  std::function<void()> OnParamsChanged;
  TColor ProgressClockBkColor = clBtnFace;
  TColor ProgressClockLineColor = clBtnShadow;
  bool ProgressClockVisible = false;
  TPalette8BitSys24BitGraphic Palette8BitSys24BitGraphic = pOptimized252Sys16;
  TPalette8BitSys8BitGraphic Palette8BitSys8BitGraphic = pOptimized252Sys16;

 protected:
  friend class TFilterDialogForm;
  virtual void InitTexts() {}
  virtual TPGFilter* CreateFilter() = 0;
  virtual void SetFilterParams(TPGFilter* AFilter) = 0;
  virtual std::string GetValueText1() { return PercentText(Slider1.Position); }
  virtual std::string GetValueText2() { return PercentText(Slider2.Position); }
  virtual std::string GetValueText3() { return PercentText(Slider3.Position); }
  virtual void SaveValues() = 0;
  virtual void RestoreValues() = 0;

  // "+25%", "-40%", and "±0%" at zero.
  static std::string PercentText(int32_t Position);

 private:
  // Builds the form in these stages; Margin is its left and right margin.
  void BuildForm();
  void BuildSliders(int Margin);
  void BuildPreview(int Margin);
  // The check box, the radio buttons and the option label.
  void BuildChoices(int Margin);
  // The line, OK and Cancel, and the form's height.
  void BuildButtons();
  void StartPreviewThreads();
  // Slider1..Slider3 and their value texts, N from 0.
  TFilterDialogSlider& SliderAt(int N);
  std::string ValueTextAt(int N);
};

class TPreviewFilterDialog : public TFilterDialog {
  CL_CLASS(TPreviewFilterDialog)
  using TFilterDialog::TFilterDialog;
  bool Execute(TPixelGraphic* Graphic);

  TPalette8BitSys24BitGraphic GetPalette8BitSys24BitGraphic() const { return Palette8BitSys24BitGraphic; }
  void SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value) { Palette8BitSys24BitGraphic = Value; }
  TPalette8BitSys8BitGraphic GetPalette8BitSys8BitGraphic() const { return Palette8BitSys8BitGraphic; }
  void SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value) { Palette8BitSys8BitGraphic = Value; }
  TColor GetProgressClockBkColor() const { return ProgressClockBkColor; }
  void SetProgressClockBkColor(TColor Value) { ProgressClockBkColor = Value; }
  TColor GetProgressClockLineColor() const { return ProgressClockLineColor; }
  void SetProgressClockLineColor(TColor Value) { ProgressClockLineColor = Value; }
  bool GetProgressClockVisible() const { return ProgressClockVisible; }
  void SetProgressClockVisible(bool Value) { ProgressClockVisible = Value; }
};

// Reduces Source into Dest (Dest's size, by Dest's stretch mode) and tells the form.
class TCreateSrcPGThread : public TThread {
  CL_CLASS(TCreateSrcPGThread)
  TCreateSrcPGThread(bool CreateSuspended, bool ANoOp) : TThread(CreateSuspended), NoOp(ANoOp) {}

  bool NoOp;
  HWND FormWindow = nullptr;
  TPixelGraphic* Source = nullptr;  // not owned
  TPixelGraphic* Dest = nullptr;    // not owned

 protected:
  void Execute() override;
  void ProgressAbort(TObject* Sender, int Step, int Max, bool& Abort);
};

// Filters Source with its own filter into a new picture that it posts to the form. A terminated
// pass finishes its filter run and drops the result.
class TCreateDestPGThread : public TThread {
  CL_CLASS(TCreateDestPGThread)
  TCreateDestPGThread(bool CreateSuspended, bool ANoOp) : TThread(CreateSuspended), NoOp(ANoOp) {}
  ~TCreateDestPGThread() override;

  bool NoOp;
  HWND FormWindow = nullptr;
  TPixelGraphic* Source = nullptr;  // not owned
  TPGFilter* Filter = nullptr;      // owned; freed when Execute ends

 protected:
  void Execute() override;
};

// One slider's controls on the form: its fields, so that they can be filled in.
struct TSliderControls {
  TTrackBar*& TrackBar;
  TLabel*& CaptionLabel;
  TLabel*& MinLabel;
  TLabel*& MiddleLabel;
  TLabel*& MaxLabel;
  TLabel*& ValueLabel;
};

class TFilterDialogForm : public TForm {
  CL_CLASS(TFilterDialogForm)
  explicit TFilterDialogForm(TComponent* AOwner) : TForm(AOwner) {}

  // The controls of slider N + 1 (TrackBar1, CaptionLabel1, ... for N = 0).
  TSliderControls SliderControls(int N);

  TTrackBar* TrackBar1 = nullptr;
  TLabel *CaptionLabel1 = nullptr, *MinLabel1 = nullptr, *MiddleLabel1 = nullptr, *MaxLabel1 = nullptr,
         *ValueLabel1 = nullptr;
  TTrackBar* TrackBar2 = nullptr;
  TLabel *CaptionLabel2 = nullptr, *MinLabel2 = nullptr, *MiddleLabel2 = nullptr, *MaxLabel2 = nullptr,
         *ValueLabel2 = nullptr;
  TTrackBar* TrackBar3 = nullptr;
  TLabel *CaptionLabel3 = nullptr, *MinLabel3 = nullptr, *MiddleLabel3 = nullptr, *MaxLabel3 = nullptr,
         *ValueLabel3 = nullptr;
  TLabel* OptionLabel = nullptr;
  TRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr;
  TCheckBox* CheckBox = nullptr;
  TPGImage* Preview = nullptr;
  TBevel* Bevel = nullptr;
  TButton *OKButton = nullptr, *CancelButton = nullptr;
  TFilterDialog* Dialog = nullptr;
  TPixelGraphic* PreviewSource = nullptr;  // owned
  TCreateSrcPGThread* SrcThread = nullptr;    // owned
  TCreateDestPGThread* DestThread = nullptr;  // owned; always one while the form has a preview
  std::function<TPGFilter*()> CreateFilterMethod;
  std::function<void(TPGFilter*)> SetFilterParamsMethod;
  bool SourceReady = false;
  TTimer* Timer = nullptr;

  void ParamsChanged();
  void PreviewTimer(TObject* Sender);
  // Stops both threads, then frees the reduced copy and any filtered picture still on its way.
  void FormDestroy(TObject* Sender);

 protected:
  void WndProc(TMessage& Message) override;
  void WMPGFilterPreview(TMessage& Message);
};

}  // namespace imagelib
