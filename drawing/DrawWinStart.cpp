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
// The effect's switch for every control; without one they stay as they are.
template <class... Controls>
void Enable(const std::optional<bool>& On, Controls*... Items) {
  if (On) (Items->SetEnabled(*On), ...);
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
  ToolKind = tkLongLine;
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
  ForEachSetting(SettingsLines, [this](TSettingKey Key, const std::string& Value) { ApplySetting(Key, Value); });
  DrawIsoGrid(GridSize);
}

void TForm1::ApplySetting(TSettingKey Key, const std::string& Value) {
  TSettingEffect effect = ReadSetting(Key, Value);
  switch (Key) {
    case TSettingKey::Skjul:
      Enable(effect.Enable, SKJUL1);
      break;
    case TSettingKey::Linie:
      Enable(effect.Enable, LineButton);
      // A switched-off long line is no tool any more: the short N-S line takes its place, as
      // with the hide-tools dialog and switch "1".
      if (!LineButton->GetEnabled()) {
        ToolKind = tkShortNS;
        SpeedButton1->SetDown(true);
      }
      break;
    case TSettingKey::Blyant:
      Enable(effect.Enable, PenButton);
      break;
    case TSettingKey::De4:
      Enable(effect.Enable, RectangleButton, EllipseButton, RoundRectButton, BrushButton);
      break;
    case TSettingKey::Size:
      if (effect.Number) GridSize = *effect.Number;
      break;
    case TSettingKey::Hojde:
      if (effect.Number) Image1->GetPicture()->GetBitmap()->SetHeight(*effect.Number);
      break;
    case TSettingKey::Bredde:
      if (effect.Number) Image1->GetPicture()->GetBitmap()->SetWidth(*effect.Number);
      break;
    case TSettingKey::Maler:
      Enable(effect.Enable, STARTMALEREN1);
      PainterPath = Value;
      break;
    case TSettingKey::Tekster:
      Enable(effect.Enable, STARTTEKSTBEHANDLER1);
      break;
  }
}

void TForm1::ApplyCommandLine(const std::vector<std::string>& Parameters) {
  SKJUL1->SetEnabled(false);
  for (const std::string& parameter : Parameters) {
    if (parameter == "1") {
      LineButton->SetEnabled(false);
      ToolKind = tkShortNS;
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
  if (std::optional<std::string> painter = PainterInDefaults(lines)) PainterPath = *painter;
}

}  // namespace skadra
