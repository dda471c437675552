// Moving files from the local disk onto a tmpfs: MoveFile against mv of equal files in the same
// run. Prints
//   move_vs_mv_ratio <MoveFile time / mv time> ratio     (target <= 1.10)
//   move_ms_per_file, mv_ms_per_file                     ms
//   move_fsync_ms_per_file <time MoveFile spent in fsync> ms
// Needs root for the tmpfs mount; scripts/bench runs it inside a private mount namespace.
#include "BenchSupport.h"
#include "fs/SystemCalls.h"
#include "fs/SystemFileSystem.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/mount.h>

namespace {

constexpr int FileCount = 200;
constexpr qint64 FileSize = qint64{4} * 1024 * 1024;
constexpr int Batches = 10;

class TimedFsync : public SystemCalls {
public:
    int fsync(int fd) override {
        QElapsedTimer timer;
        timer.start();
        const int result = SystemCalls::fsync(fd);
        nanoseconds += timer.nsecsElapsed();
        return result;
    }
    qint64 nanoseconds = 0;
};

bool makeFiles(const QString& folder, const QByteArray& content) {
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 0; i < FileCount; ++i) {
        QFile file(QStringLiteral("%1/song%2.mp3").arg(folder).arg(i, 3, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    const OwnStateFolder state;
    QCoreApplication app(argc, argv);
    // On the root volume, not on a tmpfs /tmp: the copy must come from the local disk.
    QTemporaryDir disk(QStringLiteral("/var/tmp/quavex-move-bench-XXXXXX"));
    QTemporaryDir target;
    if (!disk.isValid() || !target.isValid()) {
        std::fprintf(stderr, "move_bench: cannot make the work folders\n");
        return 1;
    }
    const QByteArray tmpfsPath = QFile::encodeName(target.path());
    if (::mount("tmpfs", tmpfsPath.constData(), "tmpfs", 0, "size=2g") != 0) {
        std::fprintf(stderr, "move_bench: cannot mount a tmpfs (%s); run as root\n",
                     std::strerror(errno));
        return 1;
    }
    QByteArray content(FileSize, Qt::Uninitialized);
    for (qint64 i = 0; i < FileSize; ++i)
        content[i] = char((i * 2654435761u) >> 13);
    const QString ours = disk.path() + QStringLiteral("/ours");
    const QString theirs = disk.path() + QStringLiteral("/theirs");
    int status = 1;
    if (makeFiles(ours, content) && makeFiles(theirs, content) &&
        QDir().mkpath(target.path() + QStringLiteral("/ours")) &&
        QDir().mkpath(target.path() + QStringLiteral("/theirs"))) {
        auto calls = std::make_shared<TimedFsync>();
        SystemFileSystem fso(calls);
        const auto name = [](int i) {
            return QStringLiteral("/song%1.mp3").arg(i, 3, 10, QLatin1Char('0'));
        };
        // Batches taking turns, each side first in every other one, so that the load of the
        // machine falls on both alike.
        qint64 moveNs = 0;
        qint64 mvNs = 0;
        bool mvDone = true;
        for (int batch = 0; batch < Batches && mvDone; ++batch) {
            const int first = batch * FileCount / Batches;
            const int last = (batch + 1) * FileCount / Batches;
            const auto ourTurn = [&] {
                QElapsedTimer timer;
                timer.start();
                for (int i = first; i < last; ++i)
                    fso.MoveFile(ours + name(i), target.path() + QStringLiteral("/ours") + name(i));
                moveNs += timer.nsecsElapsed();
            };
            const auto theirTurn = [&] {
                QStringList arguments;
                for (int i = first; i < last; ++i)
                    arguments << theirs + name(i);
                arguments << target.path() + QStringLiteral("/theirs/");
                QProcess mv;
                QElapsedTimer timer;
                timer.start();
                mv.start(QStringLiteral("mv"), arguments);
                mvDone = mv.waitForFinished(-1) && mv.exitCode() == 0;
                mvNs += timer.nsecsElapsed();
            };
            if (batch % 2 == 0) {
                ourTurn();
                theirTurn();
            } else {
                theirTurn();
                ourTurn();
            }
        }
        if (mvDone) {
            std::printf("move_vs_mv_ratio %.3f ratio\n", double(moveNs) / double(mvNs));
            std::printf("move_ms_per_file %.3f ms\n", moveNs / 1e6 / FileCount);
            std::printf("mv_ms_per_file %.3f ms\n", mvNs / 1e6 / FileCount);
            std::printf("move_fsync_ms_per_file %.3f ms\n", calls->nanoseconds / 1e6 / FileCount);
            status = 0;
        } else {
            std::fprintf(stderr, "move_bench: mv failed\n");
        }
    } else {
        std::fprintf(stderr, "move_bench: cannot write the test files\n");
    }
    ::umount2(tmpfsPath.constData(), MNT_DETACH);
    return status;
}
