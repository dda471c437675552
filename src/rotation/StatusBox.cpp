#include "rotation/StatusBox.h"

#include "app/Form1.h"
#include "fs/FileNameCodec.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

namespace {

const QString runLineBreak = QStringLiteral("\r\n");
const QString shownLineBreak = QStringLiteral("\n");

} // namespace

void replaceStatus(Form1& form, const QString& text) {
    // File names in the text show their bytes that are not text as U+FFFD.
    QString shown = displayedFileName(text);
    form.txtStatus->setPlainText(shown.replace(runLineBreak, shownLineBreak));
    // The newest line is the one that matters; setting the text scrolls back to the top.
    QScrollBar* scroll = form.txtStatus->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    form.txtStatus->setVisible(true);
}

void showStatus(Form1& form) {
    form.txtStatus->setVisible(true);
}

void appendStatus(Form1& form, const QString& message) {
    replaceStatus(form, statusText(form) + runLineBreak + message);
}

void appendRunEnd(Form1& form, const QStringList& lines) {
    const int lastLine = form.txtStatus->blockCount() - 1;
    for (const QString& line : lines)
        appendStatus(form, line);
    const QTextBlock block = form.txtStatus->document()->findBlockByNumber(lastLine);
    // The scroll bar counts the box's rows, a line that wraps taking more than one.
    form.txtStatus->verticalScrollBar()->setValue(block.firstLineNumber());
}

QString statusText(const Form1& form) {
    return form.txtStatus->toPlainText().replace(shownLineBreak, runLineBreak);
}

void setStatusColour(Form1& form, const QColor& colour) {
    QPalette palette = form.txtStatus->palette();
    palette.setColor(QPalette::Base, colour);
    form.txtStatus->setPalette(palette);
}

QColor statusColour(const Form1& form) {
    return form.txtStatus->palette().color(QPalette::Base);
}

// Painting what has changed since the last paint, at once, shows the same window as painting it
// all, without redrawing three file lists for every file the fill moves.
void repaintWindow(Form1& form) {
    QCoreApplication::sendPostedEvents(&form, QEvent::UpdateRequest);
}
