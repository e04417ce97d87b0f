// The JSON object of one shape: TQN_Path::toJson and TQN_Path::loadJson.
//
// Encodings: integers, floats and Booleans are JSON strings ("12", "12.5", "-1"/"0");
// points are arrays of two JSON numbers; colours are names or "#AARRGGBB"; GUIDs are
// the braced 38-character text; the dash style is its name; the outline is its path
// text. Keys are written in one fixed order, some only for certain kinds or values.
// Reading also takes JSON numbers for floats and integers (an integer must be whole and
// fit 32 bits; "1.0" is not an integer text), and "1" or a JSON Boolean for a Boolean.
//
// Reading is all or nothing: every value is converted into a scratch record first, and
// the shape is changed only when the whole object was read. Any missing required key or
// value of the wrong form throws std::runtime_error naming the key, and the shape keeps
// every value it had. A dash name other than the six of TStrokeDash (compared exactly)
// is such a wrong form. Keys this reader does not know ("pr" among them: the caller reads
// the iron reference and passes the iron in) are ignored.
#include <array>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "platform/json_text.h"
#include "platform/json_values.h"
#include "platform/number_text.h"
#include "stitching/pricking_iron.h"

namespace quillon {

namespace {


// At least as many keys as one shape object can have.
constexpr std::size_t kMaxKeys = 56;

const char *boolText(bool value) { return value ? "-1" : "0"; }

std::string toUtf8(const QString &text) { return text.toStdString(); }

// ---------------------------------------------------------------------------------
// Reading

// A short, quoted excerpt of a text for an error message.
std::string quoted(std::string_view text) {
  constexpr std::size_t kMax = 40;
  if (text.size() <= kMax) return "\"" + std::string(text) + "\"";
  return "\"" + std::string(text.substr(0, kMax)) + "...\"";
}

[[noreturn]] void failKey(const char *key, const std::string &problem) {
  throw std::runtime_error(std::string("shape key \"") + key + "\": " + problem);
}

[[noreturn]] void failWrongType(const char *key, const char *expected, const TJson &value) {
  failKey(key, std::string("expected ") + expected + ", found " + value.type_name());
}

// The message for a value the JSON reader refused: `kind` names what the key holds.
[[noreturn]] void failRead(const char *key, const TJson &value, TJsonFault fault, const char *kind) {
  if (fault == TJsonFault::WrongType) failWrongType(key, kind, value);
  const std::string shown = value.is_string() ? quoted(std::string_view(value.get_ref<const std::string &>()))
                                              : value.dump(-1, ' ', false, TJson::error_handler_t::replace);
  failKey(key, shown + (fault == TJsonFault::OutOfRange ? " is out of range for " : " is not ") + kind);
}

template <typename T>
T readOrFail(TJsonRead<T> read, const char *key, const TJson &value, const char *kind) {
  if (!read) failRead(key, value, read.Fault, kind);
  return read.Value;
}

// Floats may be infinite or NaN: the writer has a text for them ("INF", "NAN").
float toFloat(const TJson &value, const char *key) {
  return readOrFail(readJsonFloat(value, TNonFinite::Accept), key, value, "a number");
}

int toInt(const TJson &value, const char *key) {
  return readOrFail(readJsonInt(value), key, value, "a 32-bit integer");
}

bool toBool(const TJson &value, const char *key) {
  return readOrFail(readJsonBool(value, TBoolForms::Flags), key, value, "a Boolean (\"-1\" or \"0\")");
}

std::string_view toString(const TJson &value, const char *key) {
  return readOrFail(readJsonText(value), key, value, "a text");
}

QString toQString(const TJson &value, const char *key) {
  const std::string_view text = toString(value, key);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Points are written as JSON numbers, which have no form for infinity or NaN.
TPointF toPoint(const TJson &value, const char *key) {
  return readOrFail(readJsonPoint(value), key, value, "a point [x, y] of two finite numbers");
}

TAlphaColor toColor(const TJson &value, const char *key) {
  if (!value.is_string()) failWrongType(key, "a colour text", value);
  try {
    return jsonToColor(value);
  } catch (const std::exception &e) {
    failKey(key, e.what());
  }
}

TGUID toGuid(const TJson &value, const char *key) {
  const auto &text = toString(value, key);
  if (const auto g = TGUID::fromString(text)) return *g;
  failKey(key, quoted(text) + " is not a GUID");
}

TStrokeDash toDash(const TJson &value, const char *key) {
  const auto &text = toString(value, key);
  if (const auto dash = strokeDashFromName(text)) return *dash;
  failKey(key, quoted(text) + " is not a dash style");
}

TPathData toOutline(const TJson &value, const char *key) {
  const auto &text = toString(value, key);
  try {
    return TPathData::fromText(text);
  } catch (const std::exception &e) {
    failKey(key, e.what());
  }
}

// Looks keys up in the object being read. Objects mostly hold their keys in the order
// they are asked for, so each search starts where the previous one ended.
class TObjectReader {
 public:
  explicit TObjectReader(const TJson &jo) : members_(jo.get_ref<const TJson::object_t &>()) {}

  const TJson &required(const char *key) const {
    if (const TJson *v = optional(key)) return *v;
    throw std::runtime_error(std::string("shape key \"") + key + "\" is missing");
  }
  const TJson *optional(const char *key) const {
    const std::size_t n = members_.size();
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = (next_ + k) % n;
      const auto it = members_.begin() + static_cast<std::ptrdiff_t>(i);
      if (it->first == key) {
        next_ = i + 1;
        return &it->second;
      }
    }
    return nullptr;
  }

  // Reads an optional key into `target` with `convert`, leaving it as it was when absent.
  template <typename T, typename Convert>
  void optional(const char *key, T &target, Convert convert) const {
    if (const TJson *v = optional(key)) target = convert(*v, key);
  }

 private:
  const TJson::object_t &members_;
  mutable std::size_t next_ = 0;
};

// Every value the reader sets, gathered before any of them reaches the shape.
struct TShapeValues {
  int ID = 0;
  QString ShapeType;
  TPointF StartPt, EndPt, Center;
  float Width = 0, Height = 0;
  TAlphaColor Color = 0;
  std::optional<TAlphaColor> ThreadColor;
  QString ThreadCode;
  float ThreadDiameter = 0;
  TStrokeDash Dash = TStrokeDash::Solid;
  float Opacity = 0;
  TPathData Outline;
  float Rotation = 0;
  QString StitchType;
  bool StitchInversed = false;
  TPointF BezierCp1, BezierCp2;
  float Thickness = 0;
  float LineParamA = 0, LineParamB = 0;
  bool IsVerticalLine = false, IsHorizontalLine = false;
  float StartAngle = 0, SweepAngle = 0;
  QString Text;
  float FontSize = 0;
  QString FontFamily;
  float TextStretch = 0, TextRadius = 0;
  TGUID GUID;
  QString Name;
  int GroupID = 0;
  bool IsDimensionLine = false, IsFreeAngle = false, ShowArrowSt = false, ShowArrowEd = false;
  TPointF StitchIn, StitchOut;
  int PrevStitchID = 0, NextStitchID = 0;
  int MandalaID = 0, MandalaSectionID = 0;
  TPointF MandalaCenter;
  int NumMandalaSections = 0;
  float MandalaRotation = 0;
  int LayerID = 0, PalletIndex = 0;
  TGUID CatalogGUID;
  float CatalogRotation = 0;
  bool ShowBezierOffsetSupport = false, AlwaysShowStitchSimulator = false;
  TPointF CatalogScale;
  bool TextFill = true;
};

}  // namespace

// ---------------------------------------------------------------------------------
// Writing

TJson TQN_Path::toJson() const {
  const bool isHole = isKind(TShapeKind::Hole);
  TJson jo = TJson::object();
  // Room for every key at once: growing the key list would copy each key and value
  // already in it (its pairs hold const keys, so they are copied, not moved), the long
  // outline text among them.
  jo.get_ref<TJson::object_t &>().reserve(kMaxKeys);
  jo["id"] = std::to_string(FID);
  jo["type"] = toUtf8(kindName());
  jo["sp"] = pointToJson(FStartPt);
  jo["ep"] = pointToJson(FEndPt);
  jo["ct"] = pointToJson(FCenter);  // the stored field, not the computed centre
  jo["w"] = floatToText(FWidth);
  jo["h"] = floatToText(FHeight);
  jo["color"] = colorToText(FColor);
  jo["dash"] = strokeDashName(FDash);
  jo["opc"] = floatToText(FOpacity);
  jo["path"] = FData.toText();
  jo["rt"] = floatToText(FRotation);
  jo["st"] = toUtf8(FStitchType);
  jo["inv"] = boolText(FStitchInversed);
  jo["bz1"] = pointToJson(FBezierCp1);
  jo["bz2"] = pointToJson(FBezierCp2);
  jo["thk"] = floatToText(FThickness);
  jo["la"] = floatToText(FLine_param_a);
  jo["lb"] = floatToText(FLine_param_b);
  jo["iv"] = boolText(FIsVerticalLine);
  jo["ih"] = boolText(FIsHorizontalLine);
  jo["sta"] = floatToText(FStartAngle);
  jo["swa"] = floatToText(FSweepAngle);
  if (FPrickingIron) jo["pr"] = FPrickingIron->toJsonObjectMinimal();
  jo["tx"] = toUtf8(FText);
  jo["fs"] = floatToText(FFontSize);
  jo["ff"] = toUtf8(FFontFamily);
  jo["txst"] = floatToText(FTextStretch);
  jo["txrd"] = floatToText(FTextRadius);
  jo["guid"] = FGUID.toString();
  jo["nm"] = toUtf8(FName);
  jo["gid"] = std::to_string(FGroupID);
  jo["dim"] = boolText(FIsDimensionLine);
  jo["fang"] = boolText(FIsFreeAngle);
  jo["arst"] = boolText(FShowArrowSt);
  jo["ared"] = boolText(FShowArrowEd);
  if (isHole) {
    jo["StcIn"] = pointToJson(FStitchIn);
    jo["StcOut"] = pointToJson(FStitchOut);
    jo["PrevStId"] = std::to_string(FPrevStitchID);
    jo["NextStId"] = std::to_string(FNextStitchID);
  }
  if (FMandalaID > 0) {
    jo["manid"] = std::to_string(FMandalaID);
    jo["msecid"] = std::to_string(FMandalaSectionID);
    jo["mdrctr"] = pointToJson(FMandalaCenter);
    jo["nummndl"] = std::to_string(FNumMandalaSections);
    jo["mdrrtt"] = floatToText(FMandalaRotation);
  }
  jo["layer"] = std::to_string(FLayerID);
  jo["plidx"] = std::to_string(FPalletIndex);
  if (!FCatalogGUID.isEmpty()) {
    jo["ctlg"] = FCatalogGUID.toString();
    jo["ctlgrt"] = floatToTextNoDotZero(FCatalogRotation);
  }
  if (FShowBezierOffsetSupport) jo["sbzos"] = boolText(true);
  if (isHole) {
    if (FThreadColor) jo["thcl"] = colorToText(*FThreadColor);
    if (!FThreadCode.isEmpty()) jo["thcd"] = toUtf8(FThreadCode);
    if (FThreadDiameter > 0.0f) jo["thdia"] = floatToTextNoDotZero(FThreadDiameter);
    jo["asss"] = boolText(FAlwaysShowStitchSimulator);
  }
  if (static_cast<double>(calcDistance(FCatalogScale, {1.0f, 1.0f})) >= 0.001)
    jo["ctlgscl"] = pointToJson(FCatalogScale);
  if (isKind(TShapeKind::Text) && !FTextFill) jo["TxFl"] = boolText(false);
  return jo;
}

// ---------------------------------------------------------------------------------
// Reading

void TQN_Path::loadJson(const TJson &jo, TPrickingIron *pr) {
  if (!jo.is_object()) throw std::runtime_error(std::string("shape: expected a JSON object, found ") + jo.type_name());
  const TObjectReader r(jo);

  // Optional keys start from the shape's own values, so an absent key keeps them.
  TShapeValues v;
  v.Opacity = FOpacity;
  v.Text = FText;
  v.FontSize = FFontSize;
  v.FontFamily = FFontFamily;
  v.TextStretch = FTextStretch;
  v.TextRadius = FTextRadius;
  v.GUID = FGUID;
  v.Name = FName;
  v.GroupID = FGroupID;
  v.IsDimensionLine = FIsDimensionLine;
  v.IsFreeAngle = FIsFreeAngle;
  v.ShowArrowSt = FShowArrowSt;
  v.ShowArrowEd = FShowArrowEd;
  v.StitchIn = FStitchIn;
  v.StitchOut = FStitchOut;
  v.PrevStitchID = FPrevStitchID;
  v.NextStitchID = FNextStitchID;
  v.MandalaID = FMandalaID;
  v.MandalaSectionID = FMandalaSectionID;
  v.MandalaCenter = FMandalaCenter;
  v.NumMandalaSections = FNumMandalaSections;
  v.MandalaRotation = FMandalaRotation;
  v.LayerID = FLayerID;
  v.PalletIndex = FPalletIndex;
  v.ShowBezierOffsetSupport = FShowBezierOffsetSupport;
  v.AlwaysShowStitchSimulator = FAlwaysShowStitchSimulator;
  v.CatalogScale = FCatalogScale;
  v.TextFill = FTextFill;
  // These take fixed values when absent.
  v.ThreadColor.reset();
  v.ThreadCode.clear();
  v.ThreadDiameter = 0.0f;
  v.CatalogGUID = TGUID::empty();
  v.CatalogRotation = 0.0f;

  v.ID = toInt(r.required("id"), "id");
  v.ShapeType = toQString(r.required("type"), "type");
  v.StartPt = toPoint(r.required("sp"), "sp");
  v.EndPt = toPoint(r.required("ep"), "ep");
  v.Center = toPoint(r.required("ct"), "ct");
  v.Width = toFloat(r.required("w"), "w");
  v.Height = toFloat(r.required("h"), "h");
  // Older documents stored an ellipse's centre as its start point; its start and end are
  // its left end.
  if (shapeKindOf(v.ShapeType) == TShapeKind::Ellipse && isSamePoint(v.StartPt, v.Center, 0.0f)) {
    v.StartPt = {v.Center.X - v.Width / 2.0f, v.Center.Y};
    v.EndPt = v.StartPt;
    // A point must stay writable as JSON numbers (an infinite or NaN width would not).
    if (!std::isfinite(v.StartPt.X)) failKey("w", "the ellipse's left end is not a finite number");
  }

  v.Color = toColor(r.required("color"), "color");
  if (const TJson *thcl = r.optional("thcl")) v.ThreadColor = toColor(*thcl, "thcl");
  r.optional("thcd", v.ThreadCode, toQString);
  r.optional("thdia", v.ThreadDiameter, toFloat);
  v.Dash = toDash(r.required("dash"), "dash");
  r.optional("opc", v.Opacity, toFloat);

  // The outline is taken as written: no flattening, cleaning or rebuilding.
  v.Outline = toOutline(r.required("path"), "path");

  v.Rotation = toFloat(r.required("rt"), "rt");
  v.StitchType = toQString(r.required("st"), "st");
  v.StitchInversed = toBool(r.required("inv"), "inv");
  v.BezierCp1 = toPoint(r.required("bz1"), "bz1");
  v.BezierCp2 = toPoint(r.required("bz2"), "bz2");
  v.Thickness = toFloat(r.required("thk"), "thk");
  v.LineParamA = toFloat(r.required("la"), "la");
  v.LineParamB = toFloat(r.required("lb"), "lb");
  v.IsVerticalLine = toBool(r.required("iv"), "iv");
  v.IsHorizontalLine = toBool(r.required("ih"), "ih");
  v.StartAngle = toFloat(r.required("sta"), "sta");
  v.SweepAngle = toFloat(r.required("swa"), "swa");

  r.optional("tx", v.Text, toQString);
  r.optional("fs", v.FontSize, toFloat);
  r.optional("ff", v.FontFamily, toQString);
  r.optional("txst", v.TextStretch, toFloat);
  r.optional("txrd", v.TextRadius, toFloat);
  r.optional("guid", v.GUID, toGuid);
  r.optional("nm", v.Name, toQString);
  r.optional("gid", v.GroupID, toInt);
  r.optional("dim", v.IsDimensionLine, toBool);
  r.optional("fang", v.IsFreeAngle, toBool);
  r.optional("arst", v.ShowArrowSt, toBool);
  r.optional("ared", v.ShowArrowEd, toBool);
  r.optional("StcIn", v.StitchIn, toPoint);
  r.optional("StcOut", v.StitchOut, toPoint);
  r.optional("PrevStId", v.PrevStitchID, toInt);
  r.optional("NextStId", v.NextStitchID, toInt);
  r.optional("manid", v.MandalaID, toInt);
  r.optional("msecid", v.MandalaSectionID, toInt);
  r.optional("mdrctr", v.MandalaCenter, toPoint);
  r.optional("nummndl", v.NumMandalaSections, toInt);
  r.optional("mdrrtt", v.MandalaRotation, toFloat);
  r.optional("layer", v.LayerID, toInt);
  r.optional("plidx", v.PalletIndex, toInt);
  r.optional("ctlg", v.CatalogGUID, toGuid);
  r.optional("ctlgrt", v.CatalogRotation, toFloat);
  r.optional("sbzos", v.ShowBezierOffsetSupport, toBool);
  r.optional("asss", v.AlwaysShowStitchSimulator, toBool);
  r.optional("ctlgscl", v.CatalogScale, toPoint);
  r.optional("TxFl", v.TextFill, toBool);

  // Everything was read: only now does the shape change. Nothing below can fail.
  updateId(v.ID);
  setKindName(v.ShapeType);
  FStartPt = v.StartPt;
  FEndPt = v.EndPt;
  FCenter = v.Center;
  FWidth = v.Width;
  FHeight = v.Height;
  FColor = v.Color;
  FThreadColor = v.ThreadColor;
  FThreadCode = std::move(v.ThreadCode);
  FThreadDiameter = v.ThreadDiameter;
  FDash = v.Dash;
  FOpacity = v.Opacity;
  setData(v.Outline);
  FRotation = v.Rotation;
  FStitchType = std::move(v.StitchType);
  FStitchInversed = v.StitchInversed;
  FBezierCp1 = v.BezierCp1;
  FBezierCp2 = v.BezierCp2;
  FThickness = v.Thickness;
  setLineParams(v.LineParamA, v.LineParamB, v.IsVerticalLine, v.IsHorizontalLine);
  FStartAngle = v.StartAngle;
  FSweepAngle = v.SweepAngle;
  setPrickingIron(pr);
  FText = std::move(v.Text);
  FFontSize = v.FontSize;
  FFontFamily = std::move(v.FontFamily);
  FTextStretch = v.TextStretch;
  FTextRadius = v.TextRadius;
  FGUID = v.GUID;
  FName = std::move(v.Name);
  FGroupID = v.GroupID;
  FIsDimensionLine = v.IsDimensionLine;
  FIsFreeAngle = v.IsFreeAngle;
  FShowArrowSt = v.ShowArrowSt;
  FShowArrowEd = v.ShowArrowEd;
  FStitchIn = v.StitchIn;
  FStitchOut = v.StitchOut;
  FPrevStitchID = v.PrevStitchID;
  FNextStitchID = v.NextStitchID;
  FMandalaID = v.MandalaID;
  FMandalaSectionID = v.MandalaSectionID;
  FMandalaCenter = v.MandalaCenter;
  FNumMandalaSections = v.NumMandalaSections;
  FMandalaRotation = v.MandalaRotation;
  FLayerID = v.LayerID;
  FPalletIndex = v.PalletIndex;
  FCatalogGUID = v.CatalogGUID;
  FCatalogRotation = v.CatalogRotation;
  FShowBezierOffsetSupport = v.ShowBezierOffsetSupport;
  FAlwaysShowStitchSimulator = v.AlwaysShowStitchSimulator;
  FCatalogScale = v.CatalogScale;
  FTextFill = v.TextFill;
}

}  // namespace quillon
