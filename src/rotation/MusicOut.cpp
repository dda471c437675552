#include "rotation/MusicOut.h"

#include "fs/FileSystemObject.h"
#include "fs/NamePattern.h"
#include "rotation/Options.h"
#include "rotation/RotationMemory.h"

void markMusicOut(RotationMemory& memory, const FsFolder& folder, const Options& options) {
    const NamePattern music(musicPattern(options));
    for (const FsFile& file : folder.Files)
        if (music.matches(file.Name))
            memory.markOut(file.Name);
}
