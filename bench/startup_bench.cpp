// Start-up with a large music folder. Prints "name value unit", for folders of 300,000 and then
// 1,000,000 files on the local disk (the same folder, grown):
//   startup_ms_<size>            from starting the program to its window showing the hard-drive
//                                total of the music folder
//   startup_vs_ls_ratio_<size>   that time against ls of the same folder, in turns in the same run
// The program is this one started again with --window: it starts up as the real program does,
// with the settings store of a private configuration folder naming the music folder.
#include "BenchSupport.h"
#include "Median.h"
#include "app/MainWindowStart.h"
#include "app/QSettingsBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rounds = 5;

struct FolderSize {
    int files;
    const char* name;
};
constexpr FolderSize Sizes[] = {{300000, "300k"}, {1000000, "1m"}};

// Starts up as main() does, waits until the window is on screen and prints the total it shows.
[[noreturn]] void showWindow(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const std::unique_ptr<Form1> started = startMainWindow();
    const Form1& window = *started;
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    std::printf("%s\n", window.txtIpTot->text().toLocal8Bit().constData());
    std::fflush(stdout);
    ::_exit(0);
}

// Milliseconds from starting the program to the first line it prints, and that line.
double msToFirstLine(const QString& program, const QStringList& arguments, QByteArray* line) {
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    while (!process.canReadLine())
        if (!process.waitForReadyRead(60000))
            fail(QStringLiteral("%1 printed nothing").arg(program));
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    *line = process.readLine().trimmed();
    process.waitForFinished(-1);
    return ms;
}

double msToFinish(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        fail(QStringLiteral("%1 failed").arg(program));
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc > 1 && qstrcmp(argv[1], "--window") == 0)
        showWindow(argc, argv);
    QTemporaryDir configuration;
    // Before the settings store is first opened, and inherited by the program started below, as
    // is the state folder.
    setenv("XDG_CONFIG_HOME", configuration.path().toLocal8Bit().constData(), 1);
    const OwnStateFolder state;
    QApplication app(argc, argv);
    QTemporaryDir disk(QStringLiteral("/var/tmp/quavex-startup-bench-XXXXXX"));
    const QString music = disk.path() + QStringLiteral("/Music");
    QSettingsBackend().write(QStringLiteral("QUAVEX"), QStringLiteral("Settings"),
                             QStringLiteral("dirIp"), music);
    const QString self = QCoreApplication::applicationFilePath();
    int made = 0;
    for (const FolderSize& size : Sizes) {
        makeFiles(music, QStringLiteral("s%1-").arg(made), size.files - made, 0);
        made = size.files;
        const QByteArray expected = "Total: " + QByteArray::number(size.files);
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int round = 0; round < Rounds; ++round) {
            QByteArray shown;
            ours.push_back(msToFirstLine(self, {QStringLiteral("--window")}, &shown));
            if (shown != expected)
                fail(QStringLiteral("the window showed \"%1\"").arg(QString::fromLocal8Bit(shown)));
            theirs.push_back(msToFinish(QStringLiteral("ls"), {music}));
        }
        std::printf("startup_ms_%s %.1f ms\n", size.name, median(ours));
        std::printf("startup_vs_ls_ratio_%s %.3f ratio\n", size.name,
                    median(ours) / median(theirs));
        std::fflush(stdout);
    }
    return 0;
}
