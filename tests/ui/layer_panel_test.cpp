// The layer panel as a user works it: the buttons, presses on a row's text and on its
// check box, a double click, the highlight switch; and the window's Layer menu with the
// list's popup menu and the keys.
#include "library/ui/layer_panel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <gtest/gtest.h>

#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/layer_list.h"
#include "shell/ui/main_window.h"
#include "support/editor_fixture.h"
#include "support/test_env.h"

namespace quillon {
namespace {

class LayerPanelTest : public test::EditorTest {
 protected:
  TLayerPanel panel{editor, nullptr};

  void SetUp() override {
    panel.resize(220, 300);
    panel.show();
    QTest::mouseClick(panel.btnAddLayer, Qt::LeftButton);
    QTest::mouseClick(panel.btnAddLayer, Qt::LeftButton);  // order 0, 2, 1
  }
  QListWidget *list() { return panel.list(); }
  QRect rowRect(int row) { return list()->visualItemRect(list()->item(row)); }
  // A press on the middle of a row's text, or on its check box at the row's left.
  void pressText(int row, bool twice = false) {
    const QPoint at(rowRect(row).right() - 20, rowRect(row).center().y());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
    if (twice) QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
  }
  void pressCheckBox(int row) {
    QStyleOptionViewItem option;
    option.initFrom(list());
    option.rect = rowRect(row);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box = list()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box.center());
  }
};

TEST_F(LayerPanelTest, RowsFollowTheLayersAndPressesChooseOrShow) {
  ASSERT_EQ(list()->count(), 3);
  EXPECT_EQ(list()->item(1)->text(), QStringLiteral("Layer 3"));
  EXPECT_EQ(list()->currentRow(), 0);
  EXPECT_TRUE(panel.btnDeleteLayer->isEnabled());

  // The text of a row makes its layer active.
  pressText(2);
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_EQ(list()->currentRow(), 2);
  // A check box changes that layer's visibility only.
  pressCheckBox(0);
  EXPECT_FALSE(doc().GetlayerVisible(0));
  EXPECT_EQ(list()->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_EQ(list()->currentRow(), 2);
  // A double click with a layer hidden shows only the clicked one.
  pressText(1, true);
  EXPECT_EQ(editor.FActiveLayer, 2);
  EXPECT_FALSE(doc().GetlayerVisible(0) || doc().GetlayerVisible(1));
  EXPECT_TRUE(doc().GetlayerVisible(2));
  EXPECT_EQ(list()->item(1)->checkState(), Qt::Checked);
  EXPECT_EQ(list()->item(2)->checkState(), Qt::Unchecked);

  // An independent layer's row is marked and red.
  doc().SetIsIndependentLayer(2, true);
  rebuildLayerList(editor);
  panel.sync();
  EXPECT_EQ(list()->item(1)->text(), QStringLiteral("** Layer 3 **"));
  EXPECT_EQ(list()->item(1)->foreground().color(), QColor(Qt::red));

  panel.chkHighlightActiveLayer->click();
  EXPECT_TRUE(editor.display().HighlightActiveLayer);
  QTest::mouseClick(panel.btnDeleteLayer, Qt::LeftButton);
  EXPECT_EQ(list()->count(), 2);
  QTest::mouseClick(panel.btnDeleteLayer, Qt::LeftButton);
  EXPECT_EQ(list()->count(), 1);
  EXPECT_FALSE(panel.btnDeleteLayer->isEnabled());
}

TEST(LayerMenu, MenuAndPopupHoldTheSameItemsWithTheirKeys) {
  // No first-run question.
  QFile ini(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[LeatherSim]\nChoiseMade=1\n");
  ini.close();
  TfrmQuil window({QStringLiteral("--instance-id"), QStringLiteral("31")});
  QMenu *menu = window.findChild<QMenu *>(QStringLiteral("miLayer"));
  QMenu *popup = window.findChild<QMenu *>(QStringLiteral("pmnLayerList"));
  ASSERT_TRUE(menu && popup);
  EXPECT_EQ(menu->title(), QStringLiteral("&Layer"));
  const auto names = [](const QMenu *m) {
    QStringList list;
    for (const QAction *a : m->actions()) list << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    return list;
  };
  EXPECT_EQ(names(popup), names(menu));
  EXPECT_EQ(names(menu), (QStringList{"actLayer_AddNewLayer", "actLayer_DeleteLayer", "-", "actLayer_ChangeName",
                                "actLayer_MoveUp", "actLayer_MoveDown", "actLayer_ToggleIndependentLayer", "-",
                                "actLayer_HideOtherLayers", "actLayer_ShowAllLayers", "actLayer_IgnoreLayer",
                                "actLayer_HighlightShapesOnCurrentLayer", "-", "actLayer_MergeIntoBelow",
                                "actLayer_FlattenAllLayers", "-", "actLayer_MoveSelectedShapesToTheLayerBelow",
                                "actLayer_DuplicateSelectedShapesOnBelowLayer", "actLayer_MoveToAnotherLayer"}));
  const auto action = [&](const char *name) { return window.findChild<QAction *>(QString::fromLatin1(name)); };
  EXPECT_EQ(action("actLayer_AddNewLayer")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+N")));
  EXPECT_EQ(action("actLayer_DuplicateSelectedShapesOnBelowLayer")->shortcut(),
            QKeySequence(QStringLiteral("Ctrl+Alt+S")));
  EXPECT_EQ(action("actLayer_MoveDown")->text(), QStringLiteral("Move layer one down"));
  // One layer: the commands that need two are off.
  EXPECT_FALSE(action("actLayer_FlattenAllLayers")->isEnabled());
  EXPECT_FALSE(action("actLayer_DeleteLayer")->isEnabled());
  action("actLayer_AddNewLayer")->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(action("actLayer_FlattenAllLayers")->isEnabled());
  EXPECT_EQ(window.findChild<QListWidget *>(QStringLiteral("lbLayers"))->count(), 2);
  // The shapes' context menu has the Layer submenu.
  QMenu *shapes = window.findChild<QMenu *>(QStringLiteral("actLayer"));
  ASSERT_TRUE(shapes);
  EXPECT_EQ(shapes->actions().size(), 4);
  EXPECT_EQ(shapes->actions().front()->objectName(), QStringLiteral("actLayer_ActivateLayerOfSelectedShape"));
}

}  // namespace
}  // namespace quillon
