#pragma once
// TfrmQuil: the main window. It owns the editor and the widgets, turns the widgets' events
// into editor commands and answers the editor's questions with real dialogs.
#include <QMainWindow>

#include <memory>

#include "shell/editor_ui.h"

namespace quillon {

class TEditor;

class TfrmQuil : public QMainWindow, public TEditorUi {
  Q_OBJECT
 public:
  explicit TfrmQuil(const QStringList &args, QWidget *parent = nullptr);
  ~TfrmQuil() override;

  TEditor &editor() { return *FEditor; }

  // TEditorUi
  void messageBox(const QString &key, const QString &text) override;
  void informationBox(const QString &key, const QString &text) override;
  bool confirmYesNo(const QString &key, const QString &text) override;
  TModalResult confirmYesNoCancel(const QString &key, const QString &text) override;
  std::optional<QString> inputBox(const QString &captionKey, const QString &caption, const QString &promptKey,
                                  const QString &prompt, const QString &initial) override;
  QString openFileDialog(const QString &title, const QString &filter) override;
  QString saveFileDialog(const QString &title, const QString &filter, const QString &suggestedName) override;
  void setStatusText(const QString &text) override;
  void setCaption(const QString &caption) override;
  void refreshCanvas() override;
  void refreshRulers() override;

 private:
  std::unique_ptr<TEditor> FEditor;
};

}  // namespace quillon
