// Writes the documents the process-level benchmarks open: a calculator text
// (.89t/.92t/.9xt) or a plain text of about the given size, lines of French prose with
// tags, as course notes on the calculator look.
//   make_text <file> <bytes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "document/tifile.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_text <file> <bytes>\n");
    return 2;
  }
  const std::filesystem::path file = argv[1];
  const std::size_t size = std::strtoull(argv[2], nullptr, 10);
  static const char* const kLines[] = {
      "#1Chapitre : optique g\xE9om\xE9trique\r\n",
      "Un rayon lumineux se propage en ligne droite dans un milieu homog\xE8ne.\r\n",
      "&CLoi de #USnell-Descartes#U : n1 sin(i1) = n2 sin(i2)\r\n",
      "Angle limite : sin(\x88l) = n2/n1 si n1 > n2 ; au-del\xE0, r\xE9"
      "flexion totale.\r\n",
      "#2Lentilles minces\r\n",
      "Vergence V = 1/f' (en dioptries), 1/OA' - 1/OA = 1/f'\r\n",
      "&-\r\n",
  };
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += kLines[i % std::size(kLines)];
  text.resize(size);
  const bool calc = scrivle::isCalcExtension(file);
  scrivle::writeFileAtomically(file,
                               calc ? scrivle::writeTiText(file, "main", "cours", text) : text);
  return 0;
}
