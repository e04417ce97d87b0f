#include "support/test_env.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "i18n/builtin_phrases.h"

namespace quillon::test {
namespace {

std::unique_ptr<QTemporaryDir> g_root;
QtMessageHandler g_previousHandler = nullptr;

// Every phrase key the code asks for has its English phrase: a test during which the
// program asks for one without it fails (the key is logged once per run).
void failOnKeyWithoutPhrase(QtMsgType type, const QMessageLogContext &context, const QString &text) {
  if (text.startsWith(QLatin1String(kKeyWithoutPhraseLog))) ADD_FAILURE() << text.toStdString();
  if (g_previousHandler)
    g_previousHandler(type, context, text);
  else
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

class FolderListener : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo &) override {
    g_root = std::make_unique<QTemporaryDir>();
    QDir root(g_root->path());
    root.mkpath("data");
    root.mkpath("documents");
    qputenv("QUILLON_DATA_DIR", root.filePath("data").toUtf8());
    qputenv("QUILLON_DOCUMENTS_DIR", root.filePath("documents").toUtf8());
  }
  void OnTestEnd(const ::testing::TestInfo &) override { g_root.reset(); }
};

}  // namespace

void installTestEnvironment() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FolderListener);
  g_previousHandler = qInstallMessageHandler(&failOnKeyWithoutPhrase);
}

QString testDataDir() { return QString::fromLocal8Bit(qgetenv("QUILLON_DATA_DIR")); }
QString testDocumentsDir() { return QString::fromLocal8Bit(qgetenv("QUILLON_DOCUMENTS_DIR")); }

QString fixturePath(const QString &relative) {
  return QDir(QStringLiteral(QUILLON_FIXTURES_DIR)).filePath(relative);
}

}  // namespace quillon::test
