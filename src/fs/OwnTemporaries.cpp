#include "fs/OwnTemporaries.h"

#include "fs/FileNameCodec.h"
#include "fs/SystemCalls.h"

#include <atomic>
#include <unistd.h>

namespace {
const QLatin1String Prefix(".~quavex-");
const QLatin1String Suffix(".part");
} // namespace

bool isOwnTemporaryName(const QString& name) {
    return name.size() > Prefix.size() + Suffix.size() && name.startsWith(Prefix) &&
           name.endsWith(Suffix);
}

QString newOwnTemporaryName() {
    static std::atomic<unsigned> counter{0};
    return Prefix + QStringLiteral("%1-%2").arg(::getpid()).arg(++counter) + Suffix;
}

int removeOwnTemporaries(const QString& folder) {
    std::vector<FolderEntry> entries;
    const QByteArray folderPath = encodeFileName(folder);
    if (realSystemCalls()->listFolder(folderPath.constData(), entries) != 0)
        return 0;
    const QByteArray prefix =
        folderPath.endsWith('/') ? folderPath : folderPath + QByteArrayLiteral("/");
    int removed = 0;
    for (const FolderEntry& entry : entries) {
        if (entry.regularFile && isOwnTemporaryName(decodeFileName(entry.name)) &&
            ::unlink((prefix + entry.name).constData()) == 0)
            ++removed;
    }
    return removed;
}
