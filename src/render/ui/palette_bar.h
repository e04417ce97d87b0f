#pragma once
// TPaletteBar: the palette bar of the side panel (pnlPallet). Two panels of 60 pixels,
// pnlPalletLeft (#01-#05 under the digit keys 1-5, then #11-#25) and pnlPalletRight
// (#06-#10 under 6-9 and 0, then #26-#40, #37-#40 marked "*"), hold the 40 palette boxes
// pbPallet00 ... pbPallet39; below them the "Edit Palette" button opens the line-type
// editor. The boxes paint their line type's sample stroke and turn mouse presses into the
// palette commands.
#include <QWidget>

#include <array>

class QMenu;
class QPushButton;

namespace quillon {

class TEditor;
class TfrmEditPallet;

// One palette box (40 x 15 pixels) showing the line type of its index.
class TPalletBox : public QWidget {
  Q_OBJECT
 public:
  TPalletBox(TEditor &editor, int index, QWidget *parent);
  int index() const { return FIndex; }

 signals:
  // A press that asks for the line-type menu, at a screen point.
  void menuRequested(QPoint globalPos);
  // A press that may have changed the line types or the document.
  void pressed();

 protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;

 private:
  TEditor &FEditor;
  int FIndex;
};

class TPaletteBar : public QWidget {
  Q_OBJECT
 public:
  explicit TPaletteBar(TEditor &editor, QWidget *parent = nullptr);
  ~TPaletteBar() override;

  // Repaint request for both panels and so every box.
  void repaintPalettes();
  // The "Edit Palette" button: the line-type editor on the editor's line types.
  void btnEditPaletteClick();

  TPalletBox *palletBox(int index) const { return FBoxes.at(index); }
  // The line-type editor, made on the first btnEditPaletteClick; nullptr before.
  TfrmEditPallet *editPalletDialog() const { return FEditPallet; }

  QWidget *pnlPalletLeft = nullptr;
  QWidget *pnlPalletRight = nullptr;
  QPushButton *btnEditPalette = nullptr;
  QMenu *pmLinePalette = nullptr;

 private:
  // A row of a panel holding box `index`: inside a label of the digit key when `digitKey`
  // is given, else beside the mark `mark` (may be empty).
  QWidget *makeRow(QWidget *panel, int index, const QString &digitKey, const QString &mark);

  TEditor &FEditor;
  std::array<TPalletBox *, 40> FBoxes{};
  TfrmEditPallet *FEditPallet = nullptr;
};

}  // namespace quillon
