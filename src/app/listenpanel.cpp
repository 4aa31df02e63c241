// SPDX-License-Identifier: GPL-3.0-or-later
#include "listenpanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace quillon::app {

namespace {

constexpr int kWaterfallRows = 60;  // 3 s at 20 rows a second
constexpr std::size_t kHeardLetters = 120;

// A level above the row's floor [dB], from the dark of the noise to white.
QRgb colourOf(float aboveFloor) {
  const float v = std::clamp(aboveFloor / 30.0F, 0.0F, 1.0F);
  const int r = static_cast<int>(255 * std::clamp(2 * v - 0.5F, 0.0F, 1.0F));
  const int g = static_cast<int>(255 * std::clamp(2 * v - 1.0F, 0.0F, 1.0F) + 80 * v);
  const int b = static_cast<int>(80 + 175 * v - 150 * std::clamp(2 * v - 1.0F, 0.0F, 1.0F));
  return qRgb(r, std::min(g, 255), std::clamp(b, 0, 255));
}

}  // namespace

Waterfall::Waterfall(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(kWaterfallRows);
  setCursor(Qt::CrossCursor);
  setToolTip(tr("Spectrum over time; the marked tone is the one followed. Click a tone to follow it."));
}

void Waterfall::resizeEvent(QResizeEvent*) {
  QImage grown(std::max(width(), 1), kWaterfallRows, QImage::Format_RGB32);
  grown.fill(Qt::black);
  if (!picture.isNull()) {
    QPainter p(&grown);
    p.drawImage(grown.rect(), picture);
  }
  picture = grown;
}

void Waterfall::addRows(const std::vector<std::vector<float>>& rows, double topHz, double toneHz) {
  top = topHz;
  tone = toneHz;
  for (const std::vector<float>& row : rows) {
    if (row.empty()) continue;
    std::memmove(picture.scanLine(1), picture.scanLine(0), static_cast<std::size_t>(picture.bytesPerLine()) * (picture.height() - 1));
    std::vector<float> sorted(row);
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const float floor = sorted[sorted.size() / 2];  // the noise: most of the band
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(0));
    for (int x = 0; x < picture.width(); ++x) {
      line[x] = colourOf(row[static_cast<std::size_t>(x) * row.size() / static_cast<std::size_t>(picture.width())] - floor);
    }
  }
  update();
}

void Waterfall::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(rect(), picture);
  if (tone <= 0) return;
  const int x = static_cast<int>(tone / top * width());
  p.setPen(QPen(Qt::red, 2));
  p.drawLine(x, 0, x, 6);
  p.drawLine(x, height() - 6, x, height());
}

void Waterfall::mousePressEvent(QMouseEvent* event) {
  emit toneClicked(event->position().x() / std::max(width(), 1) * top);
}

ListenPanel::ListenPanel(QWidget* parent) : QWidget(parent), water(new Waterfall(this)), heard(new QLabel(this)) {
  heard->setTextFormat(Qt::RichText);
  heard->setObjectName(QStringLiteral("heard"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(water, 1);
  layout->addWidget(heard);
}

void ListenPanel::clear() {
  letters.clear();
  showHeard();
}

void ListenPanel::addLetters(const std::vector<audio::AudioLetter>& more) {
  for (const audio::AudioLetter& letter : more) letters.push_back(letter);
  while (letters.size() > kHeardLetters) letters.pop_front();
  showHeard();
}

QString ListenPanel::heardText() const {
  QString text;
  for (const audio::AudioLetter& l : letters) {
    if (!text.isEmpty() && l.heard.gapBefore != Gap::Letter) text += l.heard.gapBefore == Gap::Pause ? QStringLiteral(" | ") : QStringLiteral(" ");
    text += l.heard.letter ? QChar(static_cast<char16_t>(l.heard.letter)) : u'?';
  }
  return text;
}

void ListenPanel::showHeard() {
  // A letter the decoder is sure of in the text colour; a doubtful one fades toward the
  // window's colour the less sure it is, so the eye finds what was not copied.
  const QColor text = palette().color(QPalette::WindowText), back = palette().color(QPalette::Window);
  QString html;
  for (const audio::AudioLetter& l : letters) {
    if (!html.isEmpty() && l.heard.gapBefore != Gap::Letter) html += l.heard.gapBefore == Gap::Pause ? QStringLiteral(" | ") : QStringLiteral(" ");
    const double sure = l.heard.confidence >= kTrustedConfidence ? 1.0 : 0.25 + 0.5 * l.heard.confidence;
    const QColor shade = QColor::fromRgbF(static_cast<float>(sure * text.redF() + (1 - sure) * back.redF()),
                                          static_cast<float>(sure * text.greenF() + (1 - sure) * back.greenF()),
                                          static_cast<float>(sure * text.blueF() + (1 - sure) * back.blueF()));
    const QChar c = l.heard.letter ? QChar(static_cast<char16_t>(l.heard.letter)) : u'?';
    html += sure < 1 ? QStringLiteral("<span style=\"color:%1\">%2</span>").arg(shade.name(), QString(c).toHtmlEscaped())
                     : QString(c).toHtmlEscaped();
  }
  heard->setText(QStringLiteral("<tt>") + html + QStringLiteral("</tt>"));
  heard->setAccessibleName(heardText());
}

}  // namespace quillon::app
