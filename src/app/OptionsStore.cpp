#include "app/OptionsStore.h"

#include "app/SettingsBackend.h"

#include <QLocale>
#include <limits>

namespace {

const QString Section = QStringLiteral("Options");
const QString RotationMemory = QStringLiteral("RotationMemory");
const QString MegabytesFree = QStringLiteral("MegabytesFree");
const QString MusicTypes = QStringLiteral("MusicTypes");
const QString MusicInSubfolders = QStringLiteral("MusicInSubfolders");
const QString WholeAlbums = QStringLiteral("WholeAlbums");

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Only the offered extensions, in the dialog's order; none of them reads as the default, since an
// empty pattern would name every file.
QStringList typesFromText(const QString& text, const QStringList& fallback) {
    const QStringList named = text.toLower().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList types;
    for (const QString& type : allMusicTypes())
        if (named.contains(type))
            types.append(type);
    return types.isEmpty() ? fallback : types;
}

} // namespace

Options loadOptions(SettingsBackend& backend) {
    Options options;
    const auto read = [&](const QString& key) {
        try {
            return backend.read(settingsApplication(), Section, key).value_or(QString());
        } catch (const std::exception&) {
            return QString();
        }
    };
    if (const QString memory = read(RotationMemory); memory == QLatin1String("0"))
        options.rotationMemory = false;
    bool isNumber = false;
    const qlonglong megabytes = QLocale::c().toLongLong(read(MegabytesFree).trimmed(), &isNumber);
    if (isNumber && megabytes >= 0 && megabytes <= std::numeric_limits<int>::max())
        options.megabytesFree = megabytes;
    options.musicTypes = typesFromText(read(MusicTypes), options.musicTypes);
    options.musicInSubfolders = read(MusicInSubfolders) == QLatin1String("1");
    options.wholeAlbums = read(WholeAlbums) == QLatin1String("1");
    return options;
}

std::vector<AppError> saveOptions(SettingsBackend& backend, const Options& options) {
    const SettingsValue values[] = {
        {Section, RotationMemory, flag(options.rotationMemory)},
        {Section, MegabytesFree, QString::number(options.megabytesFree)},
        {Section, MusicTypes, options.musicTypes.join(QLatin1Char(';'))},
        {Section, MusicInSubfolders, flag(options.musicInSubfolders)},
        {Section, WholeAlbums, flag(options.wholeAlbums)},
    };
    return writeEach(backend, values, QStringLiteral("Options:"));
}
