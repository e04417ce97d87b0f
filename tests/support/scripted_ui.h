#pragma once
// A user interface for tests: records every box by its key and answers questions from a
// script (a queue of answers; when empty, questions are declined).
#include <deque>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "shell/editor_ui.h"

namespace quillon::test {

class TScriptedUi : public TEditorUi {
 public:
  // Answers, consumed in order by the questions asked.
  std::deque<bool> yesNoAnswers;
  std::deque<TModalResult> yesNoCancelAnswers;
  std::deque<std::optional<QString>> inputAnswers;
  std::deque<QString> fileAnswers;
  // The shape-size dialog: the values it confirms in turn (none: cancelled; when the
  // queue is empty it is cancelled), and the tabs and values it was shown with.
  std::deque<std::optional<TShapeSizeValues>> sizeAnswers;
  std::vector<TShapeSizeTab> sizeTabs;
  std::vector<TShapeSizeValues> sizeShown;

  // What was shown, in order (the keys of boxes and their texts; status texts and
  // captions as text), and the folder or name each save dialog proposed.
  QStringList boxKeys;
  QStringList boxTexts;
  QStringList savePropositions;
  QStringList statusTexts;
  QString caption;
  int canvasRefreshes = 0;
  // What isModalActive answers: a test sets it to act as if a dialog were open.
  bool modalActive = false;

  void messageBox(const QString &key, const QString &text) override { shown(key, text); }
  void informationBox(const QString &key, const QString &text) override { shown(key, text); }
  bool confirmYesNo(const QString &key, const QString &text) override {
    shown(key, text);
    if (yesNoAnswers.empty()) return false;
    const bool a = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return a;
  }
  TModalResult confirmYesNoCancel(const QString &key, const QString &text) override {
    shown(key, text);
    if (yesNoCancelAnswers.empty()) return TModalResult::Cancel;
    const TModalResult a = yesNoCancelAnswers.front();
    yesNoCancelAnswers.pop_front();
    return a;
  }
  std::optional<QString> inputBox(const QString &captionKey, const QString &, const QString &, const QString &,
                                  const QString &) override {
    boxKeys << captionKey;
    if (inputAnswers.empty()) return std::nullopt;
    const bool given = inputAnswers.front().has_value();
    const QString value = given ? *inputAnswers.front() : QString();
    inputAnswers.pop_front();
    if (!given) return std::nullopt;
    return value;
  }
  QString openFileDialog(const QString &, const QString &) override { return nextFile(); }
  QString saveFileDialog(const QString &, const QString &, const QString &suggestedName) override {
    savePropositions << suggestedName;
    return nextFile();
  }
  void setStatusText(const QString &text) override { statusTexts << text; }
  void setCaption(const QString &text) override { caption = text; }
  void refreshCanvas() override { ++canvasRefreshes; }
  void refreshRulers() override {}
  bool isModalActive() const override { return modalActive; }
  std::optional<TShapeSizeValues> shapeSizeDialog(TShapeSizeTab tab, const TShapeSizeValues &values) override {
    sizeTabs.push_back(tab);
    sizeShown.push_back(values);
    if (sizeAnswers.empty()) return std::nullopt;
    const std::optional<TShapeSizeValues> a = sizeAnswers.front();
    sizeAnswers.pop_front();
    return a;
  }

 private:
  void shown(const QString &key, const QString &text) {
    boxKeys << key;
    boxTexts << text;
  }
  QString nextFile() {
    if (fileAnswers.empty()) return {};
    QString f = fileAnswers.front();
    fileAnswers.pop_front();
    return f;
  }
};

}  // namespace quillon::test
