#include "fs/StorableFiles.h"

#include "fs/FatNames.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"

#include <sys/stat.h>

QString nameProblemOn(const VolumeTraits& traits, const QString& name) {
    if (!traits.fatNames)
        return {};
    if (holdsUndecodableBytes(name))
        return QStringLiteral("the name holds bytes that are not text");
    return fatNameProblem(name);
}

bool volumeCanStore(const VolumeTraits& traits, const QString& path) {
    if (!nameProblemOn(traits, splitAtLastSlash(path).name).isEmpty())
        return false;
    if (traits.largestFile <= 0)
        return true;
    struct stat status {};
    return ::stat(encodeFileName(path).constData(), &status) != 0 ||
           status.st_size <= traits.largestFile;
}
