#pragma once
// The main dialog: four frames typed by the operator, one result box, the clock panel.
//
//   input box  --every change--> guard: over the frame length? box, then cut (core)
//   "Check !"  --click--> core buildReport (LF) --> appended at the end of the result box
//   50 ms tick --> ClockSnapshot::Refresh --> UTC, local time, Julian Date fields
//
// Every text the operator reads comes from the core; the dialog reads texts, calls the
// core and writes texts. The clock and the message boxes are seams for the tests.

#include <QBasicTimer>
#include <QDialog>
#include <QHash>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "dialog_units.h"
#include "core/report.h"
#include "message_boxes.h"
#include "time/clock_snapshot.h"

class QMenuBar;
class QTimerEvent;

namespace quillon::app {
// The caption of the guards' boxes, and the name the application runs under.
inline constexpr const char* kApplicationName = "Quillon";

// What the tests replace: the clock and the message boxes.
struct DialogSeams {
  stm::ClockSource clock = stm::readSystemClock;
  MessageBoxes* messageBoxes = nullptr;  // nullptr: real modal boxes
};
}  // namespace quillon::app

class CQuillonDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CQuillonDlg(quillon::app::DialogSeams seams = {}, QWidget* parent = nullptr);
  ~CQuillonDlg() override;

  // The control with that identifier (1001-1012), or nullptr.
  QWidget* control(int id) const { return controls.value(id); }
  template <class Widget>
  Widget* control(int id) const { return qobject_cast<Widget*>(control(id)); }
  QMenuBar* menu() const { return menuBar; }
  const quillon::app::DialogUnits& units() const { return *dialogUnits; }

  // Identifiers in tab order: the house-keeping row, the three status rows, the result
  // box, then the clock fields.
  static std::span<const int> tabOrder();

 public slots:
  void OnCheckHouseKeeping();
  void OnChangeHouseKeeping();
  void OnCheckSatelliteStatus();
  void OnChangeSatelliteStatus();
  void OnCheckPdaStatus();
  void OnChangePdaStatus();
  void OnCheckSatellitePdaStatus();
  void OnChangeSatellitePdaStatus();
  void OnClockTick();
  void OnExitCommand();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  struct FrameControls;
  static std::span<const FrameControls> frames();
  static const FrameControls& frameOf(quillon::FrameKind kind);

  void createMenu();
  void createControls();
  bool InitializeDialog();
  bool FilterEnterAndEscape(const QEvent* event) const;

  // One implementation for the four check buttons and one for the four guards.
  void checkFrame(quillon::FrameKind kind);
  void guardFrame(quillon::FrameKind kind);
  void appendToResultBox(const std::string& report);

  stm::ClockSource clockSource;
  std::unique_ptr<quillon::app::MessageBoxes> ownMessageBoxes;
  quillon::app::MessageBoxes* messageBoxes;
  std::optional<quillon::app::DialogUnits> dialogUnits;
  std::optional<stm::ClockSnapshot> clockSnapshot;  // the clock panel's, for the dialog's life
  QBasicTimer clockTimer;
  QMenuBar* menuBar = nullptr;
  QHash<int, QWidget*> controls;
};
