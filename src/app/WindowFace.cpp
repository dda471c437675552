#include "app/WindowFace.h"

#include "app/Form1.h"
#include "controls/DriveList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
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

void WindowFace::replaceStatus(const QString& text) {
    // File names in the text show their bytes that are not text as U+FFFD.
    QString shown = displayedFileName(text);
    m_form.txtStatus->setPlainText(shown.replace(runLineBreak, shownLineBreak));
    // The newest line is the one that matters; setting the text scrolls back to the top.
    QScrollBar* scroll = m_form.txtStatus->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    m_form.txtStatus->setVisible(true);
}

void WindowFace::appendStatus(const QString& message) {
    replaceStatus(statusText() + runLineBreak + message);
}

void WindowFace::showStatus() {
    m_form.txtStatus->setVisible(true);
}

void WindowFace::appendRunEnd(const QStringList& lines) {
    const int lastLine = m_form.txtStatus->blockCount() - 1;
    for (const QString& line : lines)
        appendStatus(line);
    const QTextBlock block = m_form.txtStatus->document()->findBlockByNumber(lastLine);
    // The scroll bar counts the box's rows, a line that wraps taking more than one.
    m_form.txtStatus->verticalScrollBar()->setValue(block.firstLineNumber());
}

QString WindowFace::statusText() const {
    return m_form.txtStatus->toPlainText().replace(shownLineBreak, runLineBreak);
}

void WindowFace::setStatusColour(const QColor& colour) {
    QPalette palette = m_form.txtStatus->palette();
    palette.setColor(QPalette::Base, colour);
    m_form.txtStatus->setPalette(palette);
}

QColor WindowFace::statusColour() const {
    return m_form.txtStatus->palette().color(QPalette::Base);
}

// Painting what has changed since the last paint, at once, shows the same window as painting it
// all, without redrawing three file lists for every file the fill moves.
void WindowFace::repaint() {
    QCoreApplication::sendPostedEvents(&m_form, QEvent::UpdateRequest);
}

QObject* WindowFace::paintedWindow() {
    return &m_form;
}

QString WindowFace::musicFolder() const {
    return m_form.Dir1->Path();
}

QString WindowFace::playerFolder(std::uint8_t which) const {
    return m_form.playerPane(which).dir->Path();
}

bool WindowFace::playerTicked(std::uint8_t which) const {
    return m_form.playerPane(which).tick->Value() == 1;
}

QString WindowFace::playerDrive(std::uint8_t which) const {
    return m_form.playerPane(which).drive->Drive();
}

void WindowFace::openPlayerDrive(std::uint8_t which, const QString& drive) {
    m_form.playerPane(which).drive->setDrive(drive);
}

bool WindowFace::doNotWarn() const {
    return m_form.chkWarn->Value() == 1;
}

void WindowFace::refreshMusicPane() {
    Form1::RefreshTotal(m_form.flIp, m_form.txtIpTot);
}

void WindowFace::refreshPlayerPane(std::uint8_t which) {
    const PlayerPane pane = m_form.playerPane(which);
    Form1::RefreshTotal(pane.files, pane.total);
}

void WindowFace::runStateChanged() {
    m_form.SetGoButton();
}

MessageAnswer WindowFace::ask(const MessageRequest& request) {
    return m_form.services().prompter->ask(request);
}

void WindowFace::yieldEvents() {
    m_form.services().yieldEvents();
}
