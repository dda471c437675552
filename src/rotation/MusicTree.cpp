#include "rotation/MusicTree.h"

#include "fs/FileSystemObject.h"
#include "fs/NamePattern.h"
#include "fs/PathText.h"
#include "fs/StorableFiles.h"

#include <QDir>
#include <algorithm>

namespace {

// Compared as the run compares its folders, letter case aside: a folder skipped that need not be
// costs its songs one run, one walked into that should not be could move a whole library.
bool isSkipped(const QString& folder, const QStringList& skipped) {
    const QString path = QDir::cleanPath(folder).toUpper();
    return std::any_of(skipped.begin(), skipped.end(), [&](const QString& other) {
        return !other.isEmpty() && QDir::cleanPath(other).toUpper() == path;
    });
}

// Without names, every file below the root but those directly in it.
void walk(FileSystemObject& fso, const QString& root, const QString& relative,
          const NamePattern* names, const QStringList& skipped, std::vector<QString>& found) {
    const QString folder = relative.isEmpty() ? root : joinPath(root, relative);
    const auto below = [&](const QString& name) {
        return relative.isEmpty() ? name : relative + QLatin1Char('/') + name;
    };
    for (const FsFile& file : fso.GetFolder(folder).Files)
        if (names ? names->matches(file.Name) : !relative.isEmpty())
            found.push_back(below(file.Name));
    for (const QString& subfolder : fso.GetSubfolders(folder))
        if (!isSkipped(joinPath(folder, subfolder), skipped))
            walk(fso, root, below(subfolder), names, skipped, found);
}

} // namespace

std::vector<QString> filesUnder(FileSystemObject& fso, const QString& folder,
                                const NamePattern& names, const QStringList& skipped) {
    std::vector<QString> found;
    walk(fso, folder, {}, &names, skipped, found);
    return found;
}

std::vector<QString> filesInSubfolders(FileSystemObject& fso, const QString& folder,
                                       const QStringList& skipped) {
    std::vector<QString> found;
    walk(fso, folder, {}, nullptr, skipped, found);
    return found;
}

QString folderOf(const QString& relative) {
    const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : relative.left(slash);
}

QString folderNameProblemOn(const VolumeTraits& traits, const QString& relative) {
    for (const QString& part : folderOf(relative).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (QString problem = nameProblemOn(traits, part); !problem.isEmpty())
            return problem;
    return {};
}
