// Opening and refreshing a file list on a folder of 100,000 music files, and the memory it
// takes, then opening one on 1,000,000. Prints "name value unit" lines; each time is the median of
// several runs.
#include "Median.h"
#include "controls/FileList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 100000;
constexpr int kManyFiles = 1000000;
constexpr int kOpenRuns = 7;
constexpr int kRefreshRuns = 41;

double residentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(::sysconf(_SC_PAGESIZE)) / 1048576.0
                             : 0;
}

void touch(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.constData());
        std::exit(1);
    }
    ::close(fd);
}

// Times one step followed by the events it causes (layout and painting of the list).
template <typename Step> double timeMs(Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

void makeSongs(const QByteArray& prefix, int from, int to) {
    for (int i = from; i < to; ++i)
        touch(prefix + "Track " + QByteArray::number(i) + (i % 2 ? ".mp3" : ".WMA"));
}

// The times of opening a new list on the folder, and the memory the first list took beyond
// the window's.
std::vector<double> openingMs(QWidget& window, const QString& folder, int files, double* listMiB) {
    const double emptyWindowMiB = residentMiB();
    std::vector<double> openMs;
    for (int run = 0; run < kOpenRuns; ++run) {
        auto list = std::make_unique<FileList>(&window);
        list->setGeometry(8, 144, 241, 201);
        list->setPattern(QStringLiteral("*.mp3;*.wma"));
        list->show();
        QCoreApplication::processEvents();
        openMs.push_back(timeMs([&] { list->setPath(folder); }));
        if (list->ListCount() != files) {
            std::fprintf(stderr, "listed %lld files, not %d\n", list->ListCount(), files);
            std::exit(1);
        }
        if (run == 0 && listMiB)
            *listMiB = residentMiB() - emptyWindowMiB;
    }
    return openMs;
}

// The times of refreshing an open list after a song came or went.
std::vector<double> refreshingMs(QWidget& window, const QString& folder, const QByteArray& prefix) {
    FileList list(&window);
    list.setGeometry(8, 144, 241, 201);
    list.setPattern(QStringLiteral("*.mp3;*.wma"));
    list.show();
    list.setPath(folder);
    QCoreApplication::processEvents();
    std::vector<double> refreshMs;
    const QByteArray extra = prefix + "Extra.mp3";
    for (int run = 0; run < kRefreshRuns; ++run) {
        if (run % 2 == 0)
            touch(extra);
        else
            ::unlink(extra.constData());
        refreshMs.push_back(timeMs([&] { list.Refresh(); }));
        if (list.ListCount() != kFiles + (run % 2 == 0 ? 1 : 0)) {
            std::fprintf(stderr, "refresh listed %lld files\n", list.ListCount());
            std::exit(1);
        }
    }
    ::unlink(extra.constData());
    return refreshMs;
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    // A tmpfs of its own when allowed (scripts/bench runs in a private mount namespace), so
    // making the files does not wait on a disk; otherwise a folder under the temporary folder.
    QTemporaryDir place;
    QString folder = place.path() + QStringLiteral("/music");
    QDir().mkpath(folder);
    const bool onTmpfs = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                                 "size=512m,nr_inodes=1100000") == 0;
    const QByteArray prefix = QFile::encodeName(folder) + "/";
    makeSongs(prefix, 0, kFiles);

    QWidget window;
    window.resize(760, 538);
    window.show();
    QCoreApplication::processEvents();
    double listMiB = 0;
    const std::vector<double> openMs = openingMs(window, folder, kFiles, &listMiB);

    const std::vector<double> refreshMs = refreshingMs(window, folder, prefix);

    std::printf("filelist_open_ms_100k %.1f ms\n", median(openMs));
    std::printf("filelist_refresh_ms_100k %.3f ms\n", median(refreshMs));
    std::printf("filelist_rss_mb_100k %.1f MB\n", listMiB);
    std::fflush(stdout);

    makeSongs(prefix, kFiles, kManyFiles);
    std::printf("filelist_open_ms_1m %.1f ms\n",
                median(openingMs(window, folder, kManyFiles, nullptr)));
    if (onTmpfs)
        ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    return 0;
}
