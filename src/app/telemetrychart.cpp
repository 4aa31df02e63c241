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
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "log/chartaxes.h"
#include "wholefile.h"

namespace quillon::app {

namespace {

constexpr int kSeriesRole = Qt::UserRole;  // the series of a field's row; -1 on a frame's heading
// One check gets a minute of axis, and zooming in stops there: every label of a shorter
// span would show the same seconds.
constexpr double kShortestSpanMs = 60000;

QString fromStd(const std::string& text) { return QString::fromStdString(text); }

// Stops as soon as the chart is closed: a long log never holds up the end of the program.
// The records travel in a shared pointer: a long log is handed over, never copied.
void readFile(QPromise<std::shared_ptr<std::pair<quillon::Telemetry, std::string>>>& promise,
              const QString& path) {
  quillon::Telemetry telemetry;
  std::string error =
      telemetry.readFile(QFile::encodeName(path).toStdString(), [&promise] { return promise.isCanceled(); });
  telemetry.sortByTime();
  promise.addResult(
      std::make_shared<std::pair<quillon::Telemetry, std::string>>(std::move(telemetry), std::move(error)));
}

// Counts and periods tick on whole numbers.
bool wholeUnit(const std::string& unit) { return unit == "count" || unit == "[sec]"; }

std::pair<double, double> atLeastShortestSpan(double low, double high) {
  const double middle = (low + high) / 2, half = std::max(high - low, kShortestSpanMs) / 2;
  return {middle - half, middle + half};
}

}  // namespace

TelemetryChart::TelemetryChart(const QString& logPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      fields(new QListWidget(this)),
      chart(new QChart),
      view(new QChartView(chart, this)),
      emptyLabel(new QLabel(view->viewport())),
      reset(new QPushButton(tr("&Reset Zoom"), this)),
      noteLabel(new QLabel(this)) {
  setWindowTitle(tr("Telemetry Chart"));
  setObjectName(QStringLiteral("telemetryChart"));
  resize(960, 560);
  // The fields under the frame that first carries them.
  const std::vector<quillon::TelemetrySeries>& all = sources.all().series();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i == 0 || all[i].frames.front() != all[i - 1].frames.front()) {
      auto* heading = new QListWidgetItem(fromStd(std::string(all[i].frames.front()->label)), fields);
      heading->setFlags(Qt::ItemIsEnabled);
      QFont bold = heading->font();
      bold.setBold(true);
      heading->setFont(bold);
      heading->setData(kSeriesRole, -1);
    }
    auto* item = new QListWidgetItem(fromStd(all[i].name()), fields);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(kSeriesRole, static_cast<int>(i));
    item->setIcon(swatch(Qt::transparent));  // room for its line's colour
  }
  fields->setFixedWidth(fields->sizeHintForColumn(0) + 2 * fields->frameWidth() + 4);
  connect(fields, &QListWidget::itemChanged, this, [this] {
    ticked = true;
    refresh();
  });
  // Room for the title, the legend, the time's two lines of labels and a few values.
  view->setMinimumHeight(20 * fontMetrics().height());
  view->setRenderHint(QPainter::Antialiasing);
  view->setRubberBand(QChartView::RectangleRubberBand);
  view->viewport()->setMouseTracking(true);  // hovering a point shows its value and time
  view->viewport()->installEventFilter(this);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->legend()->setShowToolTips(true);  // a name cut short shows whole
  // Ticks and points are made for the plot's width, known once the chart is laid out.
  connect(chart, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
    if (std::abs(area.width() - plotWidth) > 1) refreshSoon();
  });
  emptyLabel->setObjectName(QStringLiteral("emptyChart"));
  emptyLabel->setTextFormat(Qt::PlainText);
  emptyLabel->setAlignment(Qt::AlignCenter);
  emptyLabel->setWordWrap(true);
  emptyLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  noteLabel->setTextFormat(Qt::PlainText);
  noteLabel->setObjectName(QStringLiteral("note"));
  reset->setObjectName(QStringLiteral("resetZoom"));
  reset->setEnabled(false);

  auto* open = new QPushButton(tr("&Open JSON Lines..."), this);
  auto* save = new QPushButton(tr("&Export PNG..."), this);
  connect(open, &QPushButton::clicked, this, &TelemetryChart::askForFile);
  connect(save, &QPushButton::clicked, this, &TelemetryChart::askForPng);
  connect(reset, &QPushButton::clicked, this, &TelemetryChart::resetZoom);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(open);
  buttons->addWidget(save);
  buttons->addWidget(reset);
  buttons->addStretch();
  auto* right = new QVBoxLayout;
  right->addLayout(buttons);
  right->addWidget(view, 1);
  right->addWidget(noteLabel);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(fields);
  layout->addLayout(right, 1);

  connect(&reader, &QFutureWatcher<FileRead>::finished, this, &TelemetryChart::takeRead);
  followPalette();
  if (QFileInfo::exists(logPath)) openFile(logPath);
  refresh();
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
  auto& [read, error] = *reader.result();
  // One file by any of its names: read again, it replaces what it gave.
  const QFileInfo file(reading);
  const QString path =
      file.canonicalFilePath().isEmpty() ? file.absoluteFilePath() : file.canonicalFilePath();
  sources.setFile(QFile::encodeName(path).toStdString(), std::move(read), error);
  reading.clear();
  noteLabel->setText(note());
  tickFirstField();
  refresh();
  emit fileRead();
  readNext();
}

void TelemetryChart::addRecord(const std::string& record) {
  sources.addCheck(record);
  if (reading.isEmpty()) noteLabel->setText(note());
  tickFirstField();
  refresh();
}

// A first look without a click: the first field that has points, until one is ticked.
void TelemetryChart::tickFirstField() {
  if (ticked) return;
  for (int row = 0; row < fields->count(); ++row) {
    const int index = fields->item(row)->data(kSeriesRole).toInt();
    if (index < 0 || sources.all().series()[static_cast<std::size_t>(index)].points.empty()) continue;
    const QSignalBlocker quiet(fields);
    fields->item(row)->setCheckState(Qt::Checked);
    ticked = true;
    return;
  }
}

QString TelemetryChart::note() const { return fromStd(sources.note()); }

QString TelemetryChart::message() const { return said; }

void TelemetryChart::resetZoom() {
  timeZoom.reset();
  valueZoom.clear();
  refresh();
}

void TelemetryChart::refreshSoon() {
  if (refreshQueued) return;
  refreshQueued = true;
  QTimer::singleShot(0, this, &TelemetryChart::refresh);
}

void TelemetryChart::refresh() {
  refreshQueued = false;
  building = true;  // the axes' new ranges are no zoom
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) chart->removeAxis(axis), delete axis;
  reset->setEnabled(timeZoom || !valueZoom.empty());
  const quillon::Telemetry& data = sources.all();
  std::vector<std::size_t> shown;
  QStringList empty;
  for (int row = 0; row < fields->count(); ++row) {
    const int index = fields->item(row)->data(kSeriesRole).toInt();
    if (index < 0 || fields->item(row)->checkState() != Qt::Checked) continue;
    const quillon::TelemetrySeries& series = data.series()[static_cast<std::size_t>(index)];
    if (series.points.empty()) {
      empty << fromStd(series.name() + ": nothing to plot, " + quillon::noPointsReason(series));
    } else {
      shown.push_back(static_cast<std::size_t>(index));
    }
  }
  said = empty.join(QLatin1Char('\n'));
  if (shown.empty() && empty.isEmpty()) {
    said = !reading.isEmpty()    ? tr("Reading %1...").arg(QFileInfo(reading).fileName())
           : data.records() == 0 ? tr("No records to plot yet: check a frame, or open a JSON Lines file "
                                      "(the kept log or quillon-decode --json output).")
                                 : tr("Tick a field on the left to plot it.");
  }
  emptyLabel->setText(said);
  emptyLabel->setVisible(shown.empty());
  chart->setTitle(shown.empty() ? QString()
                                : said.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
  if (shown.empty()) {
    building = false;
    const QSignalBlocker quiet(fields);
    for (int row = 0; row < fields->count(); ++row) {
      if (fields->item(row)->data(kSeriesRole).toInt() >= 0)
        fields->item(row)->setIcon(swatch(Qt::transparent));
    }
    return;
  }

  allTime = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (std::size_t index : shown) {
    allTime.first = std::min(allTime.first, data.series()[index].points.front().utcMs);
    allTime.second = std::max(allTime.second, data.series()[index].points.back().utcMs);
  }
  allTime = atLeastShortestSpan(allTime.first, allTime.second);
  shownTime = timeZoom.value_or(allTime);
  plotWidth =
      std::max(chart->plotArea().width() > 0 ? chart->plotArea().width() : view->width() * 0.8, 100.0);
  // Each unit's lowest and highest value shown, in the order of their first fields.
  std::vector<std::pair<std::string, Range>> units;
  for (std::size_t index : shown) {
    const quillon::TelemetrySeries& series = data.series()[index];
    const auto& all = series.points;
    const auto later = [](const quillon::TelemetryPoint& p, double t) { return p.utcMs < t; };
    const auto first = std::lower_bound(all.begin(), all.end(), shownTime.first, later);
    const auto end = std::lower_bound(first, all.end(), shownTime.second + 1, later);
    auto unit =
        std::find_if(units.begin(), units.end(), [&](const auto& u) { return u.first == series.unit; });
    if (unit == units.end()) unit = units.insert(units.end(), {series.unit, {HUGE_VAL, -HUGE_VAL}});
    QList<QPointF> points;
    // The points on either side of the time shown carry the line to its edges.
    if (first != all.begin()) points.append({first[-1].utcMs, first[-1].value});
    for (const quillon::TelemetryPoint& p :
         quillon::decimate({first, end}, static_cast<std::size_t>(plotWidth))) {
      points.append({p.utcMs, p.value});
      unit->second = {std::min(unit->second.first, p.value), std::max(unit->second.second, p.value)};
    }
    if (end != all.end()) points.append({end->utcMs, end->value});
    if (first == end) {  // no point in the time shown: the neighbours set the values' range
      for (const QPointF& p : points)
        unit->second = {std::min(unit->second.first, p.y()), std::max(unit->second.second, p.y())};
    }
    auto* line = new QLineSeries;
    line->setName(fromStd(series.name()));
    line->replace(points);
    line->setPointsVisible(points.size() <= 300);
    line->setProperty("field", static_cast<int>(index));
    line->setProperty("unit", fromStd(series.unit));
    chart->addSeries(line);
  }
  addAxes(units);
  building = false;
  // The field list is the whole legend: a line's colour beside its field, however narrow
  // the chart's own legend.
  const QSignalBlocker quiet(fields);
  for (int row = 0; row < fields->count(); ++row) {
    const int index = fields->item(row)->data(kSeriesRole).toInt();
    if (index < 0) continue;
    QColor colour = Qt::transparent;
    for (QAbstractSeries* line : chart->series()) {
      if (line->property("field").toInt() == index) colour = static_cast<QLineSeries*>(line)->color();
    }
    fields->item(row)->setIcon(swatch(colour));
  }
}

QIcon TelemetryChart::swatch(const QColor& colour) const {
  QPixmap square(fields->iconSize().isValid() ? fields->iconSize() : QSize(16, 16));
  square.fill(colour);
  return QIcon(square);
}

void TelemetryChart::addAxes(const std::vector<std::pair<std::string, Range>>& units) {
  auto* time = new QCategoryAxis;
  time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  time->setTitleText(tr("UTC"));
  chart->addAxis(time, Qt::AlignBottom);
  time->setRange(shownTime.first, shownTime.second);
  // A label is its date over its time, with room to spare: the axis pads it on each side.
  const QFontMetricsF metrics(time->labelsFont());
  const double labelWidth =
      metrics.horizontalAdvance(QStringLiteral("0000/00/00")) + 2 * metrics.averageCharWidth();
  const quillon::TimeTicks ticks =
      quillon::timeTicks(shownTime.first, shownTime.second, plotWidth, labelWidth);
  time->setStartValue(shownTime.first);
  for (std::size_t i = 0; i < ticks.at.size(); ++i) {
    const bool end = i == 0 || i + 1 == ticks.at.size();  // exact times, to the second
    time->append(fromStd(quillon::timeTickText(ticks.at[i], end || ticks.seconds))
                     .replace(QLatin1Char('\n'), QStringLiteral("<br>")),
                 ticks.at[i]);
  }
  // The end's label is centred on the axis's end: the chart leaves room for its right half.
  QMargins margins = chart->margins();
  margins.setRight(static_cast<int>(labelWidth / 2));
  chart->setMargins(margins);
  // Never so narrow that the start and the end would be cut short: room for three labels
  // besides the value axes.
  const double valueAxis = metrics.horizontalAdvance(QStringLiteral("-000.00")) + 2 * metrics.height() + 16;
  view->setMinimumWidth(
      static_cast<int>(3.5 * labelWidth + static_cast<double>(units.size()) * valueAxis + 40));
  connect(time, &QValueAxis::rangeChanged, this, [this](qreal low, qreal high) {
    if (building) return;
    shownTime = *(timeZoom = atLeastShortestSpan(low, high));
    refreshSoon();
  });

  const double lineHeight = QFontMetricsF(time->labelsFont()).height();
  const int steps =
      std::max(2, static_cast<int>(std::max(chart->plotArea().height(), 200.0) / (2.5 * lineHeight)));
  for (std::size_t u = 0; u < units.size(); ++u) {
    const std::string& unit = units[u].first;
    const auto zoom = valueZoom.find(unit);
    const quillon::ValueScale scale =
        zoom != valueZoom.end()
            ? quillon::roundStepWithin(zoom->second.first, zoom->second.second, steps, wholeUnit(unit))
            : quillon::roundScale(units[u].second.first, units[u].second.second, steps, wholeUnit(unit));
    auto* values = new QValueAxis;
    values->setTitleText(fromStd(unit));
    values->setGridLineVisible(u == 0);  // one grid: a second would cross it
    chart->addAxis(values, u % 2 ? Qt::AlignRight : Qt::AlignLeft);
    values->setTickType(QValueAxis::TicksDynamic);
    values->setTickAnchor(0);
    values->setTickInterval(scale.step);
    values->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
    values->setRange(scale.low, scale.high);
    for (QAbstractSeries* series : chart->series()) {
      if (series->property("unit").toString() != fromStd(unit)) continue;
      series->attachAxis(time);
      series->attachAxis(values);
    }
    connect(values, &QValueAxis::rangeChanged, this, [this, unit](qreal low, qreal high) {
      if (building) return;
      valueZoom[unit] = {low, high};
      refreshSoon();
    });
  }
}

void TelemetryChart::wheelZoom(const QPointF& pointer, double factor) {
  if (chart->series().isEmpty()) return;
  const QPointF at =
      chart->mapToValue(chart->mapFromScene(view->mapToScene(pointer.toPoint())), chart->series().front());
  const double t = std::clamp(at.x(), shownTime.first, shownTime.second);
  const Range next =
      atLeastShortestSpan(t - (t - shownTime.first) * factor, t + (shownTime.second - t) * factor);
  if (next.first <= allTime.first && next.second >= allTime.second) {
    timeZoom.reset();  // all of it again
  } else {
    timeZoom = next;
  }
  refresh();
}

bool TelemetryChart::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    // The view's own tooltip handling would hide the point's tooltip again: it is ours.
    case QEvent::ToolTip: return showPointAt(static_cast<QHelpEvent*>(event)->pos()), true;
    case QEvent::MouseMove: showPointAt(static_cast<QMouseEvent*>(event)->position()); break;
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      if (wheel->angleDelta().y() != 0)
        wheelZoom(wheel->position(), std::pow(0.8, wheel->angleDelta().y() / 120.0));
      return true;
    }
    case QEvent::Resize: emptyLabel->setGeometry(view->viewport()->rect().adjusted(24, 24, -24, -24)); break;
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

void TelemetryChart::showPointAt(const QPointF& pointer) {
  constexpr double kReach = 8;  // [px]
  const QPointF at = view->mapToScene(pointer.toPoint());
  for (QAbstractSeries* shown : chart->series()) {
    const quillon::TelemetrySeries& data = sources.all().series()[shown->property("field").toUInt()];
    const double t = chart->mapToValue(chart->mapFromScene(at), shown).x();
    // The logged point nearest in time to the pointer, if it is near on the screen too.
    auto next =
        std::lower_bound(data.points.begin(), data.points.end(), t,
                         [](const quillon::TelemetryPoint& p, double time) { return p.utcMs < time; });
    if (next == data.points.end() || (next != data.points.begin() && t - next[-1].utcMs < next->utcMs - t))
      --next;
    const QPointF spot = chart->mapToScene(chart->mapToPosition({next->utcMs, next->value}, shown));
    if (std::hypot(spot.x() - at.x(), spot.y() - at.y()) > kReach) continue;
    QToolTip::showText(view->viewport()->mapToGlobal(pointer.toPoint()),
                       fromStd(data.name() + ": " + quillon::pointText(data, *next)), view);
    return;
  }
  QToolTip::hideText();
}

void TelemetryChart::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::PaletteChange) return;
  followPalette();
  refresh();
}

// A dark palette gets the dark theme: light lines and texts on a dark plot.
void TelemetryChart::followPalette() {
  const bool dark = palette().color(QPalette::Window).lightness() < 128;
  chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
  chart->legend()->setAlignment(Qt::AlignBottom);
  QPalette text = emptyLabel->palette();
  text.setColor(QPalette::WindowText, chart->titleBrush().color());
  emptyLabel->setPalette(text);
}

void TelemetryChart::askForFile() {
  const QString path = QFileDialog::getOpenFileName(this, tr("Open JSON Lines"), QString(),
                                                    tr("JSON Lines (*.jsonl *.json *.log);;All files (*)"));
  if (!path.isEmpty()) openFile(path);
}

void TelemetryChart::askForPng() {
  const QString path = QFileDialog::getSaveFileName(this, tr("Export PNG"), QStringLiteral("telemetry.png"),
                                                    tr("PNG image (*.png)"));
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
