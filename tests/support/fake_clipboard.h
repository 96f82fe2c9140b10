// A clipboard of the test's own, so tests never touch (or depend on) the system one.
#pragma once

#include <string>
#include <string_view>

#include "platform/clipboard.h"

namespace scrivle::test {

class FakeClipboard : public Clipboard {
 public:
  std::string text() const override { return text_; }
  void setText(std::string_view bytes) override {
    text_.assign(bytes);
    ++writes_;
  }
  int writes() const { return writes_; }

 private:
  std::string text_;
  int writes_ = 0;
};

}  // namespace scrivle::test
