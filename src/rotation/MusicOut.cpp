#include "rotation/MusicOut.h"

#include "fs/FileSystemObject.h"
#include "fs/NamePattern.h"
#include "fs/PathText.h"
#include "rotation/Options.h"
#include "rotation/OwnLibraries.h"
#include "rotation/RotationMemory.h"
#include "rotation/SongOrigins.h"

#include <map>
#include <memory>

void markMusicOut(RotationMemory& runMemory, FileSystemObject& fso, const FsFolder& folder,
                  const std::vector<QString>& inSubfolders, const Options& options,
                  const SongOrigins& origins, const QString& runFolder) {
    const NamePattern music(musicPattern(options));
    HomeFolders homes(fso, runFolder);
    std::map<QString, std::unique_ptr<RotationMemory>> others;
    // The songs directly in the folder by their names, those of its folders by their paths.
    QStringList songs;
    for (const FsFile& file : folder.Files)
        songs.append(file.Name);
    songs.append(QStringList(inSubfolders.begin(), inSubfolders.end()));
    for (const QString& song : songs) {
        if (!music.matches(splitAtLastSlash(song).name))
            continue;
        const QString home = homes.of(origins.of(song));
        if (home == runFolder) {
            runMemory.markOut(song);
            continue;
        }
        std::unique_ptr<RotationMemory>& memory = others[home];
        if (!memory)
            memory = std::make_unique<RotationMemory>(home);
        memory->markOut(song);
    }
    // A memory that cannot be written is simply not kept (RotationMemory.h).
    for (auto& [home, memory] : others)
        memory->save(fso);
}
