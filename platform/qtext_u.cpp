#include "platform/qtext_u.h"

#include <QLineEdit>

#include <algorithm>
#include <cstring>
#include <limits>

#include "calc/charset.h"
#include "calc/typography.h"

namespace scrivle {
namespace {

bool isBarCombiner(QChar c) {
  return c.unicode() == 0x0305 || c.unicode() == 0x0304;
}

// Calculator bytes a character becomes: one, or the length of its plain spelling for the
// typographic characters the calculator lacks (€ gives "EUR", a zero-width space nothing).
qsizetype calcWidth(char32_t cp) {
  unsigned char code = 0;
  if (charset::codeOf(cp, code)) {
    return 1;
  }
  const char* plain = typography::plainOf(cp);
  return plain != nullptr ? static_cast<qsizetype>(std::strlen(plain)) : 1;
}

// QChar index just past the longest prefix of s that makes at most maxBytes calculator
// bytes (or its end). Mirrors the decoding of charset::fromUtf32: a surrogate pair is one
// character, a lone surrogate one '?', and x or y with a combining overline (or macron)
// one byte.
qsizetype endOfCalcPrefix(const QString& s, qsizetype maxBytes, qsizetype* bytesOut) {
  const qsizetype n = s.size();
  qsizetype i = 0;
  qsizetype bytes = 0;
  while (i < n) {
    const qsizetype next = i + 1;
    const bool pair = s[i].isHighSurrogate() && next < n && s[next].isLowSurrogate();
    const bool barred = (s[i] == u'x' || s[i] == u'y') && next < n && isBarCombiner(s[next]);
    qsizetype width = 1;
    if (pair) {
      width = calcWidth(QChar::surrogateToUcs4(s[i], s[next]));
    } else if (!barred && !s[i].isSurrogate()) {
      width = calcWidth(s[i].unicode());
    }
    if (bytes + width > maxBytes) {
      break;
    }
    i = (pair || barred) ? next + 1 : next;
    bytes += width;
  }
  if (bytesOut != nullptr) {
    *bytesOut = bytes;
  }
  return i;
}

}  // namespace

QString toQString(std::string_view calcBytes) {
  const std::u32string u = charset::toUtf32(calcBytes);
  return QString::fromUcs4(u.data(), static_cast<qsizetype>(u.size()));
}

std::string fromQString(const QString& text) {
  const QList<uint> ucs4 = text.toUcs4();  // a lone surrogate comes out as U+FFFD
  std::u32string u(ucs4.begin(), ucs4.end());
  return charset::fromUtf32(u);
}

int calcLength(const QString& text) {
  qsizetype bytes = 0;
  endOfCalcPrefix(text, std::numeric_limits<qsizetype>::max() / 2, &bytes);
  return static_cast<int>(bytes);
}

QString truncateToCalcBytes(const QString& text, int maxBytes) {
  return text.left(endOfCalcPrefix(text, std::max(maxBytes, 0), nullptr));
}

CalcLengthValidator::CalcLengthValidator(int maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State CalcLengthValidator::validate(QString& input, int& pos) const {
  if (calcLength(input) <= maxBytes_) {
    return Acceptable;
  }
  // What was just typed or pasted ends at the cursor: keep the text after it and cut
  // the part before it to the room that is left, which drops the tail of the insertion.
  const qsizetype cursor = std::clamp<qsizetype>(pos, 0, input.size());
  const QString tail = input.mid(cursor);
  const int room = maxBytes_ - calcLength(tail);
  if (room < 0) {
    return Invalid;
  }
  const QString head = truncateToCalcBytes(input.left(cursor), room);
  const QString fitted = head + tail;
  if (calcLength(fitted) > maxBytes_) {  // an x or y met an overline across the cut
    return Invalid;
  }
  input = fitted;
  pos = static_cast<int>(head.size());
  return Acceptable;
}

void limitCalcLength(QLineEdit* edit, int maxBytes) {
  edit->setValidator(new CalcLengthValidator(maxBytes, edit));
  edit->setText(truncateToCalcBytes(edit->text(), maxBytes));
}

}  // namespace scrivle
