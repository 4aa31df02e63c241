// SPDX-License-Identifier: GPL-3.0-or-later
#include "hintlabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace quillon::app {

namespace {

constexpr double kReadable = 4.5;

double luminance(const QColor& colour) {
  const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

}  // namespace

double contrast(const QColor& a, const QColor& b) {
  const double first = luminance(a), second = luminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

namespace {

// Red text for a warning on `background`: as dark (on a light background) or as light (on a
// dark one) as it takes to reach a contrast of 4.5:1, the least body text should have.
QColor warningColour(const QColor& background) {
  // Towards black or white, whichever stands out more from the background.
  const bool darken = contrast(background, Qt::black) >= contrast(background, Qt::white);
  int lightness = 88;  // about #b00020, a red that reads on light backgrounds
  QColor red = QColor::fromHsl(350, 255, lightness);
  while (contrast(red, background) < kReadable && lightness > 0 && lightness < 255) {
    lightness = std::clamp(lightness + (darken ? -8 : 8), 0, 255);
    red = QColor::fromHsl(350, 255, lightness);
  }
  return red;
}

}  // namespace

HintLabel::HintLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setWordWrap(true);
}

void HintLabel::setHint(const QString& line, const QString& detail, bool warning) {
  wholeLine = line;
  setToolTip(detail);
  setAccessibleName(line);
  fit();
  if (warns != warning) {
    warns = warning;
    colour();
  }
}

bool HintLabel::fits(const QString& text) const {
  const QRect room = contentsRect();
  return fontMetrics()
             .boundingRect(QRect(0, 0, room.width(), 1 << 16), Qt::TextWordWrap | alignment(), text)
             .height() <= room.height();
}

void HintLabel::fit() {
  if (fits(wholeLine)) return setText(wholeLine);
  // More than its room holds (several letters wrong at once): the sentences that fit whole,
  // else the words that do, then "..."; the tooltip names every field.
  const QString more = QStringLiteral(" \u2026");
  QString shown;
  for (const QString& between : {QStringLiteral("; "), QStringLiteral(" ")}) {
    for (qsizetype end = wholeLine.indexOf(between); end > 0 && fits(wholeLine.left(end) + more);
         end = wholeLine.indexOf(between, end + 1)) {
      shown = wholeLine.left(end);
    }
    if (!shown.isEmpty()) break;
  }
  setText(shown + more);
}

void HintLabel::colour() {
  // The label's own style sheet: it wins over the application's, where a palette would not.
  const QColor background = window()->palette().color(QPalette::Window);
  const QString look = warns ? QStringLiteral("color: %1").arg(warningColour(background).name()) : QString();
  if (styleSheet() != look) setStyleSheet(look);
}

void HintLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) colour();
  if (event->type() == QEvent::FontChange) fit();
}

void HintLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  if (!wholeLine.isEmpty()) fit();
}

}  // namespace quillon::app
