// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A clock panel field: one short ASCII text that changes up to 20 times a second, which the
// operator can still select and copy while it ticks.
//
// Each character is drawn once per font, palette and pixel ratio into a cell as tall as the
// field, plain and selected. A tick then only copies the cells of the characters that changed
// into the window's backing store: no text is shaped, laid out or drawn. The selection is kept
// by character position across ticks (the panel's texts keep their length), shown only while
// the field has the focus, as in a line edit, and put into the primary selection on X11.

#include <QImage>
#include <QRawFont>
#include <QWidget>
#include <array>

namespace quillon::app {

class ClockField : public QWidget {
  Q_OBJECT

 public:
  explicit ClockField(QWidget* parent = nullptr);

  QString text() const { return shown; }
  // Draws the characters that changed straight into the window's backing store and returns
  // that area of the window, for the caller to put on screen in one flush with the panel's
  // other fields. Empty when the field repaints through the widget tree instead.
  [[nodiscard]] QRect setText(QLatin1StringView text);

  QString selectedText() const;
  void selectAll();
  void copy() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct Glyph {
    quint32 index = 0;
    qreal advance = -1;  // [px]; < 0: not looked up yet
  };
  struct Cell {
    QImage plain;
    QImage selected;
  };
  static constexpr qsizetype kMaxLength = 63;
  static constexpr qreal kMargin = 2;  // left of the text [px]

  char16_t codeAt(qsizetype position) const;
  const Glyph& glyphOf(char16_t code);
  void forgetCells();
  const QImage& cellAt(qsizetype position);
  QImage drawCell(char16_t code, bool selected);
  bool copyCells(QImage& store, QPoint origin, qsizetype from);
  void layOut();
  int widthAt(qsizetype position) const;  // [device px]
  qreal xOf(qsizetype position) const {
    return (margin + offsets[static_cast<std::size_t>(position)]) / ratio;
  }
  qsizetype positionAt(qreal x) const;
  void offerSelection() const;

  QString shown;
  QRawFont rawFont;
  std::array<Glyph, 128> glyphs{};
  std::array<Cell, 128> cells;
  QImage::Format cellFormat = QImage::Format_ARGB32_Premultiplied;
  qreal ratio = 1;                            // device pixels per pixel, as the cells were drawn
  int margin = 2;                             // kMargin [device px]
  std::array<int, kMaxLength + 1> offsets{};  // each character boundary from the text's start [device px]
  qsizetype anchor = 0;
  qsizetype cursor = 0;
};

}  // namespace quillon::app
