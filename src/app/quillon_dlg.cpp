#include "quillon_dlg.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>

#include "dialog_template.h"

using quillon::FrameKind;
using namespace quillon::app;

namespace {

constexpr int kClockPeriodMs = 50;
constexpr int kExitCommand = 32771;

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The original toolkit clips a static text to its rectangle; a font that is wider than the
// one the layout was drawn for must not lose letters. A label grows to its text, and one
// that names the control to its right grows to the left instead of running into it.
QRect fittedLabel(QRect rect, const QString& text, const QFont& font, const QWidget* named,
                  int gap) {
  const int needed = static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
  if (needed <= rect.width()) return rect;
  rect.setWidth(needed);
  const bool sameRow =
      named && named->y() <= rect.bottom() && named->geometry().bottom() >= rect.top();
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
      // The title sits on the frame line, as in the original, not above it: the clock
      // panel just below keeps its room.
      group->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
          "QGroupBox::title { subcontrol-origin: margin; left: 0.5em; padding: 0 2px; }"));
      return group;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(text, parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case ControlKind::Input: return new QLineEdit(parent);
    case ControlKind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::ResultBox: {
      auto* box = new QPlainTextEdit(parent);
      box->setLineWrapMode(QPlainTextEdit::NoWrap);
      box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      box->setTabChangesFocus(true);  // Tab leaves the box, as in any dialog
      return box;
    }
    case ControlKind::ClockField: {
      auto* field = new QLineEdit(parent);
      field->setReadOnly(true);
      field->setFrame(false);
      // Flat like a static text, and opaque: a tick repaints the field alone, not the
      // group box behind it.
      QPalette flat = field->palette();
      flat.setColor(QPalette::Base, flat.color(QPalette::Window));
      field->setPalette(flat);
      field->setAutoFillBackground(true);
      return field;
    }
  }
  return nullptr;
}

}  // namespace

struct CQuillonDlg::FrameControls {
  FrameKind kind;
  int input;
  int button;
  void (CQuillonDlg::*check)();
  void (CQuillonDlg::*guard)();
};

std::span<const CQuillonDlg::FrameControls> CQuillonDlg::frames() {
  static constexpr FrameControls kFrames[] = {
      {FrameKind::HouseKeeping, kHouseKeepingInput, kHouseKeepingButton,
       &CQuillonDlg::OnCheckHouseKeeping, &CQuillonDlg::OnChangeHouseKeeping},
      {FrameKind::Satellite, kSatelliteInput, kSatelliteButton,
       &CQuillonDlg::OnCheckSatelliteStatus, &CQuillonDlg::OnChangeSatelliteStatus},
      {FrameKind::Pda, kPdaInput, kPdaButton, &CQuillonDlg::OnCheckPdaStatus,
       &CQuillonDlg::OnChangePdaStatus},
      {FrameKind::SatellitePda, kSatellitePdaInput, kSatellitePdaButton,
       &CQuillonDlg::OnCheckSatellitePdaStatus, &CQuillonDlg::OnChangeSatellitePdaStatus},
  };
  return kFrames;
}

const CQuillonDlg::FrameControls& CQuillonDlg::frameOf(FrameKind kind) {
  const auto all = frames();
  return *std::find_if(all.begin(), all.end(),
                       [kind](const FrameControls& f) { return f.kind == kind; });
}

std::span<const int> CQuillonDlg::tabOrder() {
  static constexpr int kOrder[] = {
      kHouseKeepingInput, kHouseKeepingButton, kSatelliteInput,  kSatelliteButton,
      kPdaInput,          kPdaButton,          kSatellitePdaInput, kSatellitePdaButton,
      kResultBox,         kLocalTimeField,     kJulianDateField, kUtcField,
  };
  return kOrder;
}

CQuillonDlg::CQuillonDlg(DialogSeams seams, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      clockSource(std::move(seams.clock)),
      ownMessageBoxes(seams.messageBoxes ? nullptr : std::make_unique<ModalMessageBoxes>()),
      messageBoxes(seams.messageBoxes ? seams.messageBoxes : ownMessageBoxes.get()) {
  setFont(dialogFont());
  dialogUnits.emplace(QFontMetrics(font()));
  setWindowTitle(fromUtf8(mainDialogTemplate().title));
  setWindowIcon(QIcon(QStringLiteral(":/quillon/quillon.png")));
  createMenu();
  createControls();
  InitializeDialog();
}

CQuillonDlg::~CQuillonDlg() = default;

void CQuillonDlg::createMenu() {
  menuBar = new QMenuBar(this);
  QMenu* file = menuBar->addMenu(tr("&File"));
  QAction* exit = file->addAction(tr("E&xit"));
  exit->setObjectName(controlName(kExitCommand));
  connect(exit, &QAction::triggered, this, &CQuillonDlg::OnExitCommand);
}

void CQuillonDlg::createControls() {
  const DialogTemplate& layout = mainDialogTemplate();
  const DialogUnits& du = *dialogUnits;
  const int menuHeight = menuBar->sizeHint().height();
  auto* client = new QWidget(this);
  client->setGeometry(0, menuHeight, du.x(layout.width), du.y(layout.height));
  menuBar->setGeometry(0, 0, client->width(), menuHeight);
  setFixedSize(client->width(), menuHeight + client->height());

  std::vector<std::pair<QLabel*, const ControlTemplate*>> labels;
  for (const ControlTemplate& row : layout.controls) {
    QWidget* widget = createControl(row, client);
    if (row.kind == ControlKind::Label) labels.emplace_back(static_cast<QLabel*>(widget), &row);
    widget->setGeometry(du.rect(row.x, row.y, row.width, row.height));
    if (row.id != kNoId) {
      widget->setObjectName(controlName(row.id));
      controls.insert(row.id, widget);
    }
  }

  // The clock fields redraw 20 times a second and only ever show digits and a few ASCII
  // letters: no shaping and no fallback fonts make each redraw cheaper.
  QFont clockFont = font();
  clockFont.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::NoFontMerging));
  for (int id : {kLocalTimeField, kUtcField, kJulianDateField}) control(id)->setFont(clockFont);

  // Labels after the rest: they fit themselves around the controls they name.
  for (auto [label, row] : labels) {
    QWidget* named = control(row->labelFor);
    label->setGeometry(fittedLabel(label->geometry(), label->text(), font(), named, du.x(2)));
    if (!named) continue;
    label->setBuddy(named);
    named->setAccessibleName(label->text());
  }

  for (const FrameControls& frame : frames()) {
    auto* input = control<QLineEdit>(frame.input);
    auto* button = control<QPushButton>(frame.button);
    button->setAccessibleName(button->text() + QStringLiteral(" (") + input->accessibleName() +
                              QStringLiteral(")"));
    connect(input, &QLineEdit::textChanged, this, frame.guard);
    connect(button, &QPushButton::clicked, this, frame.check);
  }

  const auto order = tabOrder();
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(control(order[i - 1]), control(order[i]));
  }

  // Enter and Escape are caught where they land, before any control or the dialog acts.
  installEventFilter(this);
  client->installEventFilter(this);
  for (QWidget* widget : std::as_const(controls)) widget->installEventFilter(this);
}

bool CQuillonDlg::InitializeDialog() {
  clockTimer.start(kClockPeriodMs, this);
  // Never throws: a clock outside the calendar's range still shows its times.
  clockSnapshot.emplace(stm::ClockSnapshot::Read(clockSource));
  control(kHouseKeepingInput)->setFocus();
  return true;
}

void CQuillonDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == clockTimer.timerId()) OnClockTick();
  QDialog::timerEvent(event);
}

void CQuillonDlg::OnClockTick() {
  clockSnapshot->Refresh();
  const stm::ClockPanelTexts texts = stm::clockPanelTexts(*clockSnapshot);
  // Unchanged fields are left alone, so an idle dialog repaints only what moved.
  const auto show = [this](int id, const std::string& text) {
    auto* field = control<QLineEdit>(id);
    const QString value = QString::fromStdString(text);
    if (field->text() != value) field->setText(value);
  };
  show(kUtcField, texts.utc);
  show(kLocalTimeField, texts.local);
  show(kJulianDateField, texts.julianDate);
}

void CQuillonDlg::OnExitCommand() { accept(); }

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

void CQuillonDlg::OnCheckHouseKeeping() { checkFrame(FrameKind::HouseKeeping); }
void CQuillonDlg::OnChangeHouseKeeping() { guardFrame(FrameKind::HouseKeeping); }
void CQuillonDlg::OnCheckSatelliteStatus() { checkFrame(FrameKind::Satellite); }
void CQuillonDlg::OnChangeSatelliteStatus() { guardFrame(FrameKind::Satellite); }
void CQuillonDlg::OnCheckPdaStatus() { checkFrame(FrameKind::Pda); }
void CQuillonDlg::OnChangePdaStatus() { guardFrame(FrameKind::Pda); }
void CQuillonDlg::OnCheckSatellitePdaStatus() { checkFrame(FrameKind::SatellitePda); }
void CQuillonDlg::OnChangeSatellitePdaStatus() { guardFrame(FrameKind::SatellitePda); }

void CQuillonDlg::checkFrame(FrameKind kind) {
  const std::string typed = control<QLineEdit>(frameOf(kind).input)->text().toStdString();
  const auto report = quillon::buildReport(kind, typed, clockSource(), quillon::LineEnd::Lf);
  if (!report) {
    messageBoxes->inform(this, fromUtf8(quillon::kWrongLengthCaption),
                         fromUtf8(quillon::frameRule(kind).wrongLength));
    return;
  }
  appendToResultBox(*report);
}

void CQuillonDlg::guardFrame(FrameKind kind) {
  auto* input = control<QLineEdit>(frameOf(kind).input);
  // Counted and cut by characters, so an emoji at the limit stays whole or goes whole.
  const auto cut = quillon::cutToFrameLength(kind, input->text().toStdString());
  if (!cut) return;
  messageBoxes->inform(this, QString::fromLatin1(kApplicationName),
                       fromUtf8(quillon::frameRule(kind).overLength));
  const int caret = input->cursorPosition();
  const QString kept = QString::fromStdString(*cut);
  input->setText(kept);  // raises the guard once more, which finds the text within the limit
  input->setCursorPosition(std::min(caret, static_cast<int>(kept.size())));
}

void CQuillonDlg::appendToResultBox(const std::string& text) {
  auto* box = control<QPlainTextEdit>(kResultBox);
  const QString report = QString::fromStdString(text);
  // Inserted at the end by a cursor of our own: the operator's text and caret stay
  // as they are, and only the new blocks are laid out.
  QTextCursor end(box->document());
  end.movePosition(QTextCursor::End);
  end.insertText(report);
  box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
}
