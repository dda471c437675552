#include "app/Form1.h"
#include "fs/AppError.h"
#include "support/ForwardingFileSystem.h"
#include "support/RotationWindow.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The real file-system object; after its first move the player folder goes away, as when a card
// is pulled just then.
class PlayerGoneAfterFirstMove : public ForwardingFileSystem {
public:
    explicit PlayerGoneAfterFirstMove(QString player) : m_player(std::move(player)) {}
    void MoveFile(const QString& source, const QString& destination) override {
        ForwardingFileSystem::MoveFile(source, destination);
        if (destination.startsWith(m_player) && !m_gone) {
            m_gone = true;
            QDir().rename(m_player, m_player + QStringLiteral(".pulled"));
        }
    }

private:
    QString m_player;
    bool m_gone = false;
};

TEST(FillRefresh, AMoveThatSucceededCountsEvenWhenItsFolderCannotBeReadAgain) {
    RotationWindow window;
    writeFiles(window.music(), {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    window.createFileSystem = [&] {
        return std::make_unique<PlayerGoneAfterFirstMove>(window.player());
    };
    window.open();
    window.choose(window.music(), window.player(), window.card(), true, false);

    window.pressSelect();

    EXPECT_EQ(window.namesIn(window.player() + QStringLiteral(".pulled")).size(), 1);
    EXPECT_EQ(window.namesIn(window.music()).size(), 1);
    // The next move into the vanished folder is refused and said; the summary counts the first.
    ASSERT_EQ(window.env.prompter->shown.size(), 1u);
    EXPECT_EQ(window.env.prompter->shown[0].text,
              QStringLiteral("The player \"%1\" was unplugged during the run: 1 file reached it, "
                             "the rest are still in the Hard Drive Music Directory.")
                  .arg(QDir::toNativeSeparators(window.player())));
    EXPECT_TRUE(
        window.statusText().contains(QStringLiteral(" 1 files were moved to the MP3 player.")))
        << window.statusText().toStdString();
}

// The real file-system object; the third file moved into the player fails, as on a failing card.
class ThirdFileFails : public ForwardingFileSystem {
public:
    void MoveFile(const QString& source, const QString& destination) override {
        if (!source.endsWith(QStringLiteral("*.*")) && ++m_files == 3)
            throw AppError(ErrorNumber::PathFileAccess, QStringLiteral("Fso"),
                           QStringLiteral("The card refused the file."));
        ForwardingFileSystem::MoveFile(source, destination);
    }

private:
    int m_files = 0;
};

// Files move faster than the panes are re-read; whenever the user acts or is asked, they are exact.
TEST(FillRefresh, ThePanesAreExactWhenTheUserActsAndWhenAsked) {
    RotationWindow window;
    writeFiles(window.music(), {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"),
                                QStringLiteral("c.mp3"), QStringLiteral("d.mp3")});
    window.createFileSystem = [] { return std::make_unique<ThirdFileFails>(); };
    QStringList totalsAtAClick;
    window.onYield = [&](int) {
        if (window.namesIn(window.player()).size() != 2 || !totalsAtAClick.isEmpty())
            return;
        QTest::mouseClick(window.form->txtStatus->viewport(), Qt::LeftButton);
        totalsAtAClick << window.form->txtIpTot->text() << window.form->txtOp1Tot->text();
    };
    QStringList totalsAtTheBox;
    window.env.prompter->whileShown = [&](const MessageRequest&) {
        totalsAtTheBox << window.form->txtIpTot->text() << window.form->txtOp1Tot->text();
    };
    window.open();
    window.choose(window.music(), window.player(), window.card(), true, false);

    window.pressSelect();

    const QStringList afterTwoMoves{QStringLiteral("Total: 2"), QStringLiteral("Total: 2")};
    EXPECT_EQ(totalsAtAClick, afterTwoMoves);
    EXPECT_EQ(totalsAtTheBox, afterTwoMoves);
}

} // namespace
