// The snap marks painted over a frame.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "render/snap_marks.h"
#include "shell/options.h"
#include "support/editor_fixture.h"
#include "shell/view_transform.h"

namespace quillon {
namespace {

class SnapMarksTest : public test::EditorTest {
 protected:
  void SetUp() override { image.fill(Qt::black); }
  QRgb at(int x, int y) const { return image.pixel(x, y); }
  QImage image{200, 200, QImage::Format_ARGB32};
};

TEST_F(SnapMarksTest, ExtraSnapPointsAreBlueDotsRingedInRed) {
  editor.snap().FSnapPoints = {{5.0f, 5.0f}};  // pixel (50, 50)
  {
    QPainter p(&image);
    drawSnapPoints(editor, p);
  }
  EXPECT_EQ(at(50, 50), qRgb(0, 0, 255));
  EXPECT_EQ(at(54, 50), qRgb(255, 0, 0));  // the ring of radius 4
  EXPECT_EQ(at(58, 50), qRgb(0, 0, 0));
}

TEST_F(SnapMarksTest, CurrentPointIsTheStickyPointUnlessCtrlIsHeld) {
  editor.pointer().FLastMousePos = {102.0f, 101.0f};
  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {10.0f, 10.0f};
  TPointF cur;
  {
    QPainter p(&image);
    cur = drawCurrentPoint(editor, p);
  }
  EXPECT_EQ(cur, (TPointF{10.0f, 10.0f}));
  EXPECT_NE(at(100, 100), qRgb(0, 0, 0));  // the handle-coloured mark
  EXPECT_EQ(at(110, 100), qRgb(0, 0, 0));

  editor.pointer().FLastShiftState = ssCtrl;
  EXPECT_EQ(currentToolPoint(editor), (TPointF{10.2f, 10.1f}));
  editor.pointer().FLastShiftState = 0;
  editor.snap().FStickyExists = false;
  EXPECT_EQ(currentToolPoint(editor), (TPointF{10.2f, 10.1f}));
}

TEST_F(SnapMarksTest, PointerMarkAndHighlightRings) {
  TQN_Path *line = addLine({10.0f, 10.0f}, {30.0f, 10.0f});
  (void)line;
  editor.display().FShowGrid = false;
  // Nothing to mark in the select tool without a drag.
  editor.pointer().FLastMousePos = {100.0f, 100.0f};
  {
    QPainter p(&image);
    drawPointerMark(editor, p);
  }
  EXPECT_EQ(image.pixel(107, 100), qRgb(0, 0, 0));

  // In the line tool the target under the pointer is ringed yellow (dark background) and
  // a target elsewhere green.
  editor.tool().FTool = TTool::Line;
  editor.display().FIsBlackBackgroundMode = true;
  {
    QPainter p(&image);
    drawPointerMark(editor, p);
  }
  EXPECT_EQ(at(107, 100), qRgb(255, 255, 0));
  editor.FOptions->HighlightSnapTargets = false;
  image.fill(Qt::black);
  {
    QPainter p(&image);
    drawPointerMark(editor, p);
  }
  EXPECT_EQ(at(107, 100), qRgb(0, 0, 0));
}

TEST_F(SnapMarksTest, ShapeDragShowsARingAtTheAnchor) {
  editor.pointer().FIsShapeDragging = true;
  editor.pointer().FIsRotationCenterSpecified = true;
  editor.pointer().FRotationCenter = {10.0f, 10.0f};
  editor.FOptions->HighlightSnapTargets = false;
  {
    QPainter p(&image);
    drawPointerMark(editor, p);
  }
  EXPECT_EQ(at(110, 100), qRgb(0, 0, 255));
  EXPECT_EQ(at(100, 100), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace quillon
