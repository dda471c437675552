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
    for (const FsFile& file : folder.Files) {
        if (!music.matches(file.Name))
            continue;
        const QString home = homes.of(origins.of(file.Name));
        if (home == runFolder) {
            runMemory.markOut(file.Name);
            continue;
        }
        std::unique_ptr<RotationMemory>& memory = others[home];
        if (!memory)
            memory = std::make_unique<RotationMemory>(home);
        memory->markOut(file.Name);
    }
    // The songs of subfolders go back into the run's music folder.
    for (const QString& file : inSubfolders)
        if (music.matches(splitAtLastSlash(file).name))
            runMemory.markOut(file);
    // A memory that cannot be written is simply not kept (RotationMemory.h).
    for (auto& [home, memory] : others)
        memory->save();
}
