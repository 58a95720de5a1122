// The start-up of the drawing window: the picture folder, a new picture, then a settings file
// (chosen from the "cfg" folder, else "default.cfg") or the program's switches, then the grid.
// An error ends the start-up where it happens; the window's creation reports it.
#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/text.h"
#include "drawing/DrawWin.h"

namespace skadra {

std::string PainterPath = "mspaint.exe";
std::vector<std::string> StartParameters;

namespace {
struct TSettingKeyText {
  TSettingKey Key;
  const char* Text;
};
// Whole lines, compared exactly: case, blanks and all.
constexpr TSettingKeyText kKeys[] = {
    {TSettingKey::Skjul, "[SKJUL]"},   {TSettingKey::Linie, "[LINIE]"}, {TSettingKey::Blyant, "[BLYANT]"},
    {TSettingKey::De4, "[De 4]"},      {TSettingKey::Size, "[SIZE]"},   {TSettingKey::Hojde, "[HOJDE]"},
    {TSettingKey::Bredde, "[BREDDE]"}, {TSettingKey::Maler, "[MALER]"}, {TSettingKey::Tekster, "[TEKSTER]"},
};

// The line after Index, or an empty text past the last line.
std::string ValueLine(const TStrings& Lines, int Index) {
  return Index + 1 < Lines.GetCount() ? Lines[Index + 1] : std::string();
}

// "VIS" switches on, "GEM" off; any other value leaves the controls as they are.
template <class... Controls>
void ShowOrHide(const std::string& Value, Controls*... Items) {
  if (Value == "VIS")
    (Items->SetEnabled(true), ...);
  else if (Value == "GEM")
    (Items->SetEnabled(false), ...);
}
}  // namespace

void TForm1::FormCreate(TObject*) {
  std::string pictures = ExeDir() + "\\billeder";
  if (!DirectoryExists(pictures)) MkDir(pictures);
  SaveDialog1->SetInitialDir(pictures);
  OpenDialog1->SetInitialDir(pictures);

  TOwned<TBitmap> bitmap(New<TBitmap>());
  bitmap->SetSize(780, 1200);
  Image1->GetPicture()->SetGraphic(bitmap.get());
  GridSize = 2;
  ToolKind = 0;
  PictureCanvas()->GetPen()->SetColor(clBlack);

  if (StartParameters.empty()) {
    OpenDialog2->SetInitialDir(ExeDir() + "\\cfg");
    std::string settings = OpenDialog2->Execute() ? OpenDialog2->GetFileName() : ExeDir() + "\\default.cfg";
    SettingsLines.LoadFromFile(settings);
    ApplySettings();
  } else {
    ApplyCommandLine(StartParameters);
  }
  DrawIsoGrid(GridSize);
}

void TForm1::ApplySettings() {
  // Every line is a candidate key, also one that is another key's value.
  for (int i = 0; i < SettingsLines.GetCount(); ++i) {
    std::string line = SettingsLines[i];
    for (const TSettingKeyText& key : kKeys)
      if (line == key.Text) ApplySetting(key.Key, ValueLine(SettingsLines, i));
  }
  DrawIsoGrid(GridSize);
}

void TForm1::ApplySetting(TSettingKey Key, const std::string& Value) {
  switch (Key) {
    case TSettingKey::Skjul:
      ShowOrHide(Value, SKJUL1);
      break;
    case TSettingKey::Linie:
      ShowOrHide(Value, LineButton);
      // A switched-off long line is no tool any more: the short N-S line takes its place, as
      // with the hide-tools dialog and switch "1".
      if (!LineButton->GetEnabled()) {
        ToolKind = 4;
        SpeedButton1->SetDown(true);
      }
      break;
    case TSettingKey::Blyant:
      ShowOrHide(Value, PenButton);
      break;
    case TSettingKey::De4:
      ShowOrHide(Value, RectangleButton, EllipseButton, RoundRectButton, BrushButton);
      break;
    case TSettingKey::Size: {
      int size = StrToInt(Value);
      if (size == 2 || size == 4 || size == 6) GridSize = size;
      break;
    }
    case TSettingKey::Hojde: {
      // The bitmap refuses a size it cannot hold ("Out of system resources").
      int height = StrToInt(Value);
      if (height > 0) Image1->GetPicture()->GetBitmap()->SetHeight(height);
      break;
    }
    case TSettingKey::Bredde: {
      int width = StrToInt(Value);
      if (width > 0) Image1->GetPicture()->GetBitmap()->SetWidth(width);
      break;
    }
    case TSettingKey::Maler:
      STARTMALEREN1->SetEnabled(Value != "NEJ");
      PainterPath = Value;
      break;
    case TSettingKey::Tekster:
      STARTTEKSTBEHANDLER1->SetEnabled(Value != "NEJ");
      break;
  }
}

void TForm1::ApplyCommandLine(const std::vector<std::string>& Parameters) {
  SKJUL1->SetEnabled(false);
  for (const std::string& parameter : Parameters) {
    if (parameter == "1") {
      LineButton->SetEnabled(false);
      ToolKind = 4;
      SpeedButton1->SetDown(true);
    } else if (parameter == "2") {
      PenButton->SetEnabled(false);
    } else if (parameter == "3") {
      RectangleButton->SetEnabled(false);
      EllipseButton->SetEnabled(false);
      RoundRectButton->SetEnabled(false);
      BrushButton->SetEnabled(false);
    } else if (parameter == "4") {
      STARTTEKSTBEHANDLER1->SetEnabled(false);
    } else if (parameter == "5") {
      STARTMALEREN1->SetEnabled(false);
    }
    if (STARTMALEREN1->GetEnabled()) LookUpPainter();
    // Byte-wise order: "22" to "26", but also "210" and the like, whose number minus 20 is
    // the grid size; one that is no number ("21x") fails here.
    if (parameter > "21" && parameter < "27") GridSize = StrToInt(parameter) - 20;
  }
}

void TForm1::LookUpPainter() {
  // The painter named in the default settings, from the third line on. The look-up is optional:
  // a default file that cannot be read leaves the painter as it is and the start-up goes on.
  TStringList lines;
  try {
    lines.LoadFromFile(ExeDir() + "\\default.cfg");
  } catch (const std::exception&) {
    return;
  }
  for (int i = 2; i < lines.GetCount(); ++i)
    if (lines[i] == "[MALER]") PainterPath = ValueLine(lines, i);
}

}  // namespace skadra
