#pragma once
// TfrmDocuments ("Quillon Documents"): the release notes or the licence of the program,
// in Japanese for the language "ja" and in English for every other language. The caller
// prepares one page and shows the window modally; a new window serves every showing.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace quillon {

class TfrmDocuments : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmDocuments(QWidget *parent = nullptr);

  void showReadMe(const QString &langID);
  void showLicense(const QString &langID);
  QString langID() const { return FLangID; }

  QStackedWidget *tabDocuments = nullptr;
  QPlainTextEdit *tabReadMe_ja = nullptr;
  QPlainTextEdit *tabLicense_ja = nullptr;
  QPlainTextEdit *tabReadMe_en = nullptr;
  QPlainTextEdit *tabLicense_en = nullptr;
  QPushButton *btnRM_OK = nullptr;
  QPushButton *btnRM_Cancel = nullptr;

 private:
  // One page in the language's texts: the caption, the page, "Close" and a disabled
  // "Cancel".
  void showPage(const QString &langID, QPlainTextEdit *japanese, QPlainTextEdit *english);

  QString FLangID;
};

}  // namespace quillon
