#include "app/Form1.h"

#include "app/OptionsCommand.h"
#include "app/Twips.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "controls/FolderList.h"
#include "controls/TickBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

namespace {

QFont sansSerif(qreal points, bool bold = false) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setFont(sansSerif(12, true));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// Where a control stands, in twips, and its place in the Tab order.
struct Placement {
    QWidget* control;
    int left, top, width, height;
    int tabIndex;
};

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)),
      m_run(m_face, {m_services.volumes, m_services.createFileSystem, m_services.random,
                     m_services.holdingFolder}) {
    buildControls();
    openStartingFolders();
    connectHandlers();
    Drive1->setFocus();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    const auto centred = Qt::AlignHCenter;
    const QString sendHere = QStringLiteral("Send to this folder?");

    Label2 = makeLabel(this, QStringLiteral("Hard Drive Music Directory"), centred);
    Drive1 = new DriveList(m_services.volumes, this);
    Dir1 = new FolderList(m_services.volumes, this);
    flIp = new FileList(this);
    txtIpTot = makeLabel(this, QStringLiteral("Total: x"), centred);

    Label3 = makeLabel(this, QStringLiteral("MP3 Player- Internal"), centred);
    drvOp1 = new DriveList(m_services.volumes, this);
    dirOp1 = new FolderList(m_services.volumes, this);
    lblOp1 = makeLabel(this, sendHere, centred);
    chk1 = new TickBox(this);
    flOp1 = new FileList(this);
    txtOp1Tot = makeLabel(this, QStringLiteral("Total: x"), centred);

    Label5 = makeLabel(this, QStringLiteral("MP3 Player- Ext Card"), centred);
    drvOp2 = new DriveList(m_services.volumes, this);
    dirOp2 = new FolderList(m_services.volumes, this);
    lblOp2 = makeLabel(this, sendHere, centred);
    chk2 = new TickBox(this);
    flOP2 = new FileList(this);
    txtOp2Tot = makeLabel(this, QStringLiteral("Total: x"), centred);

    txtStatus = new QPlainTextEdit(this);
    txtStatus->setReadOnly(true);
    txtStatus->setFont(sansSerif(12));
    txtStatus->hide();
    cmdGo = makeButton(this, QStringLiteral("Select"));
    cmdExit = makeButton(this, QStringLiteral("EXIT"));
    chkWarn = new TickBox(this);
    Label1 = makeLabel(this,
                       QStringLiteral("Do not warn me that files will be MOVED from the Hard Drive "
                                      "Directory specified above."),
                       Qt::AlignLeft);
    Label1->setWordWrap(true);
    Label1->setFont(sansSerif(9.75));
    cmdBreak = makeButton(this, QStringLiteral("&Break"));
    cmdHelp = makeButton(this, QStringLiteral("&Help"));
    cmdAbout = makeButton(this, QStringLiteral("&About"));

    for (QLabel* heading : {Label2, Label3, Label5, lblOp1, lblOp2})
        heading->setFont(sansSerif(12));
    for (FileList* list : {flIp, flOp1, flOP2})
        list->setPattern(musicPattern(m_run.CurrentOptions));

    std::vector<Placement> placements = {
        {Label2, 240, 120, 3135, 375, 5},       {Drive1, 360, 600, 2655, 315, 0},
        {Dir1, 360, 960, 2655, 990, 1},         {flIp, 120, 2160, 3615, 3015, 2},
        {txtIpTot, 960, 5280, 1335, 255, 11},   {Label3, 4440, 120, 2415, 375, 6},
        {drvOp1, 4320, 600, 2775, 315, 3},      {dirOp1, 4320, 960, 2775, 990, 4},
        {lblOp1, 4320, 2160, 2535, 375, 18},    {chk1, 6840, 2160, 255, 255, 19},
        {flOp1, 3960, 2520, 3615, 2625, 10},    {txtOp1Tot, 5040, 5280, 1335, 255, 12},
        {Label5, 8160, 120, 2415, 375, 17},     {drvOp2, 7920, 600, 2775, 315, 15},
        {dirOp2, 7920, 960, 2775, 990, 14},     {lblOp2, 8040, 2160, 2535, 375, 20},
        {chk2, 10440, 2160, 255, 255, 21},      {flOP2, 7680, 2520, 3615, 2625, 13},
        {txtOp2Tot, 8760, 5280, 1335, 255, 16}, {txtStatus, 240, 5880, 6615, 930, 9},
        {cmdGo, 7320, 6120, 1815, 615, 7},      {cmdExit, 9480, 6120, 1695, 615, 8},
        {chkWarn, 360, 7080, 255, 255, 22},     {Label1, 720, 7080, 5535, 615, 23},
        {cmdBreak, 6720, 6960, 1455, 615, 24},  {cmdHelp, 8280, 6960, 1455, 615, 25},
        {cmdAbout, 9840, 6960, 1455, 615, 26},
    };
    for (const Placement& p : placements)
        p.control->setGeometry(Twips::rect(p.left, p.top, p.width, p.height));

    // Labels hold a tab index but never take the focus; the rest follow their tab index.
    std::sort(placements.begin(), placements.end(),
              [](const Placement& a, const Placement& b) { return a.tabIndex < b.tabIndex; });
    QWidget* previous = nullptr;
    for (const Placement& p : placements) {
        if (qobject_cast<QLabel*>(p.control)) {
            p.control->setFocusPolicy(Qt::NoFocus);
            continue;
        }
        if (previous)
            setTabOrder(previous, p.control);
        previous = p.control;
    }

    setFixedSize(Twips::toPixels(11400), Twips::toPixels(8070));
}

// Each pane starts on the home volume's current folder, as a freshly opened window would; the
// change handlers are not connected yet, so nothing else runs.
void Form1::openStartingFolders() {
    const QString home = m_services.volumes->homeVolumeRoot();
    for (auto [drive, dir, files] :
         {std::tuple{Drive1, Dir1, flIp}, std::tuple{drvOp1, dirOp1, flOp1},
          std::tuple{drvOp2, dirOp2, flOP2}}) {
        try {
            drive->setDrive(home);
            dir->setPath(home);
            files->setPath(dir->Path());
        } catch (const std::exception&) {
            // An unreadable home volume leaves the pane empty; choosing a drive fills it.
        }
    }
}

void Form1::connectHandlers() {
    Drive1->setChangeHandler([this] { Drive1_Change(); });
    Dir1->setChangeHandler([this] { Dir1_Change(); });
    drvOp1->setChangeHandler([this] { drvOp1_Change(); });
    dirOp1->setChangeHandler([this] { dirOp1_Change(); });
    drvOp2->setChangeHandler([this] { drvOp2_Change(); });
    dirOp2->setChangeHandler([this] { dirOp2_Change(); });

    const auto onClick = [this](QAbstractButton* control, void (Form1::*handler)()) {
        connect(control, &QAbstractButton::clicked, this,
                [this, handler] { atEventBoundary([this, handler] { (this->*handler)(); }); });
    };
    onClick(chk1, &Form1::chk1_Click);
    onClick(chk2, &Form1::chk2_Click);
    onClick(cmdGo, &Form1::cmdGo_Click);
    onClick(cmdBreak, &Form1::cmdBreak_Click);
    onClick(cmdHelp, &Form1::cmdHelp_Click);
    onClick(cmdExit, &Form1::cmdExit_Click);
    onClick(cmdAbout, &Form1::cmdAbout_Click);
    installOptionsCommand(*this);
}

PlayerPane Form1::playerPane(std::uint8_t which) const {
    if (which == 1)
        return {drvOp1, dirOp1, lblOp1, chk1, flOp1, txtOp1Tot};
    return {drvOp2, dirOp2, lblOp2, chk2, flOP2, txtOp2Tot};
}
