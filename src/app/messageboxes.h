// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog's only way to tell the operator something: a modal box with one OK button
// and no icon. A seam, so tests can record and answer the boxes instead of clicking.

#include <QString>

class QWidget;

namespace quillon::app {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Returns once the operator has closed the box.
  virtual void inform(QWidget* owner, const QString& caption, const QString& text) = 0;
};

// The real thing: a QMessageBox owned by `owner`, run modally.
class ModalMessageBoxes final : public MessageBoxes {
 public:
  void inform(QWidget* owner, const QString& caption, const QString& text) override;
};

}  // namespace quillon::app
