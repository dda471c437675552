#include "rotation/HeldFiles.h"

#include "fs/PathText.h"
#include "rotation/HeldFileReturn.h"
#include "rotation/HeldLibrary.h"
#include "rotation/HeldOrigins.h"
#include "rotation/HeldTree.h"
#include "rotation/MusicRotation.h"
#include "rotation/MusicTree.h"
#include "rotation/NameList.h"
#include "rotation/OffUiThread.h"
#include "rotation/OwnLibraries.h"
#include "rotation/Plural.h"
#include "rotation/RunFace.h"
#include "rotation/RunPaths.h"
#include "rotation/StatusBox.h"

#include <optional>

namespace {

// How many names a line or a warning lists before it stops.
constexpr qsizetype namesShown = 5;

QStringList namesOf(const FsFolder& folder) {
    QStringList names;
    for (const FsFile& file : folder.Files)
        names.append(file.Name);
    return names;
}

void warn(MusicRotation& form, const QString& text) {
    form.face().ask({text, QStringLiteral("Warning!"), MessageIcon::Warning, MessageButtons::Ok});
}

} // namespace

HeldFilesReturned returnHeldFiles(MusicRotation& form, const FsFolder& held, const QString& music,
                                  bool tree) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
    return offUiThread([&] {
        const QMap<QString, QString> origins = heldOrigins(fso, holding);
        HomeFolders homes(fso, music);
        HeldFilesReturned returned;
        for (const FsFile& file : held.Files) {
            QString home = homes.of(origins.value(file.Name));
            HeldFileReturn done = returnHeldFile(fso, holding, file.Name, home);
            if (done.outcome == HeldFileReturn::Outcome::Kept && home != music) {
                home = music;
                done = returnHeldFile(fso, holding, file.Name, music);
            }
            if (done.outcome == HeldFileReturn::Outcome::Renamed)
                returned.renamed.append(done.name);
            if (done.outcome != HeldFileReturn::Outcome::Kept)
                ++returned.byFolder[home];
        }
        if (tree)
            returned.renamed.append(
                returnHeldTree(fso, holding, music, origins, homes, returned.byFolder));
        return returned;
    });
}

qsizetype heldFileCount(MusicRotation& form, const FsFolder& held, bool tree) {
    qsizetype count = static_cast<qsizetype>(held.Files.size());
    if (tree) {
        FileSystemObject& fso = *form.Fso;
        const QString holding = form.services().holdingFolder;
        count += static_cast<qsizetype>(
            offUiThread([&] { return filesInSubfolders(fso, holding); }).size());
    }
    return count;
}

bool returnLeftoverFiles(MusicRotation& form) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
    FsFolder held;
    qsizetype count = 0;
    const std::optional<QString> recorded = heldFilesLibrary(fso, holding);
    // Files in its folders are a run's of ours when one is recorded, though music in subfolders
    // may be off now; otherwise they are left alone, as anything else there that is not a file.
    const bool tree = form.CurrentOptions.musicInSubfolders || recorded.has_value();
    try {
        held = offUiThread([&] { return fso.GetFolder(holding); });
        count = heldFileCount(form, held, tree);
    } catch (const std::exception&) {
        warn(form, QStringLiteral("The temporary directory %1 cannot be read, so files from an "
                                  "earlier run may be kept there. Nothing has been moved.")
                       .arg(shownPath(holding)));
        return false;
    }
    if (count == 0)
        return true;

    // They go back to the music folder of the run that held them. Without this user's record
    // they were held by someone else's run: another account's files never go into this user's
    // music.
    const QString current = form.face().musicFolder();
    if (!recorded) {
        warn(form,
             QStringLiteral("%1 in the temporary directory %2 %3 not held by a run of yours: %4 "
                            "may be another user's of this computer, whose next run of QUAVEX "
                            "moves %5 back. %6 kept there. Nothing else has been done.")
                 .arg(filesCount(count), shownPath(holding),
                      forCount(count, QStringLiteral("was"), QStringLiteral("were")),
                      forCount(count, QStringLiteral("it"), QStringLiteral("they")),
                      forCount(count, QStringLiteral("it"), QStringLiteral("them")),
                      forCount(count, QStringLiteral("It is"), QStringLiteral("They are"))));
        return false;
    }
    const QString music = recorded->isEmpty() ? current : *recorded;
    if (music != current && !offUiThread([&] { return fso.FolderExists(music); })) {
        warn(form, QStringLiteral("%1 from an earlier run %2 to the Hard Drive Music Directory %3, "
                                  "which is not there now. %4 kept in the temporary directory %5. "
                                  "Nothing else has been done.")
                       .arg(filesCount(count),
                            forCount(count, QStringLiteral("belongs"), QStringLiteral("belong")),
                            shownPath(music),
                            forCount(count, QStringLiteral("It is"), QStringLiteral("They are")),
                            shownPath(holding)));
        return false;
    }
    appendStatus(form, QStringLiteral("Moving files left from an earlier run back to base "
                                      "directory..."));
    repaintWindow(form);
    const HeldFilesReturned returned = returnHeldFiles(form, held, music, tree);
    if (!returned.renamed.isEmpty()) {
        // Shown now, and again after the completion line, since the clearing replaces the text.
        const QString line = renamedLine(returned.renamed, HeldBy::AnEarlierRun);
        appendStatus(form, line);
        repaintWindow(form);
        form.ReportLines.append(line);
    }
    try {
        form.face().refreshMusicPane();
    } catch (const std::exception&) {
        // The total is shown again at the next refresh; the files are where the count below says.
    }

    qsizetype left = 0;
    try {
        left = heldFileCount(form, offUiThread([&] { return fso.GetFolder(holding); }), tree);
    } catch (const std::exception&) {
        left = count;
    }
    if (const QString line = ownFoldersLine(returned.byFolder, current, HeldBy::AnEarlierRun);
        !line.isEmpty())
        form.ReportLines.append(line);
    if (left == 0)
        return true;
    warn(form, QStringLiteral("%1 from an earlier run could not be moved back to the Hard Drive "
                              "Music Directory %2. %3 kept in the temporary directory %4. Nothing "
                              "else has been done.")
                   .arg(filesCount(left), shownPath(music),
                        forCount(left, QStringLiteral("It is"), QStringLiteral("They are")),
                        shownPath(holding)));
    return false;
}

StillHeld whatStaysHeld(MusicRotation& form) {
    FileSystemObject& fso = *form.Fso;
    const QString holding = form.services().holdingFolder;
    const FsFolder held = offUiThread([&]() -> FsFolder {
        if (!fso.FolderExists(holding))
            return {};
        return fso.GetFolder(holding);
    });
    StillHeld still;
    if (!held.Others.empty()) {
        QStringList others(held.Others.begin(), held.Others.end());
        others.sort();
        still.lines.append(
            QStringLiteral("%1 in the temporary directory %2 %3 and stayed there: %4")
                .arg(countOf(others.size(), QStringLiteral("item"), QStringLiteral("items")),
                     shownPath(holding),
                     forCount(others.size(), QStringLiteral("is not a file"),
                              QStringLiteral("are not files")),
                     firstNames(others, namesShown)));
    }
    still.files = namesOf(held);
    if (form.CurrentOptions.musicInSubfolders && !held.Path.isEmpty())
        for (const QString& file : offUiThread([&] { return filesInSubfolders(fso, holding); }))
            still.files.append(file);
    if (!still.files.isEmpty())
        still.lines.append(stillHeldLine(still.files.size(), holding));
    return still;
}

void warnOfFilesStillHeld(MusicRotation& form, const QStringList& files) {
    warn(form, stillHeldMessage(files, form.services().holdingFolder));
}

QString renamedLine(const QStringList& newNames, HeldBy heldBy) {
    return QStringLiteral("%1%2 went back to the Hard Drive Music Directory under %3: %4")
        .arg(filesCount(newNames.size()),
             heldBy == HeldBy::AnEarlierRun ? QStringLiteral(" from an earlier run") : QString(),
             forCount(newNames.size(), QStringLiteral("a new name"), QStringLiteral("new names")),
             firstNames(newNames, namesShown));
}

QString ownFoldersLine(const QMap<QString, qsizetype>& byFolder, const QString& current,
                       HeldBy heldBy) {
    QMap<QString, qsizetype> own = byFolder;
    own.remove(current);
    if (own.isEmpty())
        return {};
    qsizetype total = 0;
    QStringList folders;
    for (auto it = own.cbegin(); it != own.cend(); ++it) {
        total += it.value();
        folders.append(QStringLiteral("%1 to %2").arg(it.value()).arg(shownPath(it.key())));
    }
    const QString from =
        heldBy == HeldBy::AnEarlierRun ? QStringLiteral(" from an earlier run") : QString();
    if (own.size() == 1)
        return QStringLiteral("%1%2 went back to %3 own Hard Drive Music Directory %4")
            .arg(filesCount(total), from,
                 forCount(total, QStringLiteral("its"), QStringLiteral("their")),
                 shownPath(own.firstKey()));
    return QStringLiteral("%1%2 went back to their own Hard Drive Music Directories: %3")
        .arg(filesCount(total), from, folders.join(QStringLiteral(", ")));
}

QString stillHeldLine(qsizetype count, const QString& holdingFolder) {
    return QStringLiteral("%1 could not be moved back and %2 kept in the temporary directory %3")
        .arg(filesCount(count), isOrAre(count), shownPath(holdingFolder));
}

QString stillHeldMessage(const QStringList& names, const QString& holdingFolder) {
    return QStringLiteral("%1 could not be moved back to the Hard Drive Music Directory and %2 "
                          "kept in the temporary directory %3:\n%4")
        .arg(filesCount(names.size()), isOrAre(names.size()), shownPath(holdingFolder),
             firstNames(names, namesShown, QStringLiteral("\n")));
}
