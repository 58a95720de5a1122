#include "imagelib/view/PGFilterDialog.h"

#include <algorithm>
#include <memory>

#include "classlib/finally.h"
#include "classlib/msgbox.h"
#include "classlib/numerics.h"
#include "classlib/screen.h"
#include "classlib/text.h"
#include "imagelib/PGInit.h"
#include "imagelib/PGMessages.h"

namespace imagelib {

namespace {
// The layout, in pixels at kLayoutPixelsPerInch: the sliders in rows from the top, the preview
// right of them, a row of choices below, then the line and the buttons under it.
constexpr int kLayoutPixelsPerInch = 100;
constexpr int kTrackWidth = 240, kTrackHeight = 32, kPreviewSize = 140, kTextWidth = 80;
constexpr int kMargin = 10, kPreviewMargin = 40;  // left and right; the second without slider 1
constexpr int kGap = 10;                          // between columns, rows and the two buttons
constexpr int kSliderTop = 10, kSliderPitch = 50;
constexpr int kLabelDrop = 6;  // a slider's caption and value stand this far below its track's top
constexpr int kPreviewTop = 12;
// The row below three sliders and the preview; without slider 3 the radio buttons stand in its row.
constexpr int kLowerRowTop = 160, kRadioTopWithoutSlider3 = 115, kOptionLabelTop = kLowerRowTop + 1;
constexpr int kCheckBoxWidth = 140;
constexpr int kRadio1Left = 6, kRadio2Left = 112;  // right of slider 1's caption column
constexpr int kBevelInset = 5, kBevelHeight = 3;
constexpr int kButtonDrop = 12, kButtonWidth = 85, kButtonHeight = 24;  // the buttons under the line

TLabel* AddLabel(TFilterDialogForm* Form, int Left, int Top, int Width, TAlignment Alignment,
                 const std::string& Text) {
  auto* label = New<TLabel>(Form);
  label->SetAutoSize(false);
  label->SetBounds(Left, Top, Width, label->GetHeight());
  label->SetAlignment(Alignment);
  label->SetCaption(Text);
  label->SetParent(Form);
  return label;
}

int Bottom(TControl* Control) { return Control->GetTop() + Control->GetHeight(); }

// The reduced copy's size: the picture's own when it fits, else fitted by its longer side.
void PreviewSize(int SrcW, int SrcH, int ClientW, int ClientH, int& W, int& H) {
  if (SrcW <= 0 || SrcH <= 0) {
    W = H = 0;
  } else if (SrcW <= ClientW && SrcH <= ClientH) {
    W = SrcW;
    H = SrcH;
  } else if (static_cast<long double>(SrcW) / SrcH > static_cast<long double>(ClientW) / ClientH) {
    W = ClientW;
    H = int(Round(static_cast<long double>(SrcH) * ClientW / SrcW));
  } else {
    H = ClientH;
    W = int(Round(static_cast<long double>(SrcW) * ClientH / SrcH));
  }
  // An extreme aspect ratio would round one side to nothing; keep a line of the picture.
  if (SrcW > 0 && SrcH > 0) {
    W = std::max(W, 1);
    H = std::max(H, 1);
  }
}
}  // namespace

// ---- the dialog

TFilterDialog::TFilterDialog(TComponent* AOwner) : TComponent(AOwner) {}

TFilterDialog::~TFilterDialog() { Free(Filter); }

void TFilterDialog::AfterConstruction() {
  TComponent::AfterConstruction();
  Filter = CreateFilter();
  SetFilterParams(Filter);
}

std::string TFilterDialog::PercentText(int32_t Position) {
  std::string sign = Position > 0 ? "+" : Position == 0 ? PGLangStr(pgmPlusMinus) : "";
  return sign + IntToStr(Position) + "%";
}

bool TFilterDialog::Execute() {
  SaveValues();
  InitTexts();
  Form = New<TFilterDialogForm>(this);
  ScopeExit freeForm([this] {
    TFilterDialogForm* form = Form;
    Form = nullptr;
    Free(form);
    // The form is gone: a later control change must not call into it.
    OnParamsChanged = nullptr;
  });
  BuildForm();
  int result = Form->ShowModal();
  if (result != mrOk) {
    RestoreValues();
    SetFilterParams(Filter);
  }
  return result == mrOk;
}

void TFilterDialog::BuildForm() {
  TFilterDialogForm* form = Form;
  if (PGDialogFont) form->GetFont()->Assign(PGDialogFont);
  form->Dialog = this;
  form->SetPosition(poScreenCenter);
  form->SetBorderStyle(bsDialog);
  form->SetCaption(Caption);
  // The window first: the track bars take their marks as messages.
  form->HandleNeeded();

  const int m = Slider1.Used ? kMargin : kPreviewMargin;
  int clientWidth = m + kPreviewSize + m;
  if (Slider1.Used)
    clientWidth = m + Slider1.LabelWidth + kTrackWidth + Slider1.ValueWidth + (HasPreview ? kGap + kPreviewSize : 0) + m;
  form->SetClientWidth(clientWidth);
  BuildSliders(m);
  if (HasPreview) BuildPreview(m);
  BuildChoices(m);
  BuildButtons();
  form->ScaleBy(Screen->GetPixelsPerInch(), kLayoutPixelsPerInch);
  form->GetFont()->SetSize(8);
  if (HasPreview) StartPreviewThreads();
}

void TFilterDialog::BuildSliders(int Margin) {
  TFilterDialogForm* form = Form;
  for (int n = 0; n < 3; ++n) {
    const TFilterDialogSlider& s = SliderAt(n);
    TSliderControls row = form->SliderControls(n);
    const int y = kSliderTop + kSliderPitch * n, l = Margin + s.LabelWidth;
    // Slider 3's caption column also captions the radio buttons when they stand alone.
    if (s.Used || (n == 2 && HasRadioButtons))
      row.CaptionLabel = AddLabel(form, Margin, y + kLabelDrop, s.LabelWidth, taLeftJustify, s.Caption);
    if (!s.Used) continue;
    auto* track = New<TTrackBar>(form);
    track->SetBounds(l, y, kTrackWidth, kTrackHeight);
    track->SetMax(s.Max);
    track->SetMin(s.Min);
    track->SetFrequency(s.Frequency);
    track->SetPosition(s.Position);
    track->SetParent(form);
    track->Perform(TBM_SETSEL, TRUE, MAKELONG(WORD(s.Mark), WORD(s.Mark)));
    track->OnChange = [this](TObject* Sender) { ControlChange(Sender); };
    row.TrackBar = track;
    const int under = y + kTrackHeight;
    row.MinLabel = AddLabel(form, l, under, kTextWidth, taLeftJustify, s.MinText);
    row.MiddleLabel = AddLabel(form, l + kTextWidth, under, kTextWidth, taCenter, s.MiddleText);
    row.MaxLabel = AddLabel(form, l + 2 * kTextWidth, under, kTextWidth, taRightJustify, s.MaxText);
    row.ValueLabel = AddLabel(form, l + kTrackWidth, y + kLabelDrop, s.ValueWidth, taRightJustify, ValueTextAt(n));
  }
}

void TFilterDialog::BuildPreview(int Margin) {
  TFilterDialogForm* form = Form;
  form->Preview = New<TPGImage>(form);
  TPGImage* preview = form->Preview;
  preview->SetBounds(form->GetClientWidth() - Margin - kPreviewSize, kPreviewTop, kPreviewSize, kPreviewSize);
  preview->SetPalette8BitSys24BitGraphic(Palette8BitSys24BitGraphic);
  preview->SetPalette8BitSys8BitGraphic(Palette8BitSys8BitGraphic);
  preview->SetProgressClockBkColor(ProgressClockBkColor);
  preview->SetProgressClockLineColor(ProgressClockLineColor);
  preview->SetProgressClockVisible(ProgressClockVisible);
  preview->SetKeepOldPaintPixelGraphic(true);
  preview->SetCenter(true);
  preview->SetParent(form);
}

void TFilterDialog::BuildChoices(int Margin) {
  TFilterDialogForm* form = Form;
  const int lw = Slider1.LabelWidth;
  if (HasCheckBox) {
    form->CheckBox = New<TCheckBox>(form);
    TCheckBox* box = form->CheckBox;
    box->SetBounds(Margin, kLowerRowTop, kCheckBoxWidth, box->GetHeight());
    box->SetCaption(CheckBoxCaption);
    box->SetChecked(CheckBoxChecked);
    box->SetParent(form);
    box->OnClick = [this](TObject* Sender) { ControlChange(Sender); };
  }
  if (HasRadioButtons) {
    const int top = Slider3.Used ? kLowerRowTop : kRadioTopWithoutSlider3;
    auto add = [&](int Left, const std::string& Text, bool Checked) {
      auto* radio = New<TRadioButton>(form);
      radio->SetBounds(Left, top, radio->GetWidth(), radio->GetHeight());
      radio->SetCaption(Text);
      radio->SetParent(form);
      radio->SetChecked(Checked);
      return radio;
    };
    form->RadioButton1 = add(Margin + lw + kRadio1Left, Radio1Caption, Radio1Checked);
    form->RadioButton2 = add(Margin + lw + kRadio2Left, Radio2Caption, Radio2Checked);
    form->RadioButton1->OnClick = [this](TObject* Sender) { ControlChange(Sender); };
    form->RadioButton2->OnClick = [this](TObject* Sender) { ControlChange(Sender); };
  }
  if (!OptionCaption.empty())
    form->OptionLabel = AddLabel(form, Margin, kOptionLabelTop, lw, taLeftJustify, OptionCaption);
}

void TFilterDialog::BuildButtons() {
  TFilterDialogForm* form = Form;
  // Each later rule that applies wins.
  int bevelTop = kGap;
  if (Slider2.Used) bevelTop = Bottom(form->MaxLabel2) + kGap;
  if (HasPreview) bevelTop = kLowerRowTop;
  if (HasRadioButtons) bevelTop = Bottom(form->RadioButton1) + kGap;
  if (HasCheckBox) bevelTop = Bottom(form->CheckBox) + kGap;
  const int width = form->GetClientWidth();
  form->Bevel = New<TBevel>(form);
  form->Bevel->SetShape(bsTopLine);
  form->Bevel->SetBounds(kBevelInset, bevelTop, width - 2 * kBevelInset, kBevelHeight);
  form->Bevel->SetParent(form);

  auto button = [&](int Left, TPGMsg Text, int Result) {
    auto* b = New<TButton>(form);
    b->SetCaption(PGLangStr(Text));
    b->SetModalResult(Result);
    b->SetBounds(Left, bevelTop + kButtonDrop, kButtonWidth, kButtonHeight);
    b->SetParent(form);
    return b;
  };
  // Either side of the middle.
  form->OKButton = button(width / 2 - kGap - kButtonWidth, pgmOK, mrOk);
  form->OKButton->SetDefault(true);
  form->CancelButton = button(width / 2 + kGap, pgmCancel, mrCancel);
  form->CancelButton->SetCancel(true);
  form->SetClientHeight(Bottom(form->OKButton) + kGap);
  // The keys work on the first control from the start.
  if (form->TrackBar1)
    form->SetActiveControl(form->TrackBar1);
  else if (form->CheckBox)
    form->SetActiveControl(form->CheckBox);
}

void TFilterDialog::StartPreviewThreads() {
  TFilterDialogForm* form = Form;
  OnParamsChanged = [form] { form->ParamsChanged(); };
  form->Timer = New<TTimer>(form);
  form->Timer->SetEnabled(false);
  form->Timer->SetInterval(100);
  form->Timer->OnTimer = [form](TObject* Sender) { form->PreviewTimer(Sender); };
  form->SourceReady = false;
  form->OnDestroy = [form](TObject* Sender) { form->FormDestroy(Sender); };
  form->CreateFilterMethod = [this] { return CreateFilter(); };
  form->SetFilterParamsMethod = [this](TPGFilter* F) { SetFilterParams(F); };

  form->SrcThread = New<TCreateSrcPGThread>(true, false);
  form->SrcThread->FormWindow = form->GetHandle();
  form->PreviewSource = New<TPixelGraphic>();
  int w = 0, h = 0;
  if (SourceGraphic)
    PreviewSize(SourceGraphic->GetWidth(), SourceGraphic->GetHeight(), form->Preview->GetClientWidth(),
                form->Preview->GetClientHeight(), w, h);
  form->PreviewSource->NewImage(w, h, pgbc24Bits);
  form->SrcThread->Source = SourceGraphic;
  form->SrcThread->Dest = form->PreviewSource;
  if (SourceGraphic) form->SrcThread->Resume();
  form->DestThread = New<TCreateDestPGThread>(false, true);
}

TFilterDialogSlider& TFilterDialog::SliderAt(int N) { return N == 0 ? Slider1 : N == 1 ? Slider2 : Slider3; }

std::string TFilterDialog::ValueTextAt(int N) {
  return N == 0 ? GetValueText1() : N == 1 ? GetValueText2() : GetValueText3();
}

void TFilterDialog::ControlChange(TObject*) {
  if (!Form) return;
  for (int n = 0; n < 3; ++n) {
    TFilterDialogSlider& s = SliderAt(n);
    TSliderControls row = Form->SliderControls(n);
    if (!s.Used || !row.TrackBar) continue;
    s.Position = row.TrackBar->GetPosition();
    row.ValueLabel->SetCaption(ValueTextAt(n));
  }
  if (HasCheckBox && Form->CheckBox) CheckBoxChecked = Form->CheckBox->GetChecked();
  if (HasRadioButtons && Form->RadioButton1 && Form->RadioButton2) {
    Radio1Checked = Form->RadioButton1->GetChecked();
    Radio2Checked = Form->RadioButton2->GetChecked();
  }
  SetFilterParams(Filter);
  if (OnParamsChanged) OnParamsChanged();
}

bool TPreviewFilterDialog::Execute(TPixelGraphic* Graphic) {
  SourceGraphic = Graphic;
  return TFilterDialog::Execute();
}

// ---- the threads

void TCreateSrcPGThread::Execute() {
  if (NoOp) return;
  if (!GetTerminated()) {
    Dest->OnProgress = [this](TObject* Sender, int Step, int Max, bool& Abort) {
      ProgressAbort(Sender, Step, Max, Abort);
    };
    Dest->CopyFrom(Source);
  }
  if (!GetTerminated()) PostMessageA(FormWindow, WM_PGFILTERPREVIEW, PGFilterPreviewSourceReady, 0);
}

void TCreateSrcPGThread::ProgressAbort(TObject*, int, int, bool& Abort) { Abort = GetTerminated(); }

TCreateDestPGThread::~TCreateDestPGThread() { Free(Filter); }

void TCreateDestPGThread::Execute() {
  if (NoOp) return;
  // The filter goes with the pass, also when the filter run fails.
  std::unique_ptr<TPGFilter, FreeDeleter> filter(Filter);
  Filter = nullptr;
  std::unique_ptr<TPixelGraphic, FreeDeleter> result(New<TPixelGraphic>());
  result->ApplyFilter(filter.get(), Source);
  if (GetTerminated()) return;
  if (PostMessageA(FormWindow, WM_PGFILTERPREVIEW, PGFilterPreviewFiltered, reinterpret_cast<LPARAM>(result.get())))
    result.release();
}

// ---- the form

TSliderControls TFilterDialogForm::SliderControls(int N) {
  switch (N) {
    case 0: return {TrackBar1, CaptionLabel1, MinLabel1, MiddleLabel1, MaxLabel1, ValueLabel1};
    case 1: return {TrackBar2, CaptionLabel2, MinLabel2, MiddleLabel2, MaxLabel2, ValueLabel2};
    default: return {TrackBar3, CaptionLabel3, MinLabel3, MiddleLabel3, MaxLabel3, ValueLabel3};
  }
}

void TFilterDialogForm::ParamsChanged() {
  if (DestThread) DestThread->Terminate();
  Timer->SetEnabled(false);
  Timer->SetEnabled(true);
}

void TFilterDialogForm::PreviewTimer(TObject*) {
  Timer->SetEnabled(false);
  if (!SourceReady) return;
  if (DestThread) {
    DestThread->Terminate();
    DestThread->WaitFor();
    FreeAndNil(DestThread);
  }
  DestThread = New<TCreateDestPGThread>(true, false);
  DestThread->FormWindow = GetHandle();
  DestThread->Source = PreviewSource;
  DestThread->Filter = CreateFilterMethod();
  SetFilterParamsMethod(DestThread->Filter);
  DestThread->Resume();
}

void TFilterDialogForm::FormDestroy(TObject*) {
  for (TThread* thread : {static_cast<TThread*>(DestThread), static_cast<TThread*>(SrcThread)}) {
    if (!thread) continue;
    thread->Terminate();
    thread->WaitFor();
  }
  FreeAndNil(DestThread);
  FreeAndNil(SrcThread);
  if (HandleAllocated())
    DrainPostedMessages(GetHandle(), WM_PGFILTERPREVIEW, [](const MSG& Message) {
      if (Message.wParam == PGFilterPreviewFiltered) Free(reinterpret_cast<TPixelGraphic*>(Message.lParam));
    });
  FreeAndNil(PreviewSource);
}

void TFilterDialogForm::WndProc(TMessage& Message) {
  if (Message.Msg == WM_PGFILTERPREVIEW) {
    WMPGFilterPreview(Message);
    return;
  }
  TForm::WndProc(Message);
}

void TFilterDialogForm::WMPGFilterPreview(TMessage& Message) {
  Message.Result = 0;
  if (Message.WParam == PGFilterPreviewSourceReady) {
    SourceReady = true;
    ParamsChanged();
  } else if (Message.WParam == PGFilterPreviewFiltered) {
    Preview->SetPixelGraphic(reinterpret_cast<TPixelGraphic*>(Message.LParam));
  }
}

}  // namespace imagelib
