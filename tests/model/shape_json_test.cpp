// The JSON object of one shape: exact text written, forms accepted on reading, the
// all-or-nothing reader and its refusal of malformed objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/shape.h"
#include "model/model_test_util.h"
#include "platform/guid.h"
#include "platform/json_text.h"
#include "stitching/pricking_iron.h"
#include "support/test_env.h"

namespace quillon {
namespace {

using test::pointNear;

constexpr const char *kKnownGuid = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
constexpr const char *kCatalogGuid = "{A1B2C3D4-0000-4E5F-8A9B-00112233AABB}";

// A shape as the readers make one before loading: palette index -1, ID -1, and a pen
// that differs from every value the tests write.
std::unique_ptr<TQN_Path> freshShape() {
  return std::make_unique<TQN_Path>(-1, 0xFF0000FF, 0.2f, TStrokeDash::DashDotDot, -1);
}

TGUID guid(const char *text) { return *TGUID::fromString(text); }

std::string textOf(const TQN_Path &s) { return writeJsonText(s.toJson()); }

std::vector<std::string> keysOf(const TJson &jo) {
  std::vector<std::string> keys;
  for (auto it = jo.begin(); it != jo.end(); ++it) keys.push_back(it.key());
  return keys;
}

bool hasKey(const TJson &jo, const char *key) { return jo.find(key) != jo.end(); }

std::unique_ptr<TPrickingIron> ironD385() {
  auto iron = std::make_unique<TPrickingIron>();
  iron->BladeType = "D";
  iron->Pitch = 3.85f;
  return iron;
}

std::unique_ptr<TQN_Path> lineShape() {
  auto s = std::make_unique<TQN_Path>(0, 0xFF000000, 0.5f, TStrokeDash::Solid, 1);
  s->drawLinePath({0, 0}, {10, 0});
  s->FGUID = guid(kKnownGuid);
  return s;
}

// A stitching hole with every hole key set, the thread opaque white.
std::unique_ptr<TQN_Path> holeShape(TPrickingIron *iron) {
  auto s = std::make_unique<TQN_Path>(4, 0xFF8B4513, 0.25f, TStrokeDash::Solid, 31);
  s->FShapeType = TShapeKind::Hole;
  s->FCenter = s->FStartPt = s->FEndPt = {5.0f, 5.1f};
  s->SetRotation(45.0f);
  s->FStitchType = "D";
  s->FStitchInversed = true;
  s->FStitchIn = {4.5f, 5.1f};
  s->FStitchOut = {5.5f, 5.1f};
  s->FPrevStitchID = 30;
  s->FNextStitchID = 32;
  s->FThreadColor = 0xFFFFFFFF;
  s->FThreadCode = "MR-12";
  s->FThreadDiameter = 0.55f;
  s->FAlwaysShowStitchSimulator = true;
  s->setPrickingIron(iron);
  s->setData(TPathData::fromText("M4.5,5.1 L5,4.8 L5.5,5.1 L5,5.4 Z "));
  return s;
}

// ---------------------------------------------------------------------------------
// Writing

TEST(ShapeJsonWrite, NewLineIsWrittenByteForByte) {
  auto s = lineShape();
  const std::string expected =
      "{\"id\":\"1\",\"type\":\"LINE\",\"sp\":[0.0,0.0],\"ep\":[10.0,0.0],\"ct\":[0.0,0.0],"
      "\"w\":\"0.0\",\"h\":\"0.0\",\"color\":\"Black\",\"dash\":\"Solid\",\"opc\":\"0.5\","
      "\"path\":\"M0,0 L10,0 \",\"rt\":\"0.0\",\"st\":\"\",\"inv\":\"0\",\"bz1\":[0.0,0.0],"
      "\"bz2\":[0.0,0.0],\"thk\":\"0.5\",\"la\":\"0.0\",\"lb\":\"0.0\",\"iv\":\"0\",\"ih\":\"-1\","
      "\"sta\":\"0.0\",\"swa\":\"0.0\",\"tx\":\"\",\"fs\":\"10.0\",\"ff\":\"Meiryo UI\","
      "\"txst\":\"1.0\",\"txrd\":\"0.0\",\"guid\":\"{01234567-89AB-CDEF-0123-456789ABCDEF}\","
      "\"nm\":\"\",\"gid\":\"0\",\"dim\":\"0\",\"fang\":\"0\",\"arst\":\"0\",\"ared\":\"0\","
      "\"layer\":\"0\",\"plidx\":\"0\"}";
  EXPECT_EQ(textOf(*s), expected);
}

TEST(ShapeJsonWrite, ValuesUseTheirTextForms) {
  auto s = lineShape();
  s->drawLinePath({1.5f, 2}, {1.5f, 12.4f});  // vertical
  s->FWidth = 90;
  s->FHeight = 12.4f;
  s->FColor = 0x80102030;
  s->FDash = TStrokeDash::DashDot;
  s->FName = "a/b \xC3\xA9";  // "/" and a non-ASCII letter
  s->FGroupID = -7;
  s->FCatalogGUID = guid(kCatalogGuid);
  s->FCatalogRotation = 90;
  const TJson jo = s->toJson();
  EXPECT_EQ(jo["w"], "90.0");
  EXPECT_EQ(jo["h"], "12.3999996185303");
  EXPECT_EQ(writeJsonText(jo["ep"]), "[1.5,12.3999996185303]");
  EXPECT_EQ(jo["color"], "#80102030");
  EXPECT_EQ(jo["dash"], "DashDot");
  EXPECT_EQ(jo["la"], "2147483648.0");
  EXPECT_EQ(jo["iv"], "-1");
  EXPECT_EQ(jo["ih"], "0");
  EXPECT_EQ(jo["gid"], "-7");
  EXPECT_EQ(jo["ctlg"], kCatalogGuid);
  EXPECT_EQ(jo["ctlgrt"], "90");  // the one float key besides "thdia" without ".0"
  EXPECT_NE(textOf(*s).find("\"nm\":\"a\\/b \\u00E9\""), std::string::npos);
}

TEST(ShapeJsonWrite, PrickingIronReferenceOnlyWhenTheShapeHasOne) {
  auto iron = ironD385();
  auto s = holeShape(nullptr);
  EXPECT_FALSE(hasKey(s->toJson(), "pr"));

  s->setPrickingIron(iron.get());
  const TJson jo = s->toJson();
  ASSERT_TRUE(hasKey(jo, "pr"));
  EXPECT_EQ(writeJsonText(jo["pr"]), "{\"bt\":\"D\",\"p\":\"3.84999990463257\"}");
  const auto keys = keysOf(jo);
  const auto pr = std::find(keys.begin(), keys.end(), "pr");
  EXPECT_EQ(*(pr - 1), "swa");
  EXPECT_EQ(*(pr + 1), "tx");
}

// Every key that can appear, in the order written (TxFl only for TEXT, the hole keys
// only for S_HOLE).
const std::vector<std::string> kAllKeys = {
    "id",   "type",  "sp",   "ep",       "ct",       "w",     "h",      "color",  "dash",  "opc",
    "path", "rt",    "st",   "inv",      "bz1",      "bz2",   "thk",    "la",     "lb",    "iv",
    "ih",   "sta",   "swa",  "pr",       "tx",       "fs",    "ff",     "txst",   "txrd",  "guid",
    "nm",   "gid",   "dim",  "fang",     "arst",     "ared",  "StcIn",  "StcOut", "PrevStId",
    "NextStId", "manid", "msecid", "mdrctr", "nummndl", "mdrrtt", "layer", "plidx", "ctlg", "ctlgrt",
    "sbzos", "thcl", "thcd", "thdia", "asss", "ctlgscl", "TxFl"};

std::vector<std::string> allKeysExcept(const std::vector<std::string> &dropped) {
  std::vector<std::string> keys;
  for (const auto &k : kAllKeys)
    if (std::find(dropped.begin(), dropped.end(), k) == dropped.end()) keys.push_back(k);
  return keys;
}

void setEveryConditionalField(TQN_Path &s) {
  s.FMandalaID = 3;
  s.FCatalogGUID = guid(kCatalogGuid);
  s.FShowBezierOffsetSupport = true;
  s.FCatalogScale = {1.0f, 1.002f};
  s.FTextFill = false;
}

TEST(ShapeJsonWrite, KeysFollowTheFixedOrderWhenAllArePresent) {
  auto iron = ironD385();
  auto hole = holeShape(iron.get());
  setEveryConditionalField(*hole);
  EXPECT_EQ(keysOf(hole->toJson()), allKeysExcept({"TxFl"}));

  auto text = freshShape();
  text->FShapeType = TShapeKind::Text;
  text->setPrickingIron(iron.get());
  setEveryConditionalField(*text);
  EXPECT_EQ(keysOf(text->toJson()),
            allKeysExcept({"StcIn", "StcOut", "PrevStId", "NextStId", "thcl", "thcd", "thdia", "asss"}));
}

TEST(ShapeJsonWrite, ConditionalKeys) {
  struct Case {
    const char *what;
    std::function<void(TQN_Path &)> setUp;
    std::vector<const char *> present;
    std::vector<const char *> absent;
  };
  const std::vector<Case> cases = {
      {"line", [](TQN_Path &s) { s.drawLinePath({0, 0}, {10, 0}); }, {},
       {"StcIn", "StcOut", "PrevStId", "NextStId", "thcl", "thcd", "thdia", "asss", "manid", "ctlg", "ctlgrt",
        "sbzos", "ctlgscl", "TxFl", "pr"}},
      {"bare hole",
       [](TQN_Path &s) { s.FShapeType = TShapeKind::Hole; },
       {"StcIn", "StcOut", "PrevStId", "NextStId", "asss"},
       {"thcl", "thcd", "thdia"}},
      {"hole with white thread",
       [](TQN_Path &s) {
         s.FShapeType = TShapeKind::Hole;
         s.FThreadColor = 0xFFFFFFFF;
       },
       {"thcl"}, {"thcd", "thdia"}},
      {"line with thread fields", [](TQN_Path &s) {
         s.FShapeType = TShapeKind::Line;
         s.FThreadColor = 0xFFFF0000;
         s.FThreadCode = "X";
         s.FThreadDiameter = 1;
       }, {}, {"thcl", "thcd", "thdia"}},
      {"negative thread diameter", [](TQN_Path &s) {
         s.FShapeType = TShapeKind::Hole;
         s.FThreadDiameter = -1;
       }, {}, {"thdia"}},
      {"catalog scale within 0.001", [](TQN_Path &s) { s.FCatalogScale = {1.0f, 1.0005f}; }, {}, {"ctlgscl"}},
      {"catalog scale beyond 0.001", [](TQN_Path &s) { s.FCatalogScale = {1.0f, 1.002f}; }, {"ctlgscl"}, {}},
      {"mandala id 0", [](TQN_Path &s) { s.FMandalaSectionID = 4; }, {},
       {"manid", "msecid", "mdrctr", "nummndl", "mdrrtt"}},
      {"negative mandala id", [](TQN_Path &s) { s.FMandalaID = -2; }, {}, {"manid", "mdrrtt"}},
      {"mandala id above 0", [](TQN_Path &s) { s.FMandalaID = 1; },
       {"manid", "msecid", "mdrctr", "nummndl", "mdrrtt"}, {}},
      {"catalog rotation alone", [](TQN_Path &s) { s.FCatalogRotation = 30; }, {}, {"ctlg", "ctlgrt"}},
      {"text filled", [](TQN_Path &s) { s.FShapeType = TShapeKind::Text; }, {}, {"TxFl"}},
      {"text not filled", [](TQN_Path &s) {
         s.FShapeType = TShapeKind::Text;
         s.FTextFill = false;
       }, {"TxFl"}, {}},
      {"outline not filled", [](TQN_Path &s) { s.FTextFill = false; }, {}, {"TxFl"}},
      {"offset support", [](TQN_Path &s) { s.FShowBezierOffsetSupport = true; }, {"sbzos"}, {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    auto s = freshShape();
    c.setUp(*s);
    const TJson jo = s->toJson();
    for (const char *k : c.present) EXPECT_TRUE(hasKey(jo, k)) << k;
    for (const char *k : c.absent) EXPECT_FALSE(hasKey(jo, k)) << k;
  }
}

TEST(ShapeJsonWrite, HoleThreadValues) {
  auto s = holeShape(nullptr);
  TJson jo = s->toJson();
  EXPECT_EQ(jo["thcl"], "White");
  EXPECT_EQ(jo["thcd"], "MR-12");
  EXPECT_EQ(jo["thdia"], "0.550000011920929");
  EXPECT_EQ(jo["asss"], "-1");
  EXPECT_EQ(jo["PrevStId"], "30");
  s->FThreadDiameter = 2;
  s->FThreadColor = 0x00FFFFFF;  // white, fully transparent: not a named colour
  jo = s->toJson();
  EXPECT_EQ(jo["thdia"], "2");
  EXPECT_EQ(jo["thcl"], "#00FFFFFF");
}

// ---------------------------------------------------------------------------------
// Reading

// The object of the LINE above with only the required keys.
TJson requiredOnly() {
  TJson jo = lineShape()->toJson();
  for (const char *k : {"opc", "tx", "fs", "ff", "txst", "txrd", "guid", "nm", "gid", "dim", "fang", "arst", "ared",
                        "layer", "plidx"})
    jo.erase(k);
  return jo;
}

TEST(ShapeJsonRead, AbsentOptionalKeysKeepTheFreshShapesValues) {
  auto s = freshShape();
  const TGUID fresh = s->FGUID;
  s->loadJson(requiredOnly(), nullptr);
  EXPECT_EQ(s->ID(), 1);
  EXPECT_EQ(s->FShapeType, TShapeKind::Line);
  EXPECT_FLOAT_EQ(s->FOpacity, 0.5f);
  EXPECT_EQ(s->FGUID, fresh);
  EXPECT_EQ(s->FLayerID, 0);
  EXPECT_EQ(s->FPalletIndex, -1);
  EXPECT_FLOAT_EQ(s->FFontSize, 10);
  EXPECT_EQ(s->FFontFamily, "Meiryo UI");
  EXPECT_FALSE(s->FThreadColor.has_value());
  EXPECT_TRUE(s->FCatalogGUID.isEmpty());
  // The pen came from the object, not from the shape's constructor.
  EXPECT_EQ(s->FColor, 0xFF000000u);
  EXPECT_EQ(s->FDash, TStrokeDash::Solid);
  EXPECT_FLOAT_EQ(s->FThickness, 0.5f);
}

TEST(ShapeJsonRead, ThreadAndCatalogKeysTakeTheirAbsentValues) {
  auto s = freshShape();
  s->FOpacity = 0.7f;
  s->FLayerID = 5;
  s->FThreadColor = 0xFFFF0000;
  s->FThreadCode = "old";
  s->FThreadDiameter = 1.5f;
  s->FCatalogGUID = guid(kCatalogGuid);
  s->FCatalogRotation = 45;
  s->loadJson(requiredOnly(), nullptr);
  // Ordinary optional keys keep what the shape had ...
  EXPECT_FLOAT_EQ(s->FOpacity, 0.7f);
  EXPECT_EQ(s->FLayerID, 5);
  // ... these five are reset when absent.
  EXPECT_FALSE(s->FThreadColor.has_value());
  EXPECT_TRUE(s->FThreadCode.isEmpty());
  EXPECT_EQ(s->FThreadDiameter, 0.0f);
  EXPECT_TRUE(s->FCatalogGUID.isEmpty());
  EXPECT_EQ(s->FCatalogRotation, 0.0f);
}

TEST(ShapeJsonRead, CatalogRotationIsReadWithoutCatalog) {
  TJson jo = requiredOnly();
  jo["ctlgrt"] = "30";
  auto s = freshShape();
  s->loadJson(jo, nullptr);
  EXPECT_EQ(s->FCatalogRotation, 30.0f);
  EXPECT_TRUE(s->FCatalogGUID.isEmpty());
}

TEST(ShapeJsonRead, StoredValuesAreTakenAsTheyStand) {
  auto iron = ironD385();
  auto other = ironD385();
  TJson jo = requiredOnly();
  jo["la"] = "5.0";  // not what a horizontal line from (0, 0) gives
  jo["lb"] = "-2.5";
  jo["iv"] = "-1";
  jo["ih"] = "0";
  jo["path"] = "M0,0 C1,1 2,1 3,0 L4,0 ";  // a curve stays a curve
  jo["pr"] = other->toJsonObjectMinimal();   // the reader uses the iron passed in
  auto s = freshShape();
  s->SetSelected(true);
  s->loadJson(jo, iron.get());
  EXPECT_EQ(s->Line_param_a(), 5.0f);
  EXPECT_EQ(s->Line_param_b(), -2.5f);
  EXPECT_TRUE(s->IsVerticalLine());
  EXPECT_FALSE(s->IsHorizontalLine());
  EXPECT_EQ(s->Data().Count(), 5);
  EXPECT_EQ(test::countKind(s->Data(), TPathPointKind::CurveTo), 3);
  EXPECT_EQ(s->PrickingIron(), iron.get());
  EXPECT_TRUE(s->FSelected);  // not part of the object

  s->loadJson(jo, nullptr);
  EXPECT_EQ(s->PrickingIron(), nullptr);
}

TEST(ShapeJsonRead, NumbersIntegersAndBooleansInTheirAcceptedForms) {
  struct FloatCase {
    TJson value;
    float expected;
  };
  const std::vector<FloatCase> floats = {
      {"12.5", 12.5f},  {12.5, 12.5f},  {7, 7.0f},       {"7", 7.0f},
      {"-0.25", -0.25f}, {"1E-5", 1e-5f}, {"12.3999996185303", 12.4f},
      // The largest float, written with 15 digits, reads back slightly above it.
      {"3.40282346638529E38", std::numeric_limits<float>::max()},
  };
  for (const auto &c : floats) {
    SCOPED_TRACE(c.value.dump());
    TJson jo = requiredOnly();
    jo["w"] = c.value;
    auto s = freshShape();
    s->loadJson(jo, nullptr);
    EXPECT_EQ(s->FWidth, c.expected);
  }

  struct IntCase {
    TJson value;
    int expected;
  };
  const std::vector<IntCase> ints = {{"42", 42},  {42, 42},  {"-3", -3},          {42.0, 42},
                                     {"2147483647", 2147483647}, {-2147483648LL, -2147483647 - 1}};
  for (const auto &c : ints) {
    SCOPED_TRACE(c.value.dump());
    TJson jo = requiredOnly();
    jo["id"] = c.value;
    auto s = freshShape();
    s->loadJson(jo, nullptr);
    EXPECT_EQ(s->ID(), c.expected);
  }

  struct BoolCase {
    TJson value;
    bool expected;
  };
  const std::vector<BoolCase> bools = {{"-1", true}, {"1", true}, {"0", false}, {true, true}, {false, false}};
  for (const auto &c : bools) {
    SCOPED_TRACE(c.value.dump());
    TJson jo = requiredOnly();
    jo["inv"] = c.value;
    auto s = freshShape();
    s->loadJson(jo, nullptr);
    EXPECT_EQ(s->FStitchInversed, c.expected);
  }

  TJson jo = requiredOnly();
  jo["sp"] = TJson::array({"1.5", 2, 99});  // strings or numbers; extra elements ignored
  jo["color"] = "#FF0000";                  // six digits: alpha 0
  jo["guid"] = "{01234567-89ab-cdef-0123-456789abcdef}";
  auto s = freshShape();
  s->loadJson(jo, nullptr);
  EXPECT_TRUE(pointNear(s->FStartPt, {1.5f, 2.0f}, 0));
  EXPECT_EQ(s->FColor, 0x00FF0000u);
  EXPECT_EQ(s->FGUID, guid(kKnownGuid));
}

TEST(ShapeJsonRead, OldEllipseWithStartAtItsCentreGetsItsLeftEnd) {
  // Written by hand as an older document stored it: the start point on the centre, and
  // numbers partly as JSON numbers.
  const TJson jo = loadJsonFile(test::fixturePath("shapes/legacy_ellipse.json"));
  auto s = freshShape();
  s->loadJson(jo, nullptr);
  EXPECT_EQ(s->FShapeType, TShapeKind::Ellipse);
  EXPECT_EQ(s->ID(), 12);
  // Centre (20.004, 15), width 30: left end 20.004 - 15.
  EXPECT_TRUE(pointNear(s->FStartPt, {5.004f, 15.0f}, 1e-5));
  EXPECT_TRUE(pointNear(s->FEndPt, {5.004f, 15.0f}, 1e-5));
  EXPECT_TRUE(pointNear(s->FCenter, {20.004f, 15.0f}, 1e-5));
  EXPECT_EQ(s->FWidth, 30.0f);
  EXPECT_EQ(s->FColor, 0xFF336699u);
  EXPECT_EQ(s->FDash, TStrokeDash::Dash);
  EXPECT_EQ(s->FLayerID, 2);
  EXPECT_EQ(s->Data().Count(), 13);  // one move and four curves, not flattened

  struct Case {
    const char *type;
    TJson sp;
    bool moved;
  };
  const std::vector<Case> cases = {
      {"ELLIPSE", TJson::array({20.0, 15.0}), true},
      {"ELLIPSE", TJson::array({20.0, 15.01}), false},  // differs after rounding
      {"ELLIPSE", TJson::array({19.996, 15.0}), true},  // rounds to the same 0.01
      {"ARC", TJson::array({20.0, 15.0}), false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.sp.dump());
    TJson o = jo;
    o["type"] = c.type;
    o["ct"] = TJson::array({20.0, 15.0});
    o["sp"] = c.sp;
    o["ep"] = TJson::array({1.0, 2.0});
    auto t = freshShape();
    t->loadJson(o, nullptr);
    if (c.moved) {
      EXPECT_TRUE(pointNear(t->FStartPt, {5.0f, 15.0f}, 0));
      EXPECT_TRUE(pointNear(t->FEndPt, {5.0f, 15.0f}, 0));
    } else {
      EXPECT_TRUE(pointNear(t->FStartPt, {c.sp[0].get<float>(), c.sp[1].get<float>()}, 0));
      EXPECT_TRUE(pointNear(t->FEndPt, {1.0f, 2.0f}, 0));
    }
  }
}

// ---------------------------------------------------------------------------------
// Write, read, write

struct RoundTripShapes {
  std::unique_ptr<TPrickingIron> iron = ironD385();
  std::vector<std::unique_ptr<TQN_Path>> shapes;

  RoundTripShapes() {
    auto add = [&](std::function<void(TQN_Path &)> build) {
      auto s = std::make_unique<TQN_Path>(static_cast<int>(shapes.size()), 0xFF2F4F4F, 0.35f, TStrokeDash::Solid,
                                          static_cast<int>(shapes.size()) + 100);
      build(*s);
      shapes.push_back(std::move(s));
    };
    add([](TQN_Path &s) {
      s.drawLinePath({1.1f, 2.2f}, {30.7f, -4.4f});
      s.FIsFreeAngle = true;
      s.FIsDimensionLine = true;
      s.FShowArrowSt = true;
      s.FShowArrowEd = true;
      s.FName = "Seam / edge";
      s.FMandalaID = 4;
      s.FMandalaSectionID = 2;
      s.FMandalaCenter = {1.1f, -2.2f};
      s.FNumMandalaSections = 6;
      s.FMandalaRotation = 60.5f;
    });
    add([](TQN_Path &s) {
      s.drawArcPath({10, 10}, {5, 5}, {15, 10}, {10, 15}, 90);
      s.FDash = TStrokeDash::Dash;
      s.FGroupID = 3;
    });
    add([](TQN_Path &s) {
      s.drawEllipsePath({7.5f, 3.25f}, 12.4f, 6.2f);
      s.SetRotation(30);
      s.FDash = TStrokeDash::Custom;
      s.FCatalogGUID = guid(kCatalogGuid);
      s.FCatalogRotation = 12.4f;
      s.FCatalogScale = {1.25f, 0.8f};
      s.FOpacity = 0.3f;
    });
    add([](TQN_Path &s) {
      s.drawBezierPath({0, 0}, {3.3f, -7.1f}, {9.9f, 7.1f}, {13.2f, 0});
      s.FShowBezierOffsetSupport = true;
      s.FLayerID = 7;
    });
    add([](TQN_Path &s) {
      s.drawDotPath({3, 4}, 0.6f);
      s.FColor = 0x7F00FF00;
      s.FDash = TStrokeDash::Dot;
    });
    add([](TQN_Path &s) {
      s.FShapeType = TShapeKind::Text;
      s.FText = "Leder \xE2\x9C\x82 \xE9\x9D\xA9";  // a scissors sign and a CJK letter
      s.FFontSize = 5.5f;
      s.FFontFamily = "DejaVu Sans";
      s.FTextStretch = 1.2f;
      s.FTextRadius = -20;
      s.SetRotation(15);
      s.FTextFill = false;
      s.FCenter = {4, 2};
      s.FWidth = 24.5f;
      s.FHeight = 5.5f;
      s.setData(TPathData::fromText("M0,0 L1,0 L1,1 Z M2,0 C2.5,0 3,0.5 3,1 Z "));
    });
    add([this](TQN_Path &s) {
      auto hole = holeShape(iron.get());
      s.FShapeType = hole->FShapeType;
      s.FCenter = s.FStartPt = s.FEndPt = hole->FStartPt;
      s.SetRotation(hole->FRotation);
      s.FStitchType = hole->FStitchType;
      s.FStitchInversed = true;
      s.FStitchIn = hole->FStitchIn;
      s.FStitchOut = hole->FStitchOut;
      s.FPrevStitchID = hole->FPrevStitchID;
      s.FNextStitchID = hole->FNextStitchID;
      s.FThreadColor = hole->FThreadColor;
      s.FThreadCode = hole->FThreadCode;
      s.FThreadDiameter = hole->FThreadDiameter;
      s.FAlwaysShowStitchSimulator = true;
      s.setPrickingIron(iron.get());
      s.setData(hole->Data());
    });
    add([](TQN_Path &s) {
      s.setData(TPathData::fromText("M0,0 L10,0 L10,10 L0,10 Z "));
      s.FOpacity = 0.25f;
      s.FCatalogGUID = guid(kCatalogGuid);
      s.FCatalogRotation = -33.3f;
      s.FCatalogScale = {2, 2};
      s.SetSelected(true);
    });
  }
};

TEST(ShapeJsonRoundTrip, EveryKindReadsBackToTheSameText) {
  RoundTripShapes set;
  std::vector<std::string> kinds;
  for (const auto &src : set.shapes) {
    SCOPED_TRACE(src->kindName().toStdString());
    kinds.push_back(src->kindName().toStdString());
    const std::string first = textOf(*src);
    auto copy = freshShape();
    copy->loadJson(parseJsonText(first), src->PrickingIron());
    EXPECT_EQ(textOf(*copy), first);

    // Values the text does not show directly.
    EXPECT_EQ(copy->ID(), src->ID());
    EXPECT_EQ(copy->FGUID, src->FGUID);
    EXPECT_EQ(copy->FPalletIndex, src->FPalletIndex);
    EXPECT_TRUE(copy->Data() == src->Data());
    EXPECT_EQ(copy->FThreadColor, src->FThreadColor);
    EXPECT_EQ(copy->PrickingIron(), src->PrickingIron());
    EXPECT_FALSE(copy->FSelected);
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"LINE", "ARC", "ELLIPSE", "BEZIER", "DOT", "TEXT", "S_HOLE", "OTHER"}));
}

TEST(ShapeJsonRoundTrip, KeyOrderDoesNotMatterOnReading) {
  RoundTripShapes set;
  for (const auto &src : set.shapes) {
    SCOPED_TRACE(src->kindName().toStdString());
    const TJson jo = src->toJson();
    TJson reversed = TJson::object();
    for (auto it = jo.rbegin(); it != jo.rend(); ++it) reversed[it.key()] = it.value();
    auto copy = freshShape();
    copy->loadJson(reversed, src->PrickingIron());
    EXPECT_EQ(textOf(*copy), writeJsonText(jo));
  }
}

TEST(ShapeJsonRoundTrip, WhiteThreadSurvives) {
  auto hole = holeShape(nullptr);
  auto copy = freshShape();
  copy->loadJson(parseJsonText(textOf(*hole)), nullptr);
  ASSERT_TRUE(copy->FThreadColor.has_value());
  EXPECT_EQ(*copy->FThreadColor, 0xFFFFFFFFu);
}

// ---------------------------------------------------------------------------------
// Refusals

const std::vector<const char *> kRequiredKeys = {"id",  "type", "sp",  "ep", "ct",  "w",  "h",  "color",
                                                 "dash", "path", "rt", "st", "inv", "bz1", "bz2", "thk",
                                                 "la",  "lb",   "iv",  "ih", "sta", "swa"};

class ShapeJsonRefusal : public ::testing::Test {
 protected:
  void SetUp() override {
    // The object to break: a hole with every key present.
    auto src = holeShape(iron.get());
    setEveryConditionalField(*src);
    base = src->toJson();
    // The target already holds another shape, which must survive every failed read.
    target = freshShape();
    target->loadJson(lineShape()->toJson(), iron.get());
    target->FThreadColor = 0xFF123456;
    before = textOf(*target);
  }

  // Reading `jo` must fail naming `key` and leave the target exactly as it was.
  void expectRefused(const TJson &jo, const std::string &key) {
    try {
      target->loadJson(jo, other.get());
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error &e) {
      EXPECT_NE(std::string(e.what()).find("\"" + key + "\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(textOf(*target), before);
    EXPECT_EQ(target->PrickingIron(), iron.get());
    EXPECT_EQ(target->FThreadColor, 0xFF123456u);
  }

  std::unique_ptr<TPrickingIron> iron = ironD385();
  std::unique_ptr<TPrickingIron> other = ironD385();
  TJson base;
  std::unique_ptr<TQN_Path> target;
  std::string before;
};

TEST_F(ShapeJsonRefusal, EachMissingRequiredKey) {
  {
    // The base object itself reads (so each failure below is the removed key's).
    auto s = freshShape();
    EXPECT_NO_THROW(s->loadJson(base, nullptr));
  }
  for (const char *key : kRequiredKeys) {
    SCOPED_TRACE(key);
    TJson jo = base;
    jo.erase(key);
    expectRefused(jo, key);
  }
  TJson jo = base;
  jo.erase("sta");
  try {
    target->loadJson(jo, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error &e) {
    EXPECT_STREQ(e.what(), "shape key \"sta\" is missing");
  }
}

TEST_F(ShapeJsonRefusal, ValuesOfTheWrongForm) {
  struct Case {
    const char *key;
    TJson value;
  };
  const std::vector<Case> cases = {
      {"id", "abc"},
      {"id", "1.0"},
      {"id", 1.5},
      {"id", "99999999999"},
      {"id", 4294967296LL},
      {"id", nullptr},
      {"id", TJson::object()},
      {"type", 5},
      {"type", nullptr},
      {"sp", TJson::array({1.0})},
      {"sp", TJson::array()},
      {"sp", "1,2"},
      {"sp", TJson::array({1.0, "a"})},
      {"sp", TJson::array({nullptr, 1})},
      {"sp", TJson::array({1e300, 0.0})},
      {"sp", TJson::array({"1e39", "0"})},
      {"sp", TJson::array({"NAN", "0"})},
      {"ep", true},
      {"ct", TJson::object()},
      {"w", "1,5"},
      {"w", ""},
      {"w", true},
      {"w", TJson::array()},
      {"w", "1e39"},
      {"w", -1e300},
      {"h", "ten"},
      {"color", "NotAColour"},
      {"color", 5},
      {"color", "#GG000000"},
      {"dash", "Dashed"},
      {"dash", "solid"},
      {"dash", 3},
      {"opc", "x"},
      {"path", "X1,2"},
      {"path", "L1,2"},
      {"path", "M1"},
      {"path", 7},
      {"rt", nullptr},
      {"st", 7},
      {"inv", "yes"},
      {"inv", "2"},
      {"inv", "true"},
      {"inv", 1},
      {"bz1", TJson::array({"", ""})},
      {"bz2", "[0,0]"},
      {"thk", "1.0.0"},
      {"la", TJson::object()},
      {"lb", nullptr},
      {"iv", 0},
      {"ih", "-1.0"},
      {"sta", "NaN?"},
      {"swa", false},
      {"tx", 5},
      {"fs", "big"},
      {"ff", nullptr},
      {"txst", TJson::array()},
      {"txrd", "--1"},
      {"guid", "{123}"},
      {"guid", "01234567-89AB-CDEF-0123-456789ABCDEF"},
      {"guid", 5},
      {"nm", 1},
      {"gid", "1.0"},
      {"dim", "maybe"},
      {"fang", 2},
      {"arst", nullptr},
      {"ared", "-2"},
      {"StcIn", TJson::object()},
      {"StcOut", TJson::array({1})},
      {"PrevStId", "x"},
      {"NextStId", 1e20},
      {"manid", "one"},
      {"msecid", true},
      {"mdrctr", "0,0"},
      {"nummndl", "6.0"},
      {"mdrrtt", "x"},
      {"layer", "-"},
      {"plidx", ""},
      {"ctlg", ""},
      {"ctlgrt", "ninety"},
      {"sbzos", "-1 "},
      {"thcl", "#123456789"},
      {"thcl", 255},
      {"thcd", 3},
      {"thdia", "0,5"},
      {"asss", "T"},
      {"ctlgscl", TJson::array({1})},
      {"TxFl", "false"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.key) + " = " + c.value.dump());
    TJson jo = base;
    jo[c.key] = c.value;
    expectRefused(jo, c.key);
  }
}

TEST_F(ShapeJsonRefusal, EllipseWhoseLeftEndIsNotFinite) {
  // An infinite width is a float the file can hold, but the start point derived from it
  // for an old ellipse would be a point no JSON number can hold.
  for (const char *w : {"INF", "NAN", "3.4E38"}) {
    SCOPED_TRACE(w);
    TJson jo = base;
    jo["type"] = "ELLIPSE";
    jo["sp"] = TJson::array({-3.0e38, 0.0});
    jo["ct"] = jo["sp"];
    jo["w"] = w;
    expectRefused(jo, "w");
  }
}

TEST_F(ShapeJsonRefusal, NotAnObject) {
  for (const TJson &jo : {TJson::array({base}), TJson(nullptr), TJson("shape"), TJson(3)}) {
    SCOPED_TRACE(jo.type_name());
    EXPECT_THROW(target->loadJson(jo, nullptr), std::runtime_error);
    EXPECT_EQ(textOf(*target), before);
  }
}

// ---------------------------------------------------------------------------------
// Fuzzing: mutated objects either read or are refused with std::runtime_error, never
// anything else; a refused read changes nothing; an accepted one writes back stably.

TJson randomValue(std::mt19937 &rng, int depth) {
  static const std::vector<std::string> texts = {
      "",       "-1",  "0",     "1",  "1.5",  "-0.0",  "1e39",   "-1E-5",    "1E-50", "NAN", "INF",
      "2147483648", "12.3999996185303", "3.4E38", " 7 ", "+3", "White", "#FF00FF00", "#", "$FF", "Dash",
      "{01234567-89AB-CDEF-0123-456789ABCDEF}", "M1,2 L3,4 Z ", "M1,2 C", "M0,0 Q1,1 2,0 T4,0 ",
      "m1,1 h2 v2 z", "M1 2 3 4", "\xE9\x9D\xA9", "\xFF\xFE", "null"};
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  switch (pick(depth > 2 ? 8 : 10)) {
    case 0: return nullptr;
    case 1: return pick(2) == 0;
    case 2: return static_cast<std::int64_t>(rng()) - static_cast<std::int64_t>(rng()) * 4096;
    case 3: return std::numeric_limits<std::uint64_t>::max() - rng();
    case 4: {
      static const double doubles[] = {0.5, -3.25, 1e300, -1e-300, 3.0e38, 3.5e38, 7.0, 1e-45, 2147483648.0};
      return doubles[pick(std::size(doubles))];
    }
    case 5:
    case 6: return texts[pick(texts.size())];
    case 7: {
      std::string s;
      for (std::size_t n = pick(12); n > 0; --n) s += static_cast<char>(rng() % 256);
      return s;
    }
    case 8: {
      TJson a = TJson::array();
      for (std::size_t n = pick(4); n > 0; --n) a.push_back(randomValue(rng, depth + 1));
      return a;
    }
    default: {
      TJson o = TJson::object();
      for (std::size_t n = pick(3); n > 0; --n) o["k" + std::to_string(n)] = randomValue(rng, depth + 1);
      return o;
    }
  }
}

void mutate(TJson &jo, std::mt19937 &rng) {
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  if (jo.empty()) return;
  const std::string key = std::next(jo.begin(), static_cast<std::ptrdiff_t>(pick(jo.size()))).key();
  TJson &value = jo[key];
  switch (pick(5)) {
    case 0: jo.erase(key); break;
    case 1: value = randomValue(rng, 0); break;
    case 2:  // truncate a text, possibly inside a multi-byte character
      if (value.is_string()) {
        auto &s = value.get_ref<std::string &>();
        s.resize(pick(s.size() + 1));
      }
      break;
    case 3:  // damage an element of an array (a point)
      if (value.is_array() && !value.empty()) {
        if (pick(2) == 0)
          value.erase(value.size() - 1);
        else
          value[pick(value.size())] = randomValue(rng, 1);
      }
      break;
    default: jo["extra" + std::to_string(pick(3))] = randomValue(rng, 0); break;
  }
}

TEST(ShapeJsonFuzz, MutatedObjectsNeverCrash) {
  RoundTripShapes set;
  std::vector<TJson> bases;
  for (const auto &s : set.shapes) {
    TJson jo = s->toJson();
    jo["tx"] = "Leder \xE9\x9D\xA9\xE9\x9D\xA9";
    bases.push_back(std::move(jo));
  }
  const TJson original = lineShape()->toJson();
  auto target = freshShape();
  target->loadJson(original, nullptr);
  const std::string before = textOf(*target);

  std::mt19937 rng(20240611u);
  int accepted = 0, refused = 0;
  for (int i = 0; i < 4000; ++i) {
    TJson jo = bases[rng() % bases.size()];
    for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) mutate(jo, rng);
    try {
      target->loadJson(jo, nullptr);
    } catch (const std::runtime_error &) {
      ++refused;
      ASSERT_EQ(textOf(*target), before) << "iteration " << i;
      continue;
    } catch (const std::exception &e) {
      FAIL() << "iteration " << i << ": " << e.what();
    }
    ++accepted;
    // What was accepted writes valid text that reads back to the same text.
    std::string first;
    ASSERT_NO_THROW(first = textOf(*target)) << "iteration " << i;
    auto again = freshShape();
    ASSERT_NO_THROW(again->loadJson(parseJsonText(first), nullptr)) << "iteration " << i << ": " << first;
    ASSERT_EQ(textOf(*again), first) << "iteration " << i;
    // Optional keys absent from the original would keep what was just read: start over.
    target = freshShape();
    target->loadJson(original, nullptr);
  }
  // Both outcomes were exercised.
  EXPECT_GT(accepted, 200);
  EXPECT_GT(refused, 200);
}

}  // namespace
}  // namespace quillon
