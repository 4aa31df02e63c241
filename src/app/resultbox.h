// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result box: a plain-text edit the operator may type in, to which every check appends
// its report, cheaply and for as long as the dialog runs.
//
//   report --its lines broken within one block--> appended at the end, out of the undo
//          history --> shown from its title down
//   reports scrolled out of view --> their line layouts given back
//
// A block keeps the lines it was laid out in for as long as it lives, about 2 KB for a
// report of 25 lines; thousands of checks would hold more in layouts than in text. A report
// that leaves the view is made into a new block with the same text, laid out again only
// when it is shown again. Nothing the operator typed, selected or can undo changes.

#include <QPlainTextEdit>
#include <deque>
#include <string_view>

namespace quillon::app {

class ReportLayout;

class ResultBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ResultBox(QWidget* parent = nullptr);

  // Appends a report (LF line ends; the blank line after it ends its block).
  void appendReport(std::string_view report);

 private:
  QTextBlock topBlock() const;
  void noteShownBlocks();
  void forgetHiddenLayouts();

  ReportLayout* reportLayout;
  std::deque<QTextCursor> shown;  // blocks that may hold layouts, each at its start
};

}  // namespace quillon::app
