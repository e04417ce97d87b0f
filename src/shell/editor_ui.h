#pragma once
// What core commands ask of the user. The main window implements it with real dialogs;
// tests implement it with scripted answers. No core code opens a dialog itself.
//
// Boxes are asked by translation key together with the text already translated into the
// current language, so a window shows the text and a test can check the key.
#include <optional>

#include <QString>
#include <QStringList>

namespace quillon {

enum class TModalResult { OK, Cancel, Yes, No };

class TEditorUi {
 public:
  virtual ~TEditorUi() = default;

  // A modal error or message box with one OK button.
  virtual void messageBox(const QString &key, const QString &text) = 0;
  // A modal information box with one OK button.
  virtual void informationBox(const QString &key, const QString &text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool confirmYesNo(const QString &key, const QString &text) = 0;
  // A Yes/No/Cancel question.
  virtual TModalResult confirmYesNoCancel(const QString &key, const QString &text) = 0;
  // An input box; empty when cancelled.
  virtual std::optional<QString> inputBox(const QString &captionKey, const QString &caption,
                                          const QString &promptKey, const QString &prompt,
                                          const QString &initial) = 0;
  // File dialogs; an empty text when cancelled.
  virtual QString openFileDialog(const QString &title, const QString &filter) = 0;
  virtual QString saveFileDialog(const QString &title, const QString &filter, const QString &suggestedName) = 0;

  // Non-blocking feedback.
  virtual void setStatusText(const QString &text) = 0;
  virtual void setCaption(const QString &caption) = 0;
  // Repaint requests: the drawing box and both rulers, or the rulers alone.
  virtual void refreshCanvas() = 0;
  virtual void refreshRulers() = 0;
};

// A user interface that answers nothing and shows nothing: every question is declined or
// cancelled. Headless runs use it.
class TSilentEditorUi : public TEditorUi {
 public:
  void messageBox(const QString &, const QString &) override {}
  void informationBox(const QString &, const QString &) override {}
  bool confirmYesNo(const QString &, const QString &) override { return false; }
  TModalResult confirmYesNoCancel(const QString &, const QString &) override { return TModalResult::Cancel; }
  std::optional<QString> inputBox(const QString &, const QString &, const QString &, const QString &,
                                  const QString &) override {
    return std::nullopt;
  }
  QString openFileDialog(const QString &, const QString &) override { return {}; }
  QString saveFileDialog(const QString &, const QString &, const QString &) override { return {}; }
  void setStatusText(const QString &) override {}
  void setCaption(const QString &) override {}
  void refreshCanvas() override {}
  void refreshRulers() override {}
};

}  // namespace quillon
