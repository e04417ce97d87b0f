#pragma once
// TfrmAbout ("About Quillon..."): a small borderless window with the program's emblem, its
// version "ver3.7.9", a credit line and OK. Made on first use and kept.
#include <QDialog>

class QLabel;
class QPushButton;

namespace quillon {

class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAbout(QWidget *parent = nullptr);

  QLabel *imgLogo = nullptr;
  QLabel *lblVersion = nullptr;
  QLabel *lblCredit = nullptr;
  QPushButton *btnOK = nullptr;
};

}  // namespace quillon
