// The main window shows the document through its drawing box.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "render/ui/ruler_widget.h"
#include "shell/ui/canvas_widget.h"
#include "shell/ui/main_window.h"
#include "support/test_env.h"

namespace quillon {
namespace {

TEST(CanvasWidget, MainWindowShowsALineThroughItsDrawingBox) {
  // Answer the first-run download question in the settings file, so no box opens.
  {
    QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[LeatherSim]\nChoiseMade=1\n");
  }
  TfrmQuil window({QStringLiteral("--instance-id"), QStringLiteral("77")});
  auto *canvas = window.findChild<TCanvasWidget *>(QStringLiteral("pbox"));
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->objectName(), QStringLiteral("pbox"));
  window.show();

  TEditor &editor = window.editor();
  editor.display().FShowGrid = false;
  editor.pen().FPalletList[0]->FColor_BlackMode = 0xFFFFFFFF;
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {0.5f, 0.5f};
  auto line = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.5f, TStrokeDash::Solid, editor.doc().PathList().getNextID());
  line->drawLinePath({2, 3}, {12, 3});  // row 30, columns 20 .. 120
  editor.doc().add(std::move(line), 0);
  window.refreshCanvas();

  const QImage img = canvas->grab().toImage();
  ASSERT_GE(img.width(), 130);
  const qreal dpr = img.devicePixelRatio();
  auto at = [&](int x, int y) { return img.pixel(int(x * dpr), int(y * dpr)); };
  EXPECT_EQ(at(70, 30), 0xFFFFFFFFu);
  EXPECT_EQ(at(70, 36), 0xFF000000u);
  EXPECT_EQ(at(130, 30), 0xFF000000u);
  window.hide();
}

// A document with a line from -1e30 to 1e30 mm opens and the window paints a frame of it:
// drawing box and rulers, every loop bounded by the pixels it covers.
TEST(CanvasWidget, AHugeDrawingOpensAndPaintsAFrame) {
  {
    QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[LeatherSim]\nChoiseMade=1\n");
  }
  TfrmQuil window({test::fixturePath(QStringLiteral("documents/huge_line.qnd"))});
  window.resize(1280, 800);
  window.show();
  TEditor &editor = window.editor();
  ASSERT_EQ(editor.doc().PathList().Count(), 1);
  for (QWidget *w : {static_cast<QWidget *>(window.pbox), window.pbRulerX, window.pbRulerY}) {
    const QImage img = w->grab().toImage();
    EXPECT_FALSE(img.isNull()) << w->objectName().toStdString();
  }
  // View All shows it at the smallest scale, not at a scale of 0.
  EXPECT_FLOAT_EQ(editor.view().FScale, 0.1f);
  const auto *ruler = qobject_cast<TRulerWidget *>(window.pbRulerX);
  ASSERT_NE(ruler, nullptr);
  EXPECT_TRUE(ruler->lastPaint().Painted);
  EXPECT_LE(ruler->lastPaint().TickCount, window.pbRulerX->width() + 2);
  window.hide();
}

}  // namespace
}  // namespace quillon
