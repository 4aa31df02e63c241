// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockfield.h"

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillon::app {

ClockField::ClockField(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::IBeamCursor);
  // Opaque: a tick repaints the field alone, not the group box behind it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  rawFont = QRawFont::fromFont(font());
  forgetCells();
}

void ClockField::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    rawFont = QRawFont::fromFont(font());
    glyphs = {};
    forgetCells();
  } else if (event->type() == QEvent::PaletteChange) {
    forgetCells();
  }
  QWidget::changeEvent(event);
}

void ClockField::resizeEvent(QResizeEvent* event) {
  forgetCells();  // the cells are as tall as the field
  QWidget::resizeEvent(event);
}

char16_t ClockField::codeAt(qsizetype position) const {
  const char16_t code = shown[position].unicode();
  return code < glyphs.size() ? code : u'?';
}

const ClockField::Glyph& ClockField::glyphOf(char16_t code) {
  Glyph& glyph = glyphs[code];
  if (glyph.advance < 0) {
    const QList<quint32> found = rawFont.glyphIndexesForString(QString(QChar(code)));
    glyph.index = found.value(0);
    glyph.advance = rawFont.advancesForGlyphIndexes(found).value(0).x();
  }
  return glyph;
}

void ClockField::forgetCells() {
  cells = {};
  ratio = devicePixelRatioF();
  margin = qRound(kMargin * ratio);
  layOut();
}

// Each character starts on the device pixel nearest its exact place, as laid-out text does,
// so a character's cell is shown a pixel narrower than drawn where the advance rounds down.
void ClockField::layOut() {
  qreal x = 0;
  for (qsizetype i = 0; i < shown.size(); ++i) {
    offsets[static_cast<std::size_t>(i)] = qRound(x * ratio);
    x += glyphOf(codeAt(i)).advance;
  }
  offsets[static_cast<std::size_t>(shown.size())] = qRound(x * ratio);
}

int ClockField::widthAt(qsizetype position) const {
  return offsets[static_cast<std::size_t>(position) + 1] - offsets[static_cast<std::size_t>(position)];
}

const QImage& ClockField::cellAt(qsizetype position) {
  const bool selected = std::min(anchor, cursor) <= position && position < std::max(anchor, cursor);
  const char16_t code = codeAt(position);
  QImage& cell = selected ? cells[code].selected : cells[code].plain;
  if (cell.isNull()) cell = drawCell(code, selected);
  return cell;
}

QImage ClockField::drawCell(char16_t code, bool selected) {
  const Glyph& glyph = glyphOf(code);
  QImage cell(static_cast<int>(std::ceil(glyph.advance * ratio)), qRound(height() * ratio), cellFormat);
  if (cell.isNull()) return cell;
  cell.setDevicePixelRatio(ratio);
  QPainter painter(&cell);
  painter.fillRect(QRectF(QPointF(), cell.deviceIndependentSize()),
                   selected ? palette().highlight() : palette().window());
  painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::WindowText));
  QGlyphRun run;
  run.setRawFont(rawFont);
  run.setGlyphIndexes({glyph.index});
  run.setPositions({QPointF()});
  painter.drawGlyphRun(QPointF(0, (height() - rawFont.ascent() - rawFont.descent()) / 2 + rawFont.ascent()),
                       run);
  return cell;
}

QRect ClockField::setText(QLatin1StringView text) {
  if (shown == text) return {};
  const QString before = std::exchange(shown, QString(text.left(kMaxLength)));
  const qreal wasWide = xOf(before.size());
  anchor = std::min(anchor, shown.size());
  cursor = std::min(cursor, shown.size());
  qsizetype same = 0;  // leading characters that stay: a tick mostly changes the last digits
  while (same < before.size() && same < shown.size() && before[same] == shown[same]) ++same;
  layOut();
  QWindow* screen = window()->windowHandle();
  QBackingStore* store = window()->backingStore();
  // A shorter text leaves characters to wipe: that takes a whole paint.
  if (!isVisible() || !screen || !screen->isExposed() || !store || shown.size() < before.size()) {
    update();
    return {};
  }
  // Straight into the window's backing store, within the tick: a few rows of pixels, without
  // a pass through the event loop and the widget tree. Nothing lies on top of a clock field,
  // so nothing else needs painting there.
  const QPoint origin = mapTo(window(), QPoint());
  const int from = static_cast<int>(std::floor(xOf(same)));
  const QRect changed(
      origin + QPoint(from, 0),
      QSize(static_cast<int>(std::ceil(std::max(wasWide, xOf(shown.size())))) + 1 - from, height()));
  store->beginPaint(changed);
  QPaintDevice* device = store->paintDevice();
  const bool copied =
      device->devType() == QInternal::Image && copyCells(*static_cast<QImage*>(device), origin, same);
  store->endPaint();
  if (copied) return changed;
  update();  // cells of another pixel ratio (the window moved to another screen) are drawn anew
  return {};
}

// The cells are kept in the store's own pixel format and ratio, so their rows are copied as
// they are, clipped to the field and the store.
bool ClockField::copyCells(QImage& store, QPoint origin, qsizetype from) {
  if (store.devicePixelRatio() != ratio || store.depth() < 16) return false;
  if (store.format() != cellFormat) {
    cellFormat = store.format();
    cells = {};
  }
  const QPoint corner(qRound(origin.x() * ratio), qRound(origin.y() * ratio));
  const QRect field = QRect(corner, QSize(qRound(width() * ratio), qRound(height() * ratio))) & store.rect();
  const qsizetype bytes = store.depth() / 8;
  const qsizetype storeLine = store.bytesPerLine();
  uchar* const storeBits = store.bits();
  for (qsizetype i = from; i < shown.size(); ++i) {
    const QImage& cell = cellAt(i);
    const int x = corner.x() + margin + offsets[static_cast<std::size_t>(i)];
    const int first = std::max(x, field.left());
    const int last = std::min(x + std::min(cell.width(), widthAt(i)), field.right() + 1);
    const int rows = std::min(field.bottom() + 1, corner.y() + cell.height()) - field.top();
    if (first >= last || rows <= 0) continue;
    uchar* to = storeBits + field.top() * storeLine + first * bytes;
    const uchar* source =
        cell.constBits() + (field.top() - corner.y()) * cell.bytesPerLine() + (first - x) * bytes;
    for (int row = 0; row < rows; ++row, to += storeLine, source += cell.bytesPerLine()) {
      std::memcpy(to, source, static_cast<std::size_t>((last - first) * bytes));
    }
  }
  return true;
}

void ClockField::paintEvent(QPaintEvent*) {
  if (devicePixelRatioF() != ratio) forgetCells();
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const QImage& cell = cellAt(i);
    painter.drawImage(QPointF(xOf(i), 0), cell, QRectF(0, 0, std::min(cell.width(), widthAt(i)), cell.height()));
  }
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

void ClockField::focusOutEvent(QFocusEvent* event) {
  // One selection shows in the window: the focused control's. A menu or another window
  // taking the focus for a while leaves it, as a line edit does.
  if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason &&
      anchor != cursor) {
    anchor = cursor;
    update();
  }
  QWidget::focusOutEvent(event);
}

void ClockField::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copy();
  } else if (event->matches(QKeySequence::SelectAll)) {
    selectAll();
    offerSelection();
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

void ClockField::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) offerSelection();
}

void ClockField::mouseDoubleClickEvent(QMouseEvent*) {
  selectAll();
  offerSelection();
}

// What the operator selected with the mouse or Ctrl+A, ready for a middle click elsewhere.
void ClockField::offerSelection() const {
  QClipboard* clipboard = QApplication::clipboard();
  if (anchor != cursor && clipboard->supportsSelection())
    clipboard->setText(selectedText(), QClipboard::Selection);
}

void ClockField::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(tr("&Copy"), QKeySequence::Copy, this, &ClockField::copy)->setEnabled(anchor != cursor);
  menu.addAction(tr("Select &All"), QKeySequence::SelectAll, this, &ClockField::selectAll);
  menu.exec(event->globalPos());
}

}  // namespace quillon::app
