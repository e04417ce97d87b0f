#include "shell/ui/start_up.h"

#include <QMessageBox>

#include "shell/editor_ui.h"
#include "shell/guarded_call.h"
#include "shell/ui/main_window.h"

namespace quillon {

namespace {

// Where the report of a failed start goes before any window exists: its status line
// becomes the text of the message box.
class TStartUpUi : public TSilentEditorUi {
 public:
  QString Failure;
  void setStatusText(const QString &text) override { Failure = text; }
};

}  // namespace

std::unique_ptr<TfrmQuil> createMainWindow(const QStringList &args) {
  std::unique_ptr<TfrmQuil> window;
  TStartUpUi startUp;
  if (guarded(startUp, "start-up", [&] { window = std::make_unique<TfrmQuil>(args); })) return window;
  // No dictionary either: the box shows the failure as it is.
  QMessageBox::critical(nullptr, QStringLiteral("Quillon"), startUp.Failure);
  return nullptr;
}

}  // namespace quillon
