#pragma once
// TLayerPanel: the layer panel of the side panel. From top to bottom the check box
// chkHighlightActiveLayer ("No layer highlight"), a header with the caption lblLayerCaption
// ("Layer") and the buttons btnAddLayer ("+") and btnDeleteLayer ("-"), and the list
// lbLayers with one checkable row per layer (independent layers "** name **" in red), the
// active layer's row selected, and the popup menu pmnLayerList.
//
// The list shows the editor's rows (shell/layer_list.h) and turns the mouse into the
// list's events: a press on a row's check box changes that layer's visibility only, a
// press on its text makes its layer active, a double click on the text shows only that
// layer (or, when all are shown, nothing changes).
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

namespace quillon {

class TEditor;

class TLayerPanel : public QWidget {
  Q_OBJECT
 public:
  TLayerPanel(TEditor &editor, QWidget *parent);

  // Shows the editor's rows, selection and highlight switch.
  void sync();
  QMenu *popupMenu() const { return pmnLayerList; }
  QListWidget *list() const { return lbLayers; }

  QCheckBox *chkHighlightActiveLayer = nullptr;
  QLabel *lblLayerCaption = nullptr;
  QPushButton *btnAddLayer = nullptr;
  QPushButton *btnDeleteLayer = nullptr;

 signals:
  // Something the editor shows elsewhere may have changed (the canvas, the menus).
  void changed();

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  // Runs a list event guarded, then shows the result.
  void run(const char *what, const std::function<void()> &body);
  // Whether the point of the list's viewport lies on the check box of its row.
  bool onCheckBox(int row, QPoint at) const;

  TEditor &FEditor;
  QListWidget *lbLayers = nullptr;
  QMenu *pmnLayerList = nullptr;
};

}  // namespace quillon
