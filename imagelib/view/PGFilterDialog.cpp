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
constexpr int kTrackWidth = 240, kTrackHeight = 32, kPreviewSize = 140, kTextWidth = 80;

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

  const int m = Slider1.Used ? 10 : 40;
  const int lw = Slider1.LabelWidth;
  int clientWidth = m + m + kPreviewSize;
  if (Slider1.Used) clientWidth = m + lw + kTrackWidth + Slider1.ValueWidth + (HasPreview ? 10 + kPreviewSize : 0) + m;
  form->SetClientWidth(clientWidth);

  TFilterDialogSlider* sliders[3] = {&Slider1, &Slider2, &Slider3};
  TTrackBar** tracks[3] = {&form->TrackBar1, &form->TrackBar2, &form->TrackBar3};
  TLabel** captions[3] = {&form->CaptionLabel1, &form->CaptionLabel2, &form->CaptionLabel3};
  TLabel** mins[3] = {&form->MinLabel1, &form->MinLabel2, &form->MinLabel3};
  TLabel** middles[3] = {&form->MiddleLabel1, &form->MiddleLabel2, &form->MiddleLabel3};
  TLabel** maxes[3] = {&form->MaxLabel1, &form->MaxLabel2, &form->MaxLabel3};
  TLabel** values[3] = {&form->ValueLabel1, &form->ValueLabel2, &form->ValueLabel3};
  for (int n = 0; n < 3; ++n) {
    TFilterDialogSlider& s = *sliders[n];
    const int y = 10 + 50 * n;
    const int l = m + s.LabelWidth;
    // Slider 3's caption column also captions the radio buttons when they stand alone.
    if (s.Used || (n == 2 && HasRadioButtons))
      *captions[n] = AddLabel(form, m, y + 6, s.LabelWidth, taLeftJustify, s.Caption);
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
    *tracks[n] = track;
    *mins[n] = AddLabel(form, l, y + 32, kTextWidth, taLeftJustify, s.MinText);
    *middles[n] = AddLabel(form, l + kTextWidth, y + 32, kTextWidth, taCenter, s.MiddleText);
    *maxes[n] = AddLabel(form, l + 2 * kTextWidth, y + 32, kTextWidth, taRightJustify, s.MaxText);
    std::string text = n == 0 ? GetValueText1() : n == 1 ? GetValueText2() : GetValueText3();
    *values[n] = AddLabel(form, l + kTrackWidth, y + 6, s.ValueWidth, taRightJustify, text);
  }

  if (HasPreview) {
    form->Preview = New<TPGImage>(form);
    TPGImage* preview = form->Preview;
    preview->SetBounds(form->GetClientWidth() - m - kPreviewSize, 12, kPreviewSize, kPreviewSize);
    preview->SetPalette8BitSys24BitGraphic(Palette8BitSys24BitGraphic);
    preview->SetPalette8BitSys8BitGraphic(Palette8BitSys8BitGraphic);
    preview->SetProgressClockBkColor(ProgressClockBkColor);
    preview->SetProgressClockLineColor(ProgressClockLineColor);
    preview->SetProgressClockVisible(ProgressClockVisible);
    preview->SetKeepOldPaintPixelGraphic(true);
    preview->SetCenter(true);
    preview->SetParent(form);
  }
  if (HasCheckBox) {
    form->CheckBox = New<TCheckBox>(form);
    TCheckBox* box = form->CheckBox;
    box->SetBounds(m, 160, 140, box->GetHeight());
    box->SetCaption(CheckBoxCaption);
    box->SetChecked(CheckBoxChecked);
    box->SetParent(form);
    box->OnClick = [this](TObject* Sender) { ControlChange(Sender); };
  }
  if (HasRadioButtons) {
    const int top = Slider3.Used ? 160 : 115;
    auto add = [&](int Left, const std::string& Text, bool Checked) {
      auto* radio = New<TRadioButton>(form);
      radio->SetBounds(Left, top, radio->GetWidth(), radio->GetHeight());
      radio->SetCaption(Text);
      radio->SetParent(form);
      radio->SetChecked(Checked);
      return radio;
    };
    form->RadioButton1 = add(m + lw + 6, Radio1Caption, Radio1Checked);
    form->RadioButton2 = add(m + lw + 112, Radio2Caption, Radio2Checked);
    form->RadioButton1->OnClick = [this](TObject* Sender) { ControlChange(Sender); };
    form->RadioButton2->OnClick = [this](TObject* Sender) { ControlChange(Sender); };
  }
  if (!OptionCaption.empty()) form->OptionLabel = AddLabel(form, m, 161, lw, taLeftJustify, OptionCaption);

  int bevelTop = 10;
  if (Slider2.Used) bevelTop = Bottom(form->MaxLabel2) + 10;
  if (HasPreview) bevelTop = 160;
  if (HasRadioButtons) bevelTop = Bottom(form->RadioButton1) + 10;
  if (HasCheckBox) bevelTop = Bottom(form->CheckBox) + 10;
  form->Bevel = New<TBevel>(form);
  form->Bevel->SetShape(bsTopLine);
  form->Bevel->SetBounds(5, bevelTop, form->GetClientWidth() - 10, 3);
  form->Bevel->SetParent(form);

  auto button = [&](int Left, TPGMsg Text, int Result) {
    auto* b = New<TButton>(form);
    b->SetCaption(PGLangStr(Text));
    b->SetModalResult(Result);
    b->SetBounds(Left, bevelTop + 12, 85, 24);
    b->SetParent(form);
    return b;
  };
  form->OKButton = button(form->GetClientWidth() / 2 - 95, pgmOK, mrOk);
  form->OKButton->SetDefault(true);
  form->CancelButton = button(form->GetClientWidth() / 2 + 10, pgmCancel, mrCancel);
  form->CancelButton->SetCancel(true);
  form->SetClientHeight(Bottom(form->OKButton) + 10);
  // The keys work on the first control from the start.
  if (form->TrackBar1)
    form->SetActiveControl(form->TrackBar1);
  else if (form->CheckBox)
    form->SetActiveControl(form->CheckBox);

  form->ScaleBy(Screen->GetPixelsPerInch(), 100);
  form->GetFont()->SetSize(8);

  if (!HasPreview) return;
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

void TFilterDialog::ControlChange(TObject*) {
  if (!Form) return;
  TFilterDialogSlider* sliders[3] = {&Slider1, &Slider2, &Slider3};
  TTrackBar* tracks[3] = {Form->TrackBar1, Form->TrackBar2, Form->TrackBar3};
  TLabel* values[3] = {Form->ValueLabel1, Form->ValueLabel2, Form->ValueLabel3};
  for (int n = 0; n < 3; ++n) {
    if (!sliders[n]->Used || !tracks[n]) continue;
    sliders[n]->Position = tracks[n]->GetPosition();
    values[n]->SetCaption(n == 0 ? GetValueText1() : n == 1 ? GetValueText2() : GetValueText3());
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
  if (!GetTerminated()) PostMessageA(FormWindow, WM_PGFILTERPREVIEW, 1, 0);
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
  if (PostMessageA(FormWindow, WM_PGFILTERPREVIEW, 2, reinterpret_cast<LPARAM>(result.get()))) result.release();
}

// ---- the form

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
      if (Message.wParam == 2) Free(reinterpret_cast<TPixelGraphic*>(Message.lParam));
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
  if (Message.WParam == 1) {
    SourceReady = true;
    ParamsChanged();
  } else if (Message.WParam == 2) {
    Preview->SetPixelGraphic(reinterpret_cast<TPixelGraphic*>(Message.LParam));
  }
}

}  // namespace imagelib
