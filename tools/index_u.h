// The bookmarks window.
#pragma once

#include <QWidget>

namespace scrivle {

class Tindex : public QWidget {
  Q_OBJECT
 public:
  explicit Tindex(QWidget* parent = nullptr) : QWidget(parent, Qt::Tool) {
    setObjectName("index");
    setWindowTitle("Bookmarks");
  }
};

}  // namespace scrivle
