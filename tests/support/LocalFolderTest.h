#pragma once

#include "fs/SystemFileSystem.h"
#include "support/TestFiles.h"
#include "support/ThrownError.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A test of the file-system object on a fresh temporary folder of the local disk.
class LocalFolderTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(local.isValid()); }
    void TearDown() override { removeTree(local.path()); }

    QString localPath(const QString& name) const { return local.path() + "/" + name; }

    // The number of the failure the action raises, 0 for none, with its text when asked for;
    // every failure of the file-system object says in its source what was being done.
    static std::int32_t fsoErrorOf(const std::function<void()>& action,
                                   QString* description = nullptr) {
        const std::optional<AppError> error = thrownError(action);
        if (!error)
            return 0;
        EXPECT_TRUE(error->source().endsWith(QLatin1Char(':')) &&
                    !error->source().contains(QStringLiteral("Fso")))
            << error->source().toStdString();
        if (description)
            *description = error->description();
        return error->number();
    }
    std::int32_t moveError(const QString& from, const QString& to, QString* description = nullptr) {
        return fsoErrorOf([&] { fso.MoveFile(from, to); }, description);
    }

    QTemporaryDir local;
    SystemFileSystem fso;
};
