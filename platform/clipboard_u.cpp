#include "platform/clipboard_u.h"

#include <QGuiApplication>
#include <QMimeData>

#include "calc/charset.h"

namespace scrivle {

QString QtClipboard::toUnicode(std::string_view bytes) {
  std::string joined;
  joined.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    // Other programs expect LF alone; a lone CR stays what it is.
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      continue;
    }
    joined += bytes[i];
  }
  const std::u32string wide = charset::toUtf32(joined);
  return QString::fromUcs4(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string QtClipboard::fromUnicode(const QString& text, std::size_t* replaced) {
  const QList<uint> ucs4 = text.toUcs4();
  std::u32string wide;
  wide.reserve(static_cast<std::size_t>(ucs4.size()));
  for (uint c : ucs4) {
    wide += static_cast<char32_t>(c);
  }
  const std::string bytes = charset::fromUtf32(wide, replaced);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
      out += '\r';
    }
    out += bytes[i];
  }
  return out;
}

QMimeData* QtClipboard::toMimeData(std::string_view bytes) {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kMimeType),
                QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  data->setText(toUnicode(bytes));
  return data;
}

std::string QtClipboard::fromMimeData(const QMimeData* data, std::size_t* replaced) {
  if (replaced != nullptr) {
    *replaced = 0;
  }
  if (data == nullptr) {
    return {};
  }
  const QString ours = QString::fromLatin1(kMimeType);
  if (data->hasFormat(ours)) {
    return data->data(ours).toStdString();
  }
  if (data->hasText()) {
    return fromUnicode(data->text(), replaced);
  }
  return {};
}

std::string QtClipboard::text() const {
  lastReplaced_ = 0;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    return {};
  }
  return fromMimeData(clipboard->mimeData(mode_), &lastReplaced_);
}

void QtClipboard::setText(std::string_view bytes) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    return;
  }
  clipboard->setMimeData(toMimeData(bytes), mode_);
}

}  // namespace scrivle
