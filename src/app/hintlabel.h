// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live letter check under an input, readable at a glance in any look of the desktop.
//
//   hint line --word wrap--> as many lines as the template gives it; when even those are too
//             few, the sentences that fit and "...", the tooltip has all
//   warns     --> a red that keeps 4.5:1 contrast with the window's background, set as the
//                 label's own style so neither a palette nor a style sheet can hide it
//
// The colour follows palette and style sheet changes while the dialog runs.

#include <QLabel>

namespace quillon::app {

class HintLabel : public QLabel {
  Q_OBJECT

 public:
  explicit HintLabel(QWidget* parent = nullptr);

  void setHint(const QString& line, const QString& detail, bool warns);
  QString line() const { return wholeLine; }

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fit();
  void colour();
  bool fits(const QString& text) const;

  QString wholeLine;
  bool warns = false;
};

// The contrast ratio of two colours, 1 to 21, as accessibility guidelines define it.
double contrast(const QColor& a, const QColor& b);

}  // namespace quillon::app
