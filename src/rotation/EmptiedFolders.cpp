#include "rotation/EmptiedFolders.h"

#include "fs/AppError.h"
#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "rotation/MusicTree.h"

#include <algorithm>
#include <utility>

void EmptiedFolders::noteMovedOutOf(const QString& relativeFolder) {
    if (!relativeFolder.isEmpty())
        m_folders.insert(relativeFolder);
}

void EmptiedFolders::removeEmpty(FileSystemObject& fso) {
    const auto depth = [](const QString& folder) { return folder.count(QLatin1Char('/')); };
    while (!m_folders.empty()) {
        const auto deepest = std::max_element(
            m_folders.begin(), m_folders.end(),
            [&](const QString& a, const QString& b) { return depth(a) < depth(b); });
        const QString folder = std::move(m_folders.extract(deepest).value());
        try {
            fso.DeleteFolder(joinPath(m_root, folder));
        } catch (const AppError&) {
            continue;
        }
        noteMovedOutOf(folderOf(folder));
    }
}
