#include "TestFiles.h"
#include "fs/FileNameCodec.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

void touch(const QString& path) {
    const int fd = ::open(encodeFileName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path.toStdString());
    ::close(fd);
}

void writeTestFile(const QString& path, const QByteArray& content) {
    const int fd =
        ::open(encodeFileName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray readTestFile(const QString& path) {
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QByteArray("<missing>");
    QByteArray content;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    ::close(fd);
    return content;
}

QStringList namesInFolder(const QString& folder, bool filesOnly) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(encodeFileName(folder).constData()),
                                                  ::closedir);
    QStringList names;
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QString name = decodeFileName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        struct stat status {};
        if (filesOnly && (::fstatat(::dirfd(dir.get()), entry->d_name, &status, 0) != 0 ||
                          !S_ISREG(status.st_mode)))
            continue;
        names.append(name);
    }
    names.sort();
    return names;
}

void removeTree(const QString& folder) {
    ::nftw(
        encodeFileName(folder).constData(),
        [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

bool isReadableFile(const QString& path) {
    return ::access(encodeFileName(path).constData(), R_OK) == 0;
}
