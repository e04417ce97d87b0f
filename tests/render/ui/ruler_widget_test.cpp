// The ruler widgets beside the drawing box.
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "render/ui/ruler_widget.h"
#include "shell/editor.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using RulerWidgetTest = test::EditorTest;

TEST_F(RulerWidgetTest, NamedTwentyFivePixelsThickAndPaintedByTheRulerRoutine) {
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {0.5f, 0.5f};
  editor.pointer().FLastMousePos = {-100.0f, -100.0f};
  const struct {
    bool horizontal;
    const char *name;
  } cases[] = {{true, "pbRulerX"}, {false, "pbRulerY"}};
  for (const auto &c : cases) {
    TRulerWidget ruler(editor, c.horizontal);
    EXPECT_EQ(ruler.objectName(), QString::fromLatin1(c.name));
    ruler.resize(300, 300);
    EXPECT_EQ(c.horizontal ? ruler.height() : ruler.width(), kRulerThickness);
    EXPECT_EQ(c.horizontal ? ruler.width() : ruler.height(), 300);

    const QImage img = ruler.grab().toImage();
    EXPECT_TRUE(ruler.lastPaint().Painted);
    EXPECT_FLOAT_EQ(ruler.lastPaint().GridTick, 1.0f);
    // Dark background between ticks; a major tick across the ruler at 10 mm (pixel 100).
    const QPoint between = c.horizontal ? QPoint(135, 22) : QPoint(22, 135);
    EXPECT_EQ(img.pixel(between), 0xFF303030);
    const QPoint tick = c.horizontal ? QPoint(100, 21) : QPoint(21, 100);
    EXPECT_GT(qRed(img.pixel(tick)), 0x30 + 25);
  }
}

}  // namespace
}  // namespace quillon
