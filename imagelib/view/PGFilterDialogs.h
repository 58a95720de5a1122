// The concrete filter dialogs: red/green/blue, brightness/contrast/gamma and grayscale with a live
// preview, sharpen and smooth without. Each maps its controls to its filter's fields, keeps its
// values for Cancel and offers them as properties.
#pragma once

#include "classlib/text.h"
#include "imagelib/PGConvFilter.h"
#include "imagelib/view/PGFilterDialog.h"

namespace imagelib {

// Three sliders of -100..100 percent, one per channel table.
class TXXXFilterDialog : public TPreviewFilterDialog {
  CL_CLASS(TXXXFilterDialog)
  explicit TXXXFilterDialog(TComponent* AOwner);

 protected:
  void InitTexts() override;
  // Entry i of table n := i + Position n x 255 div 100, limited to 0..255.
  void SetFilterParams(TPGFilter* AFilter) override;
  void SaveValues() override;
  void RestoreValues() override;
  int32_t SavedPosition1 = 0, SavedPosition2 = 0, SavedPosition3 = 0;
};

class TRGBFilterDialog : public TXXXFilterDialog {
  CL_CLASS(TRGBFilterDialog)
  using TXXXFilterDialog::TXXXFilterDialog;
  TRGBFilter* GetFilter() { return static_cast<TRGBFilter*>(Filter); }

  // Limited to -100..100; a change reconfigures the filter at once.
  int GetRed() const { return Slider1.Position; }
  void SetRed(int Value) { SetChannel(Slider1, Value); }
  int GetGreen() const { return Slider2.Position; }
  void SetGreen(int Value) { SetChannel(Slider2, Value); }
  int GetBlue() const { return Slider3.Position; }
  void SetBlue(int Value) { SetChannel(Slider3, Value); }

 protected:
  void InitTexts() override;
  TPGFilter* CreateFilter() override { return New<TRGBFilter>(); }

 private:
  void SetChannel(TFilterDialogSlider& Slider, int Value);
};

// Brightness in percent; contrast and gamma as 5^(position / 100); RGB or the Y of YCbCr.
class TBCGFilterDialog : public TPreviewFilterDialog {
  CL_CLASS(TBCGFilterDialog)
  explicit TBCGFilterDialog(TComponent* AOwner);
  TBCGFilter* GetFilter() { return static_cast<TBCGFilter*>(Filter); }

  // These writers only store: the filter takes the values at its next configuration.
  int GetBrightness() const { return Slider1.Position; }
  void SetBrightness(int Value);
  // 0.2..5, two decimals.
  long double GetContrast() const { return PowerOf5(Slider2.Position); }
  void SetContrast(long double Value) { Slider2.Position = PositionOf(Value); }
  long double GetGamma() const { return PowerOf5(Slider3.Position); }
  void SetGamma(long double Value) { Slider3.Position = PositionOf(Value); }
  bool GetUseY() const { return Radio2Checked; }
  void SetUseY(bool Value);

 protected:
  void InitTexts() override;
  TPGFilter* CreateFilter() override { return New<TBCGFilter>(); }
  void SetFilterParams(TPGFilter* AFilter) override;
  std::string GetValueText2() override;
  std::string GetValueText3() override;
  void SaveValues() override;
  void RestoreValues() override;
  int32_t SavedPosition1 = 0, SavedPosition2 = 0, SavedPosition3 = 0;
  bool SavedUseY = false;

 private:
  static long double PowerOf5(int32_t Position);
  static int32_t PositionOf(long double Value);
};

class TGrayScaleFilterDialog : public TPreviewFilterDialog {
  CL_CLASS(TGrayScaleFilterDialog)
  explicit TGrayScaleFilterDialog(TComponent* AOwner);
  TGrayScaleFilter* GetFilter() { return static_cast<TGrayScaleFilter*>(Filter); }

  // Stores only, like the BCG writers.
  bool GetRGBWeighting() const { return CheckBoxChecked; }
  void SetRGBWeighting(bool Value) { CheckBoxChecked = Value; }

 protected:
  void InitTexts() override;
  TPGFilter* CreateFilter() override { return New<TGrayScaleFilter>(); }
  void SetFilterParams(TPGFilter* AFilter) override;
  void SaveValues() override { SavedRGBWeighting = CheckBoxChecked; }
  void RestoreValues() override { CheckBoxChecked = SavedRGBWeighting; }
  bool SavedRGBWeighting = true;
};

// Standard deviation 0.40..1.30 and strength 10..100 percent; no preview.
class TConvFilterDialog : public TFilterDialog {
  CL_CLASS(TConvFilterDialog)
  explicit TConvFilterDialog(TComponent* AOwner);
  TConvFilter* GetFilter() { return static_cast<TConvFilter*>(Filter); }

  // These two store only.
  long double GetStdDeviation() const { return Slider1.Position * 0.01L; }
  void SetStdDeviation(long double Value);
  int GetPercent() const { return Slider2.Position; }
  void SetPercent(int Value);
  // These two reconfigure the filter when they change; Cancel leaves them alone.
  TDistributionShape GetDistributionShape() const { return DistributionShape; }
  void SetDistributionShape(TDistributionShape Value);
  bool GetUseDistance() const { return UseDistance; }
  void SetUseDistance(bool Value);

 protected:
  void InitTexts() override;
  TPGFilter* CreateFilter() override { return New<TConvFilter>(); }
  std::string GetValueText1() override;
  std::string GetValueText2() override { return IntToStr(Slider2.Position) + "%"; }
  void SaveValues() override;
  void RestoreValues() override;
  void SetMarks(int32_t StdDeviation, int32_t Percent);
  int32_t SavedPosition1 = 0, SavedPosition2 = 0;
  TDistributionShape DistributionShape = dsGaussian;
  bool UseDistance = true;
};

class TSharpenFilterDialog : public TConvFilterDialog {
  CL_CLASS(TSharpenFilterDialog)
  explicit TSharpenFilterDialog(TComponent* AOwner);

 protected:
  void InitTexts() override;
  void SetFilterParams(TPGFilter* AFilter) override;
};

class TSmoothFilterDialog : public TConvFilterDialog {
  CL_CLASS(TSmoothFilterDialog)
  explicit TSmoothFilterDialog(TComponent* AOwner);

 protected:
  void InitTexts() override;
  void SetFilterParams(TPGFilter* AFilter) override;
};

}  // namespace imagelib
