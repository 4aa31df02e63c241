// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the operator sees while listening, at the window's foot:
//
//   Waterfall: the spectrum over time, newest at the top, 0 Hz to its top frequency left
//              to right, the tone the decoder follows marked; a click asks to follow another
//   heard line: the letters heard so far, each doubtful one paler the less sure it is

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <deque>
#include <vector>

#include "audio/cwdecoder.h"

namespace quillon::app {

class Waterfall : public QWidget {
  Q_OBJECT

 public:
  explicit Waterfall(QWidget* parent = nullptr);
  void addRows(const std::vector<std::vector<float>>& rows, double topHz, double toneHz);
  double toneHz() const { return tone; }

 signals:
  void toneClicked(double hz);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage picture;  // one pixel row per spectrum row, newest at the top
  double top = 3000;
  double tone = 0;
};

class ListenPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ListenPanel(QWidget* parent = nullptr);
  Waterfall* waterfall() const { return water; }
  // The letters heard, as plain text: what the heard line shows.
  QString heardText() const;
  void addLetters(const std::vector<audio::AudioLetter>& letters);
  void clear();

 private:
  void showHeard();

  Waterfall* water;
  QLabel* heard;
  std::deque<audio::AudioLetter> letters;  // the last ones, as many as the line shows
};

}  // namespace quillon::app
