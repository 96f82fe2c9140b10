// Spell checking of a 64 KB French text (about 10 000 words, tags and line breaks in it)
// against Hunspell asked for every word with no cache and no tag handling, in the same
// run. Times are the thread's CPU time, median of 7 runs (full check) or of 301
// keystrokes; both sides get the same runs and the same statistic.
#include <benchmark/benchmark.h>
#include "bench/bench_main.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "calc/charset.h"
#include "editor/text_model.h"
#include "spell/checker.h"
#include "spell/hunspell/hunspell_dictionary.h"
#include "spell/languages.h"
#include "spell/words.h"

using namespace scrivle;  // NOLINT(google-build-using-namespace)

namespace {

double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The one French dictionary, shared by every checker of the run (loading it is not what
// is measured).
spell::Dictionary* french() {
  static std::unique_ptr<spell::Dictionary> d = [] {
    for (const auto& f : spell::findDictionaries()) {
      if (f.code == "fr") return spell::openHunspell(f);
    }
    return std::unique_ptr<spell::Dictionary>();
  }();
  return d.get();
}

class Borrowed : public spell::Dictionary {
 public:
  bool check(const std::string& w) override { return french()->check(w); }
  std::vector<std::string> suggest(const std::string& w) override { return french()->suggest(w); }
  void add(const std::string& w) override { french()->add(w); }
};

// Words of the dictionary itself (stems before their flags), as calculator bytes.
std::vector<std::string> dictionaryWords() {
  std::vector<std::string> out;
  for (const auto& f : spell::findDictionaries()) {
    if (f.code != "fr") continue;
    std::ifstream in(f.dic);
    std::string line;
    std::getline(in, line);  // the count
    while (std::getline(in, line)) {
      const std::string word = line.substr(0, line.find_first_of("/ \t"));
      const std::string calc = charset::fromUtf8(word);
      if (calc.size() < 3 || calc.find_first_of("?0123456789.") != std::string::npos) continue;
      out.push_back(calc);
    }
  }
  return out;
}

// A French course: the common words most of the time, a Zipf draw from the dictionary's
// stems for the rest, one word in 50 misspelt, tags around some words, sentences and
// paragraphs of varied length, a bookmark now and then. 64 KB.
std::string frenchText() {
  static const char* const kCommon[] = {"le",
                                        "la",
                                        "les",
                                        "de",
                                        "des",
                                        "du",
                                        "un",
                                        "une",
                                        "et",
                                        "est",
                                        "en",
                                        "dans",
                                        "que",
                                        "qui",
                                        "pour",
                                        "par",
                                        "sur",
                                        "avec",
                                        "au",
                                        "aux",
                                        "ce",
                                        "cette",
                                        "il",
                                        "elle",
                                        "on",
                                        "nous",
                                        "sont",
                                        "ne",
                                        "pas",
                                        "plus",
                                        "se",
                                        "sa",
                                        "son",
                                        "ses",
                                        "l'image",
                                        "d'un",
                                        "l'\xE9nergie",
                                        "lumi\xE8re",
                                        "rayon",
                                        "lentille",
                                        "miroir",
                                        "foyer",
                                        "objet",
                                        "distance",
                                        "point",
                                        "faisceau",
                                        "onde",
                                        "fr\xE9quence",
                                        "vitesse",
                                        "mesure",
                                        "valeur",
                                        "exemple",
                                        "calcul",
                                        "r\xE9sultat",
                                        "figure",
                                        "th\xE9or\xE8me",
                                        "d\xE9finition",
                                        "propri\xE9t\xE9",
                                        "aujourd'hui",
                                        "c'est-\xE0-dire",
                                        "donc",
                                        "ainsi",
                                        "alors",
                                        "lorsque",
                                        "entre",
                                        "toujours"};
  static const std::vector<std::string> stems = dictionaryWords();
  std::mt19937 rng(20);
  std::vector<double> weights;
  const std::size_t pool = std::min<std::size_t>(stems.size(), 6000);
  for (std::size_t i = 0; i < pool; ++i) weights.push_back(1.0 / static_cast<double>(i + 1));
  std::discrete_distribution<std::size_t> zipf(weights.begin(), weights.end());
  std::vector<std::size_t> order(stems.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);

  std::string text;
  int inSentence = 0;
  int inParagraph = 0;
  while (text.size() < 64 * 1024) {
    std::string w = rng() % 100 < 80 ? kCommon[rng() % std::size(kCommon)]
                                     : (stems.empty() ? "mot" : stems[order[zipf(rng)]]);
    if (rng() % 50 == 0 && w.size() > 3) std::swap(w[1], w[2]);  // a typing slip
    if (rng() % 12 == 0) w = "#U" + w + "#U";
    text += w;
    if (++inSentence > 8 + static_cast<int>(rng() % 12)) {
      text += ". ";
      inSentence = 0;
      if (++inParagraph > 2 + static_cast<int>(rng() % 3)) {
        text += rng() % 8 == 0 ? "\r\n\x0C" : "\r\n&C";
        inParagraph = 0;
      }
    } else {
      text += rng() % 10 == 0 ? ", " : " ";
    }
  }
  text.resize(64 * 1024);
  return text;
}

std::vector<std::string> paragraphsOf(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", at);
    out.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return out;
}

// The alternative's words: cut at spaces and punctuation only, tags left in.
std::vector<std::string> naiveWords(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ' || c == ',' || c == '.' || c == '\r' || c == '\n' || c == 12) {
      if (!cur.empty()) out.push_back(charset::toUtf8(cur));
      cur.clear();
    } else {
      cur += ch;
    }
  }
  if (!cur.empty()) out.push_back(charset::toUtf8(cur));
  return out;
}

struct Figures {
  double full = 0;     // ms
  double fullAlt = 0;  // ms
  std::size_t words = 0;
  std::size_t misspelt = 0;
  std::size_t naiveWords = 0;
  std::size_t naiveMisspelt = 0;
  double key = 0;  // µs
  double keyAlt = 0;
} figures;

void BM_FullCheck(benchmark::State& state) {
  const std::string text = frenchText();
  const std::vector<std::string> paragraphs = paragraphsOf(text);
  std::vector<spell::Word> words;
  spell::splitWords(text, words);
  figures.words = words.size();
  const std::vector<std::string> naive = naiveWords(text);
  figures.naiveWords = naive.size();
  std::vector<double> ours;
  std::vector<double> alt;
  for (auto _ : state) {
    for (int run = 0; run < 7; ++run) {
      spell::Checker checker(std::make_unique<Borrowed>());
      double t0 = cpuMs();
      std::size_t bad = 0;
      for (const std::string& p : paragraphs) bad += checker.paragraph(p).size();
      ours.push_back(cpuMs() - t0);
      figures.misspelt = bad;

      t0 = cpuMs();
      std::size_t naiveBad = 0;
      for (const std::string& w : naive) naiveBad += french()->check(w) ? 0 : 1;
      alt.push_back(cpuMs() - t0);
      figures.naiveMisspelt = naiveBad;
    }
  }
  figures.full = median(ours);
  figures.fullAlt = median(alt);
}
BENCHMARK(BM_FullCheck)->Iterations(1)->Unit(benchmark::kMillisecond);

// A letter typed into a word in the middle of the text, then the touched paragraph
// rechecked: ours through the caches, the alternative asking Hunspell for each of the
// paragraph's words.
void BM_Keystroke(benchmark::State& state) {
  TextModel m;
  m.load(frenchText());
  spell::Checker checker(std::make_unique<Borrowed>());
  for (Pos p = 0; p < m.paragraphCount(); ++p) {
    const Pos s = m.paragraphStart(p);
    const Pos next = m.paragraphStart(p + 1);
    checker.paragraph(m.text(s, (next < 0 ? m.length() : next - 2) - s));
  }
  Pos at = m.length() / 2;
  while (!spell::isWordLetter(m.byteAt(at))) ++at;
  m.setSel(at);
  std::vector<double> ours;
  std::vector<double> alt;
  std::mt19937 rng(7);  // letters at random: no state of the paragraph comes back
  for (auto _ : state) {
    for (int i = 0; i < 301; ++i) {
      m.typeText(std::string(1, static_cast<char>('a' + rng() % 26)));
      double t0 = cpuMs();
      const Pos p = m.paragraphOfPos(m.caret());
      const Pos s = m.paragraphStart(p);
      const Pos next = m.paragraphStart(p + 1);
      const std::string bytes = m.text(s, (next < 0 ? m.length() : next - 2) - s);
      benchmark::DoNotOptimize(checker.paragraph(bytes).size());
      ours.push_back((cpuMs() - t0) * 1000);

      t0 = cpuMs();
      std::vector<spell::Word> words;
      spell::splitWords(bytes, words);
      std::size_t bad = 0;
      for (const spell::Word& w : words) bad += french()->check(w.utf8) ? 0 : 1;
      benchmark::DoNotOptimize(bad);
      alt.push_back((cpuMs() - t0) * 1000);
      // Back to the word as it was now and then, so the paragraph stays of its size.
      if (i % 8 == 7) {
        m.replace(m.caret() - 8, 8, "");
        m.setSel(at);
      }
    }
  }
  figures.key = median(ours);
  figures.keyAlt = median(alt);
}
BENCHMARK(BM_Keystroke)->Iterations(1)->Unit(benchmark::kMillisecond);

void printSummary() {
  using bench::addRow;
  using bench::number;
  using bench::times;
  const Figures& f = figures;
  if (f.full > 0) {
    std::printf(
        "  full check of 64 KB (%zu words, %zu misspelt): %.1f ms CPU; Hunspell on every "
        "word, no cache, no tags (%zu words, %zu unknown): %.1f ms -> %.1fx\n",
        f.words, f.misspelt, f.full, f.naiveWords, f.naiveMisspelt, f.fullAlt, f.fullAlt / f.full);
    addRow({"full check of a 64 KB French text (" + number(static_cast<double>(f.words), 0) +
                " words), CPU time, median of 7",
            number(f.full) + " ms, " + number(static_cast<double>(f.misspelt), 0) + " misspelt",
            "≤ 150 ms",
            "Hunspell on each word, no cache, no tag handling: " + number(f.fullAlt) + " ms, " +
                number(static_cast<double>(f.naiveMisspelt), 0) + " unknown",
            times(f.fullAlt / f.full), f.full <= 150});
  }
  if (f.key > 0) {
    std::printf(
        "  keystroke -> touched paragraph rechecked, median: %.1f us; alternative %.1f us\n", f.key,
        f.keyAlt);
    addRow({"keystroke -> touched paragraph rechecked, CPU time, median of 301",
            number(f.key) + " µs", "≤ 1 ms",
            "Hunspell on each word of the paragraph, no cache: " + number(f.keyAlt) + " µs",
            times(f.keyAlt / f.key), f.key <= 1000});
  }
}

}  // namespace

int main(int argc, char** argv) {
  return scrivle::bench::runBenchmarks(argc, argv, printSummary, [] {
    if (french() == nullptr) {
      std::fprintf(stderr, "spell_bench: no French Hunspell dictionary\n");
      return false;
    }
    return true;
  });
}
