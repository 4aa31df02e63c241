// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultbox.h"

#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace quillon::app {

// The plain-text layout, which can hold still while a block is made anew: a cursor moved
// over a block lays it out, and a block given back must not be laid out again at once.
class ReportLayout : public QPlainTextDocumentLayout {
 public:
  using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

  QRectF blockBoundingRect(const QTextBlock& block) const override {
    return holding ? QRectF() : QPlainTextDocumentLayout::blockBoundingRect(block);
  }

  // Takes the block's separator out and puts it back: the block after it is new, without
  // layout. The views are told nothing but the line count: the text is as it was.
  void forget(const QTextBlock& block) {
    QTextDocument* document = this->document();
    const int separator = block.position() - 1;
    holding = true;
    const bool layoutQuiet = blockSignals(true), documentQuiet = document->blockSignals(true);
    QTextCursor cut(document);
    cut.setPosition(separator);
    cut.setPosition(separator + 1, QTextCursor::KeepAnchor);
    cut.insertText(QStringLiteral("\n"));
    document->blockSignals(documentQuiet);
    blockSignals(layoutQuiet);
    holding = false;
  }

  void linesCounted() { emit documentSizeChanged(documentSize()); }

 private:
  bool holding = false;
};

ResultBox::ResultBox(QWidget* parent) : QPlainTextEdit(parent) {
  auto* document = new QTextDocument(this);
  document->setDefaultFont(font());  // the dialog's, as the box's own document would have
  reportLayout = new ReportLayout(document);
  document->setDocumentLayout(reportLayout);
  setDocument(document);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(true);  // Tab leaves the box, as in any dialog
}

void ResultBox::appendReport(std::string_view text) {
  // One block a report: its lines break within the block, and the blank line after it ends
  // the block. A block and its layout cost nearly as much for one line as for twenty-five;
  // the text reads, saves and copies the same.
  QString report = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const bool endsBlock = report.endsWith(QLatin1Char('\n'));
  if (endsBlock) report.chop(1);
  report.replace(QLatin1Char('\n'), QChar::LineSeparator);
  if (endsBlock) report += QLatin1Char('\n');
  noteShownBlocks();
  // A report is no edit of the operator's: undo never takes it away. Turning the history
  // off for it also ends the history before it, so undo stops at the last report.
  document()->setUndoRedoEnabled(false);
  // Inserted at the end by a cursor of our own: the operator's text and caret stay as
  // they are, and only the new blocks are laid out.
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  const QTextBlock titleBlock = end.block();
  const int title = end.position() - titleBlock.position();
  end.insertText(report);
  // The new report from its title down, as much of it as fits.
  reportLayout->blockBoundingRect(titleBlock);  // lays the block out: its lines are counted
  verticalScrollBar()->setValue(titleBlock.firstLineNumber() +
                                titleBlock.layout()->lineForTextPosition(title).lineNumber());
  shown.emplace_back(titleBlock);
  forgetHiddenLayouts();
  document()->setUndoRedoEnabled(true);
}

QTextBlock ResultBox::topBlock() const { return cursorForPosition(QPoint()).block(); }

// The reports in view hold layouts: the operator may have scrolled back to them. Blocks of
// one line, such as the operator's own, cost too little to be worth making anew.
void ResultBox::noteShownBlocks() {
  const QTextBlock last = cursorForPosition(QPoint(0, viewport()->height() - 1)).block();
  for (QTextBlock block = topBlock(); block.isValid() && block.blockNumber() <= last.blockNumber();
       block = block.next()) {
    if (block.lineCount() > 1) shown.emplace_back(block);
  }
}

void ResultBox::forgetHiddenLayouts() {
  const int top = topBlock().blockNumber();
  const QTextCursor caret = textCursor();
  bool forgot = false;
  for (auto at = shown.begin(); at != shown.end();) {
    const QTextBlock block = at->block();
    if (block.blockNumber() >= top) {
      ++at;
      continue;
    }
    // The first block has no separator before it; a caret or selection end at the
    // separator would move with it.
    const int separator = block.position() - 1;
    if (block.blockNumber() > 0 && block.lineCount() > 1 && caret.position() != separator &&
        caret.anchor() != separator) {
      reportLayout->forget(block);
      forgot = true;
    }
    at = shown.erase(at);
  }
  if (forgot) reportLayout->linesCounted();
}

}  // namespace quillon::app
