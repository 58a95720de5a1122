#include "imagelib/view/PGFilterDialogs.h"

#include <algorithm>
#include <cmath>

#include "classlib/numerics.h"
#include "classlib/text.h"
#include "imagelib/PGMessages.h"

namespace imagelib {

namespace {
void Describe(TFilterDialogSlider& S, int32_t Min, int32_t Max, int32_t Frequency, int32_t Mark, int32_t LabelWidth,
              const std::string& MinText, const std::string& MiddleText, const std::string& MaxText,
              int32_t Position) {
  S.Used = true;
  S.Min = Min;
  S.Max = Max;
  S.Frequency = Frequency;
  S.Mark = Mark;
  S.LabelWidth = LabelWidth;
  S.MinText = MinText;
  S.MiddleText = MiddleText;
  S.MaxText = MaxText;
  S.ValueWidth = 32;
  S.Position = Position;
}

// The float text of Value + 0.001 less its last character: two decimals without rounding up.
std::string TwoDecimals(long double Value) {
  std::string s = FloatToStr(Value + 0.001L);
  s.pop_back();
  return s;
}

const long double kLn5 = logl(5.0L);
}  // namespace

// ---- red, green, blue

TXXXFilterDialog::TXXXFilterDialog(TComponent* AOwner) : TPreviewFilterDialog(AOwner) {
  for (TFilterDialogSlider* s : {&Slider1, &Slider2, &Slider3}) Describe(*s, -100, 100, 10, 0, 14, "-100%", "", "+100%", 0);
  HasPreview = true;
}

void TXXXFilterDialog::InitTexts() {
  for (TFilterDialogSlider* s : {&Slider1, &Slider2, &Slider3}) s->MiddleText = PGLangStr(pgmPlusMinus) + "0%";
}

void TXXXFilterDialog::SetFilterParams(TPGFilter* AFilter) {
  auto* filter = static_cast<TXXXFilter*>(AFilter);
  uint8_t* tables[3] = {filter->TableR, filter->TableG, filter->TableB};
  const int32_t positions[3] = {Slider1.Position, Slider2.Position, Slider3.Position};
  for (int n = 0; n < 3; ++n)
    for (int i = 0; i < 256; ++i) tables[n][i] = uint8_t(std::clamp(i + positions[n] * 255 / 100, 0, 255));
}

void TXXXFilterDialog::SaveValues() {
  SavedPosition1 = Slider1.Position;
  SavedPosition2 = Slider2.Position;
  SavedPosition3 = Slider3.Position;
}

void TXXXFilterDialog::RestoreValues() {
  Slider1.Position = SavedPosition1;
  Slider2.Position = SavedPosition2;
  Slider3.Position = SavedPosition3;
}

void TRGBFilterDialog::InitTexts() {
  TXXXFilterDialog::InitTexts();
  Slider1.Caption = PGLangStr(pgmRed);
  Slider2.Caption = PGLangStr(pgmGreen);
  Slider3.Caption = PGLangStr(pgmBlue);
  Caption = PGLangStr(pgmRGBFilter);
}

void TRGBFilterDialog::SetChannel(TFilterDialogSlider& Slider, int Value) {
  Value = std::clamp(Value, Slider.Min, Slider.Max);
  if (Value == Slider.Position) return;
  Slider.Position = Value;
  SetFilterParams(Filter);
}

// ---- brightness, contrast, gamma

TBCGFilterDialog::TBCGFilterDialog(TComponent* AOwner) : TPreviewFilterDialog(AOwner) {
  Describe(Slider1, -100, 100, 10, 0, 55, "-100%", PGLangStr(pgmPlusMinus) + "0%", "+100%", 0);
  Describe(Slider2, -100, 100, 100, 0, 55, "0.20", "1.00", "5.00", 0);
  Describe(Slider3, -100, 100, 100, 0, 55, "0.20", "1.00", "5.00", 0);
  Slider3.Caption = PGLangStr(pgmGamma);
  HasPreview = true;
  HasRadioButtons = true;
  Radio1Checked = true;
  Radio2Checked = false;
}

void TBCGFilterDialog::InitTexts() {
  Slider1.Caption = PGLangStr(pgmBrightness);
  Slider2.Caption = PGLangStr(pgmContrast);
  OptionCaption = PGLangStr(pgmApplyOn);
  Radio1Caption = PGLangStr(pgmApplyOnRGB);
  Radio2Caption = PGLangStr(pgmApplyOnY);
  Caption = PGLangStr(pgmBCGFilter);
}

long double TBCGFilterDialog::PowerOf5(int32_t Position) {
  return Round(expl(kLn5 * 0.01L * Position) * 100) * 0.01L;
}

int32_t TBCGFilterDialog::PositionOf(long double Value) {
  Value = std::clamp(Value, 0.2L, 5.0L);
  return int32_t(std::clamp<int64_t>(Round(logl(Value) * 100 / kLn5), -100, 100));
}

void TBCGFilterDialog::SetBrightness(int Value) { Slider1.Position = std::clamp(Value, -100, 100); }

void TBCGFilterDialog::SetUseY(bool Value) {
  Radio2Checked = Value;
  Radio1Checked = !Value;
}

void TBCGFilterDialog::SetFilterParams(TPGFilter* AFilter) {
  auto* filter = static_cast<TBCGFilter*>(AFilter);
  filter->Brightness = Slider1.Position;
  filter->Contrast = expl(kLn5 * 0.01L * Slider2.Position);
  filter->Gamma = expl(kLn5 * 0.01L * Slider3.Position);
  filter->UseY = Radio2Checked;
}

std::string TBCGFilterDialog::GetValueText2() { return TwoDecimals(GetContrast()); }
std::string TBCGFilterDialog::GetValueText3() { return TwoDecimals(GetGamma()); }

void TBCGFilterDialog::SaveValues() {
  SavedPosition1 = Slider1.Position;
  SavedPosition2 = Slider2.Position;
  SavedPosition3 = Slider3.Position;
  SavedUseY = Radio2Checked;
}

void TBCGFilterDialog::RestoreValues() {
  Slider1.Position = SavedPosition1;
  Slider2.Position = SavedPosition2;
  Slider3.Position = SavedPosition3;
  SetUseY(SavedUseY);
}

// ---- grayscale

TGrayScaleFilterDialog::TGrayScaleFilterDialog(TComponent* AOwner) : TPreviewFilterDialog(AOwner) {
  HasPreview = true;
  HasCheckBox = true;
  CheckBoxChecked = true;
}

void TGrayScaleFilterDialog::InitTexts() {
  CheckBoxCaption = PGLangStr(pgmRGBWeighting);
  Caption = PGLangStr(pgmGrayscaleFilter);
}

void TGrayScaleFilterDialog::SetFilterParams(TPGFilter* AFilter) {
  static_cast<TGrayScaleFilter*>(AFilter)->SetRGBWeighting(CheckBoxChecked);
}

// ---- sharpen and smooth

TConvFilterDialog::TConvFilterDialog(TComponent* AOwner) : TFilterDialog(AOwner) {
  Describe(Slider1, 40, 130, 10, 75, 75, "0.40", "", "1.30", 75);
  Describe(Slider2, 10, 100, 10, 50, 75, "10%", "", "100%", 50);
}

void TConvFilterDialog::SetMarks(int32_t StdDeviation, int32_t Percent) {
  Slider1.Mark = Slider1.Position = StdDeviation;
  Slider2.Mark = Slider2.Position = Percent;
}

void TConvFilterDialog::InitTexts() {
  Slider1.Caption = PGLangStr(pgmStdDeviation);
  Slider2.Caption = PGLangStr(pgmStrength);
}

std::string TConvFilterDialog::GetValueText1() { return TwoDecimals(Slider1.Position * 0.01L); }

void TConvFilterDialog::SetStdDeviation(long double Value) {
  Slider1.Position = int32_t(Round(std::clamp(Value, 0.4L, 1.3L) * 100));
}

void TConvFilterDialog::SetPercent(int Value) { Slider2.Position = std::clamp(Value, Slider2.Min, Slider2.Max); }

void TConvFilterDialog::SetDistributionShape(TDistributionShape Value) {
  if (Value == DistributionShape) return;
  DistributionShape = Value;
  SetFilterParams(Filter);
}

void TConvFilterDialog::SetUseDistance(bool Value) {
  if (Value == UseDistance) return;
  UseDistance = Value;
  SetFilterParams(Filter);
}

void TConvFilterDialog::SaveValues() {
  SavedPosition1 = Slider1.Position;
  SavedPosition2 = Slider2.Position;
}

void TConvFilterDialog::RestoreValues() {
  Slider1.Position = SavedPosition1;
  Slider2.Position = SavedPosition2;
}

TSharpenFilterDialog::TSharpenFilterDialog(TComponent* AOwner) : TConvFilterDialog(AOwner) { SetMarks(75, 50); }

void TSharpenFilterDialog::InitTexts() {
  TConvFilterDialog::InitTexts();
  Caption = PGLangStr(pgmSharpen);
}

void TSharpenFilterDialog::SetFilterParams(TPGFilter* AFilter) {
  static_cast<TConvFilter*>(AFilter)->MakeSharpenKernel(DistributionShape, UseDistance, Slider1.Position * 0.01L,
                                                        Slider2.Position);
}

TSmoothFilterDialog::TSmoothFilterDialog(TComponent* AOwner) : TConvFilterDialog(AOwner) { SetMarks(130, 100); }

void TSmoothFilterDialog::InitTexts() {
  TConvFilterDialog::InitTexts();
  Caption = PGLangStr(pgmSmooth);
}

void TSmoothFilterDialog::SetFilterParams(TPGFilter* AFilter) {
  static_cast<TConvFilter*>(AFilter)->MakeSmoothKernel(DistributionShape, UseDistance, Slider1.Position * 0.01L,
                                                       Slider2.Position);
}

}  // namespace imagelib
