// A registry store file in a fresh temporary folder, named by SCRIVLE_REGISTRY for the
// test's lifetime; and a set of settings whose strings hold every awkward byte.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "settings/parametre.h"

namespace scrivle::test {

class TempRegistry {
 public:
  TempRegistry() {
    std::random_device seed;
    dir_ = std::filesystem::temp_directory_path() /
           ("scrivle-reg-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(dir_);
    file_ = dir_ / "registry.reg";
    setEnv(file_.string());
  }
  ~TempRegistry() {
    setEnv("");
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempRegistry(const TempRegistry&) = delete;
  TempRegistry& operator=(const TempRegistry&) = delete;
  const std::filesystem::path& file() const { return file_; }
  const std::filesystem::path& dir() const { return dir_; }

 private:
  static void setEnv(const std::string& value) {
#ifdef _WIN32
    _putenv_s("SCRIVLE_REGISTRY", value.c_str());
#else
    if (value.empty()) {
      unsetenv("SCRIVLE_REGISTRY");
    } else {
      setenv("SCRIVLE_REGISTRY", value.c_str(), 1);
    }
#endif
  }
  std::filesystem::path dir_;
  std::filesystem::path file_;
};

// Everything away from the defaults: titles with CR LF, 0x7F, 0x12, 0x0F, the whole
// 0x80-0x9F range, quotes and backslashes; colours in both stored forms; the '#' family
// with its same-for-all flag clear.
inline TParametre sampleSettings() {
  TParametre s = defaultSettings("C:\\Scrivle");
  s.SaveDir = "D:\\Calc \"TI\"\\sauvegardes";
  s.DefaultExt = "89t";
  s.flat = kFalse;
  s.AutoSaveTime = 60000;
  s.Nb = 7;
  s.mru[0] = "C:\\Calc\\cours.89t";
  s.mru[1] = "C:\\Calc\\R\xE9sum\xE9.9xt";
  s.Titres[0].texte = "\x7f\x12\x0f\r\n";
  for (int b = 0x80; b < 0xA0; ++b) {
    s.Titres[1].texte += static_cast<char>(b);
  }
  s.Titres[2].nom = "a\\b\"c";
  s.Titres[3].Curseur = -3;
  s.StyleBookmark.CouleurPropre = s.StyleBookmark.Couleur = 0x00FF8000;
  s.StylesEt[4].CouleurPropre = 0x8000000F;  // clBtnFace
  s.StylesEt[4].GrasPropre = kTrue;
  s.TousDiese.idem = kFalse;
  s.StylesDiese[9].CouleurPropre = s.StylesDiese[9].Couleur = 0x00123456;
  s.StylesDiese[9].ItaliquePropre = s.StylesDiese[9].Italique = kTrue;
  applySameForAll(s);
  return s;
}

}  // namespace scrivle::test
