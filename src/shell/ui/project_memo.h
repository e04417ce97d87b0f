#pragma once
// TProjectMemo: the expander under the drawing (Expander1, collapsed at start) with the
// memo box memoProject, which shows and edits the document's memo. The first keystroke
// that makes the text differ marks the document changed; the text reaches the document
// when the box loses the focus or the pointer leaves it.
#include <QWidget>

class QPlainTextEdit;
class QToolButton;

namespace quillon {

class TEditor;

class TProjectMemo : public QWidget {
  Q_OBJECT
 public:
  TProjectMemo(TEditor &editor, QWidget *parent = nullptr);

  // Shows the document's memo unless the box is being typed into.
  void syncFromDocument();
  // The box's text becomes the document's memo when it differs.
  void commit();
  // Whether the memo box has the keyboard focus.
  bool isTyping() const;

  QToolButton *Expander1 = nullptr;
  QPlainTextEdit *memoProject = nullptr;

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  TEditor &FEditor;
};

}  // namespace quillon
