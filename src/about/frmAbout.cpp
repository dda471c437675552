#include "about/frmAbout.h"

#include "app/Twips.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

// Outside any namespace, as the resource initialiser requires; the reference also keeps the
// logo's resource object from being dropped when the static library is linked.
static void loadAboutResources() {
    Q_INIT_RESOURCE(about);
}

namespace {

QFont fontOf(const QString& family, qreal points) {
    QFont font(family);
    font.setPointSizeF(points);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& builtInText, const QFont& font,
                  Qt::Alignment alignment, bool blackText, const QRect& place) {
    auto* label = new QLabel(builtInText, parent);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    if (blackText) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    label->setGeometry(place);
    return label;
}

} // namespace

frmAbout::frmAbout(const ApplicationIdentity& identity)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("About MyApp"));
    setFixedSize(Twips::toPixels(7875), Twips::toPixels(3105));
    buildControls();
    Form_Load(identity);
}

void frmAbout::buildControls() {
    loadAboutResources();
    const QString comic = QStringLiteral("Comic Sans MS");
    const QString sansSerif = QStringLiteral("MS Sans Serif");

    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(QStringLiteral(":/about/logo.jpg")));
    Image1->setScaledContents(true);
    Image1->setGeometry(Twips::rect(120, 120, 2130, 2490));

    lblTitle = makeLabel(this, QStringLiteral("Application Title"), fontOf(comic, 14.25),
                         Qt::AlignLeft, true, Twips::rect(3570, 120, 3885, 480));
    lblDescription = makeLabel(this, QStringLiteral("App Description"), fontOf(sansSerif, 12),
                               Qt::AlignLeft, true, Twips::rect(3480, 600, 3885, 450));
    lblVersion = makeLabel(this, QStringLiteral("Version"), fontOf(comic, 12), Qt::AlignHCenter,
                           false, Twips::rect(2640, 1080, 4605, 705));
    lblCompany = makeLabel(this, QStringLiteral("Company"), fontOf(sansSerif, 12), Qt::AlignHCenter,
                           true, Twips::rect(2640, 1920, 4365, 570));

    // The box's default and cancel button: Enter presses it, and Esc rejects the box, which
    // closes it the same way.
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(Twips::rect(3120, 2640, 1260, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    cmdOK->setFocus();
}

void frmAbout::Form_Load(const ApplicationIdentity& identity) {
    setWindowTitle(QStringLiteral("About ") + identity.title);
    lblTitle->setText(identity.productName);
    lblDescription->setText(identity.fileDescription);
    lblVersion->setText(QStringLiteral("Version ") + versionNumbers(identity));
    lblCompany->setText(identity.companyName);
}
