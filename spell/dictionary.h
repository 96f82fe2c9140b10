// What spelling needs of a dictionary engine. The engine (Hunspell) lives outside the
// core; tests use a word list.
#pragma once

#include <string>
#include <vector>

namespace scrivle::spell {

class Dictionary {
 public:
  virtual ~Dictionary() = default;
  // Words in UTF-8.
  virtual bool check(const std::string& word) = 0;
  virtual std::vector<std::string> suggest(const std::string& word) = 0;
  // Accepts the word from now on (the personal list feeds it at start).
  virtual void add(const std::string& word) = 0;
};

}  // namespace scrivle::spell
