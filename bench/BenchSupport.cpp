#include "BenchSupport.h"

#include "controls/DriveList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "fs/SongOriginsName.h"
#include "fs/SystemFileSystem.h"
#include "fs/VolumeLookup.h"
#include "rotation/ClockRandomSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

class BenchVolumes : public VolumeProvider {
public:
    explicit BenchVolumes(QStringList roots) : m_roots(std::move(roots)) {}
    std::vector<Volume> volumes() const override {
        std::vector<Volume> all;
        for (const QString& root : m_roots)
            all.push_back({root, {}});
        return all;
    }
    QString homeVolumeRoot() const override { return m_roots.front(); }
    bool isReadable(const QString&) const override { return true; }
    QString currentFolder(const QString& root) const override { return root; }

private:
    QStringList m_roots;
};

class DefaultAnswers : public Prompter {
public:
    MessageAnswer ask(const MessageRequest& request) override {
        std::fprintf(stderr, "%s: message box: %s\n",
                     QCoreApplication::applicationName().toLocal8Bit().constData(),
                     request.text.toLocal8Bit().constData());
        return request.defaultButton;
    }
};

void writeFile(const QString& path, qint64 size) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("cannot create %1").arg(path));
    QByteArray block(int(std::min<qint64>(size, MiB)), 'x');
    block.replace(0, std::min<qsizetype>(block.size(), name.size()), name);
    for (qint64 written = 0; written < size;) {
        const auto chunk =
            ::write(fd, block.constData(), std::min<qint64>(block.size(), size - written));
        if (chunk <= 0)
            fail(QStringLiteral("cannot write %1").arg(path));
        written += chunk;
    }
    ::close(fd);
}

} // namespace

void fail(const QString& why) {
    std::fprintf(stderr, "%s: %s\n", QCoreApplication::applicationName().toLocal8Bit().constData(),
                 why.toLocal8Bit().constData());
    std::exit(1);
}

void makeFiles(const QString& folder, const QString& stem, int count, qint64 size) {
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i)
        writeFile(QStringLiteral("%1/%2%3.mp3").arg(folder, stem).arg(i, 6, 10, QLatin1Char('0')),
                  size);
}

QStringList namesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    names.removeIf(isSongOriginsName);
    return names;
}

QStringList pathsIn(const QString& folder, const QStringList& names) {
    QStringList paths;
    for (const QString& name : names)
        paths.append(folder + QLatin1Char('/') + name);
    return paths;
}

double timeMs(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return double(timer.nsecsElapsed()) / 1e6;
}

void runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        fail(QStringLiteral("%1 failed: %2")
                 .arg(program, QString::fromLocal8Bit(process.readAllStandardError())));
}

double programMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return double(clock.nsecsElapsed()) / 1e6;
}

namespace {

void timed(std::vector<MoveSpan>& moves, const std::function<void()>& move) {
    const double start = programMs();
    try {
        move();
    } catch (...) {
        moves.push_back({start, programMs()});
        throw;
    }
    moves.push_back({start, programMs()});
}

} // namespace

void TimedMoves::MoveFile(const QString& source, const QString& destination) {
    if (source.endsWith(QStringLiteral("*.*")))
        ForwardingFileSystem::MoveFile(source, destination);
    else
        timed(*m_moves, [&] { ForwardingFileSystem::MoveFile(source, destination); });
}

void TimedMoves::MoveInGroup(const QString& source, const QString& destination) {
    timed(*m_moves, [&] { real().MoveInGroup(source, destination); });
}

void TimedMoves::SettleMoves() {
    real().SettleMoves();
    if (!m_moves->empty())
        m_moves->back().endMs = programMs();
}

std::int64_t TimedMoves::SettledMoves() const {
    return real().SettledMoves();
}

BenchWindow::BenchWindow(const QStringList& drives, const QString& music, const QString& player,
                         const QString& holding, FileSystemFactory factory,
                         std::function<void()> onYield) {
    Form1Services services;
    services.volumes = std::make_shared<BenchVolumes>(drives);
    services.createFileSystem = std::move(factory);
    services.prompter = std::make_shared<DefaultAnswers>();
    services.random = std::make_shared<ClockRandomSource>();
    services.yieldEvents = onYield
                               ? std::move(onYield)
                               : std::function<void()>([] { QCoreApplication::processEvents(); });
    services.holdingFolder = holding;
    form = std::make_unique<Form1>(std::move(services));
    form->show();
    // A folder list stays on its drive, so each drive is chosen before its folder.
    form->Drive1->setDrive(volumeRootOf(*form->services().volumes, music));
    form->Dir1->setPath(music);
    form->drvOp1->setDrive(volumeRootOf(*form->services().volumes, player));
    form->dirOp1->setPath(player);
    form->chk1->setValue(1);
    form->chkWarn->setValue(1);
    QCoreApplication::processEvents();
}
