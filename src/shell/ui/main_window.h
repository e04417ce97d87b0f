#pragma once
// TfrmQuil: the main window. It owns the widgets and turns their events into commands
// of the headless core; the editor state itself lives in the core.
#include <QMainWindow>

namespace quillon {

class TfrmQuil : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmQuil(QWidget *parent = nullptr);
  ~TfrmQuil() override;

  // "Quillon ver" followed by the program version.
  static QString captionText();
};

}  // namespace quillon
