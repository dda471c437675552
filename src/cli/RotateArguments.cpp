#include "cli/RotateArguments.h"

#include "app/ApplicationIdentity.h"
#include "rotation/Options.h"

#include <QCommandLineParser>
#include <QLocale>
#include <limits>

namespace {

const QString WaitForPlayer = QStringLiteral("wait-for-player");

QString versionText() {
    return QStringLiteral("quavex %1\n"
                          "Copyright (C) 2026 %2\n"
                          "License GPLv3+: GNU GPL version 3 or later "
                          "<https://gnu.org/licenses/gpl.html>.\n"
                          "This is free software: you are free to change and redistribute it.\n"
                          "There is NO WARRANTY, to the extent permitted by law.\n")
        .arg(versionNumbers(ApplicationIdentity::current()),
             ApplicationIdentity::current().companyName);
}

const QString ExitStatusText = QStringLiteral("\nExit status:\n"
                                              "  0  the whole run\n"
                                              "  1  the run ended early or left a player folder "
                                              "out (the reasons are on stderr)\n"
                                              "  2  bad usage; nothing was moved\n"
                                              "  3  nothing done: another run holds the folders, "
                                              "the player is not there, or the run was refused\n");

// QCommandLineParser has no option with a value that may be left out: the seconds after
// --wait-for-player, when they are there, are taken out before it parses.
QStringList takeWaitSeconds(QStringList arguments, std::optional<QString>* seconds) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--"))
            break;
        if (argument.startsWith(QLatin1String("--") + WaitForPlayer + QLatin1Char('='))) {
            *seconds = argument.section(QLatin1Char('='), 1);
            arguments[i] = QLatin1String("--") + WaitForPlayer;
        } else if (argument == QLatin1String("--") + WaitForPlayer && i + 1 < arguments.size() &&
                   !arguments[i + 1].startsWith(QLatin1Char('-'))) {
            *seconds = arguments.takeAt(i + 1);
        }
    }
    return arguments;
}

// A whole number from 0 to the largest an int holds, or nothing.
std::optional<int> count(const QString& text) {
    bool isNumber = false;
    const qlonglong value = QLocale::c().toLongLong(text, &isNumber);
    if (!isNumber || value < 0 || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Freshens the music on a portable player: moves the player's songs into "
                       "the music folder and fills the player with others drawn at random.\n"
                       "Without options, opens the window."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption rotate(QStringLiteral("rotate"),
                                    QStringLiteral("Run one rotation without the window."));
    const QCommandLineOption music(QStringLiteral("music"),
                                   QStringLiteral("The music folder (default: the saved one)."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption player(QStringLiteral("player"),
                                    QStringLiteral("The player's internal-memory folder."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption card(QStringLiteral("card"),
                                  QStringLiteral("The player's memory-card folder. Without "
                                                 "--player and --card, the saved folders."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption leaveFree(
        QStringLiteral("leave-free"),
        QStringLiteral("Megabytes to leave free on each player folder's drive."),
        QStringLiteral("MB"));
    const QCommandLineOption types(QStringLiteral("types"),
                                   QStringLiteral("The music file types, from %1.")
                                       .arg(allMusicTypes().join(QLatin1Char(','))),
                                   QStringLiteral("LIST"));
    const QCommandLineOption subfolders(QStringLiteral("subfolders"),
                                        QStringLiteral("Take music from subfolders too."));
    const QCommandLineOption albums(QStringLiteral("albums"),
                                    QStringLiteral("Move whole albums (with --subfolders)."));
    const QCommandLineOption noMemory(
        QStringLiteral("no-memory"),
        QStringLiteral("Draw from every song, not only those not yet out in this cycle."));
    const QCommandLineOption yes(QStringLiteral("yes"),
                                 QStringLiteral("Clear the player folders without asking."));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QStringLiteral("List what the run would move each way and the room it would leave; move "
                       "nothing."));
    const QCommandLineOption wait(WaitForPlayer,
                                  QStringLiteral("Wait for the player's volume (up to SECONDS, "
                                                 "when given), then run once."));
    for (const QCommandLineOption* option :
         {&help, &version, &rotate, &music, &player, &card, &leaveFree, &types, &subfolders,
          &albums, &noMemory, &yes, &dryRun, &wait})
        parser.addOption(*option);

    std::optional<QString> seconds;
    const auto bad = [](QString why) {
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        return BadUsage{QStringLiteral("quavex: %1; see quavex --help").arg(why)};
    };
    if (!parser.parse(takeWaitSeconds(arguments, &seconds)))
        return bad(parser.errorText());
    if (parser.isSet(help))
        return PrintAndExit{parser.helpText() + ExitStatusText};
    if (parser.isSet(version))
        return PrintAndExit{versionText()};
    if (!parser.positionalArguments().isEmpty())
        return bad(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0]));
    if (!parser.isSet(rotate))
        return bad(QStringLiteral("options other than --help and --version need --rotate"));

    RotateRequest request;
    if (parser.isSet(music))
        request.music = parser.value(music);
    if (parser.isSet(player))
        request.player = parser.value(player);
    if (parser.isSet(card))
        request.card = parser.value(card);
    if (parser.isSet(leaveFree)) {
        const std::optional<int> megabytes = count(parser.value(leaveFree));
        if (!megabytes)
            return bad(QStringLiteral("--leave-free needs a number of megabytes, not '%1'")
                           .arg(parser.value(leaveFree)));
        request.megabytesFree = *megabytes;
    }
    if (parser.isSet(types)) {
        QStringList chosen;
        for (const QString& type : parser.value(types).toLower().split(QLatin1Char(','))) {
            if (!allMusicTypes().contains(type.trimmed()))
                return bad(QStringLiteral("unknown music file type '%1'").arg(type));
            if (!chosen.contains(type.trimmed()))
                chosen.append(type.trimmed());
        }
        request.musicTypes = chosen;
    }
    request.subfolders = parser.isSet(subfolders);
    request.albums = parser.isSet(albums);
    if (request.albums && !request.subfolders)
        return bad(QStringLiteral("--albums needs --subfolders"));
    request.noMemory = parser.isSet(noMemory);
    request.yes = parser.isSet(yes);
    request.dryRun = parser.isSet(dryRun);
    if (parser.isSet(wait)) {
        request.waitSeconds = seconds ? count(*seconds) : 0;
        if (!request.waitSeconds)
            return bad(QStringLiteral("--wait-for-player takes a number of seconds, not '%1'")
                           .arg(*seconds));
    }
    return request;
}
