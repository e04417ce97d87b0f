#include "stl/stl_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/file_io.h"
#include "stl/extrude.h"
#include "stl/mesh_checks.h"
#include "stl/text_recess.h"

namespace quillon {
namespace {

using test::circleRing;
using test::rectRing;

std::uint32_t u32At(const QByteArray &b, qsizetype offset) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[offset + i]);
  return v;
}

float floatAt(const QByteArray &b, qsizetype offset) { return std::bit_cast<float>(u32At(b, offset)); }

// Vertex k (0..2) of facet f, or the normal for k = -1.
TVec3 facetPoint(const QByteArray &b, int f, int k) {
  const qsizetype at = 84 + 50 * f + 12 * (k + 1);
  return {floatAt(b, at), floatAt(b, at + 4), floatAt(b, at + 8)};
}

class StlWriter : public ::testing::Test {
 protected:
  QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QTemporaryDir dir_;
};

TEST_F(StlWriter, FileLayout) {
  WriteBinarySTL(path("empty.stl"), {});
  const QByteArray empty = readWholeFile(path("empty.stl"));
  ASSERT_EQ(empty.size(), 84);
  EXPECT_EQ(u32At(empty, 80), 0u);
  EXPECT_EQ(std::memcmp(empty.constData(), "Quillon STL", 11), 0);
  for (int i = 11; i < 80; ++i) EXPECT_EQ(empty[i], '\0') << i;

  const TTriangleList three{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                            {{0, 0, 1}, {0, 1, 1}, {1, 0, 1}},
                            {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}};  // collinear: zero normal
  WriteBinarySTL(path("three.stl"), three);
  const QByteArray b = readWholeFile(path("three.stl"));
  ASSERT_EQ(b.size(), 234);
  EXPECT_EQ(u32At(b, 80), 3u);
  const TVec3 n0 = facetPoint(b, 0, -1), n1 = facetPoint(b, 1, -1), n2 = facetPoint(b, 2, -1);
  EXPECT_EQ(n0.Z, 1.0);
  EXPECT_EQ(n1.Z, -1.0);
  EXPECT_EQ(n2.X, 0.0);
  EXPECT_EQ(n2.Y, 0.0);
  EXPECT_EQ(n2.Z, 0.0);
  EXPECT_EQ(facetPoint(b, 1, 1).Y, 1.0f);
  EXPECT_EQ(facetPoint(b, 1, 2).Z, 1.0f);
  EXPECT_EQ(b[84 + 48], '\0');
  EXPECT_EQ(b[84 + 49], '\0');
}

TEST_F(StlWriter, WeldingMergesCornersWithinTheTolerance) {
  // The shared corner of two triangles differs by 0.0005 mm in x.
  const TTriangleList pair{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{1.0005, 0, 0}, {1, 1, 0}, {0, 1, 0}}};
  TTriangleList fine = pair;
  WeldVertices(fine, 0.0001);
  EXPECT_EQ(fine[1].A.X, 1.0005);
  TTriangleList coarse = pair;
  WeldVertices(coarse, 0.001);
  EXPECT_EQ(coarse[1].A.X, 1.0);  // the corner met first wins
  for (auto write : {&WriteBinarySTL, &SaveTrianglesToSTL}) {
    write(path("pair.stl"), pair);
    const QByteArray b = readWholeFile(path("pair.stl"));
    EXPECT_EQ(facetPoint(b, 1, 0).X, 1.0f);
  }
  EXPECT_EQ(pair[1].A.X, 1.0005);  // the caller's triangles stay as they were

  // Two corners of one triangle 0.0005 apart: the triangle collapses and is dropped.
  WriteBinarySTL(path("sliver.stl"), {{{0, 0, 0}, {0.0005, 0, 0}, {0, 1, 0}}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}});
  EXPECT_EQ(u32At(readWholeFile(path("sliver.stl")), 80), 1u);

  // Either side of a grid line, and a zero or negative tolerance meaning 0.001.
  for (double tolerance : {0.001, 0.0, -1.0}) {
    TTriangleList across{{{0.0009, 0, 0}, {5, 0, 0}, {0, 5, 0}}, {{0.0011, 0, 0}, {0, 5, 0}, {5, 5, 0}}};
    WeldVertices(across, tolerance);
    EXPECT_EQ(across[1].A.X, 0.0009) << tolerance;
  }
  // Two points in one cell farther apart than the tolerance both stay and are both found.
  TTriangleList cell{{{0.0001, 0.0001, 0.0001}, {5, 0, 0}, {0, 5, 0}},
                     {{0.00099, 0.00099, 0.00099}, {5, 5, 0}, {0, 5, 5}},
                     {{0.00098, 0.00099, 0.00099}, {7, 5, 0}, {0, 7, 5}}};
  WeldVertices(cell, 0.001);
  EXPECT_EQ(cell[1].A.X, 0.00099);
  EXPECT_EQ(cell[2].A.X, 0.00099);
}

TEST_F(StlWriter, UnwritableFileIsReportedWithItsName) {
  const QString bad = path("missing-folder/piece.stl");
  try {
    WriteBinarySTL(bad, {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}});
    FAIL() << "no error";
  } catch (const std::runtime_error &e) {
    EXPECT_NE(std::string(e.what()).find("piece.stl"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(QFile::exists(bad));
}

// admesh reads the written pieces as closed meshes: no disconnected facets, none to
// turn over, no normal to fix.
TEST_F(StlWriter, AdmeshFindsClosedOutwardMeshes) {
  const QString admesh = QStandardPaths::findExecutable(QStringLiteral("admesh"));
  if (admesh.isEmpty()) GTEST_SKIP() << "admesh is not installed (scripts/install-deps)";

  TExtrudeParams chamfered;
  chamfered.Height = 3.0;
  chamfered.BottomChamfer = 1.0;
  chamfered.TopFillet = 0.8;
  TTriangleList withHole, withText;
  TRing hole = circleRing(25, 15, 4, 48);
  ReverseRing(hole);
  AddExtrudedRegion({rectRing(0, 0, 50, 30), {hole}}, chamfered, withHole);
  ExtrudeRegionWithTextRecess({rectRing(0, 0, 50, 30), {}}, {{rectRing(5, 5, 60, 10), {rectRing(7, 7, 9, 8)}}},
                              true, 1.0, DefaultExtrudeParams(), withText);

  for (const auto &[name, mesh] : {std::pair{"hole.stl", &withHole}, std::pair{"text.stl", &withText}}) {
    SaveTrianglesToSTL(path(name), *mesh);
    QProcess p;
    p.start(admesh, {path(name)});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    auto number = [&out](const char *label) {
      const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral("\\s*:\\s*(-?[0-9.]+)"));
      const QRegularExpressionMatch m = re.match(out);
      return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
    };
    EXPECT_EQ(number("Total disconnected facets"), 0.0) << name << "\n" << out.toStdString();
    EXPECT_EQ(number("Facets reversed"), 0.0) << name;
    EXPECT_EQ(number("Backwards edges"), 0.0) << name;
    EXPECT_EQ(number("Normals fixed"), 0.0) << name;
    EXPECT_EQ(number("Number of parts"), 1.0) << name;
    EXPECT_NEAR(number("Volume"), test::meshVolume(*mesh), 0.01 * test::meshVolume(*mesh)) << name;
  }
}

}  // namespace
}  // namespace quillon
