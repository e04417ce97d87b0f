#include "platform/folders.h"

#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace quillon {
namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class FoldersTest : public ::testing::Test {
 protected:
  void setEnv(const char *name, const QByteArray &value) {
    remember(name);
    qputenv(name, value);
  }
  void unsetEnv(const char *name) {
    remember(name);
    qunsetenv(name);
  }
  void TearDown() override {
    for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
      if (it->value) qputenv(it->name, *it->value);
      else qunsetenv(it->name);
    }
  }

  QTemporaryDir FDir;

 private:
  struct TSaved {
    const char *name;
    std::optional<QByteArray> value;
  };
  void remember(const char *name) {
    FSaved.push_back({name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
  }
  std::vector<TSaved> FSaved;
};

TEST_F(FoldersTest, FollowTheEnvironmentVariables) {
  EXPECT_EQ(dataDir(), test::testDataDir());
  EXPECT_EQ(documentsDir(), test::testDocumentsDir());
  EXPECT_EQ(dataFile("settings.ini"), test::testDataDir() + "/settings.ini");

  setEnv("QUILLON_DATA_DIR", FDir.filePath("other-data").toUtf8());
  setEnv("QUILLON_DOCUMENTS_DIR", FDir.filePath("other-docs").toUtf8());
  EXPECT_EQ(dataDir(), FDir.filePath("other-data"));
  EXPECT_EQ(documentsDir(), FDir.filePath("other-docs"));
  EXPECT_EQ(dataFile("a/b.json"), FDir.filePath("other-data/a/b.json"));
}

TEST_F(FoldersTest, NeitherFolderIsCreatedByAskingForIt) {
  setEnv("QUILLON_DATA_DIR", FDir.filePath("d").toUtf8());
  setEnv("QUILLON_DOCUMENTS_DIR", FDir.filePath("e").toUtf8());
  dataDir();
  documentsDir();
  dataFile("x");
  EXPECT_FALSE(QFileInfo::exists(FDir.filePath("d")));
  EXPECT_FALSE(QFileInfo::exists(FDir.filePath("e")));
}

TEST_F(FoldersTest, EmptyOrUnsetVariablesFallBackToTheUserFolders) {
  // Point the XDG locations into the temporary folder so no real home folder is used.
  const QString home = FDir.filePath("home");
  ASSERT_TRUE(QDir().mkpath(home + "/config"));
  QFile userDirs(home + "/config/user-dirs.dirs");
  ASSERT_TRUE(userDirs.open(QIODevice::WriteOnly));
  userDirs.write("XDG_DOCUMENTS_DIR=\"" + (home + "/MyDocs").toUtf8() + "\"\n");
  userDirs.close();
  setEnv("XDG_DATA_HOME", (home + "/share").toUtf8());
  setEnv("XDG_CONFIG_HOME", (home + "/config").toUtf8());

  setEnv("QUILLON_DATA_DIR", "");
  unsetEnv("QUILLON_DOCUMENTS_DIR");
  EXPECT_EQ(dataDir(), home + "/share/quillon");
  EXPECT_EQ(dataFile("x.ini"), home + "/share/quillon/x.ini");
  EXPECT_EQ(documentsDir(), home + "/MyDocs");

  unsetEnv("QUILLON_DATA_DIR");
  setEnv("QUILLON_DOCUMENTS_DIR", "");
  EXPECT_EQ(dataDir(), home + "/share/quillon");
  EXPECT_EQ(documentsDir(), home + "/MyDocs");
}

TEST_F(FoldersTest, EnsureDirCreatesParentsAndReportsExistence) {
  const QString nested = FDir.filePath("a/b/c");
  EXPECT_TRUE(ensureDir(nested));
  EXPECT_TRUE(QFileInfo(nested).isDir());
  EXPECT_TRUE(ensureDir(nested));  // already there

  QFile file(FDir.filePath("plain"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_FALSE(ensureDir(FDir.filePath("plain")));          // a file is not a folder
  EXPECT_FALSE(ensureDir(FDir.filePath("plain/under")));    // cannot go below a file
  EXPECT_FALSE(ensureDir(QString()));
}

}  // namespace
}  // namespace quillon
