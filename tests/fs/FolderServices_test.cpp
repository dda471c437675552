#include "fs/AppError.h"
#include "fs/FatNames.h"
#include "fs/OwnTemporaries.h"
#include "fs/SystemFileSystem.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The folder services and the rules on names, on the local disk.
namespace {

template <typename Action> std::int32_t errorOf(Action action) {
    try {
        action();
    } catch (const AppError& error) {
        EXPECT_EQ(error.source(), QStringLiteral("Fso"));
        return error.number();
    }
    return 0;
}

class FolderServices : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(local.isValid()); }
    QString path(const QString& name) const { return local.path() + "/" + name; }

    QTemporaryDir local;
    SystemFileSystem fso;
};

} // namespace

TEST_F(FolderServices, GetFolderListsEachFileOnceButNotFoldersLinksOrOurTemporaries) {
    ASSERT_TRUE(QDir(local.path()).mkdir("Sub"));
    writeTestFile(path("Sub/inner.mp3"), "inner");
    writeTestFile(path("b.mp3"), "b");
    writeTestFile(path(".hidden"), "h");
    writeTestFile(path("Ünïcode.WMA"), "u");
    writeTestFile(path(newOwnTemporaryName()), "half a copy");
    ASSERT_TRUE(QFile::link(path("b.mp3"), path("link.mp3")));

    const FsFolder folder = fso.GetFolder(local.path());

    QStringList names;
    for (const FsFile& file : folder.Files)
        names << file.Name;
    EXPECT_EQ(names, QStringList({".hidden", "b.mp3", "Ünïcode.WMA"}));
    EXPECT_EQ(folder.Path, local.path());
}

TEST_F(FolderServices, MissingFoldersFailWithPathNotFound) {
    EXPECT_FALSE(fso.FolderExists(path("none")));
    writeTestFile(path("file"), "x");
    EXPECT_FALSE(fso.FolderExists(path("file")));
    EXPECT_TRUE(fso.FolderExists(local.path()));
    EXPECT_EQ(errorOf([&] { fso.GetFolder(path("none")); }), ErrorNumber::PathNotFound);
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("file"), path("none/file")); }),
              ErrorNumber::PathNotFound);
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("none/*.*"), local.path()); }),
              ErrorNumber::PathNotFound);
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("gone.mp3"), path("x.mp3")); }),
              ErrorNumber::FileNotFound);
}

TEST_F(FolderServices, CreateAndDeleteFolder) {
    const QString holding = path("QUAVEXTemp");
    fso.CreateFolder(holding + "/");
    EXPECT_TRUE(fso.FolderExists(holding));
    EXPECT_EQ(errorOf([&] { fso.CreateFolder(holding); }), ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(errorOf([&] { fso.CreateFolder(path("none/deeper")); }), ErrorNumber::PathNotFound);

    writeTestFile(holding + "/held.mp3", "held");
    EXPECT_EQ(errorOf([&] { fso.DeleteFolder(holding); }), ErrorNumber::PathFileAccess);
    EXPECT_EQ(readTestFile(holding + "/held.mp3"), "held");

    ASSERT_TRUE(QFile::remove(holding + "/held.mp3"));
    fso.DeleteFolder(holding);
    EXPECT_FALSE(fso.FolderExists(holding));
    EXPECT_EQ(errorOf([&] { fso.DeleteFolder(holding); }), ErrorNumber::PathNotFound);
}

TEST_F(FolderServices, SameVolumeMoveNeverReplaces) {
    writeTestFile(path("a.mp3"), "a");
    writeTestFile(path("b.mp3"), "b");
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("a.mp3"), path("b.mp3")); }),
              ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("a.mp3"), path("a.mp3")); }),
              ErrorNumber::FileAlreadyExists);
    // Letter case tells names apart on this volume.
    fso.MoveFile(path("a.mp3"), path("B.mp3"));
    EXPECT_EQ(readTestFile(path("b.mp3")), "b");
    EXPECT_EQ(readTestFile(path("B.mp3")), "a");
    // Folders are not files to move.
    ASSERT_TRUE(QDir(local.path()).mkdir("Sub"));
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("Sub"), path("Sub2")); }), ErrorNumber::FileNotFound);
    EXPECT_TRUE(fso.FolderExists(path("Sub")));
}

TEST_F(FolderServices, WildcardWithEitherSeparatorMovesEveryFileWithOrWithoutADot) {
    ASSERT_TRUE(QDir(local.path()).mkpath("from/Sub"));
    ASSERT_TRUE(QDir(local.path()).mkdir("to"));
    for (const char* name : {"one.mp3", "NoDot", "two.wma"})
        writeTestFile(path("from/") + name, name);
    writeTestFile(path("from/") + newOwnTemporaryName(), "stale");

    fso.MoveFile(path("from\\*.*"), path("to/"));

    EXPECT_EQ(namesInFolder(path("to")), QStringList({"NoDot", "one.mp3", "two.wma"}));
    EXPECT_EQ(readTestFile(path("to/NoDot")), "NoDot");
    ASSERT_EQ(namesInFolder(path("from")).size(), 2);
    EXPECT_EQ(errorOf([&] { fso.MoveFile(path("from/*.*"), path("to")); }),
              ErrorNumber::FileNotFound);
    EXPECT_EQ(removeOwnTemporaries(path("from")), 1);
    EXPECT_EQ(namesInFolder(path("from")), QStringList{"Sub"});
}

TEST(FatNames, RefusesWhatFatRefusesAndNothingElse) {
    const QStringList refused{"a<b",
                              "a>b",
                              "a:b",
                              "a\"b",
                              "a\\b",
                              "a|b",
                              "a?b",
                              "a*b",
                              "tab\there",
                              "Song.",
                              "Song ",
                              "CON",
                              "con.mp3",
                              "Aux.tar.gz",
                              "NUL .mp3",
                              "PRN",
                              "COM1.wma",
                              "lpt9",
                              QString(256, 'x'),
                              ""};
    for (const QString& name : refused)
        EXPECT_FALSE(fatNameProblem(name).isEmpty()) << name.toStdString();
    const QStringList taken{"Song.mp3",    ".hidden",        "CONSOLE.mp3",
                            "COM10.mp3",   "LPT0.mp3",       "My Song (live).mp3",
                            "Ünïcode.wma", QString(255, 'x')};
    for (const QString& name : taken)
        EXPECT_EQ(fatNameProblem(name), QString()) << name.toStdString();
    EXPECT_EQ(fatNameProblem("AUX.mp3"), QStringLiteral("\"AUX\" is a reserved device name"));
}

TEST(OwnTemporaries, NamesAreRecognisedAndNeverMusic) {
    const QString name = newOwnTemporaryName();
    EXPECT_TRUE(isOwnTemporaryName(name));
    EXPECT_NE(name, newOwnTemporaryName());
    EXPECT_FALSE(name.endsWith(".mp3", Qt::CaseInsensitive));
    EXPECT_FALSE(name.endsWith(".wma", Qt::CaseInsensitive));
    EXPECT_FALSE(isOwnTemporaryName(".~quavex-.part.mp3"));
    EXPECT_FALSE(isOwnTemporaryName("song.part"));
}
