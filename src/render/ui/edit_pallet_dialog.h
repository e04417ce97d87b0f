#pragma once
// TfrmEditPallet: the modal line-type editor. It edits working copies of the 40 line
// types; nothing reaches the editor's list until the window closes with OK (the copies are
// copied back) or "Default" (the built-in values are restored). applyEditPalletResult does
// that part.
#include <QDialog>

#include "platform/geometry.h"
#include "render/palette_commands.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace quillon {

class TEditor;
class TColorQuad;
class THueBar;
class TColorBox;

class TfrmEditPallet : public QDialog {
  Q_OBJECT
 public:
  // The dialog result of the "Default" button.
  static constexpr int kDefaultResult = 2;

  explicit TfrmEditPallet(QWidget *parent = nullptr);
  ~TfrmEditPallet() override;

  // Sets the texts of the current language (labels by their translation keys).
  void translate(const TEditor &editor);
  // Drops the old working copies and makes a copy of every line type of `list`; the combo
  // box lists them and shows the first.
  void setPalletList(const TPalletList &list);
  // Copies every working copy back into the line type of the same index of `list`.
  void copyTo(TPalletList &list) const;
  const TPalletList &palletList() const { return FPalletList; }
  // The working copy chosen in the combo box; nullptr when there is none.
  TDrawPallet *selectedPallet() const;
  // How a closed window's dialog result reads: Accepted is OK, Rejected (also the close
  // box) is Cancel, anything else is "Default".
  static TEditPalletResult resultOf(int dialogResult);

  QLabel *lblEP_LineType = nullptr;
  QLabel *lblEP_Color = nullptr;
  QLabel *lblEP_Thickness = nullptr;
  QLabel *lblEP_Pattern = nullptr;
  QComboBox *cmbLineTypeNum = nullptr;
  TColorQuad *ColorQuad1 = nullptr;
  THueBar *ColorPicker1 = nullptr;
  TColorBox *ColorBox1 = nullptr;
  QSpinBox *nbPaletteR = nullptr;
  QSpinBox *nbPaletteG = nullptr;
  QSpinBox *nbPaletteB = nullptr;
  QLineEdit *edColor = nullptr;
  QDoubleSpinBox *nbThickness = nullptr;
  QRadioButton *rbSolid = nullptr;
  QRadioButton *rbDash = nullptr;
  QRadioButton *rbDot = nullptr;
  QRadioButton *rbDashDot = nullptr;
  QRadioButton *rbDashDotDot = nullptr;
  QCheckBox *chkIgnoreInPrinting = nullptr;
  QWidget *pbExample = nullptr;
  QPushButton *btnOK = nullptr;
  QPushButton *btnCancel = nullptr;
  QPushButton *btnDefault = nullptr;

 private:
  void cmbLineTypeNumChange(int index);
  void updatePallet(bool updateColorText);
  // The R, G and B boxes, and with withHexText the hex box, from the colour box.
  void updateColorValues(bool withHexText = true);
  void edColorChange(const QString &text);
  void setControlsColor(TAlphaColor color);

  TPalletList FPalletList;
  bool FUpdating = false;
};

}  // namespace quillon
