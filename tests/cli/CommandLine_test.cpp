#include "cli/CommandLine.h"
#include "cli/RotateArguments.h"

#include <gtest/gtest.h>

namespace {

CommandLine parsed(const QStringList& arguments) {
    return parseCommandLine(QStringList{QStringLiteral("quavex")} + arguments);
}

QString badUsageLine(const QStringList& arguments) {
    const CommandLine line = parsed(arguments);
    return std::holds_alternative<BadUsage>(line) ? std::get<BadUsage>(line).line : QString();
}

bool leavesTheWindow(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "quavex");
    return wantsCommandLine(int(arguments.size()), const_cast<char**>(arguments.data()));
}

TEST(CommandLine, OnlyTwoDashOptionsLeaveTheWindowAndHelpAndVersionPrint) {
    EXPECT_FALSE(leavesTheWindow({}));
    EXPECT_FALSE(leavesTheWindow({"-platform", "offscreen"}));
    EXPECT_TRUE(leavesTheWindow({"-platform", "offscreen", "--rotate"}));
    EXPECT_TRUE(leavesTheWindow({"-h"}));
    const CommandLine help = parsed({QStringLiteral("--help")});
    ASSERT_TRUE(std::holds_alternative<PrintAndExit>(help));
    EXPECT_TRUE(std::get<PrintAndExit>(help).text.contains(QStringLiteral("--wait-for-player")));
    EXPECT_TRUE(std::get<PrintAndExit>(help).text.contains(QStringLiteral("Exit status:")));
    const CommandLine version = parsed({QStringLiteral("--version")});
    ASSERT_TRUE(std::holds_alternative<PrintAndExit>(version));
    EXPECT_TRUE(std::get<PrintAndExit>(version).text.startsWith(QStringLiteral("quavex 1.")));
}

TEST(CommandLine, RotateTakesFoldersOptionsAndTheSecondsToWait) {
    const CommandLine line = parsed(
        {QStringLiteral("--rotate"), QStringLiteral("--music"), QStringLiteral("/m"),
         QStringLiteral("--card=/c"), QStringLiteral("--leave-free"), QStringLiteral("500"),
         QStringLiteral("--types"), QStringLiteral("MP3,flac,mp3"), QStringLiteral("--subfolders"),
         QStringLiteral("--albums"), QStringLiteral("--no-memory"), QStringLiteral("--yes"),
         QStringLiteral("--wait-for-player"), QStringLiteral("90")});
    ASSERT_TRUE(std::holds_alternative<RotateRequest>(line));
    const auto& request = std::get<RotateRequest>(line);
    EXPECT_EQ(request.music, QStringLiteral("/m"));
    EXPECT_FALSE(request.player);
    EXPECT_EQ(request.card, QStringLiteral("/c"));
    EXPECT_EQ(request.megabytesFree, 500);
    EXPECT_EQ(request.musicTypes, (QStringList{QStringLiteral("mp3"), QStringLiteral("flac")}));
    EXPECT_TRUE(request.subfolders && request.albums && request.noMemory && request.yes);
    EXPECT_EQ(request.waitSeconds, 90);

    const CommandLine waitsOn = parsed(
        {QStringLiteral("--rotate"), QStringLiteral("--wait-for-player"), QStringLiteral("--yes")});
    ASSERT_TRUE(std::holds_alternative<RotateRequest>(waitsOn));
    EXPECT_EQ(std::get<RotateRequest>(waitsOn).waitSeconds, 0);
    EXPECT_TRUE(std::get<RotateRequest>(waitsOn).yes);
}

TEST(CommandLine, EachBadArgumentIsOneLine) {
    const struct {
        QStringList arguments;
        const char* line;
    } cases[] = {
        {{QStringLiteral("--rotat")}, "quavex: Unknown option 'rotat'; see quavex --help"},
        {{QStringLiteral("--music"), QStringLiteral("/m")},
         "quavex: options other than --help and --version need --rotate; see quavex --help"},
        {{QStringLiteral("--rotate"), QStringLiteral("extra")},
         "quavex: unexpected argument 'extra'; see quavex --help"},
        {{QStringLiteral("--rotate"), QStringLiteral("--leave-free"), QStringLiteral("-5")},
         "quavex: --leave-free needs a number of megabytes, not '-5'; see quavex --help"},
        {{QStringLiteral("--rotate"), QStringLiteral("--types"), QStringLiteral("mp3,mid")},
         "quavex: unknown music file type 'mid'; see quavex --help"},
        {{QStringLiteral("--rotate"), QStringLiteral("--albums")},
         "quavex: --albums needs --subfolders; see quavex --help"},
        {{QStringLiteral("--rotate"), QStringLiteral("--wait-for-player=soon")},
         "quavex: --wait-for-player takes a number of seconds, not 'soon'; see quavex --help"},
    };
    for (const auto& each : cases)
        EXPECT_EQ(badUsageLine(each.arguments), QString::fromUtf8(each.line))
            << each.arguments.join(QLatin1Char(' ')).toStdString();
}

} // namespace
