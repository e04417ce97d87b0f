#pragma once
// TfrmChangeShapeSize ("Edit shape size"): the length, angle, diameter or the sweep and
// radius of one shape, on the tab the command shows. Enter evaluates the typed arithmetic
// of the focused box (a text that is not arithmetic leaves the value) and closes the
// dialog with OK; Escape closes it with Cancel.
#include "shell/ui/length_dialog.h"

class QTabWidget;
class QWidget;

namespace quillon {

class TfrmChangeShapeSize : public TLengthDialog {
  Q_OBJECT
 public:
  enum class TTab { LineLength, LineAngle, Ellipse, Arc };

  explicit TfrmChangeShapeSize(QWidget *parent = nullptr);
  void showTab(TTab tab);

  QTabWidget *TabControl1 = nullptr;
  TNumberBox *nbLineLength = nullptr;
  TNumberBox *nbLineAngle = nullptr;
  TNumberBox *nbEllipseXlen = nullptr;
  TNumberBox *nbArcAngle = nullptr;
  TNumberBox *nbArcRadius = nullptr;

 private:
  QWidget *FTabs[4] = {};
};

}  // namespace quillon
