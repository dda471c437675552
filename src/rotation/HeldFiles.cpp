#include "rotation/HeldFiles.h"

#include "app/Form1.h"
#include "controls/FolderList.h"
#include "rotation/HeldFileReturn.h"
#include "rotation/OffUiThread.h"
#include "rotation/RunPaths.h"
#include "rotation/StatusBox.h"

namespace {

// How many names the warning lists before it stops.
constexpr qsizetype namesShown = 5;

QStringList namesOf(const FsFolder& folder) {
    QStringList names;
    for (const FsFile& file : folder.Files)
        names.append(file.Name);
    return names;
}

void warn(Form1& form, const QString& text) {
    form.services().prompter->ask(
        {text, QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
}

} // namespace

void returnHeldFiles(Form1& form, const FsFolder& held) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
    const QString music = form.Dir1->Path();
    const QStringList renamed = offUiThread([&] {
        QStringList newNames;
        for (const FsFile& file : held.Files) {
            const HeldFileReturn done = returnHeldFile(fso, holding, file.Name, music);
            if (done.outcome == HeldFileReturn::Outcome::Renamed)
                newNames.append(done.name);
        }
        return newNames;
    });
    if (!renamed.isEmpty()) {
        appendStatus(form, renamedLine(renamed));
        repaintWindow(form);
    }
}

bool returnLeftoverFiles(Form1& form) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
    FsFolder held;
    try {
        held = offUiThread([&] { return fso.GetFolder(holding); });
    } catch (const std::exception&) {
        warn(form, QStringLiteral("The holding folder %1 cannot be read, so files from an earlier "
                                  "run may be kept there. Nothing has been moved.")
                       .arg(holding));
        return false;
    }
    if (held.Files.empty())
        return true;

    appendStatus(form, QStringLiteral("Moving files left from an earlier run back to base "
                                      "directory..."));
    repaintWindow(form);
    const QString music = form.Dir1->Path();
    returnHeldFiles(form, held);
    try {
        Form1::RefreshTotal(form.flIp, form.txtIpTot);
    } catch (const std::exception&) {
        // The total is shown again at the next refresh; the files are where the count below says.
    }

    qsizetype left = 0;
    try {
        left = offUiThread([&] { return fso.GetFolder(holding).Files.size(); });
    } catch (const std::exception&) {
        left = static_cast<qsizetype>(held.Files.size());
    }
    if (left == 0)
        return true;
    warn(form, QStringLiteral("%1 files from an earlier run could not be moved back to the Hard "
                              "Drive Music Directory %2. They are kept in %3. Nothing else has "
                              "been done.")
                   .arg(left)
                   .arg(music, holding));
    return false;
}

void reportFilesStillHeld(Form1& form) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
    const FsFolder held = offUiThread([&]() -> FsFolder {
        if (!fso.FolderExists(holding))
            return {};
        return fso.GetFolder(holding);
    });
    if (held.Files.empty())
        return;
    appendStatus(form, stillHeldLine(static_cast<std::int64_t>(held.Files.size()), holding));
    repaintWindow(form);
    warn(form, stillHeldMessage(namesOf(held), holding));
}

QString renamedLine(const QStringList& newNames) {
    QString line = QStringLiteral("%1 files went back to the Hard Drive Music Directory under new "
                                  "names: ")
                       .arg(newNames.size());
    line += newNames.mid(0, namesShown).join(QStringLiteral(", "));
    if (newNames.size() > namesShown)
        line += QStringLiteral(", ...");
    return line;
}

QString stillHeldLine(std::int64_t count, const QString& holdingFolder) {
    return QStringLiteral("%1 files could not be moved back and are kept in %2")
        .arg(count)
        .arg(holdingFolder);
}

QString stillHeldMessage(const QStringList& names, const QString& holdingFolder) {
    QString text = QStringLiteral("%1 files could not be moved back to the Hard Drive Music "
                                  "Directory and are kept in %2:")
                       .arg(names.size())
                       .arg(holdingFolder);
    for (qsizetype i = 0; i < names.size() && i < namesShown; ++i)
        text += QStringLiteral("\n") + names[i];
    if (names.size() > namesShown)
        text += QStringLiteral("\n...");
    return text;
}
