// The system clipboard. Our own copies keep every byte under a private type; other
// programs get (and give) Unicode text with LF line breaks.
#pragma once

#include <QClipboard>
#include <QString>

#include "platform/clipboard.h"

class QMimeData;

namespace scrivle {

class QtClipboard : public Clipboard {
 public:
  static constexpr const char* kMimeType = "application/x-scrivle-calc";

  explicit QtClipboard(QClipboard::Mode mode = QClipboard::Clipboard) : mode_(mode) {}

  std::string text() const override;
  std::size_t replacedInLastText() const override { return lastReplaced_; }
  void setText(std::string_view bytes) override;

  // The conversions, on their own for tests and drag and drop.
  static QMimeData* toMimeData(std::string_view bytes);
  static std::string fromMimeData(const QMimeData* data, std::size_t* replaced = nullptr);
  // Calculator bytes -> Unicode with CR LF written as LF, and back (bare LF -> CR LF).
  static QString toUnicode(std::string_view bytes);
  // `replaced` receives how many characters had no calculator equivalent.
  static std::string fromUnicode(const QString& text, std::size_t* replaced = nullptr);

 private:
  QClipboard::Mode mode_;
  mutable std::size_t lastReplaced_ = 0;
};

}  // namespace scrivle
