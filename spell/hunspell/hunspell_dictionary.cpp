#include "spell/hunspell/hunspell_dictionary.h"

#include <hunspell.hxx>

#include <fstream>
#include <string>

namespace scrivle::spell {

namespace {

// Dictionaries in UTF-8 (Debian's French and English ones) take the words as they are;
// an ISO 8859-1 one gets them converted, the characters it lacks making the word unknown.
class HunspellDictionary : public Dictionary {
 public:
  HunspellDictionary(const DictionaryFiles& files)
      : engine_(files.aff.string().c_str(), files.dic.string().c_str()) {
    const std::string enc = engine_.get_dict_encoding();
    latin1_ = enc == "ISO8859-1" || enc == "ISO-8859-1";
  }

  bool check(const std::string& word) override {
    if (!latin1_) return engine_.spell(word);
    std::string w;
    return toLatin1(word, w) && engine_.spell(w);
  }

  std::vector<std::string> suggest(const std::string& word) override {
    if (!latin1_) return engine_.suggest(word);
    std::string w;
    if (!toLatin1(word, w)) return {};
    std::vector<std::string> out;
    for (const std::string& s : engine_.suggest(w)) out.push_back(fromLatin1(s));
    return out;
  }

  void add(const std::string& word) override {
    std::string w = word;
    if (latin1_ && !toLatin1(word, w)) return;
    engine_.add(w);
  }

 private:
  static bool toLatin1(const std::string& utf8, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
        out +=
            static_cast<char>(((c & 0x03U) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3FU));
      } else {
        return false;
      }
    }
    return true;
  }
  static std::string fromLatin1(const std::string& latin1) {
    std::string out;
    for (const char ch : latin1) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x80) {
        out += ch;
      } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }

  Hunspell engine_;
  bool latin1_ = false;
};

bool readable(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return f.good();
}

}  // namespace

bool hunspellBuiltIn() {
  return true;
}

std::unique_ptr<Dictionary> openHunspell(const DictionaryFiles& files) {
  if (!readable(files.aff) || !readable(files.dic)) return nullptr;
  return std::make_unique<HunspellDictionary>(files);
}

}  // namespace scrivle::spell
