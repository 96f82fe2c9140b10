// Calculator text crossing into Qt's Unicode strings and back, through the character
// table. Sizes of calculator text are counted in calculator bytes, never in QChars:
// two calculator codes lie outside the BMP (two QChars each) and two are a letter
// with a combining overline.
#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

class QLineEdit;

namespace scrivle {

QString toQString(std::string_view calcBytes);
// A character without a calculator equivalent becomes '?'.
std::string fromQString(const QString& text);
// Number of calculator bytes the text stands for.
int calcLength(const QString& text);
// The longest leading part of the text that holds at most maxBytes calculator bytes
// (never splits a surrogate pair or an x/y-bar sequence).
QString truncateToCalcBytes(const QString& text, int maxBytes);

// Keeps a line edit to at most maxBytes calculator bytes. Typing into a full box
// changes nothing; a paste that would not fit is cut to what fits.
class CalcLengthValidator : public QValidator {
  Q_OBJECT
 public:
  explicit CalcLengthValidator(int maxBytes, QObject* parent = nullptr);
  int maxBytes() const { return maxBytes_; }
  State validate(QString& input, int& pos) const override;

 private:
  int maxBytes_;
};

// Installs a CalcLengthValidator (owned by the edit) and cuts the current text.
// QLineEdit::setText bypasses validators: put calculator text in with
// truncateToCalcBytes.
void limitCalcLength(QLineEdit* edit, int maxBytes);

}  // namespace scrivle
