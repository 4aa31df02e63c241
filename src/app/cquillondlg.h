// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main dialog: an input for each frame of the frame list, one result box, the clock
// panel, the kept log and the telemetry chart.
//
//   input box  --every change--> guard: over the frame length? box, then cut (core)
//                                hint: letters so far, what a letter will cost (core)
//   "Check !"  --click--> core checkTexts(one clock reading) --> record appended to the log
//                         and flushed --> report appended to the result box (not undoable)
//                         --> record to the chart, when it is open
//   50 ms tick --> ClockSnapshot::refresh --> UTC, local time, Julian Date fields
//
// Every text the operator reads comes from the core; the dialog reads texts, calls the
// core and writes texts. The clock, the message boxes and the log folder are seams for
// the tests.

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/framefinder.h"
#include "cursorrest.h"
#include "dialogtemplate.h"
#include "dialogunits.h"
#include "messageboxes.h"
#include "resultbox.h"
#include "time/clocksnapshot.h"

class QAction;
class QActionGroup;
class QAudioFormat;
class QAudioSource;
class QIODevice;
class QMediaDevices;
class QMenu;
class QLineEdit;
class QMenuBar;
class QProgressDialog;
class QPushButton;
class QStatusBar;

namespace quillon::app {

class ClockField;
class ListenPanel;
class Listener;
class RecordingReader;
class TelemetryChart;

// The caption of the guards' boxes, and the name the application runs under.
inline constexpr const char* kApplicationName = "Quillon";

// What the tests replace.
struct DialogSeams {
  stm::ClockSource clock = stm::readSystemClock;
  MessageBoxes* messageBoxes = nullptr;  // nullptr: real modal boxes
  QString logFolder;                     // empty: the user's data folder
};

class CQuillonDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CQuillonDlg(DialogSeams seams = {}, QWidget* parent = nullptr);
  ~CQuillonDlg() override;

  // The control with that identifier (1001-1012), or nullptr.
  QWidget* control(int id) const { return controls.value(id); }
  QLineEdit* input(const FrameRule& frame) const;
  QPushButton* button(const FrameRule& frame) const;
  ResultBox* resultBox() const;
  ClockField* clockField(int id) const;

  // The line at the window's foot that tells what a paste or a recording gave.
  QStatusBar* statusLine() const { return status; }

  QString logPath() const;
  // Writes the result box as UTF-8 text, all or nothing: an earlier file of that name is
  // replaced only by a whole one. False, after telling the operator, on failure.
  bool saveResults(const QString& path);
  TelemetryChart* showChart();
  // Checks every frame in a CW decoder's text as if typed and its button pressed; says on
  // the status line what was found and which letters were not copied.
  void pasteDecoderText(const QString& text);
  // Decodes recordings one after the other, with a progress bar that can be cancelled; each
  // frame heard is checked as a pasted one is, timed from the recording's start when its name
  // tells it (a SatNOGS recording), else at the moment it is heard.
  void openRecordings(const QStringList& paths);
  // Listens to the receiver: the audio input chosen under File > Listen To, or the samples a
  // device delivers as the format says (what the audio input hands over, and what a test
  // feeds). Each frame heard is checked as a pasted one is, timed as heard.
  void startListening();
  void listenTo(QIODevice* samples, const QAudioFormat& format);
  void stopListening(const QString& why = {});
  ListenPanel* listenPanel() const { return panel; }

 private slots:
  void OnClockTick();
  void OnExitCommand();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createMenu();
  void createControls();
  bool InitializeDialog();
  bool FilterEnterAndEscape(const QEvent* event) const;

  // Every frame's "Check !" and every frame's input guard and hint. A check reads the clock
  // unless the frame was heard at a time of its own. False when the length was refused.
  bool OnCheckFrame(const FrameRule& frame, const std::optional<stm::ClockReading>& heard = std::nullopt);
  void OnChangeFrame(const FrameRule& frame);
  // A frame found in text or heard: checked as if typed into its input and its button
  // pressed. Says what it cost, or why it was not checked, as a piece of the status line.
  QString checkFound(const FoundFrame& found, const QString& which, const std::optional<stm::ClockReading>& heard);
  void readNextRecording();
  void showHint(const FrameRule& frame);
  bool writeLog(const std::string& record);
  void appendToResultBox(const std::string& report);
  void askToSave();
  void openLogFolder();

  stm::ClockSource clockSource;
  std::unique_ptr<MessageBoxes> ownMessageBoxes;
  MessageBoxes* messageBoxes;
  QString logFolder;
  std::optional<DialogUnits> dialogUnits;
  // Every control where the template puts it in a window of the template's size.
  struct Placed {
    QWidget* widget;
    Follow follow;
    QRect at;
  };
  std::vector<Placed> placed;
  QWidget* client = nullptr;                        // the window below the menu bar
  QSize designSize;                                 // the template's [px]
  std::optional<stm::ClockSnapshot> clockSnapshot;  // the clock panel's, for the dialog's life
  stm::ClockPanel clockPanel;
  // The panel's fields, found once rather than on each of the 20 ticks a second.
  ClockField* utcField = nullptr;
  ClockField* localTimeField = nullptr;
  ClockField* julianDateField = nullptr;
  QTimer clockTimer;
  CursorRest cursorRest{std::chrono::seconds(10)};  // as long as GNOME's text fields blink
  QMenuBar* menuBar = nullptr;
  QStatusBar* status = nullptr;
  QAction* keepLog = nullptr;
  QActionGroup* eightLetters = nullptr;  // what 8-letter frames in decoder text are
  QHash<const FrameRule*, QString> typedBefore;  // each input's text before its last change
  void chooseAudioInputs();
  void layOutFoot();
  RecordingReader* recordings = nullptr;
  Listener* listener = nullptr;
  ListenPanel* panel = nullptr;
  QAudioSource* source = nullptr;
  QMediaDevices* devices = nullptr;
  QMenu* audioInputs = nullptr;
  QAction* listen = nullptr;
  QByteArray heardFrom;  // the audio input's identity
  QStringList recordingsToRead;
  QString recordingPath;  // the one being read
  QStringList heardSaid;  // what the recording being read gave
  int framesHeard = 0;
  QProgressDialog* recordingProgress = nullptr;
  bool logFailureTold = false;
  std::string lastLogError;
  QPointer<TelemetryChart> chart;
  QHash<int, QWidget*> controls;
};

}  // namespace quillon::app
