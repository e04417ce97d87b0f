#include "model/shape.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "model/model_test_util.h"
#include "stitching/pricking_iron.h"

namespace quillon {
namespace {

using test::pointNear;

std::unique_ptr<TQN_Path> newShape(int id = 7) {
  return std::make_unique<TQN_Path>(3, 0xFF112233, 0.5f, TStrokeDash::Dash, id);
}

TEST(ShapeRecord, NewShapeHasTheDocumentedDefaults) {
  auto s = newShape();
  EXPECT_EQ(s->FShapeType, TShapeKind::Other);
  EXPECT_TRUE(s->Data().IsEmpty());
  EXPECT_EQ(s->FPalletIndex, 3);
  EXPECT_EQ(s->FColor, 0xFF112233u);
  EXPECT_FLOAT_EQ(s->FThickness, 0.5f);
  EXPECT_EQ(s->FDash, TStrokeDash::Dash);
  EXPECT_EQ(s->ID(), 7);
  EXPECT_FLOAT_EQ(s->FOpacity, 0.5f);
  EXPECT_FLOAT_EQ(s->FFontSize, 10);
  EXPECT_EQ(s->FFontFamily, "Meiryo UI");
  EXPECT_FLOAT_EQ(s->FTextStretch, 1);
  EXPECT_TRUE(s->FTextFill);
  EXPECT_FLOAT_EQ(s->FArrowLen, 1);
  EXPECT_TRUE(pointNear(s->FCatalogScale, {1, 1}, 0));
  EXPECT_EQ(s->FPrevStitchID, -1);
  EXPECT_EQ(s->FNextStitchID, -1);
  EXPECT_FALSE(s->FThreadColor.has_value());
  EXPECT_TRUE(s->FCatalogGUID.isEmpty());
  EXPECT_FALSE(s->FGUID.isEmpty());
  EXPECT_NE(s->FGUID, newShape()->FGUID);
  EXPECT_EQ(s->PrickingIron(), nullptr);
  EXPECT_EQ(s->FTemp_OnPath, nullptr);
}

TEST(ShapeRecord, CopySharesTheIronButOwnsItsOutline) {
  TPrickingIron iron;
  auto src = newShape(42);
  src->drawBezierPath({0, 0}, {10, 0}, {20, 10}, {30, 10});
  src->setPrickingIron(&iron);
  src->FArrowLen = 3;
  src->FClickedPathIndex = 9;
  src->FIsManuallyClicked = true;
  src->FExportStrokeDashToSVG = true;
  src->FTemp_HasStichingHole = true;
  src->FThreadColor = 0xFFFFFFFF;
  src->FText = QStringLiteral("Å text");
  src->FGroupID = 5;
  src->FLayerID = 2;
  src->FMandalaCenter = {4, 5};
  src->FSelected = true;

  std::unique_ptr<TQN_Path> copy(src->createCopy());
  EXPECT_EQ(copy->ID(), 42);
  EXPECT_EQ(copy->FGUID, src->FGUID);
  EXPECT_EQ(copy->PrickingIron(), &iron);
  EXPECT_EQ(copy->Data(), src->Data());
  EXPECT_EQ(copy->FShapeType, TShapeKind::Bezier);
  EXPECT_EQ(copy->FThreadColor, std::optional<TAlphaColor>(0xFFFFFFFF));
  EXPECT_EQ(copy->FText, src->FText);
  EXPECT_EQ(copy->FGroupID, 5);
  EXPECT_EQ(copy->FLayerID, 2);
  EXPECT_TRUE(copy->FSelected);
  EXPECT_TRUE(pointNear(copy->FMandalaCenter, {4, 5}, 0));
  EXPECT_TRUE(pointNear(copy->FBezierCp2, {20, 10}, 0));
  // Not copied: scratch values and the run-time flags.
  EXPECT_FLOAT_EQ(copy->FArrowLen, 1);
  EXPECT_EQ(copy->FClickedPathIndex, 0);
  EXPECT_FALSE(copy->FIsManuallyClicked);
  EXPECT_FALSE(copy->FExportStrokeDashToSVG);
  EXPECT_FALSE(copy->FTemp_HasStichingHole);

  const std::string before = src->Data().toText();
  copy->drawLinePath({1, 1}, {2, 2});
  EXPECT_EQ(src->Data().toText(), before);
}

// Kinds are an enum inside the program and text in files: every stored name maps to its
// kind and back; any other name is an unknown kind that keeps its name for the file.
TEST(ShapeRecord, KindNamesMapBothWaysAndAnUnknownNameIsKept) {
  const std::pair<const char *, TShapeKind> names[] = {
      {"LINE", TShapeKind::Line}, {"ARC", TShapeKind::Arc},   {"ELLIPSE", TShapeKind::Ellipse},
      {"BEZIER", TShapeKind::Bezier}, {"DOT", TShapeKind::Dot}, {"TEXT", TShapeKind::Text},
      {"S_HOLE", TShapeKind::Hole}, {"OTHER", TShapeKind::Other},
  };
  for (const auto &[name, kind] : names) {
    EXPECT_EQ(shapeKindOf(QString::fromLatin1(name)), kind) << name;
    EXPECT_STREQ(shapeKindName(kind), name);
  }
  EXPECT_EQ(shapeKindOf(u"line"), TShapeKind::Unknown);  // names are exact

  TQN_Path s(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 1);
  s.setKindName(QStringLiteral("SPLINE"));
  EXPECT_TRUE(s.isKind(TShapeKind::Unknown));
  EXPECT_EQ(s.kindName(), QStringLiteral("SPLINE"));
  const std::unique_ptr<TQN_Path> copy(s.createCopy());
  EXPECT_EQ(copy->kindName(), QStringLiteral("SPLINE"));
  EXPECT_TRUE(copy->sameContent(s));
  s.setKindName(QStringLiteral("S_HOLE"));
  EXPECT_TRUE(s.isKind(TShapeKind::Hole));
  EXPECT_FALSE(copy->sameContent(s));
}

TEST(ShapeRecord, GroupIdsOnceInOrderOfFirstAppearance) {
  std::vector<std::unique_ptr<TQN_Path>> owned;
  std::vector<TQN_Path *> list;
  for (int gid : {0, 3, 5, 3, -1, 5}) {
    owned.push_back(newShape());
    owned.back()->FGroupID = gid;
    list.push_back(owned.back().get());
  }
  EXPECT_EQ(getGroupIDs(list), (std::vector<int>{3, 5}));
}

TEST(ShapeRecord, SettersAndSmallOperationsOnlyStore) {
  auto s = newShape();
  s->drawEllipsePath({5, 5}, 10, 4);
  const std::string outline = s->Data().toText();
  s->SetRotation(30);
  s->SetSelected(true);
  EXPECT_EQ(s->Data().toText(), outline);
  EXPECT_FLOAT_EQ(s->FRotation, 30);
  EXPECT_TRUE(s->FSelected);

  auto other = std::make_unique<TQN_Path>(12, 0xFF00FF00, 2.5f, TStrokeDash::Dot, 1);
  s->copyPalletValuesFrom(*other);
  EXPECT_EQ(s->FPalletIndex, 12);
  EXPECT_EQ(s->FColor, 0xFF00FF00u);
  EXPECT_FLOAT_EQ(s->FThickness, 2.5f);
  EXPECT_EQ(s->FDash, TStrokeDash::Dot);

  s->updateId(99);
  EXPECT_EQ(s->ID(), 99);
  s->FTemp_OnPath = other.get();
  s->FTemp_vector = {1, 1};
  s->clearTempParams();
  EXPECT_EQ(s->FTemp_OnPath, nullptr);
  EXPECT_TRUE(pointNear(s->FTemp_vector, {0, 0}, 0));
}

}  // namespace
}  // namespace quillon
