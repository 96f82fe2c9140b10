#include "spell/checker.h"

#include <algorithm>

#include "calc/charset.h"
#include "spell/words.h"

namespace scrivle::spell {

namespace {

// The calculator has no "œ" or "æ": a word typed with "oe" is also tried with the
// ligature, and a suggestion holding one is spelt out.
bool replaceAll(std::string& s, std::string_view from, std::string_view to) {
  bool any = false;
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) {
    s.replace(at, from.size(), to);
    any = true;
  }
  return any;
}

constexpr std::pair<std::string_view, std::string_view> kLigatures[] = {
    {"oe", "\xC5\x93"}, {"Oe", "\xC5\x92"}, {"OE", "\xC5\x92"},
    {"ae", "\xC3\xA6"}, {"Ae", "\xC3\x86"}, {"AE", "\xC3\x86"}};

}  // namespace

Checker::Checker(std::unique_ptr<Dictionary> dictionary) : dictionary_(std::move(dictionary)) {}
Checker::~Checker() = default;

void Checker::setDictionary(std::unique_ptr<Dictionary> dictionary) {
  dictionary_ = std::move(dictionary);
  paragraphs_.clear();
  cachedBytes_ = 0;
  words_.clear();
  if (dictionary_) {
    for (const std::string& w : personal_) dictionary_->add(w);
  }
}

bool Checker::correct(const std::string& word) {
  if (!dictionary_) return true;
  if (auto it = words_.find(word); it != words_.end()) return it->second;
  bool ok = personal_.contains(word) || ignored_.contains(word) || dictionary_->check(word);
  if (!ok) {
    std::string lig = word;
    bool changed = false;
    for (const auto& [from, to] : kLigatures) changed = replaceAll(lig, from, to) || changed;
    ok = changed && dictionary_->check(lig);
  }
  words_.emplace(word, ok);
  return ok;
}

const std::vector<Misspelling>& Checker::paragraph(std::string_view bytes) {
  auto it = paragraphs_.find(std::string(bytes));
  if (it != paragraphs_.end()) {
    it->second.used = true;
    return it->second.words;
  }
  Entry e;
  if (dictionary_) {
    std::vector<Word> words;
    splitWords(bytes, words);
    for (Word& w : words) {
      if (!correct(w.utf8)) e.words.push_back({w.start, w.length, std::move(w.utf8)});
    }
  }
  cachedBytes_ += bytes.size();
  return paragraphs_.emplace(std::string(bytes), std::move(e)).first->second.words;
}

const std::vector<Misspelling>* Checker::cached(std::string_view bytes) const {
  auto it = paragraphs_.find(std::string(bytes));
  return it == paragraphs_.end() ? nullptr : &it->second.words;
}

std::vector<std::string> Checker::suggestions(const std::string& word, std::size_t count) {
  std::vector<std::string> out;
  if (!dictionary_) return out;
  for (std::string s : dictionary_->suggest(word)) {
    for (const auto& [plain, lig] : kLigatures) replaceAll(s, lig, plain);
    const std::string calc = charset::fromUtf8(s);
    // Only what the calculator writes as it is: a character it lacks came back as '?',
    // a typographic one as its plain spelling (€ as EUR), and neither is a correction.
    if (charset::toUtf8(calc) != s) continue;
    if (std::find(out.begin(), out.end(), calc) != out.end()) continue;
    out.push_back(calc);
    if (out.size() >= count) break;
  }
  return out;
}

void Checker::accept(const std::string& word) {
  words_[word] = true;
  for (auto& [text, entry] : paragraphs_) {
    std::erase_if(entry.words, [&](const Misspelling& m) { return m.word == word; });
  }
}

void Checker::addPersonal(const std::string& word) {
  if (word.empty()) return;
  personal_.insert(word);
  if (dictionary_) dictionary_->add(word);
  accept(word);
}

void Checker::setPersonalWords(std::set<std::string> words) {
  personal_ = std::move(words);
  words_.clear();
  paragraphs_.clear();
  cachedBytes_ = 0;
  if (dictionary_) {
    for (const std::string& w : personal_) dictionary_->add(w);
  }
}

void Checker::ignore(const std::string& word) {
  ignored_.insert(word);
  accept(word);
}

void Checker::beginUse() {
  for (auto& [text, entry] : paragraphs_) entry.used = false;
}

void Checker::pruneUnused() {
  std::erase_if(paragraphs_, [this](const auto& p) {
    if (p.second.used) return false;
    cachedBytes_ -= p.first.size();
    return true;
  });
}

std::set<std::string> parseWordList(std::string_view utf8) {
  std::set<std::string> words;
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  while (!utf8.empty()) {
    const std::size_t end = std::min(utf8.find('\n'), utf8.size());
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(std::min(end + 1, utf8.size()));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
      line.remove_suffix(1);
    }
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.empty()) words.emplace(line);
  }
  return words;
}

std::string formatWordList(const std::set<std::string>& words) {
  std::string out;
  for (const std::string& w : words) {
    out += w;
    out += '\n';
  }
  return out;
}

}  // namespace scrivle::spell
