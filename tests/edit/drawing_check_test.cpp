// The drawing check: the warnings of each kind at their edges, their order and
// de-duplication, the candidates, the refresh after edits and the context-menu test.
#include "edit/drawing_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "i18n/phrase_format.h"
#include "model/intersection.h"
#include "model/shape_list.h"
#include "shell/options.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "support/lint_shapes.h"
#include "tools/pointer.h"

namespace quillon {
namespace {

using test::nearPoint;

class DrawingCheckTest : public test::LintTest {
 protected:
  // A line of 100 mm from the origin whose measured angle is `degrees` or the nearest
  // single-precision slope not above it.
  TQN_Path *addLineAtAngle(double degrees, TPointF from = {0, 0}) {
    const double rad = degrees * std::numbers::pi / 180.0;
    TPointF end(from.X + float(100.0 * std::cos(rad)), from.Y + float(100.0 * std::sin(rad)));
    TQN_Path *line = addLine(from, end);
    while (calcLineAngle(*line) > float(degrees)) {
      end.Y = std::nextafter(end.Y, -1e9f);
      line->drawLinePath(from, end);
    }
    return line;
  }
};

TEST_F(DrawingCheckTest, AxisWarningBetweenZeroAndHalfADegree) {
  struct Case {
    double degrees;
    bool warns;
  } const cases[] = {{0.5, true}, {0.50001, false}, {0.0, false}, {0.3, true}, {89.7, true}, {1.0, false}};
  for (const Case &c : cases) {
    editor.doc().clear();
    addLineAtAngle(c.degrees);
    const auto w = check();
    EXPECT_EQ(count(w, TLintKind::lkAxis), c.warns ? 1 : 0) << c.degrees;
    if (c.warns && !w.empty()) {
      const double rad = c.degrees * std::numbers::pi / 180;  // at the line's midpoint
      EXPECT_TRUE(nearPoint(w[0].Point, {float(50 * std::cos(rad)), float(50 * std::sin(rad))}, 1e-2));
    }
  }
  // 89.7 degrees is 0.3 off vertical; the text says so.
  editor.doc().clear();
  addLineAtAngle(89.7);
  const auto w = check();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_TRUE(w[0].Info.startsWith(QStringLiteral("Off-axis by 0.3000 deg  endpoints (0.00000, 0.00000)-")))
      << w[0].Info.toStdString();

  // A free-angle line is no warning, but the context menu still offers the fix.
  editor.doc().clear();
  TQN_Path *free = addLineAtAngle(0.3);
  free->FIsFreeAngle = true;
  EXPECT_TRUE(check().empty());
  EXPECT_TRUE(hasDrawingIssue(editor, free));
}

TEST_F(DrawingCheckTest, GapWarningBetweenTwentiethAndFifthOfAMillimetre) {
  // The ends are compared as the program stores them (single precision): each base is
  // chosen so that the stored distance is the stated one or just under it.
  struct Case {
    float base, gapEnd;
    bool warns;
  } const cases[] = {{20.0f, 20.05f, false}, {10.0f, 10.1f, true}, {10.0f, 10.2f, true}, {10.0f, 10.2001f, false}};
  for (const Case &c : cases) {
    editor.doc().clear();
    addLine({0, 0}, {c.base, 0});
    addLine({c.gapEnd, 0}, {c.gapEnd, 10});  // at right angles, so no T-gap is in play
    const auto w = check();
    ASSERT_EQ(count(w, TLintKind::lkGap), c.warns ? 1 : 0) << c.gapEnd;
    EXPECT_EQ(w.size(), c.warns ? 1u : 0u) << c.gapEnd;
    if (c.warns) {
      EXPECT_TRUE(nearPoint(w[0].Point, {(c.base + c.gapEnd) / 2, 0}));
      EXPECT_TRUE(w[0].Info.startsWith(QStringLiteral("Gap 0.")));
    }
  }
}

TEST_F(DrawingCheckTest, GapsBridgedOrMetTwiceAndEllipseEnds) {
  // A short line already closes the gap.
  addLine({0, 0}, {10, 0});
  addLine({10.1f, 0}, {10.1f, 10});
  addLine({10.005f, 0}, {10.1f, 0.005f});
  EXPECT_EQ(count(check(), TLintKind::lkGap), 0);

  // One gap seen from two partners whose midpoints lie within 0.05: listed once.
  editor.doc().clear();
  addLine({0, 0}, {10, 0});
  addLine({10.1f, 0}, {10.1f, 10});
  addLine({10.1f, 0.01f}, {20, 10});
  EXPECT_EQ(count(check(), TLintKind::lkGap), 1);

  // An ellipse's start near a line end is no gap of the check, but the line is offered the fix.
  editor.doc().clear();
  auto e = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  e->drawEllipsePath({20, 0}, 20, 20);
  TQN_Path *ellipse = editor.doc().add(std::move(e), 0);
  TQN_Path *line = addLine(ellipse->FStartPt + TPointF(0, -0.1f), ellipse->FStartPt + TPointF(0, -20));
  EXPECT_EQ(count(check(), TLintKind::lkGap), 0);
  EXPECT_TRUE(hasDrawingIssue(editor, line));
}

TEST_F(DrawingCheckTest, TGapsAtTheFootOnLinesAndArcs) {
  addLine({0, 0}, {20, 0});
  addLine({10, 10}, {10, 0.1f});
  auto w = check();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].Kind, TLintKind::lkTGap);
  EXPECT_TRUE(nearPoint(w[0].Point, {10, 0}));
  EXPECT_TRUE(w[0].Info.startsWith(QStringLiteral("T-junction gap 0.1000 mm  endpoint (10.00000, 0.10000)")));

  // A foot within 0.05 of the line's end is no T-gap (the ends are a gap instead).
  editor.doc().clear();
  addLine({0, 0}, {20, 0});
  addLine({0.03f, 10}, {0.03f, 0.1f});
  EXPECT_EQ(count(check(), TLintKind::lkTGap), 0);

  // An end 0.15 outside the middle of a half circle.
  editor.doc().clear();
  addArc({0, 0}, 10, {10, 0}, {-10, 0}, 180);
  addLine({0, 30}, {0, 10.15f});
  w = check();
  ASSERT_EQ(count(w, TLintKind::lkTGap), 1);
  EXPECT_TRUE(nearPoint(w.back().Point, {0, 10}));
}

TEST_F(DrawingCheckTest, OverlapAtEndsOfBothShapes) {
  addLine({0, 0}, {10.03f, 0});
  addLine({10, -10}, {10, 0.03f});
  const auto w = check();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].Kind, TLintKind::lkOverlap);
  EXPECT_TRUE(nearPoint(w[0].Point, {10, 0}));
}

TEST_F(DrawingCheckTest, OrderIsAxisGapOverlapTGapAndNonCandidatesTakeNoPart) {
  addLine({10, 10}, {10, 0.1f});     // T-gap on the next line
  addLine({0, 0}, {20, 0});
  addLine({30, 0}, {40, 0});
  addLine({40.1f, 0}, {40.1f, 10});  // gap
  addLineAtAngle(0.3, {0, 50});      // axis
  addLine({60, 0}, {70.03f, 0});
  addLine({70, -10}, {70, 0.03f});  // overlap
  const auto w = check();
  ASSERT_EQ(w.size(), 4u);
  EXPECT_EQ(w[0].Kind, TLintKind::lkAxis);
  EXPECT_EQ(w[1].Kind, TLintKind::lkGap);
  EXPECT_EQ(w[2].Kind, TLintKind::lkOverlap);
  EXPECT_EQ(w[3].Kind, TLintKind::lkTGap);

  // The same defects on a hidden layer, as dimension lines, holes or texts: nothing.
  editor.doc().clear();
  const int hidden = doc().addLayer(5, QStringLiteral("hidden"), false);
  addLineAtAngle(0.3)->FLayerID = hidden;
  TQN_Path *dim = addLineAtAngle(0.3, {0, 20});
  dim->FIsDimensionLine = true;
  TQN_Path *text = addLineAtAngle(0.3, {0, 40});
  text->FShapeType = TShapeKind::Text;
  addHole({0.1f, 20});
  EXPECT_TRUE(check().empty());
  EXPECT_FALSE(hasDrawingIssue(editor, dim));
}

TEST_F(DrawingCheckTest, RefreshFollowsTheOptionAndEveryUndoStep) {
  addLineAtAngle(0.3);
  takeUndoSnapshot(editor, QStringLiteral("test"));
  EXPECT_EQ(editor.lint().FLintWarnings.size(), 1u);
  EXPECT_TRUE(editor.lint().ResolveAllEnabled);
  EXPECT_TRUE(editor.display().FShow_intersections);

  doc()[0]->drawLinePath({0, 0}, {100, 0});
  takeUndoSnapshot(editor, QStringLiteral("test"));
  EXPECT_TRUE(editor.lint().FLintWarnings.empty());
  EXPECT_FALSE(editor.lint().ResolveAllEnabled);

  undo(editor);  // back to the tilted line
  EXPECT_EQ(editor.lint().FLintWarnings.size(), 1u);

  toggleLintWarnings(editor);  // off: empty, and the whole-drawing fix stays offered
  EXPECT_FALSE(editor.FOptions->ShowLintWarnings);
  EXPECT_TRUE(editor.lint().FLintWarnings.empty());
  EXPECT_TRUE(editor.lint().ResolveAllEnabled);
  runDrawingCheck(editor);  // the automation route runs it whatever the option says
  EXPECT_EQ(editor.lint().FLintWarnings.size(), 1u);
  toggleLintWarnings(editor);
  EXPECT_EQ(editor.lint().FLintWarnings.size(), 1u);
}

TEST_F(DrawingCheckTest, RightClickOffersTheFixOnlyForAShapeWithAnIssue) {
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {0, 0};
  TQN_Path *tilted = addLineAtAngle(0.3, {0, 0});
  TQN_Path *clean = addLine({0, 20}, {100, 20});
  for (TQN_Path *s : {tilted, clean}) {
    s->SetSelected(true);
    const TPointF at = realToVirtual(editor.view(), (s->FStartPt + s->FEndPt) * 0.5f);
    pointerDown(editor, TMouseButton::Right, 0, at.X, at.Y);
    pointerUp(editor, TMouseButton::Right, 0, at.X, at.Y);
    EXPECT_EQ(editor.pointer().FLastRightClickMousePosItem, s);
    EXPECT_EQ(editor.lint().ResolveIssuesVisible, s == tilted);
  }
}

TEST_F(DrawingCheckTest, HoverTakesTheFirstWarningWithinFourteenPixels) {
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {0, 0};
  addLineAtAngle(0.3, {0, 0});     // axis warning at about (50, 0.26)
  addLineAtAngle(0.3, {0, 1.0f});  // at about (50, 1.26): 10 px below the first
  takeUndoSnapshot(editor, QStringLiteral("test"));
  ASSERT_EQ(editor.lint().FLintWarnings.size(), 2u);
  const TPointF second = realToVirtual(editor.view(), editor.lint().FLintWarnings[1].Point);
  updateLintHover(editor, second.X, second.Y);
  EXPECT_EQ(editor.display().FLintHoveredIndex, 0);
  updateLintHover(editor, second.X, second.Y + 13.0f);
  EXPECT_EQ(editor.display().FLintHoveredIndex, 1);
  updateLintHover(editor, second.X + 14.5f, second.Y);
  EXPECT_EQ(editor.display().FLintHoveredIndex, -1);
}

// The check written as the plain loops over all pairs, to hold the searches through the
// grids to the same warnings in the same order.
std::vector<TLintWarning> plainCheck(const TEditor &editor) {
  const TShapeList &doc = editor.doc().PathList();
  std::vector<TQN_Path *> c;
  for (TQN_Path *s : doc)
    if (isLintCandidate(doc, s)) c.push_back(s);
  std::vector<TLintWarning> out;
  const auto add = [&](TLintKind k, TPointF p, const char *key, std::initializer_list<double> v) {
    for (const TLintWarning &w : out)
      if (w.Kind == k && isNearPoint(w.Point, p)) return;
    out.push_back({p, k, formatPhrase(editor.tr(QString::fromLatin1(key)), v)});
  };
  const auto ends = [](const TQN_Path *s) { return std::array<TPointF, 2>{s->FStartPt, s->FEndPt}; };
  for (TQN_Path *s : c)
    if (s->isKind(TShapeKind::Line) && !s->FIsFreeAngle && isSlightlyOffAxis(calcLineAngle(*s)))
      add(TLintKind::lkAxis, (s->FStartPt + s->FEndPt) * 0.5f, "lintInfoAxis",
          {foldAngleToAxis(calcLineAngle(*s)), s->FStartPt.X, s->FStartPt.Y, s->FEndPt.X, s->FEndPt.Y});
  for (std::size_t i = 0; i < c.size(); ++i)
    for (std::size_t j = i + 1; j < c.size(); ++j) {
      if (!isLineArcOrBezier(c[i]) || !isLineArcOrBezier(c[j])) continue;
      for (const TPointF a : ends(c[i]))
        for (const TPointF b : ends(c[j])) {
          if (!isAlmostNearPoint(a, b)) continue;
          bool bridged = false;
          for (TQN_Path *k : c)
            bridged = bridged || (isCoincident(k->FStartPt, a) && isCoincident(k->FEndPt, b)) ||
                      (isCoincident(k->FEndPt, a) && isCoincident(k->FStartPt, b));
          if (!bridged) add(TLintKind::lkGap, (a + b) * 0.5f, "lintInfoGap", {calcDistance(a, b), a.X, a.Y, b.X, b.Y});
        }
    }
  const auto nearEnd = [](TPointF p, const TQN_Path *s) { return isNearPoint(p, s->FStartPt) || isNearPoint(p, s->FEndPt); };
  for (const TIntersection *x : editor.doc().FIntersections)
    if (x->FIsCrossing && isLintCandidate(doc, x->FPath1) && isLintCandidate(doc, x->FPath2) &&
        nearEnd(x->FPoint, x->FPath1) && nearEnd(x->FPoint, x->FPath2))
      add(TLintKind::lkOverlap, x->FPoint, "lintInfoOverlap", {x->FPoint.X, x->FPoint.Y});
  for (TQN_Path *s : c) {
    if (!isLineArcOrBezier(s)) continue;
    for (TQN_Path *l : c) {
      if (l == s || !l->isKind(TShapeKind::Line)) continue;
      for (const TPointF e : ends(s)) {
        const TPointF a = l->FStartPt, b = l->FEndPt;
        if (e.X < double(std::min(a.X, b.X)) - 0.2 || e.X > double(std::max(a.X, b.X)) + 0.2 ||
            e.Y < double(std::min(a.Y, b.Y)) - 0.2 || e.Y > double(std::max(a.Y, b.Y)) + 0.2)
          continue;
        const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, len2 = dx * dx + dy * dy;
        TPointF f = a;
        if (len2 > 0) {
          const double t = std::clamp(((double(e.X) - a.X) * dx + (double(e.Y) - a.Y) * dy) / len2, 0.0, 1.0);
          f = TPointF(float(a.X + t * dx), float(a.Y + t * dy));
        }
        const double d = calcDistance(e, f);
        if (d > 0.05 && d <= 0.2 && !nearEnd(f, l)) add(TLintKind::lkTGap, f, "lintInfoTGap", {d, e.X, e.Y});
      }
    }
    for (const TPointF e : ends(s)) {
      TPointF foot;
      if (findArcTGapPartner(doc, e, s, foot))
        add(TLintKind::lkTGap, foot, "lintInfoTGap", {calcDistance(e, foot), e.X, e.Y});
    }
  }
  return out;
}

TEST_F(DrawingCheckTest, GridSearchesGiveThePlainLoopsWarningsInOrder) {
  std::mt19937 rng(24);
  const float jitter[] = {0.0f, 0.03f, -0.08f, 0.1f, 0.15f, -0.19f, 0.3f};
  const auto lattice = [&] {
    return TPointF(float(rng() % 6) * 10.0f + jitter[rng() % 7], float(rng() % 6) * 10.0f + jitter[rng() % 7]);
  };
  for (int round = 0; round < 5; ++round) {
    editor.doc().clear();
    for (int i = 0; i < 160; ++i) {
      const TPointF a = lattice();
      switch (rng() % 4) {
        case 0: addLine(a, lattice()); break;
        case 1: addLine(a, a + TPointF(20.0f, 0.1f * float(rng() % 3))); break;  // near-axis lines
        case 2: addArc(a + TPointF(0, 10), 10, a, a + TPointF(10, 10), 90); break;
        default: addBezier(a, a + TPointF(3, 3), a + TPointF(6, -3), lattice()); break;
      }
    }
    const auto grid = check();
    const auto plain = plainCheck(editor);
    ASSERT_GT(plain.size(), 20u);
    ASSERT_EQ(grid.size(), plain.size()) << round;
    for (std::size_t k = 0; k < plain.size(); ++k) {
      EXPECT_EQ(grid[k].Kind, plain[k].Kind) << k;
      EXPECT_TRUE(grid[k].Point.exactlyEquals(plain[k].Point)) << k;
      EXPECT_EQ(grid[k].Info, plain[k].Info) << k;
    }
  }
}

// The check that runs after every edit keeps its findings and redoes only the shapes an
// edit reaches; after each of a series of edits of every sort it must give what the plain
// loops give on the drawing as it then is.
TEST_F(DrawingCheckTest, AfterEachEditTheKeptCheckGivesThePlainLoopsWarnings) {
  std::mt19937 rng(7);
  const float jitter[] = {0.0f, 0.03f, -0.08f, 0.1f, 0.15f, -0.19f, 0.3f};
  const auto lattice = [&] {
    return TPointF(float(rng() % 6) * 10.0f + jitter[rng() % 7], float(rng() % 6) * 10.0f + jitter[rng() % 7]);
  };
  const int side = doc().addLayer(3, QStringLiteral("side"), true);
  const auto addSome = [&] {
    const TPointF a = lattice();
    switch (rng() % 6) {
      case 0: return addLine(a, lattice(), rng() % 5 == 0 ? side : 0);
      case 1: return addLine(a, a + TPointF(20.0f, 0.1f * float(rng() % 3)));
      case 2: return addArc(a + TPointF(0, 10), 10, a, a + TPointF(10, 10), 90, rng() % 4 == 0 ? side : 0);
      case 3: return addBezier(a, a + TPointF(3, 3), a + TPointF(6, -3), lattice());
      case 4: return addLine(TPointF(a.X, -0.1f), TPointF(a.X + 0.12f, 60.0f));  // long, across many ends
      default: return addLine(a, a + TPointF(0.1f, 0.05f));  // short: it may bridge a gap
    }
  };
  for (int i = 0; i < 120; ++i) addSome();
  recordIntersections();
  takeUndoSnapshot(editor, QStringLiteral("test"));

  const auto pick = [&]() -> TQN_Path * {
    return doc().Count() ? doc()[int(rng() % unsigned(doc().Count()))] : nullptr;
  };
  std::size_t seen = 0;
  for (int step = 0; step < 80; ++step) {
    const unsigned edit = rng() % 9;
    switch (edit) {
      case 0: addSome(); break;
      case 1: if (TQN_Path *s = pick()) moveShapeEnd(*s, rng() % 2 == 0, lattice()); break;
      case 2: if (TQN_Path *s = pick()) editor.doc().remove(s); break;
      case 3: {  // a shape moved up or down the stacking order
        if (doc().Count() > 1)
          editor.doc().moveShape(int(rng() % unsigned(doc().Count())), int(rng() % unsigned(doc().Count())));
        break;
      }
      case 4: doc().SetlayerVisible(side, !doc().GetlayerVisible(side)); break;
      case 5: {  // inserted in the middle, as a paste does
        auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
        s->drawLinePath(lattice(), lattice());
        editor.doc().insert(int(rng() % unsigned(doc().Count() + 1)), std::move(s));
        break;
      }
      case 6: if (TQN_Path *s = pick()) s->FIsFreeAngle = !s->FIsFreeAngle; break;
      case 7: undo(editor); break;  // every shape a new copy
      default: redo(editor); break;
    }
    if (edit < 7) takeUndoSnapshot(editor, QStringLiteral("test"));  // runs the kept check
    const std::vector<TLintWarning> plain = plainCheck(editor);
    const std::vector<TLintWarning> &kept = editor.lint().FLintWarnings;
    seen += plain.size();
    ASSERT_EQ(kept.size(), plain.size()) << "step " << step << ", edit " << edit;
    for (std::size_t k = 0; k < plain.size(); ++k) {
      EXPECT_EQ(kept[k].Kind, plain[k].Kind) << step << " " << k;
      EXPECT_TRUE(kept[k].Point.exactlyEquals(plain[k].Point)) << step << " " << k;
      EXPECT_EQ(kept[k].Info, plain[k].Info) << step << " " << k;
    }
  }
  EXPECT_GT(seen, 80u * 20u);  // the drawing keeps plenty of warnings to get wrong
}

}  // namespace
}  // namespace quillon
