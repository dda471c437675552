#include "app/Form1.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"
#include "support/WindowTestServices.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MainWindowLayout : public testing::Test {
protected:
    MainWindowLayout() {
        env.volumes->add(disk.path(), QStringLiteral("DISK"));
        form = std::make_unique<Form1>(env.services());
    }

    QTemporaryDir disk;
    WindowTestServices env;
    std::unique_ptr<Form1> form;
};

struct Expected {
    const char* name;
    QWidget* control;
    QRect pixels;
    QString text;
};

QString textOf(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<QPlainTextEdit*>(control))
        return box->toPlainText();
    return {};
}

TEST_F(MainWindowLayout, EveryControlStandsWhereTheLayoutPutsIt) {
    Form1& f = *form;
    const QString send = QStringLiteral("Send to this folder?");
    const QString x = QStringLiteral("Total: x");
    const std::vector<Expected> controls = {
        {"Label2", f.Label2, {16, 8, 209, 25}, QStringLiteral("Hard Drive Music Directory")},
        {"Drive1", f.Drive1, {24, 40, 177, 21}, {}},
        {"Dir1", f.Dir1, {24, 64, 177, 66}, {}},
        {"flIp", f.flIp, {8, 144, 241, 201}, {}},
        {"txtIpTot", f.txtIpTot, {64, 352, 89, 17}, x},
        {"Label3", f.Label3, {296, 8, 161, 25}, QStringLiteral("MP3 Player- Internal")},
        {"drvOp1", f.drvOp1, {288, 40, 185, 21}, {}},
        {"dirOp1", f.dirOp1, {288, 64, 185, 66}, {}},
        {"lblOp1", f.lblOp1, {288, 144, 169, 25}, send},
        {"chk1", f.chk1, {456, 144, 17, 17}, {}},
        {"flOp1", f.flOp1, {264, 168, 241, 175}, {}},
        {"txtOp1Tot", f.txtOp1Tot, {336, 352, 89, 17}, x},
        {"Label5", f.Label5, {544, 8, 161, 25}, QStringLiteral("MP3 Player- Ext Card")},
        {"drvOp2", f.drvOp2, {528, 40, 185, 21}, {}},
        {"dirOp2", f.dirOp2, {528, 64, 185, 66}, {}},
        {"lblOp2", f.lblOp2, {536, 144, 169, 25}, send},
        {"chk2", f.chk2, {696, 144, 17, 17}, {}},
        {"flOP2", f.flOP2, {512, 168, 241, 175}, {}},
        {"txtOp2Tot", f.txtOp2Tot, {584, 352, 89, 17}, x},
        {"txtStatus", f.txtStatus, {16, 392, 441, 62}, {}},
        {"cmdGo", f.cmdGo, {488, 408, 121, 41}, QStringLiteral("Select")},
        {"cmdExit", f.cmdExit, {632, 408, 113, 41}, QStringLiteral("EXIT")},
        {"chkWarn", f.chkWarn, {24, 472, 17, 17}, {}},
        {"Label1",
         f.Label1,
         {48, 472, 369, 41},
         QStringLiteral("Do not warn me that files will be MOVED from the Hard Drive Directory "
                        "specified above.")},
        {"cmdBreak", f.cmdBreak, {448, 464, 97, 41}, QStringLiteral("&Break")},
        {"cmdHelp", f.cmdHelp, {552, 464, 97, 41}, QStringLiteral("&Help")},
        {"cmdAbout", f.cmdAbout, {656, 464, 97, 41}, QStringLiteral("&About")},
    };
    ASSERT_EQ(controls.size(), 27u);
    for (const Expected& c : controls) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.control, nullptr);
        EXPECT_EQ(c.control->parentWidget(), form.get());
        EXPECT_EQ(c.control->geometry(), c.pixels);
        EXPECT_EQ(textOf(c.control), c.text);
    }
    EXPECT_EQ(form->size(), QSize(760, 538));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
}

TEST_F(MainWindowLayout, FontsAndAlignment) {
    for (QPushButton* button :
         {form->cmdGo, form->cmdExit, form->cmdBreak, form->cmdHelp, form->cmdAbout}) {
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_EQ(button->font().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(button->font().pointSizeF(), 12.0);
        EXPECT_TRUE(button->font().bold());
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{form->Label2, form->Label3, form->Label5, form->lblOp1,
                                         form->lblOp2, form->txtStatus}) {
        EXPECT_EQ(w->font().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(w->font().pointSizeF(), 12.0);
        EXPECT_FALSE(w->font().bold());
    }
    // Where the designed face is missing, its metric look-alike stands in.
    const QString shown = QFontInfo(form->cmdGo->font()).family();
    EXPECT_TRUE(shown == QStringLiteral("MS Sans Serif") ||
                shown == QStringLiteral("Liberation Sans"))
        << shown.toStdString();
    EXPECT_EQ(form->Label1->font().pointSizeF(), 9.75);
    EXPECT_TRUE(form->Label1->wordWrap());
    EXPECT_TRUE(form->Label1->alignment() & Qt::AlignLeft);
    // The lists, tick boxes and totals carry no font of their own.
    for (QWidget* w : std::initializer_list<QWidget*>{form->Drive1, form->Dir1, form->flIp,
                                                      form->chk1, form->txtIpTot}) {
        EXPECT_EQ(w->font(), form->font());
    }
    for (QLabel* centred : {form->Label2, form->Label3, form->Label5, form->lblOp1, form->lblOp2,
                            form->txtIpTot, form->txtOp1Tot, form->txtOp2Tot}) {
        EXPECT_TRUE(centred->alignment() & Qt::AlignHCenter);
    }
    for (FileList* list : {form->flIp, form->flOp1, form->flOP2})
        EXPECT_EQ(list->Pattern(), QStringLiteral("*.mp3;*.wma"));
    for (TickBox* tick : {form->chk1, form->chk2, form->chkWarn}) {
        EXPECT_TRUE(tick->text().isEmpty());
        EXPECT_EQ(tick->Value(), 0);
    }
}

TEST_F(MainWindowLayout, StatusBoxStartsHiddenAndEmpty) {
    form->show();
    EXPECT_FALSE(form->txtStatus->isVisible());
    EXPECT_TRUE(form->txtStatus->toPlainText().isEmpty());
}

std::vector<QWidget*> walkWithTab(int steps) {
    std::vector<QWidget*> seen;
    for (int i = 0; i < steps; ++i) {
        seen.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return seen;
}

TEST_F(MainWindowLayout, TabWalksTheControlsInTabIndexOrderSkippingHiddenAndDisabled) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), form->Drive1);

    Form1& f = *form;
    // The status box is hidden until a run writes to it.
    const std::vector<QWidget*> all = {f.Drive1,  f.Dir1,     f.flIp,  f.drvOp1,  f.dirOp1,
                                       f.cmdGo,   f.cmdExit,  f.flOp1, f.flOP2,   f.dirOp2,
                                       f.drvOp2,  f.chk1,     f.chk2,  f.chkWarn, f.cmdBreak,
                                       f.cmdHelp, f.cmdAbout, f.Drive1};
    EXPECT_EQ(walkWithTab(int(all.size())), all);

    f.txtStatus->show();
    f.cmdGo->setEnabled(false);
    f.Drive1->setFocus();
    const std::vector<QWidget*> withStatus = {f.Drive1, f.Dir1,    f.flIp,      f.drvOp1,
                                              f.dirOp1, f.cmdExit, f.txtStatus, f.flOp1};
    EXPECT_EQ(walkWithTab(int(withStatus.size())), withStatus);
}

TEST_F(MainWindowLayout, AltKeysPressTheirButtonsAndListsSwallowEnterAndEsc) {
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (QPushButton* b :
         {form->cmdGo, form->cmdExit, form->cmdBreak, form->cmdHelp, form->cmdAbout})
        spies.push_back(std::make_unique<QSignalSpy>(b, &QAbstractButton::clicked));

    for (QWidget* list : std::initializer_list<QWidget*>{form->flIp, form->Dir1, form->Drive1}) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_Escape);
    }
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);

    // A mnemonic presses its button the way a click would, after the button's short animation.
    const std::pair<Qt::Key, QSignalSpy*> keys[] = {
        {Qt::Key_B, spies[2].get()}, {Qt::Key_H, spies[3].get()}, {Qt::Key_A, spies[4].get()}};
    for (const auto& [key, spy] : keys) {
        form->flIp->setFocus();
        QTest::keyClick(form->flIp, key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([spy = spy] { return spy->count() == 1; }, 2000));
    }
    EXPECT_TRUE(form->cmdGo->shortcut().isEmpty());
    EXPECT_TRUE(form->cmdExit->shortcut().isEmpty());
}

} // namespace
