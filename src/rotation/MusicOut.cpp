#include "rotation/MusicOut.h"

#include "app/Options.h"
#include "controls/NamePattern.h"
#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "rotation/RotationMemory.h"

void markMusicOut(RotationMemory& memory, const FsFolder& folder,
                  const std::vector<QString>& inSubfolders, const Options& options) {
    const NamePattern music(musicPattern(options));
    for (const FsFile& file : folder.Files)
        if (music.matches(file.Name))
            memory.markOut(file.Name);
    for (const QString& file : inSubfolders)
        if (music.matches(splitAtLastSlash(file).name))
            memory.markOut(file);
}
