// The SVG/DXF export options window.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "exchange/ui/svg_export_options_dialog.h"

namespace quillon {
namespace {

// The window keeps one size and its buttons keep their place, whichever DXF version is
// chosen and whether the SVG or the DXF export shows it.
TEST(SvgExportOptionsWindow, KeepsItsSizeAndButtonsWhateverIsChosen) {
  TfrmSVGExportOptions dialog;
  TSVGExportOptionsValues dxf = dialog.values();
  dxf.DxfControlsVisible = true;
  dxf.rbDxfR12 = false;
  dxf.rbDxfR14 = true;
  TSVGExportOptionsValues svg = dxf;
  svg.DxfControlsVisible = false;

  dialog.setValues(dxf);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QApplication::processEvents();
  const QSize size = dialog.size();
  const QPoint button = dialog.Button1->mapTo(&dialog, QPoint(0, 0));
  const auto unchanged = [&](const char *step) {
    QApplication::processEvents();
    EXPECT_EQ(dialog.size(), size) << step;
    EXPECT_EQ(dialog.Button1->mapTo(&dialog, QPoint(0, 0)), button) << step;
  };

  QTest::mouseClick(dialog.rbDxfR12, Qt::LeftButton);
  ASSERT_TRUE(dialog.rbDxfR12->isChecked());
  unchanged("R12");
  QTest::mouseClick(dialog.rbDxfR14, Qt::LeftButton);
  ASSERT_TRUE(dialog.rbDxfR14->isChecked());
  unchanged("R14");

  // The SVG export hides the DXF choices but keeps their room, and back again.
  dialog.hide();
  dialog.setValues(svg);
  dialog.show();
  EXPECT_TRUE(dialog.rbDxfR12->isHidden());
  unchanged("SVG");
  dialog.hide();
  dialog.setValues(dxf);
  dialog.show();
  unchanged("DXF again");
  QTest::mouseClick(dialog.rbDxfR12, Qt::LeftButton);
  unchanged("R12 again");
}

}  // namespace
}  // namespace quillon
