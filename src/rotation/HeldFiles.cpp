#include "rotation/HeldFiles.h"

#include "app/Form1.h"
#include "controls/FolderList.h"
#include "rotation/HeldFileReturn.h"
#include "rotation/HeldLibrary.h"
#include "rotation/NameList.h"
#include "rotation/OffUiThread.h"
#include "rotation/Plural.h"
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

void returnHeldFiles(Form1& form, const FsFolder& held, const QString& music) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
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

    // They go back to the music folder of the run that held them, where it is known.
    const QString current = form.Dir1->Path();
    const QString recorded = heldFilesLibrary(holding);
    const QString music = recorded.isEmpty() ? current : recorded;
    const qsizetype count = static_cast<qsizetype>(held.Files.size());
    if (music != current && !offUiThread([&] { return fso.FolderExists(music); })) {
        warn(form, QStringLiteral("%1 from an earlier run belong to the Hard Drive Music Directory "
                                  "%2, which is not there now. They are kept in the temporary "
                                  "directory %3. Nothing else has been done.")
                       .arg(filesCount(count), music, holding));
        return false;
    }
    appendStatus(form, QStringLiteral("Moving files left from an earlier run back to base "
                                      "directory..."));
    repaintWindow(form);
    returnHeldFiles(form, held, music);
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
    if (music != current)
        form.ReportLines.append(
            QStringLiteral("%1 from an earlier run went back to their own Hard Drive Music "
                           "Directory %2")
                .arg(filesCount(count - left), music));
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
    if (!held.Others.empty()) {
        QStringList others(held.Others.begin(), held.Others.end());
        others.sort();
        appendStatus(
            form, QStringLiteral("%1 in the temporary directory %2 stayed there, since a "
                                 "run moves files only: %3")
                      .arg(countOf(others.size(), QStringLiteral("item"), QStringLiteral("items")),
                           holding, firstNames(others, namesShown)));
        repaintWindow(form);
    }
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
    line += firstNames(newNames, namesShown);
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
