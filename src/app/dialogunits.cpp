// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogunits.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

namespace quillon::app {

namespace {

// value * numerator / denominator rounded to nearest, so a control never loses a pixel to truncation.
int scaled(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  return static_cast<int>((product + (product >= 0 ? denominator : -denominator) / 2) / denominator);
}

}  // namespace

QFont dialogFont() {
  for (const char* family : {"MS UI Gothic", "IPAPGothic"}) {
    // Ask the database first: QFont itself would silently substitute a look-alike.
    if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
      QFont font(QString::fromLatin1(family), 9);
      font.setStyleStrategy(QFont::PreferMatch);
      return font;
    }
  }
  return QApplication::font();
}

DialogUnits::DialogUnits(const QFontMetrics& metrics)
    : baseX(0), baseY(metrics.height()) {
  static const QString alphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX = scaled(metrics.horizontalAdvance(alphabet), 1, 52);
}

int DialogUnits::x(int dluX) const { return scaled(dluX, baseX, 4); }
int DialogUnits::y(int dluY) const { return scaled(dluY, baseY, 8); }

QRect DialogUnits::rect(int dluX, int dluY, int dluWidth, int dluHeight) const {
  return {x(dluX), y(dluY), x(dluWidth), y(dluHeight)};
}

}  // namespace quillon::app
