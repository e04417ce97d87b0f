// SVG export: the shape writers, the chain search and the export command, checked on the
// files a user would get (parsed with pugixml) and, where installed, with rsvg-convert.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <ostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "exchange/export.h"
#include "exchange/svg_writer.h"
#include "model/point_helpers.h"
#include "platform/json_text.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/options.h"
#include "support/editor_fixture.h"
#include "support/test_env.h"

namespace quillon::test {

namespace {

// One command of an SVG path: its letter and its points.
struct TPathCmd {
  char Letter;
  std::vector<TPointF> Points;
};

// Reads path data of the form the export writes: "M1,2 L3,4 C5,6 7,8 9,10 ".
std::vector<TPathCmd> parsePath(const std::string &d) {
  std::vector<TPathCmd> cmds;
  std::istringstream in(d);
  std::string token;
  while (in >> token) {
    if (std::isalpha(static_cast<unsigned char>(token[0]))) {
      cmds.push_back({token[0], {}});
      token.erase(0, 1);
      if (token.empty()) continue;
    }
    const auto comma = token.find(',');
    cmds.back().Points.push_back({std::stof(token.substr(0, comma)), std::stof(token.substr(comma + 1))});
  }
  return cmds;
}

TPointF cubicAt(TPointF p0, TPointF p1, TPointF p2, TPointF p3, double t) {
  const double u = 1 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, e = t * t * t;
  return {static_cast<float>(a * p0.X + b * p1.X + c * p2.X + e * p3.X),
          static_cast<float>(a * p0.Y + b * p1.Y + c * p2.Y + e * p3.Y)};
}

std::vector<pugi::xml_node> children(pugi::xml_node node) {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node c : node.children()) out.push_back(c);
  return out;
}

std::string attr(pugi::xml_node n, const char *name) { return n.attribute(name).value(); }

}  // namespace

class SvgExport : public EditorTest {
 protected:
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("out.svg"));
  pugi::xml_document svg;

  // Only the boxes of the test itself (start-up may ask its own questions).
  void SetUp() override { ui.boxKeys.clear(); }

  // A shape outside the document until addShape hands it over.
  TQN_Path *newShape(int pallet = 0, TAlphaColor color = 0xFFFFFFFF) {
    return keepBuilt(std::make_unique<TQN_Path>(pallet, color, 1.0f, TStrokeDash::Solid, doc().getNextID()));
  }
  TQN_Path *addShape(TQN_Path *s, int layer = 0) { return addBuilt(s, layer); }
  TQN_Path *addBezier(TPointF a, TPointF c1, TPointF c2, TPointF b) {
    auto *s = newShape();
    s->drawBezierPath(a, c1, c2, b);
    return addShape(s);
  }
  TQN_Path *addArc(TPointF center, float r, TPointF start, float sweep) {
    auto *s = newShape();
    s->drawArcPath(center, {r, r}, start, rotatePointWithMatrix(start, sweep, center), sweep);
    return addShape(s);
  }
  TQN_Path *addEllipse(TPointF c, float w, float h) {
    auto *s = newShape();
    s->drawEllipsePath(c, w, h);
    return addShape(s);
  }

  // exportVisibleShapes with the dialog's defaults unless changed.
  int exportSvg(TExportRunOptions run = {}, bool asDots = true, bool withTemplates = true, bool withText = true) {
    const int n = exportVisibleShapes(editor, path, asDots, withTemplates, withText, QStringLiteral("SVG"), run);
    if (n > 0) {
      const pugi::xml_parse_result r = svg.load_file(path.toStdString().c_str());
      EXPECT_TRUE(r) << r.description();
    }
    return n;
  }
  pugi::xml_node group() { return svg.child("svg").child("g"); }
  std::vector<pugi::xml_node> elements() { return children(group()); }

  // Every shape's stored form, the changed mark and the undo depth.
  std::string documentState() {
    std::string s;
    for (TQN_Path *p : doc()) s += p->toJson().dump() + '\n';
    return s + (doc().IsChanged ? "changed" : "unchanged") + std::to_string(undoStates());
  }
};

TEST_F(SvgExport, RootCarriesTheBoundsInMillimetresAndTheShapesGoIntoOneGroup) {
  addLine({2, 3}, {12, 3});
  addLine({2, 3}, {2, 8.5f})->FPalletIndex = 1;  // another line type: not joined
  ASSERT_EQ(exportSvg(), 2);

  const QByteArray bytes = [&] {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
  }();
  EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\"?>")) << bytes.left(60).toStdString();
  EXPECT_TRUE(bytes.contains("\n  <desc>")) << "two blanks per nesting level";

  const pugi::xml_node root = svg.child("svg");
  ASSERT_TRUE(root);
  EXPECT_EQ(attr(root, "xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_EQ(attr(root, "xmlns:svg"), "http://www.w3.org/2000/svg");
  EXPECT_EQ(attr(root, "width"), "10.000mm");
  EXPECT_EQ(attr(root, "height"), "5.500mm");
  EXPECT_EQ(attr(root, "version"), "1.1");
  EXPECT_EQ(attr(root, "viewBox"), "2.000 3.000 10.000 5.500");
  EXPECT_EQ(attr(root, "preserveAspectRatio"), "none");
  const auto top = children(root);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_STREQ(top[0].name(), "desc");
  EXPECT_STREQ(top[0].child_value(), "Created with Quillon v3.7.9");
  EXPECT_STREQ(top[1].name(), "g");
  EXPECT_FALSE(top[1].first_attribute());
  ASSERT_EQ(elements().size(), 2u);
  const pugi::xml_node line = elements()[0];
  EXPECT_STREQ(line.name(), "line");
  EXPECT_EQ(attr(line, "x1") + "," + attr(line, "y1") + " " + attr(line, "x2") + "," + attr(line, "y2"),
            "2.000,3.000 12.000,3.000");
  EXPECT_EQ(attr(line, "stroke"), "White");
  EXPECT_EQ(attr(line, "stroke-width"), "0.100");
  EXPECT_FALSE(line.attribute("fill"));
}

// Two LINEs of one line type and stroke, the second starting `gap` away from the end of
// the first along y.
struct JoinCase {
  float gap;
  bool joined;
  friend std::ostream &operator<<(std::ostream &os, const JoinCase &c) { return os << "gap " << c.gap; }
};

class SvgExportJoin : public SvgExport, public ::testing::WithParamInterface<JoinCase> {};

TEST_P(SvgExportJoin, LinesCloserThanTheToleranceBecomeOnePath) {
  const JoinCase c = GetParam();
  addLine({0, 0}, {10, 0});
  addLine({10, c.gap}, {20, c.gap});
  ASSERT_EQ(exportSvg(), 2) << "every chain member counts";
  const auto e = elements();
  if (c.joined) {
    ASSERT_EQ(e.size(), 1u);
    EXPECT_STREQ(e[0].name(), "path");
    EXPECT_EQ(attr(e[0], "d"), "M0.000,0.000 L10.000,0.000 L20.000," + fixedText(c.gap, 3) + " ");
    EXPECT_EQ(attr(e[0], "fill"), "none");
    EXPECT_EQ(attr(e[0], "stroke"), "#FFFFFF");
    EXPECT_EQ(attr(e[0], "stroke-width"), "0.100");
  } else {
    ASSERT_EQ(e.size(), 2u);
    EXPECT_STREQ(e[0].name(), "line");
    EXPECT_STREQ(e[1].name(), "line");
  }
}

// 0.2f is exactly the tolerance: not joined.
INSTANTIATE_TEST_SUITE_P(SvgExportGaps, SvgExportJoin,
                         ::testing::Values(JoinCase{0.0f, true}, JoinCase{0.1f, true}, JoinCase{0.19f, true},
                                           JoinCase{0.2f, false}, JoinCase{0.5f, false}));

TEST_F(SvgExport, AGapOfOneTenthAlongTheLineIsJoined) {
  addLine({0, 0}, {10, 0});
  addLine({10.1f, 0}, {20, 0});
  ASSERT_EQ(exportSvg(), 2);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(attr(elements()[0], "d"), "M0.000,0.000 L10.000,0.000 L20.000,0.000 ");
}

TEST_F(SvgExport, ABezierMeetingTheLineEndIsTurnedRoundInTheFileButNotInTheDocument) {
  addLine({0, 0}, {10, 0});
  TQN_Path *b = addBezier({20, 0}, {17, 5}, {13, 5}, {10, 0});
  const std::string before = documentState();
  ASSERT_EQ(exportSvg(), 2);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(attr(elements()[0], "d"),
            "M0.000,0.000 L10.000,0.000 C13.000,5.000 17.000,5.000 20.000,0.000 ");
  // The document's curve still runs from (20, 0) to (10, 0); nothing is marked changed.
  EXPECT_EQ(b->FStartPt.X, 20.0f);
  EXPECT_EQ(b->FBezierCp1.X, 17.0f);
  EXPECT_EQ(documentState(), before);
}

TEST_F(SvgExport, ChainsFollowTheLineTypeForwardAndTheStrokeBackward) {
  // Forward: a red neighbour of the same line type joins; the path has the last stroke.
  addLine({0, 0}, {10, 0});
  addLine({10, 0}, {20, 0})->FColor = 0xFFFF0000;
  ASSERT_EQ(exportSvg(), 2);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(attr(elements()[0], "stroke"), "#FF0000");

  // Backward: the red line comes first; the white one before it is not joined backward,
  // and once the red line is written nothing continues it.
  editor.doc().clear();
  addLine({10, 0}, {20, 0})->FColor = 0xFFFF0000;
  addLine({0, 0}, {10, 0});
  ASSERT_EQ(exportSvg(), 2);
  const auto e = elements();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(attr(e[0], "stroke"), "Red");
  EXPECT_EQ(attr(e[1], "stroke"), "White");

  // Another line type never joins.
  editor.doc().clear();
  addLine({0, 0}, {10, 0});
  addLine({10, 0}, {20, 0}, 0, 3);
  ASSERT_EQ(exportSvg(), 2);
  EXPECT_EQ(elements().size(), 2u);
}

TEST_F(SvgExport, ATriangleIsOneClosedPathWhateverShapeComesFirst) {
  addLine({10, 0}, {5, 8});
  addLine({0, 0}, {10, 0});
  addLine({0, 0}, {5, 8});  // runs against the loop: turned round on the way
  const std::string before = documentState();
  ASSERT_EQ(exportSvg(), 3);
  ASSERT_EQ(elements().size(), 1u);
  const auto cmds = parsePath(attr(elements()[0], "d"));
  ASSERT_EQ(cmds.size(), 4u);
  EXPECT_EQ(cmds[0].Letter, 'M');
  for (int i = 1; i < 4; ++i) EXPECT_EQ(cmds[static_cast<std::size_t>(i)].Letter, 'L');
  EXPECT_TRUE(cmds[3].Points[0].exactlyEquals(cmds[0].Points[0])) << "ends at its start";
  EXPECT_EQ(documentState(), before);
}

TEST_F(SvgExport, AtAForkTheEarlierShapeOfTheDocumentContinuesTheChain) {
  // Both branches start within the tolerance of the trunk's end, on either side of it.
  for (bool upFirst : {true, false}) {
    editor.doc().clear();
    addLine({0, 0}, {10, 0});
    const TPointF up[2] = {{10.05f, 0}, {20, -5}}, down[2] = {{9.95f, 0}, {20, 5}};
    const TPointF *first = upFirst ? up : down, *second = upFirst ? down : up;
    addLine(first[0], first[1]);
    addLine(second[0], second[1]);
    ASSERT_EQ(exportSvg(), 3);
    const auto e = elements();
    ASSERT_EQ(e.size(), 2u);
    const auto cmds = parsePath(attr(e[0], "d"));
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[2].Points[0].Y, first[1].Y) << (upFirst ? "up first" : "down first");
    EXPECT_EQ(attr(e[1], "y2"), fixedText(second[1].Y, 3));
  }
}

TEST_F(SvgExport, GroupsComeFirstInOrderOfFirstOccurrenceAndNeverJoinEachOther) {
  addLine({0, 0}, {10, 0});                     // ungrouped, touches group 5
  addLine({10, 0}, {20, 0})->FGroupID = 5;
  addLine({100, 0}, {110, 0})->FGroupID = 7;
  addLine({20, 0}, {30, 0})->FGroupID = 5;
  ASSERT_EQ(exportSvg(), 4);
  const auto e = elements();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(attr(e[0], "d"), "M10.000,0.000 L20.000,0.000 L30.000,0.000 ");
  EXPECT_EQ(attr(e[1], "x1"), "100.000");
  EXPECT_EQ(attr(e[2], "x1"), "0.000");
}

TEST_F(SvgExport, StitchingHolesAreWrittenInTheHoleColourAsDotsOrOutlines) {
  editor.display().FColor_StitchingHole = 0xFFFF0000;
  TQN_Path *hole = addHole({5, 5});
  hole->FColor = 0xFF00FF00;
  hole->FDash = TStrokeDash::Dash;
  ASSERT_EQ(exportSvg({.DoNotOutputStrokeDash = false}), 1);
  pugi::xml_node e = elements().at(0);
  EXPECT_STREQ(e.name(), "circle");
  EXPECT_EQ(attr(e, "cx") + " " + attr(e, "cy") + " " + attr(e, "r"), "5.000 5.000 0.50");
  EXPECT_EQ(attr(e, "stroke"), "Red");
  EXPECT_FALSE(e.attribute("stroke-dasharray")) << "a dot has no dash";
  EXPECT_EQ(hole->FColor, 0xFF00FF00u) << "the document keeps the hole's own colour";

  ASSERT_EQ(exportSvg({.DoNotOutputStrokeDash = false}, /*asDots=*/false), 1);
  e = elements().at(0);
  EXPECT_STREQ(e.name(), "path");
  EXPECT_EQ(attr(e, "d"), hole->Data().toText());
  EXPECT_EQ(attr(e, "stroke-dasharray"), "3 1");
  EXPECT_EQ(attr(e, "stroke"), "Red");
}

TEST_F(SvgExport, ShapesLeftOutByTheSelectionRules) {
  TQN_Path *plain = addLine({0, 0}, {10, 0});
  doc().addLayer(4, QStringLiteral("hidden"), false);
  addLine({0, 10}, {10, 10}, 4);                   // hidden layer
  addLine({0, 20}, {10, 20}, 0, 2);                // line type #03, hidden below
  TQN_Path *dim = addLine({0, 30}, {10, 30}, 0, 5);
  dim->FIsDimensionLine = true;
  editor.pen().FPalletList[2]->FIsVisible = false;

  editor.display().FShowDimensionShapes = false;
  EXPECT_EQ(exportSvg(), 1);
  EXPECT_EQ(exportSvg({.DoNotExportHiddenLineType = false}), 2) << "the hidden line type is written";
  editor.display().FShowDimensionShapes = true;
  EXPECT_EQ(exportSvg(), 2) << "shown dimension line, text shapes included";
  EXPECT_EQ(exportSvg({}, true, true, /*withText=*/false), 1) << "left out at the head of its group";
  plain->SetSelected(true);
  EXPECT_EQ(exportSvg({.ExportOnlySelected = true}), 1);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(attr(elements()[0], "y1"), "0.000");
}

TEST_F(SvgExport, AChainReachesADimensionLineThatTheHeadFilterWouldDrop) {
  addLine({0, 0}, {10, 0});
  addLine({10, 0}, {20, 0})->FIsDimensionLine = true;
  ASSERT_EQ(exportSvg({}, true, true, /*withText=*/false), 2);
  ASSERT_EQ(elements().size(), 1u);
  EXPECT_EQ(attr(elements()[0], "d"), "M0.000,0.000 L10.000,0.000 L20.000,0.000 ");
}

TEST_F(SvgExport, BoundsIncludeShapesThatTheHeadFiltersLeaveOut) {
  addLine({0, 0}, {10, 0});
  auto *outline = newShape();
  outline->setData(TPathData::fromText("M0,0 L50,0 L50,40 L0,40 Z"));
  addShape(outline);
  ASSERT_EQ(exportSvg({}, true, /*withTemplates=*/false), 1);
  EXPECT_EQ(attr(svg.child("svg"), "viewBox"), "0.000 0.000 50.000 40.000");
  EXPECT_EQ(elements().size(), 1u);
}

TEST_F(SvgExport, TranslucentColoursAreWrittenAsRgbWithAnOpacity) {
  addLine({0, 0}, {10, 0})->FColor = 0x80FF8000;
  addLine({0, 5}, {10, 5}, 0, 1)->FColor = 0xFF0000FF;  // opaque: no opacity
  TQN_Path *a = addLine({0, 9}, {10, 9}, 0, 2);
  TQN_Path *b = addLine({10, 9}, {20, 9}, 0, 2);
  a->FColor = b->FColor = 0x40102030;
  ASSERT_EQ(exportSvg(), 4);
  const auto e = elements();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(attr(e[0], "stroke"), "#FF8000");
  EXPECT_EQ(attr(e[0], "stroke-opacity"), "0.502");
  EXPECT_EQ(attr(e[1], "stroke"), "Blue");
  EXPECT_FALSE(e[1].attribute("stroke-opacity"));
  EXPECT_STREQ(e[2].name(), "path");
  EXPECT_EQ(attr(e[2], "stroke"), "#102030");
  EXPECT_EQ(attr(e[2], "stroke-opacity"), "0.251");
}

TEST_F(SvgExport, EllipsesCirclesAndDotsKeepTheirSizeAndRotation) {
  TQN_Path *ellipse = addEllipse({5, 6}, 20, 8);
  ellipse->SetRotation(30.0f);
  addEllipse({40, 6}, 10, 10)->SetRotation(45.0f);  // a circle: its rotation shows nothing
  auto *dot = newShape();
  dot->drawDotPath({60, 6}, 2.0f);
  addShape(dot);
  ASSERT_EQ(exportSvg(), 3);
  const auto e = elements();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_STREQ(e[0].name(), "ellipse");
  EXPECT_EQ(attr(e[0], "rx") + " " + attr(e[0], "ry"), "10.000 4.000");
  EXPECT_EQ(attr(e[0], "transform"), "rotate(30.000 5.000 6.000)");
  EXPECT_STREQ(e[1].name(), "circle");
  EXPECT_EQ(attr(e[1], "r"), "5.000");
  EXPECT_FALSE(e[1].attribute("transform"));
  EXPECT_STREQ(e[2].name(), "circle");
  EXPECT_EQ(attr(e[2], "r"), "0.50") << "a dot is written with the dot size, not its own";
}

// Arcs up to 180 degrees are written as cubics of at most 90 degrees each, every one close
// to the circle; longer arcs as their outline.
struct ArcCase {
  float sweep;
  int cubics;  // 0: written as its outline
  friend std::ostream &operator<<(std::ostream &os, const ArcCase &c) { return os << "sweep " << c.sweep; }
};

class SvgExportArc : public SvgExport, public ::testing::WithParamInterface<ArcCase> {};

TEST_P(SvgExportArc, ArcsStayOnTheirCircle) {
  const ArcCase c = GetParam();
  const TPointF center{50, 50};
  const float r = 20;
  TQN_Path *arc = addArc(center, r, {70, 50}, c.sweep);
  ASSERT_EQ(exportSvg(), 1);
  const pugi::xml_node e = elements().at(0);
  EXPECT_STREQ(e.name(), "path");
  if (c.cubics == 0) {
    EXPECT_EQ(attr(e, "d"), arc->Data().toText());
    return;
  }
  const auto cmds = parsePath(attr(e, "d"));
  ASSERT_EQ(cmds.size(), static_cast<std::size_t>(c.cubics) + 1);
  ASSERT_EQ(cmds[0].Letter, 'M');
  TPointF from = cmds[0].Points.at(0);
  EXPECT_NEAR(calcDistance(from, center), r, 1e-3);
  for (std::size_t i = 1; i < cmds.size(); ++i) {
    ASSERT_EQ(cmds[i].Letter, 'C');
    ASSERT_EQ(cmds[i].Points.size(), 3u);
    for (double t : {0.25, 0.5, 0.75})
      EXPECT_NEAR(calcDistance(cubicAt(from, cmds[i].Points[0], cmds[i].Points[1], cmds[i].Points[2], t), center), r,
                  0.001 * r)
          << "piece " << i << " at t=" << t;
    from = cmds[i].Points[2];
  }
  EXPECT_NEAR(from.X, arc->FEndPt.X, 1e-3);
  EXPECT_NEAR(from.Y, arc->FEndPt.Y, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(SvgExportSweeps, SvgExportArc,
                         ::testing::Values(ArcCase{45, 1}, ArcCase{90, 1}, ArcCase{-120, 2}, ArcCase{180, 3},
                                           ArcCase{180.5f, 0}, ArcCase{300, 0}));

TEST_F(SvgExport, PathPiecesOfEachKind) {
  TQN_Path line(0, 0xFF000000, 1, TStrokeDash::Solid, 1);
  line.drawLinePath({1, 1}, {12.5f, 3});
  EXPECT_EQ(ToSVG_path(line, true), "L12.500,3.000 ");
  EXPECT_EQ(ToSVG_path(line, false), "M1.000,1.000 L12.500,3.000 ");

  TQN_Path bezier(0, 0xFF000000, 1, TStrokeDash::Solid, 2);
  bezier.drawBezierPath({0, 0}, {1, 0}, {2, 1}, {2, 2});
  EXPECT_EQ(ToSVG_path(bezier, false), "M0.000,0.000 C1.000,0.000 2.000,1.000 2.000,2.000 ");

  TQN_Path ellipse(0, 0xFF000000, 1, TStrokeDash::Solid, 3);
  ellipse.drawEllipsePath({5, 5}, 4, 2);
  EXPECT_EQ(ToSVG_path(ellipse, false), "M3.000,5.000 ");
  EXPECT_EQ(ToSVG_path(ellipse, true), "");

  // Arcs: one "C" per piece of at most 90 degrees; only the first piece has an "M".
  for (const auto &[sweep, pieces] : std::vector<std::pair<float, int>>{{90, 1}, {100, 2}, {360, 5}}) {
    TQN_Path arc(0, 0xFF000000, 1, TStrokeDash::Solid, 4);
    arc.drawArcPath({0, 0}, {10, 10}, {10, 0}, rotatePointWithMatrix({10, 0}, sweep, {0, 0}), sweep);
    const std::string withM = ToSVG_path(arc, false);
    const auto cmds = parsePath(withM);
    ASSERT_EQ(cmds.size(), static_cast<std::size_t>(pieces) + 1) << sweep << ": " << withM;
    EXPECT_EQ(cmds[0].Letter, 'M');
    EXPECT_EQ(withM.substr(0, 17), "M10.0000,0.0000 C") << "four decimals";
    const auto skipped = parsePath(ToSVG_path(arc, true));
    ASSERT_EQ(skipped.size(), static_cast<std::size_t>(pieces));
    EXPECT_EQ(skipped[0].Letter, 'C');
    EXPECT_EQ(arc.FSweepAngle, sweep) << "the shape itself is not cut";
  }
}

TEST_F(SvgExport, DashPatternsOnlyWhenAsked) {
  const std::pair<TStrokeDash, const char *> cases[] = {{TStrokeDash::Solid, nullptr},
                                                        {TStrokeDash::Dash, "3 1"},
                                                        {TStrokeDash::Dot, "1"},
                                                        {TStrokeDash::DashDot, "3 1 1 1"},
                                                        {TStrokeDash::DashDotDot, "3 1 1 1 1 1"},
                                                        {TStrokeDash::Custom, nullptr}};
  for (int i = 0; i < 6; ++i) {
    const float y = static_cast<float>(i) * 10.0f;
    addLine({0, y}, {10, y}, 0, i)->FDash = cases[i].first;
  }
  ASSERT_EQ(exportSvg({.DoNotOutputStrokeDash = false}), 6);
  auto e = elements();
  ASSERT_EQ(e.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    const pugi::xml_attribute a = e[static_cast<std::size_t>(i)].attribute("stroke-dasharray");
    if (cases[i].second)
      EXPECT_STREQ(a.value(), cases[i].second) << i;
    else
      EXPECT_FALSE(a) << i;
  }
  ASSERT_EQ(exportSvg(), 6);
  for (pugi::xml_node n : elements()) EXPECT_FALSE(n.attribute("stroke-dasharray"));
}

// The export command with a scripted options dialog.
class TScriptedExportDialog : public ISVGExportOptionsDialog {
 public:
  TSVGExportOptionsValues state;
  bool accept = true;
  std::function<void(TSVGExportOptionsValues &)> user;  // what the user changes
  int shown = 0;
  TSVGExportOptionsValues lastShown;

  TSVGExportOptionsValues values() const override { return state; }
  bool execute(TSVGExportOptionsValues &v) override {
    ++shown;
    lastShown = v;
    if (user) user(v);
    state = v;
    return accept;
  }
};

TEST_F(SvgExport, CommandWithOnlySelectedAndNothingSelectedWritesNoFile) {
  addLine({0, 0}, {10, 0});
  TScriptedExportDialog dialog;
  dialog.state.chkSVGOPT_ExportOnlySelected = true;
  ui.fileAnswers.push_back(path);
  actExportAsSVGExecute(editor, TExportFormat::SVG, dialog);
  EXPECT_EQ(ui.boxKeys, QStringList{QStringLiteral("NothingToExport")});
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_TRUE(dialog.lastShown.chkSVGOPT_ExportOnlySelected) << "the run-only choice is kept";
}

TEST_F(SvgExport, CommandOnAnEmptyDocumentShowsNoDialog) {
  TScriptedExportDialog dialog;
  actExportAsSVGExecute(editor, TExportFormat::SVG, dialog);
  EXPECT_EQ(ui.boxKeys, QStringList{QStringLiteral("NothingToExport")});
  EXPECT_EQ(dialog.shown, 0);
}

TEST_F(SvgExport, CommandStoresTheChoicesAndExports) {
  addLine({0, 0}, {10, 0});
  TQN_Options &o = *editor.FOptions;
  o.SVGDotRadius = 0.75f;
  o.SVG_as_dots = false;
  o.UseDXFR14 = false;
  TScriptedExportDialog dialog;
  dialog.user = [](TSVGExportOptionsValues &v) {
    v.nbSVGDotRadius = 2.0;
    v.rbHole_AsIs = false;
    v.rbHole_AsDot = true;
    v.chkSVG_Out_Text = true;
  };

  // Cancelling the save dialog keeps the stored choices.
  actExportAsSVGExecute(editor, TExportFormat::SVG, dialog);
  EXPECT_EQ(dialog.lastShown.Caption, QStringLiteral("SVG Export Options"));
  EXPECT_FALSE(dialog.lastShown.DxfControlsVisible);
  EXPECT_DOUBLE_EQ(dialog.lastShown.nbSVGDotRadius, 1.5);
  EXPECT_TRUE(dialog.lastShown.rbHole_AsIs);
  EXPECT_TRUE(dialog.lastShown.rbDxfR12);
  EXPECT_FLOAT_EQ(o.SVGDotRadius, 1.0f);
  EXPECT_TRUE(o.SVG_as_dots);
  EXPECT_TRUE(o.SVG_with_text_shapes);
  EXPECT_TRUE(ui.boxKeys.isEmpty());

  // Cancelling the options dialog changes nothing.
  dialog.accept = false;
  dialog.user = [](TSVGExportOptionsValues &v) { v.nbSVGDotRadius = 0.5; };
  ui.fileAnswers.push_back(path);
  actExportAsSVGExecute(editor, TExportFormat::DXF, dialog);
  EXPECT_EQ(dialog.lastShown.Caption, QStringLiteral("DXF Export Options"));
  EXPECT_TRUE(dialog.lastShown.DxfControlsVisible);
  EXPECT_FLOAT_EQ(o.SVGDotRadius, 1.0f);
  EXPECT_FALSE(QFileInfo::exists(path));

  // A name without extension gets the format's.
  dialog.accept = true;
  dialog.user = nullptr;
  ui.fileAnswers.clear();
  ui.fileAnswers.push_back(dir.filePath(QStringLiteral("drawing")));
  actExportAsSVGExecute(editor, TExportFormat::SVG, dialog);
  EXPECT_EQ(ui.boxKeys, QStringList{QStringLiteral("ExportedAsSVG")});
  // The message says what happened, then names the file.
  EXPECT_EQ(ui.boxTexts.last(), "Exported as SVG format:\n" + dir.filePath(QStringLiteral("drawing.svg")));
  // An untitled document was proposed for export in the Documents folder.
  EXPECT_EQ(ui.savePropositions.first(), test::testDocumentsDir());
  EXPECT_TRUE(svg.load_file(dir.filePath(QStringLiteral("drawing.svg")).toStdString().c_str()));
  EXPECT_STREQ(svg.child("svg").child("g").first_child().name(), "line");
}

TEST_F(SvgExport, WritingIntoAMissingFolderThrowsAndLeavesNoSuccessBox) {
  addLine({0, 0}, {10, 0});
  TScriptedExportDialog dialog;
  ui.fileAnswers.push_back(dir.filePath(QStringLiteral("missing/out.svg")));
  EXPECT_THROW(actExportAsSVGExecute(editor, TExportFormat::SVG, dialog), std::runtime_error);
  EXPECT_TRUE(ui.boxKeys.isEmpty());
}

// A drawing with every kind of shape renders with librsvg.
TEST_F(SvgExport, EveryShapeKindRendersWithRsvg) {
  const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
  if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";

  addLine({0, 0}, {30, 0});
  addLine({30, 0}, {30, 20});                           // joined
  addBezier({0, 30}, {10, 20}, {20, 40}, {30, 30})->FColor = 0x80FF0000;
  addArc({50, 50}, 10, {60, 50}, 120);
  addArc({80, 50}, 10, {90, 50}, 270);
  addEllipse({20, 60}, 20, 10)->SetRotation(25);
  addEllipse({50, 20}, 8, 8);
  auto *dot = newShape();
  dot->drawDotPath({70, 10}, 1);
  addShape(dot);
  addHole({75, 10});
  addHole({78, 10})->FDash = TStrokeDash::Dash;
  auto *text = newShape();
  text->drawTextPath(QStringLiteral("Quillon"), {0, 80}, 8, 0, QStringLiteral("DejaVu Sans"), 0, 1);
  addShape(text);
  auto *outline = newShape();
  outline->setData(TPathData::fromText("M90,70 L100,70 L100,80 Z"));
  addShape(outline);
  for (TQN_Path *s : doc()) s->FDash = s->isKind(TShapeKind::Hole) ? s->FDash : TStrokeDash::DashDot;

  for (bool dots : {true, false}) {
    ASSERT_EQ(exportSvg({.DoNotOutputStrokeDash = false}, dots), doc().Count());
    QStringList kinds;
    for (pugi::xml_node n : elements()) kinds << QString::fromLatin1(n.name());
    EXPECT_EQ(kinds.size(), doc().Count() - 1) << kinds.join(' ').toStdString();

    const QString png = dir.filePath(QStringLiteral("out.png"));
    QProcess p;
    p.start(rsvg, {QStringLiteral("-o"), png, path});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_GT(QFileInfo(png).size(), 0);
  }
}

// A drawing without height (one horizontal line) would give a zero-height picture, which
// SVG renders as nothing: the side is widened to 1 mm about the line.
TEST_F(SvgExport, AFlatDrawingGetsAOneMillimetreSideAndRenders) {
  addLine({2, 3}, {12, 3});
  ASSERT_EQ(exportSvg(), 1);
  const pugi::xml_node root = svg.child("svg");
  EXPECT_EQ(attr(root, "width"), "10.000mm");
  EXPECT_EQ(attr(root, "height"), "1.000mm");
  EXPECT_EQ(attr(root, "viewBox"), "2.000 2.500 10.000 1.000");

  const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
  if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
  const QString png = dir.filePath(QStringLiteral("flat.png"));
  QProcess p;
  p.start(rsvg, {QStringLiteral("-o"), png, path});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_GT(QFileInfo(png).size(), 0);
}

}  // namespace quillon::test
