// Spelling of calculator text, paragraph by paragraph. A paragraph's verdict is kept
// under its bytes, so an edit only costs the paragraph it touched, and a word's verdict
// is kept too, as the same words come back all through a text. The personal words and
// the words ignored for the session are accepted before the dictionary is asked.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "spell/dictionary.h"

namespace scrivle::spell {

struct Misspelling {
  std::int64_t start = 0;   // byte offset in the paragraph
  std::int64_t length = 0;  // bytes
  std::string word;         // UTF-8
  bool operator==(const Misspelling&) const = default;
};

class Checker {
 public:
  explicit Checker(std::unique_ptr<Dictionary> dictionary = nullptr);
  ~Checker();

  // A new dictionary (another language): every verdict is forgotten. nullptr checks
  // nothing.
  void setDictionary(std::unique_ptr<Dictionary> dictionary);
  bool hasDictionary() const { return dictionary_ != nullptr; }

  // The misspelt words of a paragraph (calculator bytes, without its line break).
  const std::vector<Misspelling>& paragraph(std::string_view bytes);
  // The verdict on a paragraph when it is known already, nullptr otherwise.
  const std::vector<Misspelling>* cached(std::string_view bytes) const;
  bool correct(const std::string& word);

  // Up to `count` suggestions in calculator bytes, the ones the calculator cannot
  // write left out (a ligature is spelt out: "œ" as "oe").
  std::vector<std::string> suggestions(const std::string& word, std::size_t count = 5);

  // Accepted from now on. Both drop the word from the paragraphs already checked.
  void addPersonal(const std::string& word);
  void ignore(const std::string& word);
  const std::set<std::string>& personalWords() const { return personal_; }
  // The personal list as read at start (replaces the one held).
  void setPersonalWords(std::set<std::string> words);

  // A word whose verdict is known already (no dictionary look-up needed).
  bool knows(const std::string& word) const { return words_.contains(word); }

  // beginUse() then pruneUnused(): forgets the paragraphs not asked for in between, so
  // the states a paragraph went through while typed do not pile up.
  void beginUse();
  void pruneUnused();
  std::size_t cachedParagraphs() const { return paragraphs_.size(); }
  std::size_t cachedBytes() const { return cachedBytes_; }

 private:
  struct Entry {
    std::vector<Misspelling> words;
    bool used = true;
  };
  void accept(const std::string& word);

  std::unique_ptr<Dictionary> dictionary_;
  std::unordered_map<std::string, Entry> paragraphs_;
  std::unordered_map<std::string, bool> words_;
  std::set<std::string> personal_;
  std::set<std::string> ignored_;
  std::size_t cachedBytes_ = 0;
};

// The personal word list: UTF-8, one word a line. A missing file is an empty list.
std::set<std::string> parseWordList(std::string_view utf8);
std::string formatWordList(const std::set<std::string>& words);

}  // namespace scrivle::spell
