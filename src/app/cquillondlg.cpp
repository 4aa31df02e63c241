// SPDX-License-Identifier: GPL-3.0-or-later
#include "cquillondlg.h"

#include <QActionGroup>
#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>
#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegion>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "clockfield.h"
#include "core/check.h"
#include "core/decodertext.h"
#include "core/framefinder.h"
#include "core/hint.h"
#include "dialogtemplate.h"
#include "frames/framelist.h"
#include "hintlabel.h"
#include "listener.h"
#include "listenpanel.h"
#include "log/logwriter.h"
#include "recordingreader.h"
#include "telemetrychart.h"
#include "wholefile.h"

namespace quillon::app {

namespace {

constexpr int kClockPeriodMs = 50;
constexpr int kExitCommand = 32771;
constexpr const char* kKeepLogSetting = "log/keep";
constexpr const char* kEightLettersSetting = "paste/eightLetters";
constexpr const char* kAudioInputSetting = "listen/input";

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A static text is clipped to its rectangle; a font wider than the one the layout was
// drawn for must not lose letters. A label grows to its text, and one that names the
// control to its right grows to the left instead of running into it.
QRect fittedLabel(QRect rect, const QString& text, const QFont& font, const QWidget* named, int gap) {
  const int needed = static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
  if (needed <= rect.width()) return rect;
  rect.setWidth(needed);
  const bool sameRow = named && named->y() <= rect.bottom() && named->geometry().bottom() >= rect.top();
  if (sameRow && named->x() > rect.left() && rect.right() >= named->x() - gap) {
    rect.moveRight(named->x() - gap - 1);
  }
  return rect;
}

// One control of the template, with the look its kind asks for.
QWidget* createControl(const ControlTemplate& row, QWidget* parent) {
  const QString text = fromUtf8(row.text);
  switch (row.kind) {
    case ControlKind::GroupBox: {
      auto* group = new QGroupBox(text, parent);
      // The title sits on the frame line, not above it: the clock panel just below keeps
      // its room.
      group->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
          "QGroupBox::title { subcontrol-origin: margin; left: 0.5em; padding: 0 2px; }"));
      return group;
    }
    case ControlKind::Hint: return new HintLabel(parent);
    case ControlKind::Label: {
      auto* label = new QLabel(text, parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case ControlKind::Input: {
      auto* input = new QLineEdit(parent);
      // Opaque: the blinking caret repaints the input alone, not the boxes behind it.
      input->setAutoFillBackground(true);
      return input;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::ResultBox: return new ResultBox(parent);
    case ControlKind::ClockField: return new ClockField(parent);
  }
  return nullptr;
}

}  // namespace

CQuillonDlg::CQuillonDlg(DialogSeams seams, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      clockSource(std::move(seams.clock)),
      ownMessageBoxes(seams.messageBoxes ? nullptr : std::make_unique<ModalMessageBoxes>()),
      messageBoxes(seams.messageBoxes ? seams.messageBoxes : ownMessageBoxes.get()),
      logFolder(seams.logFolder.isEmpty()
                    ? QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                          .filePath(QString::fromLatin1(kApplicationName))
                    : seams.logFolder) {
  setFont(dialogFont());
  dialogUnits.emplace(QFontMetrics(font()));
  setWindowTitle(dialogTitle());
  setWindowIcon(QIcon(QStringLiteral(":/quillon/quillon.png")));
  createMenu();
  createControls();
  InitializeDialog();
}

CQuillonDlg::~CQuillonDlg() = default;

void CQuillonDlg::createMenu() {
  menuBar = new QMenuBar(this);
  QMenu* file = menuBar->addMenu(tr("&File"));
  file->addAction(tr("Open &Recording..."), QKeySequence::Open, this, [this] {
    openRecordings(QFileDialog::getOpenFileNames(this, tr("Open Recording"), QString(),
                                                 tr("Recordings (*.wav *.flac *.ogg *.oga);;All files (*)")));
  });
  listen = file->addAction(tr("&Listen"));
  listen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  listen->setCheckable(true);
  connect(listen, &QAction::toggled, this, [this](bool on) { on ? startListening() : stopListening(); });
  audioInputs = file->addMenu(tr("Listen &To"));
  connect(audioInputs, &QMenu::aboutToShow, this, &CQuillonDlg::chooseAudioInputs);
  file->addSeparator();
  file->addAction(tr("&Save Results As..."), QKeySequence::Save, this, &CQuillonDlg::askToSave);
  file->addAction(tr("Open &Log Folder"), this, &CQuillonDlg::openLogFolder);
  keepLog = file->addAction(tr("&Keep a Log"));
  keepLog->setCheckable(true);
  keepLog->setChecked(QSettings().value(kKeepLogSetting, true).toBool());
  connect(keepLog, &QAction::toggled, this, [](bool on) { QSettings().setValue(kKeepLogSetting, on); });
  file->addSeparator();
  QAction* exit = file->addAction(tr("E&xit"));
  exit->setObjectName(controlName(kExitCommand));
  connect(exit, &QAction::triggered, this, &CQuillonDlg::OnExitCommand);
  QMenu* edit = menuBar->addMenu(tr("&Edit"));
  edit->addAction(tr("&Paste Decoder Text"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), this,
                  [this] { pasteDecoderText(QApplication::clipboard()->text()); });
  // A frame of a length several frames share is checked as the operator says, or not at all.
  QMenu* eight = edit->addMenu(tr("&Eight Letters in Decoder Text Are"));
  eightLetters = new QActionGroup(this);
  const QString chosen = QSettings().value(kEightLettersSetting).toString();
  for (const FrameRule* frame : allFrames()) {
    if (frame->letters != 8) continue;
    QAction* item = eight->addAction(fromUtf8(frame->label));
    item->setData(fromUtf8(frame->name));
    item->setCheckable(true);
    item->setChecked(item->data().toString() == chosen);
    eightLetters->addAction(item);
  }
  QAction* neither = eight->addAction(tr("Not Decoded"));
  neither->setCheckable(true);
  neither->setChecked(!eightLetters->checkedAction());
  eightLetters->addAction(neither);
  connect(eightLetters, &QActionGroup::triggered, this,
          [](QAction* item) { QSettings().setValue(kEightLettersSetting, item->data()); });
  QMenu* view = menuBar->addMenu(tr("&View"));
  view->addAction(tr("&Telemetry Chart"), this, &CQuillonDlg::showChart);
}

void CQuillonDlg::createControls() {
  const DialogTemplate& layout = mainDialogTemplate();
  const DialogUnits& du = *dialogUnits;
  const int menuHeight = menuBar->sizeHint().height();
  client = new QWidget(this);
  client->setGeometry(0, menuHeight, du.x(layout.width), du.y(layout.height));
  designSize = QSize(du.x(layout.width), du.y(layout.height));

  std::vector<std::pair<QLabel*, const ControlTemplate*>> labels;
  for (const ControlTemplate& row : layout.controls) {
    QWidget* widget = createControl(row, client);
    widget->setGeometry(du.rect(row.x, row.y, row.width, row.height));
    placed.push_back({widget, row.follow, {}});
    if (row.kind == ControlKind::Label) labels.emplace_back(static_cast<QLabel*>(widget), &row);
    if (row.kind == ControlKind::Hint) widget->setObjectName(hintName(row.labelFor));
    if (row.id != kNoId) {
      widget->setObjectName(controlName(row.id));
      controls.insert(row.id, widget);
    }
  }

  // Labels after the rest: they fit themselves around the controls they name. A clock
  // field's label shares its field's rows, so both texts stand on one line.
  for (auto [label, row] : labels) {
    QWidget* named = control(row->labelFor);
    QRect fitted = fittedLabel(label->geometry(), label->text(), font(), named, du.x(2));
    if (qobject_cast<ClockField*>(named))
      fitted.setCoords(fitted.left(), named->y(), fitted.right(), named->geometry().bottom());
    label->setGeometry(fitted);
    if (!named) continue;
    label->setBuddy(named);
    named->setAccessibleName(label->text());
  }
  for (Placed& control : placed) control.at = control.widget->geometry();
  status = new QStatusBar(this);
  status->setSizeGripEnabled(true);
  panel = new ListenPanel(this);
  panel->hide();
  setMinimumSize(designSize + QSize(0, menuHeight + status->sizeHint().height()));
  resize(minimumSize());

  // Tab order: each frame's input and button in the list's order, the result box, the clock.
  QWidgetList tabOrder;
  for (const FrameRule* frame : allFrames()) {
    QLineEdit* in = input(*frame);
    QPushButton* check = button(*frame);
    if (!in || !check) continue;
    check->setAccessibleName(check->text() + QStringLiteral(" (") + in->accessibleName() + QStringLiteral(")"));
    connect(in, &QLineEdit::textChanged, this, [this, frame] { OnChangeFrame(*frame); });
    connect(check, &QPushButton::clicked, this, [this, frame] { OnCheckFrame(*frame); });
    showHint(*frame);
    tabOrder << in << check;
  }
  tabOrder << control(kResultBox) << control(kLocalTimeField) << control(kJulianDateField) << control(kUtcField);
  for (qsizetype i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  // Enter and Escape are caught where they land, before any control or the dialog acts.
  installEventFilter(this);
  client->installEventFilter(this);
  for (QWidget* widget : std::as_const(controls)) widget->installEventFilter(this);
}

bool CQuillonDlg::InitializeDialog() {
  // A timer object of its own: a tick reaches OnClockTick directly, not through the
  // dialog's event filters. Ticks of any other timer change nothing.
  connect(&clockTimer, &QTimer::timeout, this, &CQuillonDlg::OnClockTick);
  clockTimer.start(kClockPeriodMs);
  utcField = clockField(kUtcField);
  localTimeField = clockField(kLocalTimeField);
  julianDateField = clockField(kJulianDateField);
  // Never throws: a clock outside the calendar's range still shows its times.
  clockSnapshot.emplace(stm::ClockSnapshot::read(clockSource));
  control(kHouseKeepingInput)->setFocus();
  return true;
}

void CQuillonDlg::OnClockTick() {
  clockSnapshot->refresh();
  const stm::ClockPanelTexts& texts = clockPanel.show(*clockSnapshot);
  // The fields draw only the characters that changed, and the tick puts them on screen in
  // one flush: an idle dialog sends the display a few rows of pixels 20 times a second.
  QRegion drawn = utcField->setText(QLatin1StringView(texts.utc));
  drawn += localTimeField->setText(QLatin1StringView(texts.local));
  drawn += julianDateField->setText(QLatin1StringView(texts.julianDate));
  if (!drawn.isEmpty()) backingStore()->flush(drawn, windowHandle());
}

void CQuillonDlg::OnExitCommand() { accept(); }

void CQuillonDlg::resizeEvent(QResizeEvent* event) {
  layOutFoot();
  QDialog::resizeEvent(event);
}

void CQuillonDlg::layOutFoot() {
  const int menuHeight = menuBar->sizeHint().height();
  const int statusHeight = status->sizeHint().height();
  const int panelHeight = panel->isVisible() ? panel->sizeHint().height() : 0;
  menuBar->setGeometry(0, 0, width(), menuHeight);
  client->resize(width(), height() - menuHeight - panelHeight - statusHeight);
  panel->setGeometry(0, height() - statusHeight - panelHeight, width(), panelHeight);
  status->setGeometry(0, height() - statusHeight, width(), statusHeight);
  // The result box takes the room the window has beyond the template.
  const QSize extra = (client->size() - designSize).expandedTo(QSize(0, 0));
  for (const Placed& control : placed) {
    QRect at = control.at;
    switch (control.follow) {
      case Follow::Stays: break;
      case Follow::Grows: at.adjust(0, 0, extra.width(), extra.height()); break;
      case Follow::MovesDown: at.translate(0, extra.height()); break;
      case Follow::GrowsBelow: at.adjust(0, extra.height(), extra.width(), extra.height()); break;
    }
    control.widget->setGeometry(at);
  }
}

bool CQuillonDlg::eventFilter(QObject* watched, QEvent* event) {
  if (FilterEnterAndEscape(event)) return true;
  return QDialog::eventFilter(watched, event);
}

bool CQuillonDlg::FilterEnterAndEscape(const QEvent* event) const {
  if (event->type() != QEvent::KeyPress) return false;
  switch (static_cast<const QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: return true;
    default: return false;
  }
}

QLineEdit* CQuillonDlg::input(const FrameRule& frame) const {
  const FrameControls* ids = controlsOf(frame);
  return ids ? qobject_cast<QLineEdit*>(control(ids->input)) : nullptr;
}

QPushButton* CQuillonDlg::button(const FrameRule& frame) const {
  const FrameControls* ids = controlsOf(frame);
  return ids ? qobject_cast<QPushButton*>(control(ids->button)) : nullptr;
}

ResultBox* CQuillonDlg::resultBox() const { return qobject_cast<ResultBox*>(control(kResultBox)); }

ClockField* CQuillonDlg::clockField(int id) const { return qobject_cast<ClockField*>(control(id)); }

bool CQuillonDlg::OnCheckFrame(const FrameRule& frame, const std::optional<stm::ClockReading>& heard) {
  const std::string typed = input(frame)->text().toStdString();
  const auto texts = checkTexts(frame, typed, heard ? *heard : clockSource(), LineEnd::Lf);
  if (!texts) {
    messageBoxes->inform(this, fromUtf8(kWrongLengthCaption), fromUtf8(wrongLengthText(frame)));
    return false;
  }
  // The record is on the disk before the report appears: closing or losing the dialog
  // after a report never loses its record.
  const bool logged = !keepLog->isChecked() || writeLog(texts->record);
  appendToResultBox(texts->report);
  if (chart) chart->addRecord(texts->record);
  if (logged || logFailureTold) return true;
  logFailureTold = true;
  messageBoxes->inform(this, QString::fromLatin1(kApplicationName),
                       fromUtf8(logFailureText(logPath().toStdString(), lastLogError)));
  return true;
}

void CQuillonDlg::pasteDecoderText(const QString& text) {
  std::vector<std::size_t> lengths;
  for (const FrameRule* frame : allFrames()) lengths.push_back(frame->letters);
  std::vector<FoundFrame> found;
  FrameFinder finder(lengths, [&found](const FoundFrame& frame) { found.push_back(frame); });
  finder.feed(text.toStdString());
  finder.finish();
  QStringList said{found.size() == 1 ? tr("Paste Decoder Text: 1 frame found")
                                     : tr("Paste Decoder Text: %1 frames found").arg(found.size())};
  for (std::size_t i = 0; i < found.size(); ++i) {
    // At the time its line gives, if any.
    std::optional<stm::ClockReading> heard;
    if (found[i].time) heard = stm::readingAt(stm::utcInstant(*found[i].time));
    said << checkFound(found[i], tr("frame %1").arg(i + 1), heard);
  }
  said.removeAll(QString());
  status->showMessage(said.join(QStringLiteral("; ")));
}

QString CQuillonDlg::checkFound(const FoundFrame& found, const QString& which,
                                const std::optional<stm::ClockReading>& heard) {
  const QString eight = eightLetters->checkedAction() ? eightLetters->checkedAction()->data().toString() : QString();
  const FrameRule* frame = nullptr;
  for (const FrameRule* candidate : allFrames()) {
    if (candidate->letters != found.letters.size() || !input(*candidate)) continue;
    const bool shared = std::count_if(allFrames().begin(), allFrames().end(),
                                      [&](const FrameRule* f) { return f->letters == candidate->letters; }) > 1;
    if (!shared || fromUtf8(candidate->name) == eight) frame = candidate;
  }
  if (!frame) {
    return tr("%1 (%2 letters) not decoded: Edit > Eight Letters in Decoder Text Are")
        .arg(which)
        .arg(found.letters.size());
  }
  input(*frame)->setText(QString::fromStdString(found.letters));
  OnCheckFrame(*frame, heard);
  const std::string notCopied = notCopiedText(found);
  return notCopied.empty() ? QString() : which + tr(": %1 not copied").arg(fromUtf8(notCopied));
}

void CQuillonDlg::openRecordings(const QStringList& paths) {
  recordingsToRead << paths;
  if (!recordings) {
    recordings = new RecordingReader(this);
    connect(recordings, &RecordingReader::frameHeard, this, [this](const audio::HeardFrame& frame) {
      // From the recording's start, or as heard now.
      std::optional<stm::ClockReading> heard;
      if (recordings->start()) {
        heard = stm::readingAt(*recordings->start() +
                               std::chrono::milliseconds(std::llround(frame.found.place.startS * 1000)));
      }
      ++framesHeard;
      char at[32];
      std::snprintf(at, sizeof at, "%.1f s", frame.found.place.startS);
      heardSaid << checkFound(frame.found, tr("the frame at %1").arg(QLatin1StringView(at)), heard);
    });
    connect(recordings, &RecordingReader::finished, this, [this](const QString& problem) {
      recordingProgress->reset();
      heardSaid.removeAll(QString());
      const QString name = QFileInfo(recordingPath).fileName();
      heardSaid.prepend(framesHeard == 1 ? tr("%1: 1 frame heard").arg(name)
                                         : tr("%1: %2 frames heard").arg(name).arg(framesHeard));
      if (!problem.isEmpty()) heardSaid << problem;
      status->showMessage(heardSaid.join(QStringLiteral("; ")));
      readNextRecording();
    });
  }
  if (!recordings->running()) readNextRecording();
}

void CQuillonDlg::readNextRecording() {
  if (recordingsToRead.isEmpty()) return;
  recordingPath = recordingsToRead.takeFirst();
  heardSaid.clear();
  framesHeard = 0;
  if (!recordingProgress) {
    recordingProgress = new QProgressDialog(this);
    recordingProgress->setWindowTitle(tr("Open Recording"));
    recordingProgress->setMinimumDuration(500);
    auto* ticks = new QTimer(recordingProgress);
    connect(ticks, &QTimer::timeout, this, [this] { recordingProgress->setValue(recordings->percent()); });
    ticks->start(100);
    connect(recordingProgress, &QProgressDialog::canceled, this, [this] {
      recordingsToRead.clear();
      recordings->cancel();
    });
  }
  recordingProgress->setLabelText(tr("Listening to %1").arg(QFileInfo(recordingPath).fileName()));
  recordingProgress->setRange(0, 100);
  recordingProgress->setValue(0);
  recordings->read(recordingPath);
}

bool CQuillonDlg::writeLog(const std::string& record) {
  lastLogError = appendLogLine(QFile::encodeName(logPath()).toStdString(), record);
  if (lastLogError.empty()) logFailureTold = false;  // told again should it fail anew
  return lastLogError.empty();
}

void CQuillonDlg::OnChangeFrame(const FrameRule& frame) {
  QLineEdit* box = input(frame);
  // Several characters at once are a paste (or a drop): the beacon word, blanks and line
  // breaks in them are dropped, as quillon-decode drops them from its lines, and the guard
  // then sees the letters alone. Typing is guarded as it is.
  const QString before = std::exchange(typedBefore[&frame], box->text());
  const QString now = box->text();
  qsizetype head = 0, tail = 0;
  while (head < std::min(before.size(), now.size()) && before[head] == now[head]) ++head;
  while (tail < std::min(before.size(), now.size()) - head &&
         before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
    ++tail;
  const QString inserted = now.mid(head, now.size() - head - tail);
  if (inserted.size() > 1) {
    const QString letters = fromUtf8(pastedLetters(inserted.toStdString()));
    if (letters != inserted) {
      typedBefore[&frame] = before;
      box->setText(now.left(head) + letters + now.right(tail));  // raises the guard on the letters
      box->setCursorPosition(static_cast<int>(head + letters.size()));
      return;
    }
  }
  // Counted and cut by characters, so an emoji at the limit stays whole or goes whole.
  const auto cut = cutToFrameLength(frame, box->text().toStdString());
  if (cut) {
    messageBoxes->inform(this, QString::fromLatin1(kApplicationName), fromUtf8(overLengthText(frame)));
    const int caret = box->cursorPosition();
    const QString kept = QString::fromStdString(*cut);
    box->setText(kept);  // raises the guard once more, which finds the text within the limit
    box->setCursorPosition(std::min(caret, static_cast<int>(kept.size())));
    return;
  }
  // After the guard: the hint reads the text as the guard left it.
  showHint(frame);
}

void CQuillonDlg::showHint(const FrameRule& frame) {
  const LetterHint hint = letterHint(frame, input(frame)->text().toStdString());
  findChild<HintLabel*>(hintName(controlsOf(frame)->input))
      ->setHint(fromUtf8(hint.line), fromUtf8(hint.detail), hint.warns);
}

void CQuillonDlg::appendToResultBox(const std::string& text) { resultBox()->appendReport(text); }

QString CQuillonDlg::logPath() const { return QDir(logFolder).filePath(fromUtf8(kLogFileName)); }

bool CQuillonDlg::saveResults(const QString& path) {
  const QString error = writeWholeFile(path, resultBox()->toPlainText().toUtf8());
  if (!error.isEmpty()) {
    messageBoxes->inform(this, QString::fromLatin1(kApplicationName),
                         tr("The results could not be saved: %1 (%2).").arg(path, error));
  }
  return error.isEmpty();
}

void CQuillonDlg::askToSave() {
  const QString path = QFileDialog::getSaveFileName(this, tr("Save Results As"), QStringLiteral("quillon.txt"),
                                                    tr("Text (*.txt);;All files (*)"));
  if (!path.isEmpty()) saveResults(path);
}

void CQuillonDlg::openLogFolder() {
  QDir().mkpath(logFolder);
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(logFolder))) {
    messageBoxes->inform(this, QString::fromLatin1(kApplicationName),
                         tr("No program is set up to show folders. The log folder is %1").arg(logFolder));
  }
}

TelemetryChart* CQuillonDlg::showChart() {
  // A window of the dialog's own: the running dialog does not block it.
  if (!chart) chart = new TelemetryChart(logPath(), this);
  chart->show();
  chart->raise();
  return chart;
}

void CQuillonDlg::chooseAudioInputs() {
  audioInputs->clear();
  auto* group = new QActionGroup(audioInputs);
  const QByteArray chosen = QSettings().value(kAudioInputSetting).toByteArray();
  const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
  for (const QAudioDevice& device : inputs) {
    QAction* item = audioInputs->addAction(device.description());
    item->setCheckable(true);
    item->setChecked(chosen.isEmpty() ? device.isDefault() : device.id() == chosen);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, id = device.id()] {
      QSettings().setValue(kAudioInputSetting, id);
      if (listen->isChecked()) startListening();  // the new input at once
    });
  }
  if (inputs.isEmpty()) audioInputs->addAction(tr("No audio input"))->setEnabled(false);
}

void CQuillonDlg::startListening() {
  const QByteArray chosen = QSettings().value(kAudioInputSetting).toByteArray();
  QAudioDevice input = QMediaDevices::defaultAudioInput();
  for (const QAudioDevice& device : QMediaDevices::audioInputs()) {
    if (device.id() == chosen) input = device;
  }
  if (input.isNull()) return stopListening(tr("there is no audio input"));
  QAudioFormat format = input.preferredFormat();
  // One channel at a rate the decoder takes, where the input offers them.
  for (const int rate : {format.sampleRate(), 48000, 44100, 16000, 8000}) {
    QAudioFormat tried = format;
    tried.setSampleRate(rate);
    tried.setChannelCount(1);
    if (rate >= 8000 && rate <= 48000 && input.isFormatSupported(tried)) {
      format = tried;
      break;
    }
  }
  stopListening();
  source = new QAudioSource(input, format, this);
  connect(source, &QAudioSource::stateChanged, this, [this](QAudio::State state) {
    if (state == QAudio::StoppedState && source && source->error() != QAudio::NoError)
      stopListening(tr("the audio input stopped"));
  });
  if (!devices) {
    // An input that disappears (unplugged, its server gone) ends listening, and says so. A
    // sound server may move the stream to another input without a word, and the list of
    // inputs may change without its signal: the list is looked at every second too.
    devices = new QMediaDevices(this);
    const auto stillThere = [this] {
      if (!source) return;
      const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
      if (std::none_of(inputs.begin(), inputs.end(), [&](const QAudioDevice& d) { return d.id() == heardFrom; }))
        stopListening(tr("the audio input is gone"));
    };
    connect(devices, &QMediaDevices::audioInputsChanged, this, stillThere);
    auto* look = new QTimer(devices);
    connect(look, &QTimer::timeout, this, stillThere);
    look->start(1000);
  }
  heardFrom = input.id();
  QIODevice* samples = source->start();
  if (!samples || source->error() != QAudio::NoError) return stopListening(tr("the audio input cannot be opened"));
  listenTo(samples, source->format());
  if (listener->listening()) status->showMessage(tr("Listening to %1").arg(input.description()));
}

void CQuillonDlg::listenTo(QIODevice* samples, const QAudioFormat& format) {
  if (!listener) {
    listener = new Listener(this);
    connect(listener, &Listener::lettersHeard, panel, &ListenPanel::addLetters);
    connect(listener, &Listener::spectrumRows, panel->waterfall(), &Waterfall::addRows);
    connect(panel->waterfall(), &Waterfall::toneClicked, listener, &Listener::followTone);
    connect(listener, &Listener::frameHeard, this, [this](const audio::HeardFrame& frame) {
      const auto heard = listener->startedAt() + std::chrono::milliseconds(std::llround(frame.found.place.startS * 1000));
      const stm::ClockReading reading = stm::readingAt(heard);
      const QString at = QString::fromStdString(stm::timeText(reading.utc, 5));
      QStringList said{tr("Heard a frame at %1 UTC").arg(at)};
      said << checkFound(frame.found, tr("it"), reading);
      said.removeAll(QString());
      status->showMessage(said.join(QStringLiteral("; ")));
    });
  }
  const QString problem = listener->start(samples, format);
  if (!problem.isEmpty()) return stopListening(problem);
  panel->clear();
  if (!panel->isVisible()) {
    panel->show();
    setMinimumHeight(minimumHeight() + panel->sizeHint().height());
    resize(width(), height() + panel->sizeHint().height());
  }
  const QSignalBlocker quiet(listen);
  listen->setChecked(true);
}

void CQuillonDlg::stopListening(const QString& why) {
  if (listener) listener->stop();
  if (source) {
    source->disconnect(this);
    source->stop();
    source->deleteLater();
    source = nullptr;
  }
  if (panel->isVisible()) {
    panel->hide();
    setMinimumHeight(minimumHeight() - panel->sizeHint().height());
    resize(width(), height() - panel->sizeHint().height());
  }
  const QSignalBlocker quiet(listen);
  listen->setChecked(false);
  if (!why.isEmpty()) status->showMessage(tr("Not listening: %1").arg(why));
}

}  // namespace quillon::app
