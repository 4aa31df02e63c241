// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialog units: the layout's measure, taken from the dialog font's own metrics, so the
// whole layout follows the font and the screen.
//
//   base x = average width of "A".."Z" "a".."z" (rounded), base y = font height
//   px x   = dlu x * base x / 4,    px y = dlu y * base y / 8   (rounded to nearest)

#include <QFont>
#include <QRect>

class QFontMetrics;

namespace quillon::app {

// "MS UI Gothic" 9 pt when it is installed, else the metrically close "IPAPGothic"
// 9 pt, else the system font.
QFont dialogFont();

class DialogUnits {
 public:
  explicit DialogUnits(const QFontMetrics& metrics);

  int x(int dluX) const;
  int y(int dluY) const;
  // A rectangle given as x, y, width, height in dialog units.
  QRect rect(int dluX, int dluY, int dluWidth, int dluHeight) const;

 private:
  int baseX;
  int baseY;
};

}  // namespace quillon::app
