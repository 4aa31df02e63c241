// SPDX-License-Identifier: GPL-3.0-or-later
#include "telemetrychart.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

#include "wholefile.h"

namespace quillon::app {

namespace {

constexpr int kTimeTicks = 5;

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

// Stops as soon as the chart is closed: a long log never holds up the end of the program.
void readFile(QPromise<std::pair<quillon::Telemetry, std::string>>& promise, const QString& path) {
  quillon::Telemetry telemetry;
  std::string error =
      telemetry.readFile(QFile::encodeName(path).toStdString(), [&promise] { return promise.isCanceled(); });
  telemetry.sortByTime();
  promise.addResult(std::pair(std::move(telemetry), std::move(error)));
}

}  // namespace

TelemetryChart::TelemetryChart(const QString& logPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      fields(new QListWidget(this)),
      chart(new QChart),
      view(new QChartView(chart, this)),
      noteLabel(new QLabel(this)) {
  setWindowTitle(tr("Telemetry Chart"));
  setObjectName(QStringLiteral("telemetryChart"));
  resize(960, 560);
  for (const quillon::TelemetrySeries& series : telemetry.series()) {
    auto* item = new QListWidgetItem(fromStd(series.name()), fields);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  fields->setFixedWidth(fields->sizeHintForColumn(0) + 2 * fields->frameWidth() + 4);
  connect(fields, &QListWidget::itemChanged, this, &TelemetryChart::refresh);
  view->setRenderHint(QPainter::Antialiasing);
  view->viewport()->setMouseTracking(true);  // hovering a point shows its value and time
  view->viewport()->installEventFilter(this);
  chart->legend()->setAlignment(Qt::AlignBottom);
  noteLabel->setTextFormat(Qt::PlainText);
  noteLabel->setObjectName(QStringLiteral("note"));

  auto* open = new QPushButton(tr("&Open JSON Lines..."), this);
  auto* save = new QPushButton(tr("&Export PNG..."), this);
  connect(open, &QPushButton::clicked, this, &TelemetryChart::askForFile);
  connect(save, &QPushButton::clicked, this, &TelemetryChart::askForPng);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(open);
  buttons->addWidget(save);
  buttons->addStretch();
  auto* right = new QVBoxLayout;
  right->addLayout(buttons);
  right->addWidget(view, 1);
  right->addWidget(noteLabel);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(fields);
  layout->addLayout(right, 1);

  connect(&reader, &QFutureWatcher<FileRead>::finished, this, &TelemetryChart::takeRead);
  if (QFileInfo::exists(logPath)) openFile(logPath);
}

TelemetryChart::~TelemetryChart() {
  reader.cancel();
  reader.waitForFinished();  // the reader stops at its next line
}

void TelemetryChart::openFile(const QString& path) {
  queue << path;
  if (reading.isEmpty()) readNext();
}

void TelemetryChart::readNext() {
  if (queue.isEmpty()) return;
  reading = queue.takeFirst();
  noteLabel->setText(tr("Reading %1...").arg(reading));
  reader.setFuture(QtConcurrent::run(readFile, reading));
}

void TelemetryChart::takeRead() {
  const auto [read, error] = reader.result();
  telemetry.merge(read);
  notes << QFileInfo(reading).fileName() + QStringLiteral(": ") +
               (error.empty() ? fromStd(read.note()) : tr("not read (%1)").arg(fromStd(error)));
  noteLabel->setText(note());
  // A first look without a click: the first field that has points, when none is picked.
  int pick = -1;
  for (int i = 0; i < fields->count(); ++i) {
    if (fields->item(i)->checkState() == Qt::Checked) pick = -2;
    if (pick == -1 && !telemetry.series()[static_cast<std::size_t>(i)].points.empty()) pick = i;
  }
  if (pick >= 0) fields->item(pick)->setCheckState(Qt::Checked);
  refresh();
  reading.clear();
  emit fileRead();
  readNext();
}

void TelemetryChart::addRecord(const std::string& record) {
  quillon::Telemetry one;
  one.addLine(record);
  telemetry.merge(one);
  refresh();
}

QString TelemetryChart::note() const { return notes.join(QLatin1Char('\n')); }

void TelemetryChart::refresh() {
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis), delete axis;
  constexpr double kHuge = 1e300;
  double first = kHuge, last = -kHuge, low = kHuge, high = -kHuge;
  const auto buckets = static_cast<std::size_t>(std::max(view->width(), 100));
  for (int i = 0; i < fields->count(); ++i) {
    const quillon::TelemetrySeries& data = telemetry.series()[static_cast<std::size_t>(i)];
    if (fields->item(i)->checkState() != Qt::Checked || data.points.empty()) continue;
    QList<QPointF> points;
    for (const quillon::TelemetryPoint& p : quillon::decimate(data.points, buckets)) {
      points.append({p.utcMs, p.value});
      low = std::min(low, p.value);
      high = std::max(high, p.value);
    }
    first = std::min(first, data.points.front().utcMs);
    last = std::max(last, data.points.back().utcMs);
    auto* series = new QLineSeries;
    series->setName(fromStd(data.name()));
    series->replace(points);
    series->setPointsVisible(points.size() <= 300);
    series->setProperty("field", i);
    chart->addSeries(series);
  }
  if (first > last) return;
  if (last - first < 60000) first -= 30000, last += 30000;  // one check still gets an axis
  const double margin = std::max((high - low) * 0.05, 0.05);
  auto* time = new QCategoryAxis;
  time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  time->setTitleText(tr("UTC"));
  time->setRange(first, last);
  time->setStartValue(first);
  for (int t = 0; t <= kTimeTicks; ++t) {
    const double at = first + (last - first) * t / kTimeTicks;
    time->append(fromStd(quillon::utcTimeText(at, 2)).replace(QLatin1Char(' '), QStringLiteral("<br>")), at);
  }
  // The last time label is centred on the axis's end: the chart leaves room for its right half.
  QMargins margins = chart->margins();
  const int halfLabel = QFontMetrics(time->labelsFont()).horizontalAdvance(QStringLiteral("0000/00/00")) / 2;
  margins.setRight(std::max(margins.left(), halfLabel + 4));
  chart->setMargins(margins);
  auto* values = new QValueAxis;
  values->setRange(low - margin, high + margin);
  chart->addAxis(time, Qt::AlignBottom);
  chart->addAxis(values, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(time);
    series->attachAxis(values);
  }
}

bool TelemetryChart::eventFilter(QObject* watched, QEvent* event) {
  // The view's own tooltip handling would hide the point's tooltip again: it is ours.
  if (event->type() == QEvent::ToolTip) return showPointAt(static_cast<QHelpEvent*>(event)->pos()), true;
  if (event->type() == QEvent::MouseMove) showPointAt(static_cast<QMouseEvent*>(event)->position());
  return QWidget::eventFilter(watched, event);
}

void TelemetryChart::showPointAt(const QPointF& pointer) {
  constexpr double kReach = 8;  // [px]
  const QPointF at = view->mapToScene(pointer.toPoint());
  for (QAbstractSeries* shown : chart->series()) {
    const quillon::TelemetrySeries& data = telemetry.series()[shown->property("field").toUInt()];
    const double t = chart->mapToValue(chart->mapFromScene(at), shown).x();
    // The logged point nearest in time to the pointer, if it is near on the screen too.
    auto next = std::lower_bound(data.points.begin(), data.points.end(), t,
                                 [](const quillon::TelemetryPoint& p, double time) { return p.utcMs < time; });
    if (next == data.points.end() || (next != data.points.begin() && t - next[-1].utcMs < next->utcMs - t)) --next;
    const QPointF spot = chart->mapToScene(chart->mapToPosition({next->utcMs, next->value}, shown));
    if (std::hypot(spot.x() - at.x(), spot.y() - at.y()) > kReach) continue;
    QToolTip::showText(view->viewport()->mapToGlobal(pointer.toPoint()),
                       fromStd(data.name() + ": " + quillon::pointText(data, *next)), view);
    return;
  }
  QToolTip::hideText();
}

void TelemetryChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  refresh();  // the points drawn follow the width
}

void TelemetryChart::askForFile() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open JSON Lines"), QString(),
                                                    tr("JSON Lines (*.jsonl *.json *.log);;All files (*)"));
  if (!path.isEmpty()) openFile(path);
}

void TelemetryChart::askForPng() {
  const QString path =
      QFileDialog::getSaveFileName(this, tr("Export PNG"), QStringLiteral("telemetry.png"), tr("PNG image (*.png)"));
  if (!path.isEmpty()) exportPng(path);
}

bool TelemetryChart::exportPng(const QString& path) {
  // Made in memory first: the file is then written whole or not at all.
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  const QString error = view->grab().save(&png, "PNG") ? writeWholeFile(path, png.data()) : tr("no image");
  if (!error.isEmpty()) noteLabel->setText(tr("The chart could not be exported: %1 (%2).").arg(path, error));
  return error.isEmpty();
}

}  // namespace quillon::app
