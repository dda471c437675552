#include "cli/ConsoleFace.h"

#include "cli/BreakKeys.h"
#include "cli/ConsoleText.h"
#include "rotation/MusicRotation.h"

#include <QTextStream>
#include <utility>

namespace {

const QString LineBreak = QStringLiteral("\r\n");

QString titled(const MessageRequest& request) {
    QString text = request.text;
    text.replace(LineBreak, QStringLiteral(" "));
    return request.title.isEmpty() ? text : request.title + QStringLiteral(" ") + text;
}

} // namespace

ConsoleFace::ConsoleFace(Folders folders, bool yes, bool quiet)
    : m_folders(std::move(folders)), m_yes(yes), m_quiet(quiet), m_terminal(isTerminal(stdout)) {}

ConsoleFace::~ConsoleFace() {
    endProgressLine();
}

MessageAnswer ConsoleFace::ask(const MessageRequest& request) {
    endProgressLine();
    if (request.buttons == MessageButtons::Ok) {
        writeLine(stderr, titled(request));
        return MessageAnswer::Ok;
    }
    // --yes answers the warning that music will be moved, whose answer is Yes at first; a
    // question whose safe answer is No (another volume where the player was) it leaves alone.
    if (m_yes && request.defaultButton == MessageAnswer::Yes)
        return MessageAnswer::Yes;
    if (!isTerminal(stdin) || !isTerminal(stderr)) {
        writeLine(stderr, titled(request));
        writeLine(stderr, QStringLiteral("quavex: no terminal to answer on, so the answer is No "
                                         "(--yes answers the warning that music will be moved)"));
        return MessageAnswer::No;
    }
    writeText(stderr, titled(request) + QStringLiteral(" [y/N] "));
    const QString answer = QTextStream(stdin).readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes") ? MessageAnswer::Yes
                                                                          : MessageAnswer::No;
}

void ConsoleFace::replaceStatus(const QString& text) {
    m_status = text;
    printStatus(text);
}

void ConsoleFace::appendStatus(const QString& message) {
    m_status += LineBreak + message;
    printStatus(message);
}

void ConsoleFace::appendRunEnd(const QStringList& lines) {
    for (const QString& line : lines)
        appendStatus(line);
}

QString ConsoleFace::playerFolder(std::uint8_t which) const {
    return m_folders.players[which - 1].folder;
}

bool ConsoleFace::playerTicked(std::uint8_t which) const {
    return m_folders.players[which - 1].ticked;
}

QString ConsoleFace::playerDrive(std::uint8_t which) const {
    return m_folders.players[which - 1].drive;
}

void ConsoleFace::openPlayerDrive(std::uint8_t which, const QString& drive) {
    m_folders.players[which - 1].drive = drive;
}

void ConsoleFace::yieldEvents() {
    if (breakKeyPressed() && m_rotation)
        m_rotation->StopRequested = true;
}

void ConsoleFace::songsMoved(std::int64_t count) {
    m_progress.songsMoved(count);
    if (m_progressShown && m_progress.due())
        drawProgressLine();
}

void ConsoleFace::printStatus(const QString& text) {
    if (m_quiet)
        return;
    if (m_terminal && text.startsWith(QStringLiteral("Space remaining: "))) {
        m_progress.statusShown(text);
        if (!m_progressShown || m_progress.due())
            drawProgressLine();
        return;
    }
    endProgressLine();
    for (const QString& line : text.split(LineBreak))
        writeLine(stdout, line);
}

void ConsoleFace::drawProgressLine() {
    // One line of a common terminal's width, so that it is drawn over itself.
    constexpr qsizetype Width = 79;
    QString line = m_progress.text();
    if (line.size() > Width)
        line = line.left(Width - 3) + QStringLiteral("...");
    writeText(stdout, QStringLiteral("\r\x1b[K") + line);
    m_progressShown = true;
}

void ConsoleFace::endProgressLine() {
    if (!m_progressShown)
        return;
    drawProgressLine();
    writeText(stdout, QStringLiteral("\n"));
    m_progressShown = false;
    m_progress.restart();
}
