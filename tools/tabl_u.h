// The character table window.
#pragma once

#include <QWidget>

namespace scrivle {

class TTable : public QWidget {
  Q_OBJECT
 public:
  explicit TTable(QWidget* parent = nullptr) : QWidget(parent, Qt::Tool) { setObjectName("Table"); }
};

}  // namespace scrivle
