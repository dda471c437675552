#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class Form1;

// The status box txtStatus. The run's texts break lines with "\r\n"; the box shows each "\r\n" as
// one line break, and statusText gives the texts back with their "\r\n". No text the run writes
// holds a lone "\r" or "\n", so nothing is lost either way.

// Replaces the whole text and shows the box (it then stays visible), scrolled to its last line.
void replaceStatus(Form1& form, const QString& text);
// Makes the box visible again without changing its text.
void showStatus(Form1& form);
// The old text, "\r\n", then the message; shows the box.
void appendStatus(Form1& form, const QString& message);
// Appends the lines that close a run after its last line so far (the completion line, or the
// line that says why nothing was done) and shows that line at the top of the box: the box holds
// three lines, so the user sees how the run ended and the start of the first line after it.
void appendRunEnd(Form1& form, const QStringList& lines);
QString statusText(const Form1& form);
void setStatusColour(Form1& form, const QColor& colour);
QColor statusColour(const Form1& form);
// Paints the window now, so that the status shows while the run goes on without yielding.
void repaintWindow(Form1& form);
