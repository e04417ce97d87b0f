#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "shell/editor.h"
#include "shell/options.h"
#include "shell/ui/main_window.h"
#include "shell/ui/number_box.h"
#include "stitching/pricking_iron.h"
#include "support/test_env.h"
#include "tools/tool_change.h"

namespace quillon {

void writeAnsweredSettings();  // main_window_test.cpp

namespace {

class PrickingPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeAnsweredSettings();
    window = std::make_unique<TfrmQuil>(QStringList{QStringLiteral("--instance-id"), QStringLiteral("7")});
    window->show();
    window->toolButton(TTool::Stitch)->click();
    settle();
    tree = child<QTreeWidget>("tvPrickingIrons");
    ASSERT_NE(tree, nullptr);
  }
  void TearDown() override { window.reset(); }
  static void settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
  }
  template <class T>
  T *child(const char *name) {
    return window->findChild<T *>(QString::fromLatin1(name));
  }
  TEditor &editor() { return window->editor(); }
  QTreeWidgetItem *topItem(const QString &text) {
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
  }
  void click(QTreeWidgetItem *item) {
    emit tree->itemClicked(item, 0);
    settle();
  }

  std::unique_ptr<TfrmQuil> window;
  QTreeWidget *tree = nullptr;
};

TEST_F(PrickingPanelsTest, TheIronTreeShowsTheGroupsAndChoosesTheIron) {
  EXPECT_EQ(tree->parentWidget()->objectName(), QStringLiteral("TabPrickingIrons"));
  EXPECT_TRUE(tree->isVisible());
  ASSERT_EQ(tree->topLevelItemCount(), 20);
  // At start-up the Diamond 4mm iron with one prong is chosen and its item selected.
  ASSERT_NE(tree->currentItem(), nullptr);
  EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Diamond 4mm(1)"));
  EXPECT_TRUE(topItem(QStringLiteral("Diamond 4mm"))->isExpanded());

  // A collapsed group item: the others collapse, it opens and its first prong is chosen.
  QTreeWidgetItem *french = topItem(QStringLiteral("French 4mm"));
  ASSERT_NE(french, nullptr);
  click(french);
  EXPECT_TRUE(french->isExpanded());
  EXPECT_FALSE(topItem(QStringLiteral("Diamond 4mm"))->isExpanded());
  EXPECT_EQ(tree->currentItem(), french->child(0));
  EXPECT_EQ(editor().tool().FSelectedPrickingIron->Name, "French 4mm");
  EXPECT_EQ(editor().tool().FSelectedNumOfBlades, 1);
  EXPECT_DOUBLE_EQ(child<TNumberBox>("nbFixedPitchLen1")->value(), 4.0);

  // A prong item chooses that prong count; an open group item does nothing.
  click(french->child(2));  // French 4mm(5)
  EXPECT_EQ(french->child(2)->text(0), QStringLiteral("French 4mm(5)"));
  EXPECT_EQ(editor().tool().FSelectedNumOfBlades, 5);
  click(french);
  EXPECT_EQ(editor().tool().FSelectedNumOfBlades, 5);

  // Keys typed in the tree are the window's hot keys.
  const bool grid = editor().display().FShowGrid;
  QKeyEvent key(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, QStringLiteral("g"));
  QApplication::sendEvent(tree, &key);
  settle();
  EXPECT_NE(editor().display().FShowGrid, grid);
}

TEST_F(PrickingPanelsTest, TheRibbonControlsSetTheStitchingState) {
  EXPECT_EQ(window->tabConTop->currentWidget()->objectName(), QStringLiteral("tabTop_Pricking"));
  auto *reverse = child<QCheckBox>("chkInverted");
  auto *fixed = child<QRadioButton>("rbFixedPitch");
  auto *autoPitch = child<QRadioButton>("rbAutoPitchAdjust");
  auto *pitch = child<TNumberBox>("nbFixedPitchLen1");
  auto *holes = child<TNumberBox>("nbNumOfStitchingHoles");
  auto *mode = child<QComboBox>("cmbCornerMode");
  auto *angle = child<TNumberBox>("nbCornerAngle");
  auto *reduce = child<QCheckBox>("chkReduceOneBlade");
  for (QWidget *w : std::initializer_list<QWidget *>{reverse, fixed, autoPitch, pitch, holes, mode, angle, reduce})
    ASSERT_NE(w, nullptr);
  EXPECT_EQ(reverse->text(), QStringLiteral("Reverse"));
  EXPECT_EQ(mode->itemText(0), QStringLiteral("SmartCorner"));

  reverse->click();
  EXPECT_TRUE(editor().tool().FIsInvertedStitchMode);

  fixed->click();
  settle();
  EXPECT_EQ(editor().panel().PitchMode, TPitchMode::Fixed);
  EXPECT_TRUE(pitch->isEnabled());
  EXPECT_FALSE(holes->isEnabled());
  pitch->setValue(3.5);
  EXPECT_EQ(editor().panel().FixedPitchLen, 3.5f);
  autoPitch->click();
  settle();
  EXPECT_FALSE(pitch->isEnabled());

  holes->setValue(24);
  settle();
  EXPECT_EQ(editor().panel().NumOfStitchingHoles, 24);
  EXPECT_TRUE(child<QRadioButton>("rbSetNumOfHoles")->isChecked());
  EXPECT_TRUE(holes->isEnabled());

  EXPECT_TRUE(angle->isEnabled());
  mode->setCurrentIndex(1);
  settle();
  EXPECT_EQ(editor().panel().CornerModeIndex, 1);
  EXPECT_EQ(editor().FOptions->AutoPrickMode, 1);
  EXPECT_FALSE(angle->isEnabled());
  mode->setCurrentIndex(0);
  angle->setValue(150);
  EXPECT_EQ(editor().panel().CornerAngle, 150.0f);

  editor().tool().FSelectedNumOfBlades = 4;
  reduce->click();
  EXPECT_TRUE(editor().panel().ReduceOneBlade);
  EXPECT_EQ(editor().tool().FNextHoleCnt, 3);
}

}  // namespace
}  // namespace quillon
