#include "platform/qtext_u.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace scrivle {
namespace {

TEST(QtText, EveryCodeCrossesIntoQtAndBack) {
  std::string all;
  for (int c = 0; c < 256; ++c) {
    all += static_cast<char>(c);
  }
  const QString q = toQString(all);
  EXPECT_EQ(fromQString(q), all);
  EXPECT_EQ(calcLength(q), 256);
  EXPECT_EQ(q.size(), 256 + 4);  // two surrogate pairs, two overlines
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(fromQString(toQString(one)), one) << "code " << c;
  }
  EXPECT_EQ(toQString("\x80\x0C\x95"), QString::fromUtf8("α\x0C\U0001D5A4"));
  EXPECT_EQ(fromQString(QStringLiteral("€≈")), "EUR?");
  EXPECT_EQ(fromQString(QString(QChar(0xD800))), "?");  // a lone surrogate
}

TEST(QtText, LengthsCountCalculatorBytes) {
  const QString q = toQString("\x95\x97\x9A\x9B");
  EXPECT_EQ(q.size(), 8);
  EXPECT_EQ(calcLength(q), 4);
  EXPECT_EQ(calcLength(QStringLiteral("x\u0305x")), 2);
  EXPECT_EQ(calcLength(QString(QChar(0xDC00)) + "a"), 2);
  for (const QString& s : {q, QStringLiteral("a\u20ACx"), QString::fromUtf8("\U0001F600z"),
                           QStringLiteral("a\u200Bb\u0153"), QStringLiteral("\u2248")}) {
    EXPECT_EQ(calcLength(s), static_cast<int>(fromQString(s).size())) << s.toStdString();
  }
  // A typographic character counts what it becomes, and is never cut in half.
  EXPECT_EQ(truncateToCalcBytes(QStringLiteral("ab\u20AC"), 4), QStringLiteral("ab"));
  EXPECT_EQ(truncateToCalcBytes(QStringLiteral("ab\u20AC"), 5), QStringLiteral("ab\u20AC"));

  EXPECT_EQ(truncateToCalcBytes(q, 1), toQString("\x95"));  // never half a pair
  EXPECT_EQ(truncateToCalcBytes(q, 3), toQString("\x95\x97\x9A"));
  EXPECT_EQ(truncateToCalcBytes(q, 99), q);
  EXPECT_EQ(truncateToCalcBytes(q, -1), QString());
}

TEST(QtText, NameBoxHoldsAtMostEightCalculatorBytes) {
  QLineEdit edit;
  edit.setText(
      toQString("\x95\x97\x9A\x9B"
                "abcdefgh"));
  limitCalcLength(&edit, 8);
  EXPECT_EQ(fromQString(edit.text()),
            "\x95\x97\x9A\x9B"
            "abcd");  // 12 QChars, 8 bytes

  // A full box takes no more typing, wherever the cursor is.
  edit.setCursorPosition(2);
  QTest::keyClicks(&edit, "z");
  EXPECT_EQ(fromQString(edit.text()),
            "\x95\x97\x9A\x9B"
            "abcd");

  edit.clear();
  QTest::keyClicks(&edit, "abcdefghij");
  EXPECT_EQ(edit.text(), "abcdefgh");

  // A paste is cut to the room left, keeping the text after the cursor.
  edit.setText("ab");
  edit.setCursorPosition(1);
  edit.insert(toQString("\x95\x95\x95\x95\x95\x95\x95\x95"));
  EXPECT_EQ(fromQString(edit.text()),
            "a\x95\x95\x95\x95\x95\x95"
            "b");
  EXPECT_EQ(edit.cursorPosition(), 1 + 6 * 2);

  // Deleting and retyping still works once full.
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClicks(&edit, "Q");
  EXPECT_EQ(fromQString(edit.text()), "a\x95\x95\x95\x95\x95Qb");
}

}  // namespace
}  // namespace scrivle
