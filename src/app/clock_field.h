// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A clock panel field: one short ASCII text that changes up to 20 times a second, which the
// operator can still select and copy while it ticks.
//
// Each character's glyph and advance are looked up once per font; a new text only picks
// glyphs from that table, so a tick neither shapes nor lays out text. The selection is
// kept by character position across ticks (the panel's texts keep their length).

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QWidget>
#include <array>

namespace quillon::app {

class ClockField : public QWidget {
  Q_OBJECT

 public:
  explicit ClockField(QWidget* parent = nullptr);

  QString text() const { return shown; }
  // Repaints only when the text changed.
  void setText(const QString& text);

  QString selectedText() const;
  void selectAll();
  void copy() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  struct Glyph {
    quint32 index = 0;
    qreal advance = -1;  // < 0: not looked up yet
  };
  void layOut();
  void paint(QPainter& painter) const;
  qreal xOf(qsizetype position) const { return left + offsets[static_cast<std::size_t>(position)]; }
  qsizetype positionAt(qreal x) const;

  QString shown;
  QRawFont rawFont;
  std::array<Glyph, 128> glyphs{};
  QGlyphRun run;
  std::array<qreal, 64> offsets{};  // x of each character boundary from the text's start
  qreal left = 2;                  // inner margin [px]
  qsizetype anchor = 0;
  qsizetype cursor = 0;
};

}  // namespace quillon::app
