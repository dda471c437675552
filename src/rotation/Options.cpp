#include "rotation/Options.h"

const QStringList& allMusicTypes() {
    static const QStringList types = {
        QStringLiteral("mp3"), QStringLiteral("wma"),  QStringLiteral("m4a"),
        QStringLiteral("aac"), QStringLiteral("flac"), QStringLiteral("ogg"),
        QStringLiteral("oga"), QStringLiteral("opus"), QStringLiteral("wav")};
    return types;
}

QString musicPattern(const Options& options) {
    return QStringLiteral("*.") + options.musicTypes.join(QStringLiteral(";*."));
}
