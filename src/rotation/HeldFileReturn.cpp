#include "rotation/HeldFileReturn.h"

#include "fs/AppError.h"
#include "fs/FileSystemObject.h"
#include "fs/PathText.h"
#include "fs/StorableFiles.h"

#include <optional>

namespace {

// Beyond this many numbered names the file is kept held and reported rather than tried on.
constexpr int LastNumber = 999;

HeldFileReturn kept(const QString& name) {
    return {HeldFileReturn::Outcome::Kept, name};
}

// Moves the held file to `base`, "base (2)", ... in turn; empty when the volume refuses `base`
// itself.
std::optional<HeldFileReturn> returnUnder(FileSystemObject& fso, const QString& held,
                                          const QString& name, const QString& base,
                                          const QString& musicFolder) {
    for (int number = 1; number <= LastNumber; ++number) {
        const QString target = number == 1 ? base : numberedName(base, number);
        const QString destination = joinPath(musicFolder, target);
        try {
            fso.MoveFile(held, destination);
            return HeldFileReturn{target == name ? HeldFileReturn::Outcome::Returned
                                                 : HeldFileReturn::Outcome::Renamed,
                                  target};
        } catch (const AppError& error) {
            if (error.number() == ErrorNumber::BadFileName && number == 1)
                return std::nullopt;
            if (error.number() != ErrorNumber::FileAlreadyExists)
                return kept(name);
        }
        try {
            if (fso.DeleteDuplicate(held, destination))
                return HeldFileReturn{HeldFileReturn::Outcome::Duplicate, target};
        } catch (const AppError&) {
            return kept(name);
        }
    }
    return kept(name);
}

} // namespace

QString numberedName(const QString& name, int number) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype end = dot > 0 ? dot : name.size();
    return name.left(end) + QStringLiteral(" (%1)").arg(number) + name.mid(end);
}

HeldFileReturn returnHeldFile(FileSystemObject& fso, const QString& holdingFolder,
                              const QString& name, const QString& musicFolder) {
    const QString held = joinPath(holdingFolder, name);
    if (const auto done = returnUnder(fso, held, name, name, musicFolder))
        return *done;
    const QString accepted = fatAcceptedName(name);
    if (accepted == name)
        return kept(name);
    return returnUnder(fso, held, name, accepted, musicFolder).value_or(kept(name));
}
