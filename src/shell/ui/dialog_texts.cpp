#include "shell/ui/dialog_texts.h"

#include "i18n/builtin_phrases.h"
#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "shell/ui/main_window.h"

namespace quillon {

TEditor *editorOf(const QObject *context) {
  auto *window = dynamic_cast<TfrmQuil *>(editorUiOf(context));
  return window ? &window->editor() : nullptr;
}

QString phrase(const QObject *context, const char *key) {
  const QString k = QString::fromLatin1(key);
  if (const TEditor *editor = editorOf(context)) {
    const QString text = editor->tr(k);
    if (!text.isEmpty()) return text;
  }
  for (const TBuiltInPhrase &row : builtInPhrases())
    if (qstrcmp(row.Key, key) == 0 && qstrcmp(row.LangID, "en") == 0) return QString::fromUtf8(row.Phrase);
  return k;
}

}  // namespace quillon
