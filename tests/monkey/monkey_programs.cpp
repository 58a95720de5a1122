// What the monkey knows of each program: its files, its menus and the files its dialogs are
// offered. The commands that start outside programs (Skadra's word processor and painter) are
// left out: they would leave other programs on the screen.
#include <algorithm>
#include <filesystem>

#include "tests/monkey/monkey.h"

namespace monkey {

namespace {

namespace fs = std::filesystem;

void CopyInto(const std::string& From, const std::string& To, const std::vector<std::string>& Files) {
  for (const std::string& f : Files) {
    fs::create_directories(fs::path(To + "\\" + f).parent_path());
    fs::copy_file(From + "\\" + f, To + "\\" + f, fs::copy_options::overwrite_existing);
  }
}

// The files of a folder of the scratch folder, by name, relative to the scratch folder.
std::vector<std::string> FilesIn(const std::string& Folder, const std::string& Sub) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(Folder + "\\" + Sub, error))
    if (entry.is_regular_file()) names.push_back(Sub + "\\" + entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool Has(const std::string& Text, const char* Part) { return Text.find(Part) != std::string::npos; }

// A file dialog's answer: in a save dialog a file that is there (to be replaced) or a new one
// of any extension, else one of the folder's files or one that is missing.
std::vector<std::string> PictureOffer(const std::string& Folder, const std::string& Sub, bool Save,
                                      std::mt19937& Random) {
  std::vector<std::string> files = FilesIn(Folder, Sub);
  if (Save && std::uniform_int_distribution<int>(0, 9)(Random) < 6) {
    std::vector<std::string> fresh;
    for (const char* ext : {".bmp", ".jpg", ".pbm", ".pgm", ".png", ".ppm", ".tga", ".tif", ".pcx", ".xyz", ""})
      for (char k = '0'; k <= '3'; ++k) fresh.push_back(Sub + "\\gemt" + k + ext);
    return fresh;
  }
  files.push_back(Sub + "\\findes_ikke.png");
  return files;
}

}  // namespace

const TProgram& Fenlo() {
  static const TProgram program = [] {
    TProgram p;
    p.Name = "fenlo";
    p.ExeName = "Fenlo.exe";
    p.MainClass = "TForm1";
    p.Canvases = {"TPGImage"};
    p.Prepare = [](const std::string& Folder) {
      CopyInto(FENLO_BUILD_DIR, Folder, {"Fenlo.exe", "bc24.bmp"});
      WriteSamples(Folder + "\\Billeder");
    };
    p.Menus = {
        {"TForm1", 0, 0, "Filer/Aben", false, 6},         {"TForm1", 0, 1, "Filer/Gem Som", false, 2},
        {"TForm1", 0, 2, "Filer/EXIT", true},   {"TForm1", 1, 0, "Billedstorrelse/FULD"},
        {"TForm1", 1, 1, "Billedstorrelse/TILPAS"}, {"TForm1", 2, 0, "Editer/Kopier"},
        {"TForm1", 2, 1, "Editer/Saet Ind", false, 2}, {"TForm1", 3, -1, "Gratoner", false, 2},
        {"TForm1", 4, 0, "Juster/Gor Skarpere", false, 2}, {"TForm1", 4, 1, "Juster/Gor Blodere", false, 2},
        {"TForm1", 4, 2, "Juster/Lys Kontrast Gamma", false, 2}, {"TForm1", 4, 3, "Juster/RGB", false, 2},
        {"TForm1", 5, -1, "About"},
    };
    p.Offer = [](const std::string& Folder, const std::string& Caption, std::mt19937& Random) {
      return PictureOffer(Folder, "Billeder", Has(Caption, "Gem"), Random);
    };
    return p;
  }();
  return program;
}

const TProgram& Skadra() {
  static const TProgram program = [] {
    TProgram p;
    p.Name = "skadra";
    p.ExeName = "Skadra.exe";
    p.MainClass = "TForm1";
    p.Canvases = {"TImage"};
    p.Prepare = [](const std::string& Folder) {
      CopyInto(SKADRA_BUILD_DIR, Folder,
               {"Skadra.exe", "Help.rtf", "default.cfg", "cfg\\alt.cfg", "cfg\\begynder.cfg", "cfg\\lille.cfg",
                "cfg\\stort_net.cfg"});
      fs::create_directories(Folder + "\\Dokumenter");
      WriteSamples(Folder + "\\billeder");
    };
    p.Menus = {
        {"TForm1", 0, 0, "Filer/Ny"},          {"TForm1", 0, 1, "Filer/Hente billede", false, 3},
        {"TForm1", 0, 2, "Filer/Gemme billede"}, {"TForm1", 0, 3, "Filer/Gem Som"},
        {"TForm1", 0, 4, "Filer/Print"},       {"TForm1", 0, 5, "Filer/Afslut", true},
        {"TForm1", 1, 0, "Editer/Klip"},       {"TForm1", 1, 1, "Editer/Kopier"},
        {"TForm1", 1, 2, "Editer/Saet Ind"},   {"TForm1", 2, -1, "StregFarve"},
        {"TForm1", 3, -1, "Gentegn Net"},      {"TForm1", 4, 0, "Tegnevaerktoj/Til"},
        {"TForm1", 4, 1, "Tegnevaerktoj/Fra"}, {"TForm1", 5, -1, "SKJUL"},
        {"TForm1", 8, 0, "Hjaelp/Hjaelp"},     {"TForm1", 8, 1, "Hjaelp/About"},
        // The help window's own menu.
        {"TForm2", 0, 0, "Filer/Print"},       {"TForm2", 0, 1, "Filer/Luk"},
    };
    p.Offer = [](const std::string& Folder, const std::string& Caption, std::mt19937& Random) {
      if (Has(Caption, "Indstillinger")) {
        // The settings to start with; now and then a file that is none.
        std::vector<std::string> files = FilesIn(Folder, "cfg");
        files.insert(files.end(), {"billeder\\stoej_billede.bmp", "Help.rtf"});
        return files;
      }
      return PictureOffer(Folder, "billeder", Has(Caption, "Save") || Has(Caption, "Gem"), Random);
    };
    return p;
  }();
  return program;
}

}  // namespace monkey
