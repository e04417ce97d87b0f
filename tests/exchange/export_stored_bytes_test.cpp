// The whole export of a pattern drawing, compared byte for byte with files stored from an
// earlier export: chains in every direction, forks, groups, holes in and out of the hole
// colour, circles, ellipses, dots, a template outline, dashes, translucent colours and
// a second layer. Any change to the chain search, the writers or the number texts shows.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <ostream>
#include <random>
#include <vector>

#include "exchange/export.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/file_io.h"
#include "shell/options.h"
#include "shell/version.h"
#include "support/editor_fixture.h"
#include "support/test_env.h"

namespace quillon::test {

namespace {

struct TStoredExport {
  const char *format;  // "SVG" or "DXF"
  bool r14;
  bool asDots;
  bool dashes;
  const char *fixture;
  friend std::ostream &operator<<(std::ostream &os, const TStoredExport &c) { return os << c.fixture; }
};

// The version appears in the files' comments; the stored files hold a placeholder.
QByteArray withoutVersion(QByteArray bytes) {
  return bytes.replace(QByteArray(kQuillonVersion), QByteArrayLiteral("@VERSION@"));
}

}  // namespace

class ExportStoredBytes : public EditorTest, public ::testing::WithParamInterface<TStoredExport> {
 protected:
  std::mt19937 rng{2112};

  // A coordinate in tenths of a millimetre from the generator, so the drawing is the same
  // on every platform.
  float jitter(int tenths) { return static_cast<float>(static_cast<int>(rng() % (2 * tenths + 1)) - tenths) / 10.0f; }

  std::unique_ptr<TQN_Path> shape(int pallet, TAlphaColor color, TStrokeDash dash) {
    return std::make_unique<TQN_Path>(pallet, color, 1.2f, dash, doc().getNextID());
  }

  // One piece: a rounded rectangle (lines and quarter arcs) with a curved flap on top,
  // every third part drawn against the outline's direction. The parts come back in
  // drawing order for the caller to shuffle.
  std::vector<std::unique_ptr<TQN_Path>> piece(TPointF at, float w, float h, float r, int pallet, TAlphaColor color,
                                               TStrokeDash dash) {
    std::vector<std::unique_ptr<TQN_Path>> parts;
    const TPointF a{at.X + r, at.Y}, b{at.X + w - r, at.Y}, c{at.X + w, at.Y + r}, d{at.X + w, at.Y + h - r},
        e{at.X + w - r, at.Y + h}, f{at.X + r, at.Y + h}, g{at.X, at.Y + h - r}, k{at.X, at.Y + r};
    const auto line = [&](TPointF p, TPointF q) {
      auto s = shape(pallet, color, dash);
      if (parts.size() % 3 == 2)
        s->drawLinePath(q, p);
      else
        s->drawLinePath(p, q);
      parts.push_back(std::move(s));
    };
    const auto corner = [&](TPointF centre, TPointF p, TPointF q) {
      auto s = shape(pallet, color, dash);
      if (parts.size() % 3 == 2)
        s->drawArcPath(centre, {r, r}, q, p, -90.0f);
      else
        s->drawArcPath(centre, {r, r}, p, q, 90.0f);
      parts.push_back(std::move(s));
    };
    // The flap: two curves over the top edge.
    const TPointF mid{(a.X + b.X) / 2, at.Y - h / 4 + jitter(5)};
    auto flap1 = shape(pallet, color, dash);
    flap1->drawBezierPath(a, {a.X, mid.Y}, {mid.X - w / 6, mid.Y}, mid);
    parts.push_back(std::move(flap1));
    auto flap2 = shape(pallet, color, dash);
    flap2->drawBezierPath(b, {b.X, mid.Y}, {mid.X + w / 6, mid.Y}, mid);  // against the direction
    parts.push_back(std::move(flap2));
    corner({b.X, c.Y}, b, c);
    line(c, d);
    corner({e.X, d.Y}, d, e);
    line(e, f);
    corner({f.X, g.Y}, f, g);
    line(g, k);
    corner({a.X, k.Y}, k, a);
    return parts;
  }

  void addHoleRow(TPointF from, TPointF step, int count, TAlphaColor color) {
    for (int i = 0; i < count; ++i) {
      TQN_Path *h = addHole(from + TPointF{step.X * static_cast<float>(i), step.Y * static_cast<float>(i)});
      h->FColor = color;
      h->FDash = i % 4 == 0 ? TStrokeDash::Dash : TStrokeDash::Solid;
    }
  }

  void buildDrawing() {
    editor.display().FColor_StitchingHole = 0xFFCC3300;
    doc().addLayer(3, QStringLiteral("lining"), true);

    std::vector<std::unique_ptr<TQN_Path>> parts;
    for (auto &p : piece({10, 20}, 120, 80, 8, 0, 0xFF202020, TStrokeDash::Solid)) parts.push_back(std::move(p));
    for (auto &p : piece({150, 20}, 60, 90, 5, 1, 0x80FF0000, TStrokeDash::Dash)) parts.push_back(std::move(p));
    std::vector<std::unique_ptr<TQN_Path>> grouped = piece({10, 130}, 90, 40, 6, 0, 0xFF0000FF, TStrokeDash::DashDot);
    for (auto &p : grouped) p->FGroupID = 900;
    for (auto &p : grouped) parts.push_back(std::move(p));
    // A fork: three lines from one point (the earlier in the document continues).
    for (const TPointF end : {TPointF{250, 10}, TPointF{250, 40}, TPointF{230, 50}}) {
      auto s = shape(0, 0xFF202020, TStrokeDash::Solid);
      s->drawLinePath({230, 20}, end);
      parts.push_back(std::move(s));
    }
    // Gaps just inside and just outside the join tolerance.
    for (const float gap : {0.05f, 0.3f}) {
      auto s = shape(2, 0xFF00AA00, TStrokeDash::Dot);
      s->drawLinePath({260, 60 + gap * 100}, {280, 60 + gap * 100});
      parts.push_back(std::move(s));
      auto t = shape(2, 0xFF00AA00, TStrokeDash::Dot);
      t->drawLinePath({280 + gap, 60 + gap * 100}, {300, 75});
      parts.push_back(std::move(t));
    }
    std::shuffle(parts.begin(), parts.end(), rng);
    for (std::size_t i = 0; i < parts.size(); ++i) editor.doc().add(std::move(parts[i]), i % 7 == 3 ? 3 : 0);

    addHoleRow({14, 24}, {4, 0}, 28, 0xFFCC3300);
    addHoleRow({154, 24}, {0, 4.5f}, 20, 0xFF00FF00);  // written in the hole colour
    addHoleRow({14, 96}, {3.85f, 0.1f}, 30, 0xFFCC3300);

    auto circle = shape(0, 0xFF202020, TStrokeDash::Solid);
    circle->drawEllipsePath({60, 60}, 12, 12);
    editor.doc().add(std::move(circle), 0);
    auto ellipse = shape(1, 0xC0008080, TStrokeDash::DashDotDot);
    ellipse->drawEllipsePath({180, 140}, 30, 14);
    ellipse->SetRotation(25.0f);
    editor.doc().add(std::move(ellipse), 3);
    auto dot = shape(0, 0xFF202020, TStrokeDash::Solid);
    dot->drawDotPath({100, 60}, 1.5f);
    editor.doc().add(std::move(dot), 0);
    auto bigArc = shape(0, 0xFF202020, TStrokeDash::Solid);
    bigArc->drawArcPath({250, 150}, {20, 20}, {270, 150}, rotatePointWithMatrix({270, 150}, 250.0f, {250, 150}), 250.0f);
    editor.doc().add(std::move(bigArc), 0);

    // A template outline: lines, a curve and a close.
    auto other = shape(0, 0xFF404040, TStrokeDash::Solid);
    TPathData data;
    data.MoveTo({120, 150});
    data.LineTo({140, 150});
    data.CurveTo({145, 155}, {145, 165}, {140, 170});
    data.LineTo({120, 170});
    data.ClosePath();
    other->setData(data);
    other->FShapeType = TShapeKind::Other;
    editor.doc().add(std::move(other), 0);
  }
};

TEST_P(ExportStoredBytes, APatternDrawingIsWrittenAsStored) {
  const TStoredExport &c = GetParam();
  buildDrawing();
  editor.FOptions->UseDXFR14 = c.r14;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("out"));
  const int written = exportVisibleShapes(editor, path, c.asDots, true, true, QString::fromLatin1(c.format),
                                          {.DoNotOutputStrokeDash = !c.dashes});
  EXPECT_EQ(written, doc().Count());
  const QByteArray actual = withoutVersion(readWholeFile(path));
  const QByteArray expected = readWholeFile(fixturePath(QStringLiteral("exchange/") + QString::fromLatin1(c.fixture)));
  if (actual != expected) {
    // Left beside the test's temporary files for a look at the difference.
    const QString kept = QString::fromStdString(::testing::TempDir()) + QString::fromLatin1(c.fixture);
    QFile out(kept);
    if (out.open(QIODevice::WriteOnly)) out.write(actual);
    FAIL() << "the export differs from the stored file; written to " << kept.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportStoredBytes,
    ::testing::Values(TStoredExport{"SVG", false, true, false, "pattern_dots.svg"},
                      TStoredExport{"SVG", false, false, true, "pattern_outlines_dashes.svg"},
                      TStoredExport{"DXF", false, true, true, "pattern_r12.dxf"},
                      TStoredExport{"DXF", true, false, true, "pattern_r14.dxf"}));

}  // namespace quillon::test
