#pragma once
// TfrmFontList ("Font List"): the font families the text tool offers, one a line, with a
// preview of the family chosen in the box below the list. "Reset" lists every installed
// family.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace quillon {

class TfrmFontList : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmFontList(QWidget *parent = nullptr);

  // The "Edit Font List" command: shows `families` (the text tool's list) with the preview
  // text of the language; on OK returns true and the edited list in `families` (trimmed,
  // blank lines left out). A preview text the user typed stays for the next showing.
  bool execute(QStringList &families, const QString &langID);

  QPlainTextEdit *memoFontList = nullptr;
  QComboBox *cmbFontList = nullptr;
  QPlainTextEdit *memoPreviewText = nullptr;
  QPushButton *Button1 = nullptr;  // "Reset"

 private:
  // The k-th non-empty line of the list becomes the k-th item of the box.
  void memoFontListChangeTracking();
  void updatePreview();
};

}  // namespace quillon
