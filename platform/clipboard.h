// Clipboard text as calculator bytes (CR LF line breaks, one byte per character).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scrivle {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // The clipboard's text as calculator bytes; empty when it holds no text.
  virtual std::string text() const = 0;
  // How many characters of the last text() had no calculator equivalent and came in
  // as '?' (text from other programs).
  virtual std::size_t replacedInLastText() const { return 0; }
  virtual void setText(std::string_view bytes) = 0;
};

}  // namespace scrivle
