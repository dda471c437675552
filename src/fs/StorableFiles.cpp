#include "fs/StorableFiles.h"

#include "fs/FatNames.h"
#include "fs/FileNameCodec.h"
#include "fs/PathText.h"
#include "fs/SystemCalls.h"

#include <sys/stat.h>

QString nameProblemOn(const VolumeTraits& traits, const QString& name) {
    if (!traits.fatNames)
        return {};
    if (holdsUndecodableBytes(name))
        return QStringLiteral("the name holds bytes that are not text");
    return fatNameProblem(name);
}

QString fatAcceptedName(const QString& name) {
    if (fatNameProblem(name).isEmpty() && !holdsUndecodableBytes(name))
        return name;
    QString accepted = name;
    for (qsizetype i = 0; i < accepted.size(); ++i) {
        if (isFatRefusedCharacter(accepted[i]) || isUndecodableByteAt(name, i))
            accepted[i] = QLatin1Char('_');
    }
    if (accepted.endsWith(QLatin1Char('.')) || accepted.endsWith(QLatin1Char(' ')))
        accepted.back() = QLatin1Char('_');
    if (!fatNameProblem(accepted).isEmpty()) {
        // Only a reserved device name is left: it stops being one with a character after it.
        const qsizetype dot = accepted.indexOf(QLatin1Char('.'));
        accepted.insert(dot < 0 ? accepted.size() : dot, QLatin1Char('_'));
    }
    return accepted;
}

QString whyVolumeCannotStore(const VolumeTraits& traits, const QString& path) {
    const QString name = splitAtLastSlash(path).name;
    if (traits.fatNames && holdsUndecodableBytes(name))
        return QStringLiteral("not readable text");
    if (traits.fatNames) {
        if (QString problem = fatNameProblemInShort(name); !problem.isEmpty())
            return problem;
    }
    if (traits.largestFile <= 0)
        return {};
    struct stat status {};
    if (realSystemCalls()->stat(encodeFileName(path).constData(), &status) != 0 ||
        status.st_size <= traits.largestFile)
        return {};
    return QStringLiteral("larger than %1 GiB")
        .arg(QString::number(static_cast<double>(traits.largestFile + 1) / (1LL << 30), 'g', 3));
}
