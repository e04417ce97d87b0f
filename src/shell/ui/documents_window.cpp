#include "shell/ui/documents_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "shell/ui/widget_names.h"

namespace quillon {

namespace {

const char *const kReadMeEn =
    "Quillon 3.7.9 for Linux\n"
    "\n"
    "Quillon draws leathercraft patterns in millimetres or inches: pieces made of lines, arcs,\n"
    "circles, ellipses, Bezier curves, dots and text, saved as project files (.qnd) and exported\n"
    "as SVG or DXF.\n"
    "\n"
    "In this version\n"
    "- The ribbon shows the settings of every drawing tool: line length and angle, rectangle and\n"
    "  ellipse size, arc radius, text size, rotation, font, stretch and radius, centre-line\n"
    "  divisions, distance marks and dimension options. Number boxes accept arithmetic such as\n"
    "  100/3 or (40-2*3)/2; Enter in the line length box gives the selected lines that length.\n"
    "- Every command has its key; the keys are listed in the README of the program.\n"
    "- File > Open New Window opens a further window with an empty drawing.\n";

const char *const kReadMeJa =
    "Quillon 3.7.9 (Linux 版)\n"
    "\n"
    "Quillon はミリまたはインチで革細工の型紙を描くプログラムです。直線、円弧、円、楕円、\n"
    "ベジェ曲線、点、文字で部品を描き、プロジェクトファイル (.qnd) に保存し、SVG や DXF に\n"
    "書き出します。\n"
    "\n"
    "この版では\n"
    "- リボンに各描画ツールの設定が並びます (線の長さと角度、四角形と楕円の寸法、円弧の半径、\n"
    "  文字の大きさ・回転・フォント・字間・半径、中心線の分割数、距離マーク、寸法線の設定)。\n"
    "  数値ボックスには 100/3 や (40-2*3)/2 のような計算式を入力できます。\n"
    "- すべてのコマンドにキーが割り当てられています。\n"
    "- [ファイル] > [新しいウィンドウを開く] で空の図面の新しいウィンドウが開きます。\n";

const char *const kLicenseEn =
    "Licence of Quillon\n"
    "\n"
    "You may use Quillon to design, print and export patterns for your own work and for work\n"
    "you sell, and you may give copies of the program to others unchanged.\n"
    "\n"
    "Quillon is provided as it is. Check every pattern against a measured print or a test\n"
    "piece before you cut leather: the authors accept no liability for material, time or\n"
    "other loss that results from using the program or from errors in it.\n";

const char *const kLicenseJa =
    "Quillon の使用条件\n"
    "\n"
    "Quillon は、ご自身の制作および販売する作品のために、型紙の設計・印刷・書き出しに\n"
    "自由にお使いいただけます。プログラムを変更せずに他の人へ配布することもできます。\n"
    "\n"
    "Quillon は現状のまま提供されます。革を裁断する前に、実寸の印刷または試作で型紙を\n"
    "必ず確認してください。本プログラムの使用またはその誤りにより生じた材料・時間その他の\n"
    "損失について、作者は責任を負いません。\n";

QPlainTextEdit *page(QStackedWidget *stack, const char *name, const char *text) {
  auto *memo = named(new QPlainTextEdit(QString::fromUtf8(text), stack), name);
  memo->setReadOnly(true);
  stack->addWidget(memo);
  return memo;
}

}  // namespace

TfrmDocuments::TfrmDocuments(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmDocuments"));
  setWindowTitle(QStringLiteral("Quillon Documents"));
  resize(768, 608);
  auto *layout = new QVBoxLayout(this);
  tabDocuments = named(new QStackedWidget(this), "tabDocuments");
  tabReadMe_ja = page(tabDocuments, "tabReadMe_ja", kReadMeJa);
  tabLicense_ja = page(tabDocuments, "tabLicense_ja", kLicenseJa);
  tabReadMe_en = page(tabDocuments, "tabReadMe_en", kReadMeEn);
  tabLicense_en = page(tabDocuments, "tabLicense_en", kLicenseEn);
  layout->addWidget(tabDocuments, 1);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btnRM_OK = named(new QPushButton(this), "btnRM_OK");
  btnRM_Cancel = named(new QPushButton(this), "btnRM_Cancel");
  buttons->addWidget(btnRM_OK);
  buttons->addWidget(btnRM_Cancel);
  layout->addLayout(buttons);
  connect(btnRM_OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnRM_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmDocuments::showPage(const QString &langID, QPlainTextEdit *japanese, QPlainTextEdit *english) {
  FLangID = langID;
  const bool ja = langID == QLatin1String("ja");
  setWindowTitle(ja ? QStringLiteral("リリースノート") : QStringLiteral("Release Notes"));
  tabDocuments->setCurrentWidget(ja ? japanese : english);
  btnRM_OK->setText(ja ? QStringLiteral("閉じる") : QStringLiteral("Close"));
  btnRM_Cancel->setText(ja ? QStringLiteral("キャンセル") : QStringLiteral("Cancel"));
  btnRM_Cancel->setEnabled(false);
  btnRM_OK->setDefault(true);
}

void TfrmDocuments::showReadMe(const QString &langID) { showPage(langID, tabReadMe_ja, tabReadMe_en); }

void TfrmDocuments::showLicense(const QString &langID) { showPage(langID, tabLicense_ja, tabLicense_en); }

}  // namespace quillon
