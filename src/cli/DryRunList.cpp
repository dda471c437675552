#include "cli/DryRunList.h"

#include "fs/PathText.h"

#include <QDir>
#include <QHash>
#include <algorithm>

namespace {

struct Journey {
    QString from;
    QString to; // empty: removed as a duplicate
    std::int64_t bytes = 0;
};

// The folder of the run that holds a path, as the list names it, and the path below it.
struct Place {
    QString folder;
    QString name;
};

Place placeOf(const QString& path, const std::vector<ListedFolder>& folders) {
    const ListedFolder* best = nullptr;
    QString bestPrefix;
    for (const ListedFolder& folder : folders) {
        if (folder.path.isEmpty())
            continue;
        // A drive's root ("E:/") ends in its separator already.
        QString prefix = QDir::cleanPath(folder.path);
        if (!prefix.endsWith(QLatin1Char('/')))
            prefix += QLatin1Char('/');
        if (path.startsWith(prefix) && prefix.size() > bestPrefix.size()) {
            best = &folder;
            bestPrefix = prefix;
        }
    }
    if (best)
        return {best->label + QLatin1Char(' ') + shownPath(best->path),
                path.mid(bestPrefix.size())};
    const SplitPath split = splitAtLastSlash(path);
    return {shownPath(split.folder), split.name};
}

QString megabytes(std::int64_t bytes) {
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

} // namespace

QStringList dryRunList(const std::vector<RehearsedMove>& moves,
                       const std::vector<ListedFolder>& folders) {
    // Each file's way from where it was to where it would end, in the order the ways began.
    std::vector<Journey> journeys;
    QHash<QString, std::size_t> endingAt;
    for (const RehearsedMove& move : moves) {
        std::size_t at = journeys.size();
        if (const auto it = endingAt.constFind(move.source); it != endingAt.cend()) {
            at = *it;
            endingAt.erase(it);
        } else {
            journeys.push_back({move.source, {}, move.bytes});
        }
        journeys[at].to = move.destination;
        if (!move.destination.isEmpty())
            endingAt.insert(move.destination, at);
    }

    struct Way {
        QString from;
        QString to;
        QStringList files;
        std::int64_t bytes = 0;
    };
    std::vector<Way> ways;
    for (const Journey& journey : journeys) {
        const Place from = placeOf(journey.from, folders);
        QString to;
        QString line = QStringLiteral("  ") + from.name;
        if (!journey.to.isEmpty()) {
            const Place end = placeOf(journey.to, folders);
            to = end.folder;
            if (end.name != from.name)
                line += QStringLiteral(" -> ") + end.name;
        }
        auto way = std::find_if(ways.begin(), ways.end(), [&](const Way& each) {
            return each.from == from.folder && each.to == to;
        });
        if (way == ways.end())
            way = ways.insert(ways.end(), Way{from.folder, to, {}, 0});
        way->files.append(line);
        way->bytes += journey.bytes;
    }

    QStringList lines;
    for (const Way& way : ways) {
        const QString count =
            QStringLiteral("%1 %2, %3")
                .arg(way.files.size())
                .arg(way.files.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"),
                     megabytes(way.bytes));
        lines.append(way.to.isEmpty()
                         ? QStringLiteral("From %1, deleted as the same file is in the music "
                                          "folder: %2")
                               .arg(way.from, count)
                         : QStringLiteral("From %1 to %2: %3").arg(way.from, way.to, count));
        lines.append(way.files);
    }
    if (ways.empty())
        lines.append(QStringLiteral("No file would be moved."));
    return lines;
}
