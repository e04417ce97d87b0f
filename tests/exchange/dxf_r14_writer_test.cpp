#include "exchange/dxf_r14_writer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/number_text.h"
#include "support/test_env.h"

namespace quillon {
namespace {

using Lines = std::vector<std::string>;

constexpr TStrokeDash kDashes[] = {TStrokeDash::Solid, TStrokeDash::Dash, TStrokeDash::Dot,
                                   TStrokeDash::DashDot, TStrokeDash::DashDotDot, TStrokeDash::Custom};

// Every kind of entity in each of its forms, on several layers and line types, with
// coordinates that need all their digits: the file a mixed drawing gives.
template <typename Writer>
void addMixedEntities(Writer &w) {
  const QString layers[] = {QString(), QStringLiteral("Cut"), QStringLiteral("0"), QStringLiteral("Stitch"),
                            QStringLiteral("Cut")};
  const QString lineTypes[] = {QString(), QStringLiteral("hidden"), QStringLiteral("HIDDEN"), QStringLiteral("Center")};
  const int colours[] = {256, 1, 7, 0, -3};
  for (int i = 0; i < 60; ++i) {
    const QString &layer = layers[i % 5];
    const QString &lineType = lineTypes[i % 4];
    const int colour = colours[i % 5];
    const TStrokeDash dash = static_cast<TStrokeDash>((i / 2) % 6);
    const float a = static_cast<float>(i) * 1.37f - 40.125f, b = static_cast<float>(i % 7) * 3.3f + 0.1f;
    const TPointF p{a, b}, q{b, -a}, c{a * 0.5f, b + 1.0f / 3.0f}, d{-b, a + 0.25f};
    TPathData path;
    path.MoveTo(p);
    path.LineTo(q);
    path.CurveTo(c, d, {a + 1.0f, b});
    path.ClosePath();
    switch ((i / 3) % 6) {
      case 0: i % 3 == 0 ? w.AddLine(p, q, layer, colour) : i % 3 == 1 ? w.AddLine(p, q, layer, colour, dash)
                                                                       : w.AddLine(p, q, layer, colour, lineType); break;
      case 1: i % 3 == 0 ? w.AddCircle(c, b, layer, colour) : i % 3 == 1 ? w.AddCircle(c, b, layer, colour, dash)
                                                                         : w.AddCircle(c, b, layer, colour, lineType); break;
      case 2:
        i % 3 == 0   ? w.AddEllipse(c, b, a, a * 7.0f, layer, colour)
        : i % 3 == 1 ? w.AddEllipse(c, b, a, a * 7.0f, layer, colour, dash)
                     : w.AddEllipse(c, b, a, a * 7.0f, layer, colour, lineType);
        break;
      case 3:
        i % 3 == 0   ? w.AddBezierSpline(p, c, d, q, layer, colour)
        : i % 3 == 1 ? w.AddBezierSpline(p, c, d, q, layer, colour, dash)
                     : w.AddBezierSpline(p, c, d, q, layer, colour, lineType);
        break;
      case 4:
        i % 2 == 0 ? w.AddArcCenterTwoPointsAbsSweep(c, p, q, a * 5.0f, layer, colour, lineType, 0.01, 0.001)
                   : w.AddArcCenterTwoPointsAbsSweep(c, p, q, a * 5.0f, layer, colour, dash, 0.01, 0.001);
        break;
      case 5: i % 3 == 0 ? w.AddPathData(&path, layer, colour) : i % 3 == 1 ? w.AddPathData(&path, layer, colour, dash)
                                                                             : w.AddPathData(&path, layer, colour, lineType); break;
    }
  }
}

class DxfR14WriterTest : public ::testing::Test {
 protected:
  QTemporaryDir FDir;

  QString path(const QString &name) const { return FDir.filePath(name); }

  QByteArray saved(const TDXFR14Writer &writer, const QString &name = QStringLiteral("out.dxf")) const {
    writer.SaveToFile(path(name));
    return readWholeFile(path(name));
  }

  // The file's lines; every line must end in CR LF, the last one included.
  static Lines splitLines(const QByteArray &bytes) {
    Lines lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
      const qsizetype end = bytes.indexOf("\r\n", start);
      if (end < 0) {
        ADD_FAILURE() << "last line without CR LF";
        break;
      }
      const std::string line = bytes.mid(start, end - start).toStdString();
      EXPECT_EQ(line.find('\n'), std::string::npos) << "bare line feed in: " << line;
      lines.push_back(line);
      start = end + 2;
    }
    return lines;
  }

  Lines fileLines(const TDXFR14Writer &writer) const { return splitLines(saved(writer)); }

  // The lines between "2 ENTITIES" and the ENDSEC that closes the section.
  static Lines entities(const Lines &lines) {
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
      if (lines[i] == "2" && lines[i + 1] == "ENTITIES") {
        EXPECT_GE(lines.size(), i + 6);
        return Lines(lines.begin() + static_cast<std::ptrdiff_t>(i + 2), lines.end() - 4);
      }
    }
    ADD_FAILURE() << "no ENTITIES section";
    return {};
  }
  Lines entityLines(const TDXFR14Writer &writer) const { return entities(fileLines(writer)); }

  // The lines of one table from "0 TABLE" to "0 ENDTAB", both included.
  static Lines table(const Lines &lines, const std::string &name) {
    for (size_t i = 0; i + 3 < lines.size(); i += 2) {
      if (lines[i + 1] == "TABLE" && lines[i + 3] == name) {
        for (size_t j = i; j + 1 < lines.size(); j += 2)
          if (lines[j + 1] == "ENDTAB") return Lines(lines.begin() + static_cast<std::ptrdiff_t>(i),
                                                     lines.begin() + static_cast<std::ptrdiff_t>(j + 2));
      }
    }
    ADD_FAILURE() << "no table " << name;
    return {};
  }

  // Names (group 2) of the entries of a table, in file order.
  static Lines tableNames(const Lines &tableLines) {
    Lines names;
    for (size_t i = 6; i + 1 < tableLines.size(); i += 2)
      if (tableLines[i] == "2") names.push_back(tableLines[i + 1]);
    return names;
  }

  // The value of the first group `code` in a list of lines.
  static std::string groupValue(const Lines &lines, const std::string &code) {
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
      if (lines[i] == code) return lines[i + 1];
    ADD_FAILURE() << "no group " << code;
    return {};
  }
  static double groupNumber(const Lines &lines, const std::string &code) {
    const auto v = parseDouble(groupValue(lines, code));
    EXPECT_TRUE(v.has_value());
    return v.value_or(NAN);
  }
};

// ---- the whole file ----

TEST_F(DxfR14WriterTest, EmptyWriterWritesTheMinimalFile) {
  const QByteArray expected = readWholeFile(test::fixturePath(QStringLiteral("exchange/empty_r14.dxf")));
  ASSERT_EQ(expected.size(), 324);
  TDXFR14Writer writer;
  EXPECT_EQ(saved(writer), expected);
  EXPECT_EQ(splitLines(expected).size(), 64u);
}

// The writer keeps its text as bytes and registers each layer and line type once; the
// file of a mixed drawing stays byte for byte what it was before.
TEST_F(DxfR14WriterTest, AMixedDrawingKeepsItsStoredBytes) {
  const QByteArray expected = readWholeFile(test::fixturePath(QStringLiteral("exchange/mixed_r14.dxf")));
  ASSERT_GT(expected.size(), 15000);
  TDXFR14Writer writer;
  addMixedEntities(writer);
  EXPECT_EQ(saved(writer), expected);
  // After Clear the same calls give the same file again.
  writer.Clear();
  addMixedEntities(writer);
  EXPECT_EQ(saved(writer), expected);
}

TEST_F(DxfR14WriterTest, ClearReturnsToTheEmptyFile) {
  const QByteArray expected = readWholeFile(test::fixturePath(QStringLiteral("exchange/empty_r14.dxf")));
  TDXFR14Writer writer;
  writer.AddLine({0, 0}, {1, 1}, QStringLiteral("7"), 3, TStrokeDash::DashDot);
  writer.AddCircle({0, 0}, 2, QStringLiteral("8"), 256, QStringLiteral("mine"));
  ASSERT_NE(saved(writer), expected);
  writer.Clear();
  EXPECT_EQ(saved(writer), expected);
}

TEST_F(DxfR14WriterTest, DashedLineGivesTheExpectedFile) {
  const QByteArray expected = readWholeFile(test::fixturePath(QStringLiteral("exchange/dashed_line_r14.dxf")));
  TDXFR14Writer writer;
  writer.AddLine({0, 0}, {10, 5}, QStringLiteral("1"), 256, TStrokeDash::Dash);
  EXPECT_EQ(saved(writer), expected);
  // Saving again, to the same or another file, writes the same bytes.
  EXPECT_EQ(saved(writer), expected);
  EXPECT_EQ(saved(writer, QStringLiteral("second.dxf")), expected);
}

TEST_F(DxfR14WriterTest, FailedSaveThrowsWithThePathAndKeepsTheContents) {
  TDXFR14Writer writer;
  writer.AddLine({0, 0}, {10, 5}, QStringLiteral("1"), 256, TStrokeDash::Dash);
  const QString bad = path(QStringLiteral("missing-folder/out.dxf"));
  try {
    writer.SaveToFile(bad);
    FAIL() << "expected an exception";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find(bad.toStdString()), std::string::npos) << e.what();
  }
  EXPECT_FALSE(QFile::exists(bad));
  EXPECT_EQ(saved(writer),
            readWholeFile(test::fixturePath(QStringLiteral("exchange/dashed_line_r14.dxf"))));
}

TEST_F(DxfR14WriterTest, SavingReplacesAnExistingFile) {
  writeFileAtomically(path(QStringLiteral("old.dxf")), QByteArray(5000, 'x'));
  TDXFR14Writer writer;
  EXPECT_EQ(saved(writer, QStringLiteral("old.dxf")),
            readWholeFile(test::fixturePath(QStringLiteral("exchange/empty_r14.dxf"))));
}

// ---- line types, colours and layers ----

struct DashCase {
  TStrokeDash Dash;
  std::string Name;
  Lines Pattern;  // group 73, 40 and 49 values of the LTYPE entry
};

TEST_F(DxfR14WriterTest, EachDashRegistersItsLineTypeWithItsPattern) {
  const DashCase cases[] = {
      {TStrokeDash::Solid, "CONTINUOUS", {"73", "0", "40", "0"}},
      {TStrokeDash::Dash, "FMX_DASH", {"73", "2", "40", "0.75", "49", "0.5", "49", "-0.25"}},
      {TStrokeDash::Dot, "FMX_DOT", {"73", "2", "40", "0.3", "49", "0.05", "49", "-0.25"}},
      {TStrokeDash::DashDot,
       "FMX_DASHDOT",
       {"73", "4", "40", "0.95", "49", "0.5", "49", "-0.2", "49", "0.05", "49", "-0.2"}},
      {TStrokeDash::DashDotDot,
       "FMX_DASHDOTDOT",
       {"73", "6", "40", "1.2", "49", "0.5", "49", "-0.2", "49", "0.05", "49", "-0.2", "49", "0.05", "49",
        "-0.2"}},
      {TStrokeDash::Custom, "FMX_DASH", {"73", "2", "40", "0.75", "49", "0.5", "49", "-0.25"}},
      {static_cast<TStrokeDash>(42), "CONTINUOUS", {"73", "0", "40", "0"}},
  };
  for (const DashCase &c : cases) {
    SCOPED_TRACE(c.Name);
    TDXFR14Writer writer;
    writer.AddCircle({0, 0}, 1, QStringLiteral("0"), 256, c.Dash);
    const Lines lines = fileLines(writer);
    EXPECT_EQ(groupValue(entities(lines), "6"), c.Name);

    const Lines ltype = table(lines, "LTYPE");
    const bool solid = c.Name == "CONTINUOUS";
    EXPECT_EQ(ltype[5], solid ? "1" : "2");
    // The entry of this line type: 0 LTYPE, 2 name, 70 0, 3 "FMX dash", 72 65, then the pattern.
    Lines entry = {"0", "LTYPE", "2", c.Name, "70", "0", "3", "FMX dash", "72", "65"};
    entry.insert(entry.end(), c.Pattern.begin(), c.Pattern.end());
    const size_t at = solid ? 6 : 6 + 14;  // CONTINUOUS sorts first and has 14 lines
    ASSERT_GE(ltype.size(), at + entry.size() + 2);
    EXPECT_EQ(Lines(ltype.begin() + static_cast<std::ptrdiff_t>(at),
                    ltype.begin() + static_cast<std::ptrdiff_t>(at + entry.size())),
              entry);
    EXPECT_EQ(ltype.size(), at + entry.size() + 2);  // then 0 ENDTAB
  }
}

TEST_F(DxfR14WriterTest, ColourAndLineTypeGroupsDependOnTheForm) {
  struct Case {
    const char *Label;
    void (*Add)(TDXFR14Writer &);
    Lines Expected;
    Lines LineTypes;
  };
  const Case cases[] = {
      {"colour 5 and a given name in lower case",
       [](TDXFR14Writer &w) { w.AddCircle({1, 2}, 3, QStringLiteral("L"), 5, QStringLiteral("hidden")); },
       {"0", "CIRCLE", "8", "L", "62", "5", "6", "HIDDEN", "10", "1", "20", "-2", "30", "0", "40", "3", "210", "0",
        "220", "0", "230", "1"},
       {"CONTINUOUS", "HIDDEN"}},
      {"colour 0 without a line type",
       [](TDXFR14Writer &w) { w.AddCircle({1, 2}, 3, QStringLiteral("L"), 0); },
       {"0", "CIRCLE", "8", "L", "62", "0", "10", "1", "20", "-2", "30", "0", "40", "3", "210", "0", "220", "0",
        "230", "1"},
       {"CONTINUOUS"}},
      {"by layer with an empty name, on the empty layer",
       [](TDXFR14Writer &w) { w.AddCircle({1, 2}, 3, QString(), 256, QString()); },
       {"0", "CIRCLE", "8", "0", "10", "1", "20", "-2", "30", "0", "40", "3", "210", "0", "220", "0", "230", "1"},
       {"CONTINUOUS"}},
      {"negative colour and the solid dash",
       [](TDXFR14Writer &w) { w.AddCircle({1, 2}, 3, QStringLiteral("L"), -7, TStrokeDash::Solid); },
       {"0", "CIRCLE", "8", "L", "62", "-7", "6", "CONTINUOUS", "10", "1", "20", "-2", "30", "0", "40", "3", "210",
        "0", "220", "0", "230", "1"},
       {"CONTINUOUS"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.Label);
    TDXFR14Writer writer;
    c.Add(writer);
    const Lines lines = fileLines(writer);
    EXPECT_EQ(entities(lines), c.Expected);
    EXPECT_EQ(tableNames(table(lines, "LTYPE")), c.LineTypes);
  }
}

TEST_F(DxfR14WriterTest, AGivenNameKeepsAPatternRegisteredBefore) {
  TDXFR14Writer writer;
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("0"), 256, QStringLiteral("fmx_dot"));  // no pattern yet
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("0"), 256, TStrokeDash::Dot);           // first one wins
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("0"), 256, TStrokeDash::Dash);
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("0"), 256, QStringLiteral("Fmx_Dash"));
  const Lines ltype = table(fileLines(writer), "LTYPE");
  EXPECT_EQ(tableNames(ltype), (Lines{"CONTINUOUS", "FMX_DASH", "FMX_DOT"}));
  const Lines expected = {"70", "3",
                          "0", "LTYPE", "2", "CONTINUOUS", "70", "0", "3", "FMX dash", "72", "65", "73", "0", "40", "0",
                          "0", "LTYPE", "2", "FMX_DASH", "70", "0", "3", "FMX dash", "72", "65", "73", "2", "40",
                          "0.75", "49", "0.5", "49", "-0.25",
                          "0", "LTYPE", "2", "FMX_DOT", "70", "0", "3", "FMX dash", "72", "65", "73", "0", "40", "0",
                          "0", "ENDTAB"};
  EXPECT_EQ(Lines(ltype.begin() + 4, ltype.end()), expected);
}

TEST_F(DxfR14WriterTest, LayersAreListedSortedAndOnce) {
  TDXFR14Writer writer;
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("2"), 256, TStrokeDash::Solid);
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("10"), 256, TStrokeDash::Solid);
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("2"), 256, TStrokeDash::Solid);
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("Cut"), 256);
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("CUT"), 256);  // same layer ignoring case
  writer.AddLine({0, 0}, {1, 0}, QStringLiteral("b"), 256);
  writer.AddLine({0, 0}, {1, 0}, QString(), 256);  // layer 0
  const Lines lines = fileLines(writer);
  const Lines layer = table(lines, "LAYER");
  EXPECT_EQ(layer[5], "5");
  EXPECT_EQ(tableNames(layer), (Lines{"0", "10", "2", "b", "Cut"}));
  // Every entry: 0 LAYER, 2 name, 70 0, 62 7, 6 CONTINUOUS.
  EXPECT_EQ(Lines(layer.begin() + 6, layer.begin() + 16),
            (Lines{"0", "LAYER", "2", "0", "70", "0", "62", "7", "6", "CONTINUOUS"}));
  EXPECT_EQ(layer.size(), 6u + 5 * 10 + 2);
  // Each entity keeps the name it was given; the empty one is on layer 0.
  const Lines ents = entities(lines);
  Lines entityLayers;
  for (size_t i = 0; i + 1 < ents.size(); i += 2)
    if (ents[i] == "8") entityLayers.push_back(ents[i + 1]);
  EXPECT_EQ(entityLayers, (Lines{"2", "10", "2", "Cut", "CUT", "b", "0"}));
}

// ---- geometry of each entity ----

TEST_F(DxfR14WriterTest, LineAndSplineNegateYAndKeepFloatDigits) {
  TDXFR14Writer writer;
  writer.AddLine({0.1f, -2.5f}, {12.5f, 0}, QStringLiteral("1"), 256);
  writer.AddBezierSpline({0, 0}, {1, 2}, {3, 2}, {4, 0}, QStringLiteral("1"), 256, QStringLiteral("x"));
  const Lines expected = {
      "0", "LINE", "8", "1", "10", "0.100000001490116", "20", "2.5", "30", "0", "11", "12.5", "21", "0", "31", "0",
      "210", "0", "220", "0", "230", "1",
      "0", "SPLINE", "100", "AcDbEntity", "8", "1", "6", "X", "100", "AcDbSpline",
      "70", "8", "71", "3", "72", "8", "73", "4", "74", "0",
      "40", "0", "40", "0", "40", "0", "40", "0", "40", "1", "40", "1", "40", "1", "40", "1",
      "10", "0", "20", "0", "30", "0", "10", "1", "20", "-2", "30", "0",
      "10", "3", "20", "-2", "30", "0", "10", "4", "20", "0", "30", "0",
      "210", "0", "220", "0", "230", "1"};
  EXPECT_EQ(entityLines(writer), expected);
}

TEST_F(DxfR14WriterTest, RealValuesUseTheGeneralFormat) {
  const struct {
    double Radius;
    const char *Text;
  } cases[] = {{0.1, "0.1"},   {12.5, "12.5"}, {0.05, "0.05"}, {0.0001, "0.0001"}, {5e-5, "5E-5"},
               {1e15, "1E15"}, {-0.0, "0"},    {123456789012345678.0, "1.23456789012346E17"},
               {2.0 / 3.0, "0.666666666666667"}, {999999999999999.0, "999999999999999"}};
  TDXFR14Writer writer;
  for (const auto &c : cases) writer.AddCircle({0, 0}, c.Radius, QStringLiteral("0"), 256);
  const Lines ents = entityLines(writer);
  ASSERT_EQ(ents.size(), std::size(cases) * 18);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(ents[i * 18 + 10], "40");
    EXPECT_EQ(ents[i * 18 + 11], cases[i].Text);
  }
}

// A point (x, y) of DXF lies on an ELLIPSE entity written as centre, major-axis end and ratio.
double ellipseResidue(double cx, double cy, double mx, double my, double ratio, double x, double y) {
  const double major = std::hypot(mx, my);
  const double ux = mx / major, uy = my / major;
  const double dx = x - cx, dy = y - cy;
  const double along = (dx * ux + dy * uy) / major;
  const double across = (-dx * uy + dy * ux) / (major * ratio);
  return along * along + across * across - 1.0;
}

TEST_F(DxfR14WriterTest, EllipseAxesFollowRotationAndTheLongerAxisIsMajor) {
  const struct {
    double Rx, Ry, Rot;
  } cases[] = {{4, 2, 0}, {4, 2, 30}, {2, 4, 0}, {2, 4, 90}, {3, 5, -45}, {1, 1, 10}, {5, 3, 200}};
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "Rx " << c.Rx << " Ry " << c.Ry << " rotation " << c.Rot);
    TDXFR14Writer writer;
    writer.AddEllipse({10, 20}, c.Rx, c.Ry, c.Rot, QStringLiteral("E"), 256);
    const Lines ents = entityLines(writer);
    ASSERT_EQ(ents.size(), 28u);
    EXPECT_EQ(ents[0] + ents[1], "0ELLIPSE");
    EXPECT_EQ(groupValue(ents, "41"), "0");
    EXPECT_EQ(groupValue(ents, "42"), "6.28318530717959");
    const double cx = groupNumber(ents, "10"), cy = groupNumber(ents, "20");
    const double mx = groupNumber(ents, "11"), my = groupNumber(ents, "21");
    const double ratio = groupNumber(ents, "40");
    EXPECT_EQ(cx, 10);
    EXPECT_EQ(cy, -20);
    EXPECT_LE(ratio, 1.0);
    EXPECT_NEAR(std::hypot(mx, my), std::max(c.Rx, c.Ry), 1e-5);
    EXPECT_NEAR(ratio, std::min(c.Rx, c.Ry) / std::max(c.Rx, c.Ry), 1e-12);
    // Points of the drawing's ellipse, turned into DXF coordinates, lie on the entity.
    const double r = c.Rot * std::numbers::pi / 180;
    for (int k = 0; k < 12; ++k) {
      const double th = k * std::numbers::pi / 6;
      const double x = 10 + c.Rx * std::cos(th) * std::cos(r) - c.Ry * std::sin(th) * std::sin(r);
      const double y = 20 + c.Rx * std::cos(th) * std::sin(r) + c.Ry * std::sin(th) * std::cos(r);
      EXPECT_NEAR(ellipseResidue(cx, cy, mx, my, ratio, x, -y), 0.0, 1e-6) << "theta " << th;
    }
  }
}

TEST_F(DxfR14WriterTest, EllipseMajorAxisTexts) {
  const struct {
    double Rx, Ry, Rot;
    const char *X, *Y, *Ratio;
  } cases[] = {
      {4, 2, 0, "4", "0", "0.5"},
      {4, 2, -90, nullptr, "4", "0.5"},  // x: a tiny residue of the cosine
      {4, 2, 90, nullptr, "-4", "0.5"},
      {2, 4, 0, "0", "4", "0.5"},        // tall: the major axis along y
      {4, 4, 0, "4", "0", "1"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "Rx " << c.Rx << " Ry " << c.Ry << " rotation " << c.Rot);
    TDXFR14Writer writer;
    writer.AddEllipse({0, 0}, c.Rx, c.Ry, c.Rot, QStringLiteral("E"), 256);
    const Lines ents = entityLines(writer);
    if (c.X) {
      EXPECT_EQ(groupValue(ents, "11"), c.X);
    } else {
      const std::string x = groupValue(ents, "11");
      EXPECT_NE(x.find("E-"), std::string::npos) << x;
      EXPECT_LT(std::fabs(parseDouble(x).value_or(1)), 1e-12) << x;
    }
    EXPECT_EQ(groupValue(ents, "21"), c.Y);
    EXPECT_EQ(groupValue(ents, "40"), c.Ratio);
  }
}

TEST_F(DxfR14WriterTest, EllipseWithoutRxAddsNothing) {
  TDXFR14Writer writer;
  writer.AddEllipse({1, 1}, 0, 3, 0, QStringLiteral("E"), 256, QStringLiteral("named"));
  const Lines lines = fileLines(writer);
  EXPECT_TRUE(entities(lines).empty());
  EXPECT_EQ(tableNames(table(lines, "LAYER")), Lines{"0"});
  EXPECT_EQ(tableNames(table(lines, "LTYPE")), Lines{"CONTINUOUS"});
}

struct ArcCase {
  const char *Label;
  TPointF Center, A, B;
  double Sweep;
  Lines Geometry;  // groups 10 to 51; empty: no entity
};

TEST_F(DxfR14WriterTest, ArcRunsOverTheSpanClosestToTheSweep) {
  const ArcCase cases[] = {
      {"quarter: B to A counter-clockwise", {0, 0}, {10, 0}, {0, 10}, 90,
       {"10", "0", "20", "0", "30", "0", "40", "10", "50", "270", "51", "0"}},
      {"three quarters: A to B", {0, 0}, {10, 0}, {0, 10}, 270,
       {"10", "0", "20", "0", "30", "0", "40", "10", "50", "0", "51", "270"}},
      {"negative sweep uses its size", {0, 0}, {10, 0}, {0, 10}, -90,
       {"10", "0", "20", "0", "30", "0", "40", "10", "50", "270", "51", "0"}},
      {"sweep beyond a turn", {0, 0}, {10, 0}, {0, 10}, 450,
       {"10", "0", "20", "0", "30", "0", "40", "10", "50", "270", "51", "0"}},
      {"half turn tie keeps A to B", {0, 0}, {10, 0}, {-10, 0}, 180,
       {"10", "0", "20", "0", "30", "0", "40", "10", "50", "0", "51", "180"}},
      {"radius is the mean, centre moved", {5, 5}, {15, 5}, {5, -7}, 90,
       {"10", "5", "20", "-5", "30", "0", "40", "11", "50", "0", "51", "90"}},
      {"A on the centre takes B's radius", {0, 0}, {0, 0}, {0, -4}, 90,
       {"10", "0", "20", "0", "30", "0", "40", "4", "50", "0", "51", "90"}},
      {"B on the centre takes A's radius", {0, 0}, {3, 0}, {0, 0}, 45,
       {"10", "0", "20", "0", "30", "0", "40", "3", "50", "0", "51", "0"}},
      {"full turn writes nothing", {0, 0}, {10, 0}, {0, 10}, 360, {}},
      {"zero sweep writes nothing", {0, 0}, {10, 0}, {0, 10}, 0, {}},
      {"both points on the centre write nothing", {2, 2}, {2, 2}, {2, 2}, 90, {}},
  };
  for (const ArcCase &c : cases) {
    SCOPED_TRACE(c.Label);
    TDXFR14Writer writer;
    writer.AddArcCenterTwoPointsAbsSweep(c.Center, c.A, c.B, c.Sweep, QStringLiteral("A"), 256, TStrokeDash::Dot,
                                         0.00001, 0.0001);
    const Lines lines = fileLines(writer);
    Lines expected;
    if (!c.Geometry.empty()) {
      expected = {"0", "ARC", "8", "A", "6", "FMX_DOT"};
      expected.insert(expected.end(), c.Geometry.begin(), c.Geometry.end());
      expected.insert(expected.end(), {"210", "0", "220", "0", "230", "1"});
    }
    EXPECT_EQ(entities(lines), expected);
    // Layer and line type are listed whether or not the arc was written.
    EXPECT_EQ(tableNames(table(lines, "LAYER")), (Lines{"0", "A"}));
    EXPECT_EQ(tableNames(table(lines, "LTYPE")), (Lines{"CONTINUOUS", "FMX_DOT"}));
  }
}

TEST_F(DxfR14WriterTest, ArcAngleTieToleranceKeepsAToB) {
  // B at 180.000004 degrees in DXF coordinates: the spans are 180.000004 (A to B) and
  // 179.999996 (B to A); for a sweep of 90 they miss it by 90.000004 and 89.999996, a
  // difference of 8e-6 degrees: within a tolerance of 1e-5 the arc keeps A to B, with
  // 1e-6 the closer span from B to A wins.
  const double a = 180.000004 * std::numbers::pi / 180;
  const TPointF b{static_cast<float>(1000 * std::cos(a)), static_cast<float>(-1000 * std::sin(a))};
  for (const double tol : {1e-5, 1e-6}) {
    SCOPED_TRACE(tol);
    TDXFR14Writer writer;
    writer.AddArcCenterTwoPointsAbsSweep({0, 0}, {1000, 0}, b, 90, QStringLiteral("A"), 256, QString(), tol,
                                         0.0001);
    const Lines ents = entityLines(writer);
    const double start = groupNumber(ents, "50"), end = groupNumber(ents, "51");
    if (tol > 5e-6) {
      EXPECT_EQ(start, 0);
      EXPECT_NEAR(end, 180.000004, 1e-7);
    } else {
      EXPECT_NEAR(start, 180.000004, 1e-7);
      EXPECT_EQ(end, 0);
    }
  }
}

// ---- path data ----

// Builds a path from a compact description: M x y, L x y, C x1 y1 x2 y2 x3 y3, Z.
TPathData makePath(std::initializer_list<std::pair<char, std::vector<float>>> items) {
  TPathData path;
  for (const auto &[kind, v] : items) {
    switch (kind) {
      case 'M': path.MoveTo({v[0], v[1]}); break;
      case 'L': path.LineTo({v[0], v[1]}); break;
      case 'C': path.CurveTo({v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}); break;
      default: path.ClosePath(); break;
    }
  }
  return path;
}

Lines entityNames(const Lines &ents) {
  Lines kinds;
  for (size_t k = 0; k + 1 < ents.size(); k += 2)
    if (ents[k] == "0") kinds.push_back(ents[k + 1]);
  return kinds;
}

TEST_F(DxfR14WriterTest, PathDataClosesOnlyWhenTheEndIsAwayFromTheStart) {
  const struct {
    const char *Label;
    TPathData Path;
    Lines Kinds;
  } cases[] = {
      {"end away from the start", makePath({{'M', {0, 0}}, {'L', {10, 0}}, {'L', {10, 10}}, {'Z', {}}}),
       {"LINE", "LINE", "LINE"}},
      {"end within 0.000001", makePath({{'M', {0, 0}}, {'L', {10, 0}}, {'L', {0.0000005f, -0.0000009f}}, {'Z', {}}}),
       {"LINE", "LINE"}},
      {"end just beyond 0.000001", makePath({{'M', {0, 0}}, {'L', {10, 0}}, {'L', {0, 0.0000011f}}, {'Z', {}}}),
       {"LINE", "LINE", "LINE"}},
      {"close twice, then a second contour",
       makePath({{'M', {0, 0}}, {'L', {1, 0}}, {'Z', {}}, {'Z', {}}, {'M', {5, 5}}, {'L', {6, 5}}, {'Z', {}}}),
       {"LINE", "LINE", "LINE", "LINE"}},
      {"empty path", TPathData(), {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Label);
    TDXFR14Writer writer;
    writer.AddPathData(&c.Path, QStringLiteral("P"), 256);
    const Lines lines = fileLines(writer);
    EXPECT_EQ(entityNames(entities(lines)), c.Kinds);
    EXPECT_EQ(tableNames(table(lines, "LAYER")), (Lines{"0", "P"}));  // even for an empty path
  }
}

TEST_F(DxfR14WriterTest, PathDataEntitiesCarryThePointsLayerColourAndLineType) {
  // A line before any move starts at (0, 0); the cubic continues from the current point;
  // the close returns to the start of the second contour.
  const TPathData path = makePath({{'L', {1, 1}},
                                   {'M', {2, 0}},
                                   {'C', {3, 1, 4, 1, 5, 0}},
                                   {'Z', {}}});
  TDXFR14Writer writer;
  writer.AddPathData(&path, QStringLiteral("P"), 3, TStrokeDash::DashDotDot);
  const Lines head = {"8", "P", "62", "3", "6", "FMX_DASHDOTDOT"};
  const Lines tail = {"210", "0", "220", "0", "230", "1"};
  auto entity = [&](const std::string &name, const Lines &geometry) {
    Lines e = {"0", name};
    if (name == "SPLINE") e.insert(e.end(), {"100", "AcDbEntity"});
    e.insert(e.end(), head.begin(), head.end());
    if (name == "SPLINE") {
      e.insert(e.end(), {"100", "AcDbSpline"});
      e.insert(e.end(), {"70", "8", "71", "3", "72", "8", "73", "4", "74", "0"});
      for (const char *k : {"0", "0", "0", "0", "1", "1", "1", "1"}) e.insert(e.end(), {"40", k});
    }
    e.insert(e.end(), geometry.begin(), geometry.end());
    e.insert(e.end(), tail.begin(), tail.end());
    return e;
  };
  Lines expected = entity("LINE", {"10", "0", "20", "0", "30", "0", "11", "1", "21", "-1", "31", "0"});
  for (const Lines &e : {entity("SPLINE", {"10", "2", "20", "0", "30", "0", "10", "3", "20", "-1", "30", "0",
                                          "10", "4", "20", "-1", "30", "0", "10", "5", "20", "0", "30", "0"}),
                         entity("LINE", {"10", "5", "20", "0", "30", "0", "11", "2", "21", "0", "31", "0"})})
    expected.insert(expected.end(), e.begin(), e.end());
  EXPECT_EQ(entityLines(writer), expected);
}

TEST_F(DxfR14WriterTest, AbsentPathAddsOnlyTheDashLineType) {
  TDXFR14Writer writer;
  writer.AddPathData(nullptr, QStringLiteral("P"), 256, TStrokeDash::Dot);
  writer.AddPathData(nullptr, QStringLiteral("Q"), 256, QStringLiteral("named"));
  writer.AddPathData(nullptr, QStringLiteral("R"), 256);
  const Lines lines = fileLines(writer);
  EXPECT_TRUE(entities(lines).empty());
  EXPECT_EQ(tableNames(table(lines, "LAYER")), Lines{"0"});
  EXPECT_EQ(tableNames(table(lines, "LTYPE")), (Lines{"CONTINUOUS", "FMX_DOT"}));
}

// ---- every entity kind in one file ----

// One entity of every kind, every dash style, a tall and a turned ellipse. Without
// splines the path is a closed triangle of lines.
void addEveryKind(TDXFR14Writer &writer, bool withSplines = true) {
  int layer = 1;
  for (TStrokeDash dash : kDashes) {
    const QString name = QString::number(layer++);
    writer.AddLine({0, 0}, {10, 5}, name, 256, dash);
    writer.AddCircle({5, 5}, 2.5, name, 256, dash);
    writer.AddEllipse({20, 5}, 4, 2, 30, name, 256, dash);
    writer.AddEllipse({30, 5}, 2, 6, 0, name, 256, dash);  // taller than wide
    if (withSplines) writer.AddBezierSpline({0, 10}, {3, 14}, {7, 14}, {10, 10}, name, 256, dash);
    writer.AddArcCenterTwoPointsAbsSweep({40, 10}, {45, 10}, {40, 5}, 90, name, 256, dash, 0.00001, 0.0001);
    const TPathData path = withSplines
                               ? makePath({{'M', {50, 0}}, {'L', {60, 0}}, {'C', {62, 3, 62, 7, 60, 10}}, {'Z', {}}})
                               : makePath({{'M', {50, 0}}, {'L', {60, 0}}, {'L', {60, 10}}, {'Z', {}}});
    writer.AddPathData(&path, name, 256, dash);
  }
  writer.AddLine({0, 0}, {1, 1}, QStringLiteral("Colour"), 1, QStringLiteral("FMX_DOT"));
  writer.AddCircle({0, 0}, 1, QStringLiteral("Colour"), 5);
}

TEST_F(DxfR14WriterTest, FileHasNoHandlesAndSubclassMarkersOnlyInSplines) {
  TDXFR14Writer writer;
  addEveryKind(writer);
  const Lines lines = fileLines(writer);
  ASSERT_EQ(lines.size() % 2, 0u);
  QString entity;
  for (size_t i = 0; i < lines.size(); i += 2) {
    if (lines[i] == "0") entity = QString::fromStdString(lines[i + 1]);
    EXPECT_NE(lines[i], "5") << "handle at line " << i;
    if (entity != QLatin1String("SPLINE")) {
      EXPECT_NE(lines[i], "100") << "subclass marker at line " << i;
    }
    EXPECT_NE(lines[i], "105") << "handle at line " << i;
  }
  // Only the three sections, the header holding only $ACADVER.
  Lines sections;
  for (size_t i = 0; i + 3 < lines.size(); i += 2)
    if (lines[i + 1] == "SECTION") sections.push_back(lines[i + 3]);
  EXPECT_EQ(sections, (Lines{"HEADER", "TABLES", "ENTITIES"}));
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 10),
            (Lines{"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1014", "0", "ENDSEC"}));
  EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"0", "EOF"}));
}

// Reads the file with ezdxf (Debian's python3-ezdxf) and its auditor, strictly and with
// its recovering reader.
TEST_F(DxfR14WriterTest, EzdxfReadsEveryKindWithoutAuditErrors) {
  const QString python = QStringLiteral("/usr/bin/python3");
  QProcess probe;
  probe.start(python, {QStringLiteral("-c"), QStringLiteral("import ezdxf")});
  if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
    GTEST_SKIP() << "python3 with the ezdxf module is not available";

  TDXFR14Writer writer;
  addEveryKind(writer);
  const QString file = path(QStringLiteral("every_kind.dxf"));
  writer.SaveToFile(file);

  const QString script = QStringLiteral(
      "import sys, ezdxf\n"
      "from ezdxf import recover\n"
      "doc, auditor = recover.readfile(sys.argv[1])\n"
      "for e in auditor.errors: print('ERROR', e.code, e.message)\n"
      "for e in auditor.fixes: print('FIX', e.code, e.message)\n"
      "msp = doc.modelspace()\n"
      "kinds = {}\n"
      "for e in msp: kinds[e.dxftype()] = kinds.get(e.dxftype(), 0) + 1\n"
      "print('KINDS', ' '.join(f'{k}={kinds[k]}' for k in sorted(kinds)))\n"
      "print('LTYPES', ' '.join(sorted(l.dxf.name.upper() for l in doc.linetypes)))\n"
      "for e in msp.query('ELLIPSE'): print('RATIO', round(e.dxf.ratio, 9), "
      "round(e.dxf.major_axis.magnitude, 5))\n"
      "strict = ezdxf.readfile(sys.argv[1])\n"
      "a = strict.audit()\n"
      "for e in a.errors: print('STRICT', e.code, e.message)\n");
  QProcess run;
  run.start(python, {QStringLiteral("-c"), script, file});
  ASSERT_TRUE(run.waitForFinished(120000));
  const QString out = QString::fromUtf8(run.readAllStandardOutput());
  const QString err = QString::fromUtf8(run.readAllStandardError());
  ASSERT_EQ(run.exitCode(), 0) << out.toStdString() << err.toStdString();
  EXPECT_FALSE(out.contains(QStringLiteral("ERROR"))) << out.toStdString();
  EXPECT_FALSE(out.contains(QStringLiteral("STRICT"))) << out.toStdString();
  // Six dash styles: each a LINE, CIRCLE, two ELLIPSEs, a SPLINE, an ARC and a path of
  // a LINE, a SPLINE and a closing LINE; then one more LINE and CIRCLE.
  EXPECT_TRUE(out.contains(QStringLiteral("KINDS ARC=6 CIRCLE=7 ELLIPSE=12 LINE=19 SPLINE=12\n")))
      << out.toStdString();
  for (const char *name : {"CONTINUOUS", "FMX_DASH", "FMX_DOT", "FMX_DASHDOT", "FMX_DASHDOTDOT"})
    EXPECT_TRUE(out.contains(QLatin1String(" ") + QLatin1String(name))) << name;
  // Every ellipse has a ratio of at most 1: 0.5 for the 4 x 2 one, 1/3 for the tall one.
  EXPECT_EQ(out.count(QStringLiteral("RATIO 0.5 4.0")), 6) << out.toStdString();
  EXPECT_EQ(out.count(QStringLiteral("RATIO 0.333333333 6.0")), 6) << out.toStdString();
}

}  // namespace
}  // namespace quillon
