// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock_field.h"

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace quillon::app {

ClockField::ClockField(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::IBeamCursor);
  // Opaque: a tick repaints the field alone, not the group box behind it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  rawFont = QRawFont::fromFont(font());
}

void ClockField::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    rawFont = QRawFont::fromFont(font());
    glyphs = {};
    layOut();
  }
  QWidget::changeEvent(event);
}

void ClockField::setText(const QString& text) {
  if (text == shown) return;
  const QString before = std::exchange(shown, text.left(static_cast<qsizetype>(offsets.size()) - 1));
  const qreal wasWide = xOf(before.size());
  anchor = std::min(anchor, shown.size());
  cursor = std::min(cursor, shown.size());
  qsizetype same = 0;  // leading characters that stay: a tick mostly changes the last digits
  while (same < before.size() && same < shown.size() && before[same] == shown[same]) ++same;
  layOut();
  // From the first changed character to the end of the longer text.
  const int from = static_cast<int>(std::floor(xOf(same)));
  const QRect changed(from, 0, static_cast<int>(std::ceil(std::max(wasWide, xOf(shown.size())))) + 1 - from, height());
  QWindow* screen = window()->windowHandle();
  QBackingStore* store = window()->backingStore();
  if (!isVisible() || !screen || !screen->isExposed() || !store) return update(changed);
  // Straight into the window's backing store and onto the screen, within the tick: one
  // small paint and one flush, without a pass through the event loop and the widget tree.
  // Nothing lies on top of a clock field, so nothing else needs painting there.
  const QRect area(mapTo(window(), changed.topLeft()), changed.size());
  store->beginPaint(area);
  {
    QPainter painter(store->paintDevice());
    painter.setClipRect(area);
    painter.translate(mapTo(window(), QPoint()));
    paint(painter);
  }
  store->endPaint();
  store->flush(area, screen);
}

void ClockField::layOut() {
  QList<quint32> indexes;
  QList<QPointF> positions;
  indexes.reserve(shown.size());
  positions.reserve(shown.size());
  qreal x = 0;
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const char16_t c = shown[i].unicode() < glyphs.size() ? shown[i].unicode() : u'?';
    Glyph& glyph = glyphs[c];
    if (glyph.advance < 0) {
      const QList<quint32> found = rawFont.glyphIndexesForString(QString(QChar(c)));
      glyph.index = found.value(0);
      glyph.advance = rawFont.advancesForGlyphIndexes(found).value(0).x();
    }
    offsets[static_cast<std::size_t>(i)] = x;
    indexes.push_back(glyph.index);
    positions.push_back(QPointF(x, 0));
    x += glyph.advance;
  }
  offsets[static_cast<std::size_t>(shown.size())] = x;
  run.setRawFont(rawFont);
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
}

void ClockField::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter);
}

void ClockField::paint(QPainter& painter) const {
  painter.fillRect(rect(), palette().window());
  const QPointF baseline(left, (height() - rawFont.ascent() - rawFont.descent()) / 2 + rawFont.ascent());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawGlyphRun(baseline, run);
  if (anchor == cursor) return;
  const QRectF selection(QPointF(xOf(std::min(anchor, cursor)), 0), QPointF(xOf(std::max(anchor, cursor)), height()));
  painter.fillRect(selection, palette().highlight());
  painter.setClipRect(selection);
  painter.setPen(palette().color(QPalette::HighlightedText));
  painter.drawGlyphRun(baseline, run);
}

QString ClockField::selectedText() const {
  return shown.mid(std::min(anchor, cursor), std::abs(cursor - anchor));
}

void ClockField::selectAll() {
  anchor = 0;
  cursor = shown.size();
  update();
}

void ClockField::copy() const {
  if (anchor != cursor) QApplication::clipboard()->setText(selectedText());
}

qsizetype ClockField::positionAt(qreal x) const {
  qsizetype best = 0;
  for (qsizetype i = 1; i <= shown.size(); ++i) {
    if (std::abs(xOf(i) - x) < std::abs(xOf(best) - x)) best = i;
  }
  return best;
}

void ClockField::focusInEvent(QFocusEvent* event) {
  // Reached by Tab, the whole text is selected, ready to copy, as in a line edit.
  if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) selectAll();
  QWidget::focusInEvent(event);
}

void ClockField::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copy();
  } else if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
  } else {
    QWidget::keyPressEvent(event);
  }
}

void ClockField::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  anchor = cursor = positionAt(event->position().x());
  update();
}

void ClockField::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  cursor = positionAt(event->position().x());
  update();
}

void ClockField::mouseDoubleClickEvent(QMouseEvent*) { selectAll(); }

void ClockField::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(tr("&Copy"), QKeySequence::Copy, this, &ClockField::copy)->setEnabled(anchor != cursor);
  menu.addAction(tr("Select &All"), QKeySequence::SelectAll, this, &ClockField::selectAll);
  menu.exec(event->globalPos());
}

}  // namespace quillon::app
