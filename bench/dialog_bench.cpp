// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog's three timing goals, read rather than asserted:
//   - a check with 10,000 earlier reports in the result box costs at most twice one with an
//     empty box (the report is appended, the box is not laid out again);
//   - the idle dialog, clock panel running, uses below 0.5% of one core (30 s under Xvfb);
//   - the telemetry chart reads 100,000 logged records off the user-interface thread and
//     redraws them in a few milliseconds, at most two points a pixel;
//   - start-up to the first painted dialog;
//   - the memory 10,000 checks cost, against the text of their reports.
// Runs offscreen when there is no display; under xvfb-run it paints through X.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "core/check.h"
#include "cquillonapp.h"
#include "cquillondlg.h"
#include "dialogtemplate.h"
#include "frames/framelist.h"
#include "log/logwriter.h"
#include "telemetrychart.h"

using namespace quillon::app;

namespace {

const QString kFrame = QStringLiteral("89D0A76820472FBCA7A01F");
const stm::ClockSource kClock =
    stm::fixedClock({{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}});

class SilentBoxes final : public MessageBoxes {
 public:
  void inform(QWidget*, const QString&, const QString&) override { std::abort(); }
};
SilentBoxes silentBoxes;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runEventLoopFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// One house-keeping check, painted, with state.range(0) reports already in the box.
// The new report is taken out again untimed, so every check sees the same box.
void BM_Check(benchmark::State& state) {
  QTemporaryDir logFolder;  // the checks' records, not in the user's log
  CQuillonDlg dlg({kClock, &silentBoxes, logFolder.path()});
  dlg.show();
  QPlainTextEdit* box = dlg.resultBox();
  QPushButton* button = dlg.button(*quillon::frameNamed("hk"));
  dlg.input(*quillon::frameNamed("hk"))->setText(kFrame);
  button->click();
  const QString oneReport = box->toPlainText();
  box->setPlainText(oneReport.repeated(state.range(0)));
  runEventLoopFor(50);

  for (auto _ : state) {
    const int before = box->document()->characterCount() - 1;
    button->click();
    QCoreApplication::processEvents();  // the repaint belongs to the check
    state.PauseTiming();
    QTextCursor added(box->document());
    added.setPosition(before);
    added.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    added.removeSelectedText();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["lines"] = box->document()->blockCount();
}
BENCHMARK(BM_Check)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond)->Iterations(300);

// Heap in use [bytes]: what the process holds, whatever the pages it has touched.
double heapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

// Resident set [bytes].
double residentBytes() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// 10,000 house-keeping checks, each painted as it appears: the memory above the empty,
// shown dialog, a check and a byte of report text at a time.
void BM_MemoryOf10kChecks(benchmark::State& state) {
  constexpr int kChecks = 10000;
  for (auto _ : state) {
    QTemporaryDir logFolder;
    CQuillonDlg dlg({kClock, &silentBoxes, logFolder.path()});
    dlg.show();
    runEventLoopFor(50);
    malloc_trim(0);
    const double heapBefore = heapBytes(), residentBefore = residentBytes();
    QPushButton* button = dlg.button(*quillon::frameNamed("hk"));
    dlg.input(*quillon::frameNamed("hk"))->setText(kFrame);
    for (int i = 0; i < kChecks; ++i) {
      button->click();
      QCoreApplication::processEvents();
    }
    runEventLoopFor(50);
    malloc_trim(0);
    const double text = dlg.resultBox()->document()->characterCount();
    state.counters["heap_MB"] = (heapBytes() - heapBefore) / 1e6;
    state.counters["resident_MB"] = (residentBytes() - residentBefore) / 1e6;
    state.counters["heap_bytes_per_text_byte"] = (heapBytes() - heapBefore) / text;
    state.counters["text_bytes_per_check"] = text / kChecks;
  }
}
BENCHMARK(BM_MemoryOf10kChecks)->Iterations(1)->Unit(benchmark::kSecond);

// CPU time of the shown, idle dialog over 30 s of its 50 ms clock.
void BM_IdleClockPanel(benchmark::State& state) {
  CQuillonDlg dlg;
  dlg.show();
  runEventLoopFor(200);
  for (auto _ : state) {
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(30000);
    const double cpu = cpuSeconds() - cpuBefore;
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (wall.elapsed() / 1000.0);
  }
}
BENCHMARK(BM_IdleClockPanel)->Iterations(1)->Unit(benchmark::kSecond);

// 100,000 house-keeping records in a log: from opening the chart to the records drawn.
void BM_ChartOf100kRecords(benchmark::State& state) {
  QTemporaryDir folder;
  const QString log = QDir(folder.path()).filePath(QStringLiteral("checks.jsonl"));
  std::string text;
  stm::ClockReading at{{2009, 6, 30, 23, 5, 9, 42}, {2009, 6, 30, 14, 5, 9, 42}};
  for (int i = 0; i < 100000; ++i) {
    at.utc.minute = i % 60;
    at.utc.day = 1 + i / 60 / 24 % 28;
    at.utc.hour = i / 60 % 24;
    // The battery voltage moves with every record: no two neighbours draw as one point.
    const QString frame =
        kFrame.left(4) + QStringLiteral("%1").arg(i % 251, 2, 16, QLatin1Char('0')) + kFrame.mid(6);
    text += quillon::checkTexts(*quillon::frameNamed("hk"), frame.toStdString(), at, quillon::LineEnd::Lf)
                ->record;
  }
  quillon::appendLogLine(log.toStdString(), text);
  double pointsAPixel = 0;
  for (auto _ : state) {
    TelemetryChart chart(log);
    chart.show();
    QEventLoop loop;
    QObject::connect(&chart, &TelemetryChart::fileRead, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
    chart.findChild<QListWidget*>()
        ->findItems(QStringLiteral("voltage of battery [V]"), Qt::MatchExactly)[0]
        ->setCheckState(Qt::Checked);
    const QChart* drawn = chart.findChild<QChartView*>()->chart();
    for (const QAbstractSeries* series : drawn->series())
      pointsAPixel = std::max(pointsAPixel,
                              static_cast<const QLineSeries*>(series)->count() / drawn->plotArea().width());
  }
  state.counters["points a pixel"] = pointsAPixel;
}
BENCHMARK(BM_ChartOf100kRecords)->Iterations(3)->Unit(benchmark::kMillisecond);

// A new dialog, from its constructor to the end of its first paint.
double msToFirstPaint(std::chrono::steady_clock::time_point since, CQuillonDlg& dlg) {
  struct FirstPaint : QObject {
    QEventLoop loop;
    std::chrono::steady_clock::time_point at;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint && at == decltype(at){}) {
        // Children paint in the same pass; a zero timer fires when the pass is over.
        QTimer::singleShot(0, this, [this] {
          at = std::chrono::steady_clock::now();
          loop.quit();
        });
      }
      return false;
    }
  } watcher;
  dlg.installEventFilter(&watcher);
  dlg.show();
  QTimer::singleShot(10000, &watcher.loop, &QEventLoop::quit);
  watcher.loop.exec();
  dlg.removeEventFilter(&watcher);
  return std::chrono::duration<double, std::milli>(watcher.at - since).count();
}

void BM_DialogToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    CQuillonDlg dlg;
    state.SetIterationTime(msToFirstPaint(start, dlg) / 1000.0);
  }
}
BENCHMARK(BM_DialogToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Milliseconds since the kernel started this process (10 ms steps), for the start-up figure.
double msSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  for (int i = 0; i < 22 && stat >> field; ++i) {
  }
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double startedMs = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - startedMs;
}

}  // namespace

int main(int argc, char** argv) {
  const double atMain = msSinceProcessStart();
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  const auto start = std::chrono::steady_clock::now();
  CQuillonApp::prepareEnvironment();  // as the program starts
  QApplication app(argc, argv);
  {
    CQuillonDlg dlg;
    const double firstPaint = msToFirstPaint(start, dlg);
    std::printf("start-up: process start to main %.0f ms (10 ms steps); main to first painted "
                "dialog %.1f ms (%s)\n",
                atMain, firstPaint, qPrintable(QGuiApplication::platformName()));
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
