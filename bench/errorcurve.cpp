// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/errorcurve.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>
#include <string_view>

#include "audio/cwdecoder.h"
#include "audio/evidence.h"
#include "core/morse.h"

#ifdef QUILLON_BENCH_PLOT
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPixmap>
#include <QValueAxis>
#endif

double idealLetterError(double snrDb, bool wholeLetters, int trials) {
  // A unit slot of 60 ms (20 WPM) integrates the tone: its SNR over the noise density is
  // the SNR in 2,500 Hz times 2,500 Hz times 60 ms.
  const double rho = std::pow(10.0, snrDb / 10) * 2500 * 0.06;
  std::vector<std::vector<bool>> templates;  // letter slots, then a letter gap, then the next mark
  for (const char32_t c : quillon::audio::kBeaconAlphabet) {
    std::vector<bool> t;
    for (const char e : quillon::morseCode(c)) {
      for (int k = 0; k < (e == '-' ? 3 : 1); ++k) t.push_back(true);
      t.push_back(false);
    }
    t.push_back(false);
    t.push_back(false);
    t.push_back(true);
    templates.push_back(t);
  }
  std::mt19937_64 random(static_cast<std::uint64_t>(snrDb * 100 + 5000) * 2 + wholeLetters);
  std::normal_distribution<double> gauss(0, std::sqrt(0.5));
  std::size_t wrong = 0;
  std::vector<float> llr(32);
  for (int n = 0; n < trials; ++n) {
    const std::size_t pick = random() % templates.size();
    const auto& sent = templates[pick];
    for (std::size_t k = 0; k < llr.size(); ++k) {
      const double a = k < sent.size() && sent[k] ? std::sqrt(rho) : 0;
      const std::complex<double> y(a + gauss(random), gauss(random));
      llr[k] = quillon::audio::toneLlr(static_cast<float>(std::norm(y)), static_cast<float>(rho), 1);
    }
    if (!wholeLetters) {
      bool ok = true;
      for (std::size_t k = 0; k < sent.size(); ++k) ok = ok && ((llr[k] > 0) == sent[k]);
      wrong += !ok;
      continue;
    }
    std::size_t best = 0;
    double bestScore = -1e300;
    for (std::size_t c = 0; c < templates.size(); ++c) {
      double score = 0;
      for (std::size_t k = 0; k < templates[c].size(); ++k) score += templates[c][k] ? llr[k] : 0;
      if (score > bestScore) {
        bestScore = score;
        best = c;
      }
    }
    wrong += best != pick;
  }
  return static_cast<double>(wrong) / trials;
}

#ifdef QUILLON_BENCH_PLOT
bool drawErrorCurve(const std::string& path, const std::vector<CurvePoint>& points, int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  constexpr double kFloor = 1e-4;  // a share of 0 is drawn here, at the axis
  auto series = [&](const QString& name, const QColor& colour, Qt::PenStyle style) {
    auto* s = new QLineSeries;
    s->setName(name);
    QPen pen(colour);
    pen.setWidthF(2.5);
    pen.setStyle(style);
    s->setPen(pen);
    s->setPointsVisible(style == Qt::SolidLine);
    return s;
  };
  auto* quillon = series("quillon: wrong (an x counts)", QColor(0, 90, 200), Qt::SolidLine);
  auto* unmarked = series("quillon: wrong, not x", QColor(0, 160, 120), Qt::SolidLine);
  auto* multimon = series("multimon-ng MORSE_CW", QColor(200, 60, 40), Qt::SolidLine);
  auto* ditByDit = series("ideal: each dit on its own", QColor(120, 120, 120), Qt::DashLine);
  auto* whole = series("ideal: whole letters", QColor(40, 40, 40), Qt::DotLine);
  for (const CurvePoint& p : points) {
    quillon->append(p.snrDb, std::max(p.wrong, kFloor));
    unmarked->append(p.snrDb, std::max(p.wrongUnmarked, kFloor));
    multimon->append(p.snrDb, std::max(p.multimon, kFloor));
  }
  for (double snr = -14; snr <= 0; snr += 0.5) {
    const double d = idealLetterError(snr, false, 20000), w = idealLetterError(snr, true, 20000);
    if (d > kFloor) ditByDit->append(snr, d);
    if (w > kFloor) whole->append(snr, w);
  }
  auto* chart = new QChart;
  for (auto* s : {quillon, unmarked, multimon, ditByDit, whole}) chart->addSeries(s);
  chart->setTitle("Beacon letters wrong against SNR (20 WPM; SNR: key-down tone over noise in 2,500 Hz)");
  auto* x = new QValueAxis;
  x->setRange(-14, 10);
  x->setTickCount(13);
  x->setLabelFormat("%+.0f dB");
  auto* y = new QLogValueAxis;
  y->setRange(kFloor, 2);
  y->setLabelFormat("%g");
  y->setTitleText("share of letters wrong (0 drawn at 0.0001)");
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (auto* s : chart->series()) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  chart->legend()->setAlignment(Qt::AlignBottom);
  QChartView view(chart);
  view.setRenderHint(QPainter::Antialiasing);
  view.resize(1000, 640);
  return view.grab().save(QString::fromStdString(path), "PNG");
}
#else
bool drawErrorCurve(const std::string&, const std::vector<CurvePoint>&, int, char**) { return false; }
#endif
