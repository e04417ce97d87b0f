#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace quillon {
namespace {

class FileIoTest : public ::testing::Test {
 protected:
  QTemporaryDir FDir;
  QString path(const QString &name) const { return FDir.filePath(name); }
  QStringList entries() const {
    return QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  }
};

TEST_F(FileIoTest, WritesExactBytesAndReadsThemBack) {
  const QByteArray bytes("a\0b\r\n\xEF\xBB\xBF\xFF", 9);
  writeFileAtomically(path("x.bin"), bytes);
  EXPECT_EQ(readWholeFile(path("x.bin")), bytes);
  EXPECT_EQ(entries(), QStringList{"x.bin"});
}

TEST_F(FileIoTest, ReplacesOldContentWithoutLeavingTemporaryFiles) {
  writeFileAtomically(path("doc.txt"), "a long first content");
  writeFileAtomically(path("doc.txt"), "short");
  EXPECT_EQ(readWholeFile(path("doc.txt")), QByteArray("short"));
  EXPECT_EQ(entries(), QStringList{"doc.txt"});
}

TEST_F(FileIoTest, EmptyContentGivesEmptyFile) {
  writeFileAtomically(path("empty"), "old");
  writeFileAtomically(path("empty"), QByteArray());
  EXPECT_TRUE(QFile::exists(path("empty")));
  EXPECT_TRUE(readWholeFile(path("empty")).isEmpty());
}

TEST_F(FileIoTest, WriteIntoMissingFolderThrowsAndCreatesNothing) {
  const QString target = path("no-such-folder/file.txt");
  try {
    writeFileAtomically(target, "data");
    FAIL() << "expected an exception";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find(target.toStdString()), std::string::npos) << e.what();
  }
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_TRUE(entries().isEmpty());
}

TEST_F(FileIoTest, WriteOverAFolderThrowsAndLeavesTheFolder) {
  ASSERT_TRUE(QDir(FDir.path()).mkdir("sub"));
  writeFileAtomically(path("sub/keep.txt"), "kept");
  EXPECT_THROW(writeFileAtomically(path("sub"), "data"), std::runtime_error);
  EXPECT_EQ(readWholeFile(path("sub/keep.txt")), QByteArray("kept"));
  EXPECT_EQ(entries(), QStringList{"sub"});
}

TEST_F(FileIoTest, ReadingMissingFileOrFolderThrowsNamingThePath) {
  for (const QString &target : {path("missing.txt"), FDir.path()}) {
    try {
      readWholeFile(target);
      ADD_FAILURE() << "expected an exception for " << target.toStdString();
    } catch (const std::runtime_error &e) {
      EXPECT_NE(std::string(e.what()).find(target.toStdString()), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace quillon
