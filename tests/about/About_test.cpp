#include "about/frmAbout.h"
#include "app/FontSubstitutes.h"
#include "support/QtPrinting.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

ApplicationIdentity identity(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    ApplicationIdentity id = ApplicationIdentity::current();
    id.major = major;
    id.minor = minor;
    id.revision = revision;
    return id;
}

QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

TEST(AboutBox, ShowsTheVersionRecordAfterLoading) {
    QPointer<frmAbout> box = new frmAbout(ApplicationIdentity::current());
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About QUAVEX"));
    EXPECT_EQ(box->lblTitle->text(), QStringLiteral("QUAVEX"));
    EXPECT_EQ(box->lblDescription->text(), QStringLiteral("Tunequill"));
    EXPECT_EQ(box->lblVersion->text(), QStringLiteral("Version 1.0.0"));
    EXPECT_EQ(box->lblCompany->text(), QStringLiteral("Larkspur Lane Software"));
    delete box;

    frmAbout other(identity(1, 5, 12));
    EXPECT_EQ(other.lblVersion->text(), QStringLiteral("Version 1.5.12"));
}

TEST(AboutBox, StandsAsLaidOut) {
    frmAbout box(ApplicationIdentity::current());
    EXPECT_EQ(box.size(), QSize(525, 207));
    EXPECT_EQ(box.Image1->geometry(), twips(120, 120, 2130, 2490));
    EXPECT_EQ(box.lblTitle->geometry(), twips(3570, 120, 3885, 480));
    EXPECT_EQ(box.lblDescription->geometry(), twips(3480, 600, 3885, 450));
    EXPECT_EQ(box.lblVersion->geometry(), twips(2640, 1080, 4605, 705));
    EXPECT_EQ(box.lblCompany->geometry(), twips(2640, 1920, 4365, 570));
    EXPECT_EQ(box.cmdOK->geometry(), twips(3120, 2640, 1260, 345));
    EXPECT_TRUE(box.lblVersion->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(box.lblCompany->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(box.lblTitle->alignment() & Qt::AlignLeft);
    EXPECT_EQ(box.lblTitle->font().family(), QStringLiteral("Comic Sans MS"));
    EXPECT_DOUBLE_EQ(box.lblTitle->font().pointSizeF(), 14.25);
    EXPECT_EQ(box.lblDescription->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_DOUBLE_EQ(box.lblCompany->font().pointSizeF(), 12);
    EXPECT_TRUE(box.cmdOK->isDefault());
}

TEST(AboutBox, LogoComesFromTheProgramsResourcesStretchedIntoItsFrame) {
    const QPixmap logo(QStringLiteral(":/about/logo.jpg"));
    ASSERT_FALSE(logo.isNull());
    EXPECT_EQ(logo.size(), QSize(612, 792));
    frmAbout box(ApplicationIdentity::current());
    EXPECT_TRUE(box.Image1->hasScaledContents());
    EXPECT_EQ(box.Image1->pixmap().size(), QSize(612, 792));
}

TEST(AboutBox, MissingFontsGetTheirStandIns) {
    registerFontSubstitutes();
    // Registered on every machine, also where the checks below find the real fonts installed.
    // Qt keeps family names in lower case.
    EXPECT_EQ(QFont::substitutes(QStringLiteral("MS Sans Serif")),
              (QStringList{QStringLiteral("liberation sans"), QStringLiteral("dejavu sans")}));
    EXPECT_EQ(QFont::substitutes(QStringLiteral("Comic Sans MS")),
              QStringList{QStringLiteral("comic neue")});
    // Where a font is missing, asking for it gives its stand-in.
    if (!QFontDatabase::hasFamily(QStringLiteral("Comic Sans MS"))) {
        EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Comic Sans MS"))).family(),
                  QStringLiteral("Comic Neue"));
    }
    if (!QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
        EXPECT_EQ(QFontInfo(QFont(QStringLiteral("MS Sans Serif"))).family(),
                  QStringLiteral("Liberation Sans"));
    }
}

// OK, Enter and Esc all close the box and discard it.
TEST(AboutBox, OkEnterAndEscUnloadIt) {
    for (const int key : {0, int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape)}) {
        QPointer<frmAbout> box = new frmAbout(ApplicationIdentity::current());
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
        if (key == 0)
            box->cmdOK->click();
        else
            QTest::keyClick(box.data(), Qt::Key(key));
        EXPECT_FALSE(box && box->isVisible()) << key;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(box) << key;
        delete box.data();
    }
}

} // namespace
