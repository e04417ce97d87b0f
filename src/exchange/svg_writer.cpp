#include "exchange/svg_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_pieces.h"
#include "platform/number_text.h"

namespace quillon {

std::string fixedText(double value, int decimals) { return formatFixed(value, decimals); }

namespace {

void setAttr(pugi::xml_node node, const char *name, const std::string &value) {
  node.append_attribute(name).set_value(value.c_str());
}

std::string pointText(TPointF p, int decimals) {
  return fixedText(p.X, decimals) + ',' + fixedText(p.Y, decimals);
}

void setFillNone(pugi::xml_node node) { setAttr(node, "fill", "none"); }

// A "path" element with the given path data, no fill and the shape's dash pattern.
pugi::xml_node appendPath(const TQN_Path &shape, pugi::xml_node parent, const std::string &d) {
  pugi::xml_node e = parent.append_child("path");
  setAttr(e, "d", d);
  setFillNone(e);
  setDashArrayForSVG(shape, e);
  return e;
}

pugi::xml_node appendCircle(pugi::xml_node parent, TPointF center, const std::string &r) {
  pugi::xml_node e = parent.append_child("circle");
  setAttr(e, "cx", fixedText(center.X, 3));
  setAttr(e, "cy", fixedText(center.Y, 3));
  setAttr(e, "r", r);
  setFillNone(e);
  return e;
}

}  // namespace

void setDashArrayForSVG(const TQN_Path &shape, pugi::xml_node node) {
  if (!shape.FExportStrokeDashToSVG) return;
  const char *pattern = nullptr;
  switch (shape.FDash) {
    case TStrokeDash::Dash: pattern = "3 1"; break;
    case TStrokeDash::Dot: pattern = "1"; break;
    case TStrokeDash::DashDot: pattern = "3 1 1 1"; break;
    case TStrokeDash::DashDotDot: pattern = "3 1 1 1 1 1"; break;
    case TStrokeDash::Solid:
    case TStrokeDash::Custom: break;
  }
  if (pattern) setAttr(node, "stroke-dasharray", pattern);
}

void setStrokeForSVG(pugi::xml_node node, TAlphaColor color, float thickness, bool hexOnly) {
  const unsigned alpha = color >> 24;
  if (hexOnly) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06X", static_cast<unsigned>(color & 0xFFFFFFu));
    setAttr(node, "stroke", hex);
  } else {
    setAttr(node, "stroke", colorToSvgText(color | 0xFF000000u));
  }
  if (alpha != 0xFF) setAttr(node, "stroke-opacity", fixedText(alpha / 255.0, 3));
  setAttr(node, "stroke-width", fixedText(double(thickness) * 0.1, 3));
}

std::string ToSVG_path(const TQN_Path &shape, bool Skip_M) {
  if (shape.isKind(TShapeKind::Arc)) {
    // Pieces of at most 90 degrees, each one cubic.
    const std::vector<std::unique_ptr<TQN_Path>> pieces = arcToBezierPieces(shape);
    std::string text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const TQN_Path &piece = *pieces[i];
      if (i == 0 && !Skip_M) text += "M" + pointText(piece.FStartPt, 4) + ' ';
      text += "C" + pointText(piece.FBezierCp1, 4) + ' ' + pointText(piece.FBezierCp2, 4) + ' ' +
              pointText(piece.FEndPt, 4) + ' ';
    }
    return text;
  }

  std::string text;
  if (!Skip_M) text = "M" + pointText(shape.FStartPt, 3) + ' ';
  if (shape.isKind(TShapeKind::Line)) {
    text += "L" + pointText(shape.FEndPt, 3) + ' ';
  } else if (shape.isKind(TShapeKind::Bezier)) {
    text += "C" + pointText(shape.FBezierCp1, 3) + ' ' + pointText(shape.FBezierCp2, 3) + ' ' +
            pointText(shape.FEndPt, 3) + ' ';
  }
  return text;
}

void addToSVG(const TQN_Path &shape, pugi::xml_node svgNode, bool ConvertHolesToDots, float DotSize) {
  const bool isHole = shape.isKind(TShapeKind::Hole);
  pugi::xml_node e;

  if (shape.isKind(TShapeKind::Line)) {
    e = svgNode.append_child("line");
    setAttr(e, "x1", fixedText(shape.FStartPt.X, 3));
    setAttr(e, "y1", fixedText(shape.FStartPt.Y, 3));
    setAttr(e, "x2", fixedText(shape.FEndPt.X, 3));
    setAttr(e, "y2", fixedText(shape.FEndPt.Y, 3));
    setDashArrayForSVG(shape, e);
  } else if (shape.isKind(TShapeKind::Bezier)) {
    e = appendPath(shape, svgNode,
                   "M" + pointText(shape.FStartPt, 3) + " C" + pointText(shape.FBezierCp1, 3) + ' ' +
                       pointText(shape.FBezierCp2, 3) + ' ' + pointText(shape.FEndPt, 3));
  } else if (shape.isKind(TShapeKind::Ellipse)) {
    if (shape.FWidth != shape.FHeight) {
      e = svgNode.append_child("ellipse");
      setAttr(e, "cx", fixedText(shape.FCenter.X, 3));
      setAttr(e, "cy", fixedText(shape.FCenter.Y, 3));
      setAttr(e, "rx", fixedText(double(shape.FWidth) / 2.0, 3));
      setAttr(e, "ry", fixedText(double(shape.FHeight) / 2.0, 3));
      setFillNone(e);
      setDashArrayForSVG(shape, e);
      // The rotation turns +x toward +y (clockwise on screen), as SVG's rotate does.
      if (shape.FRotation != 0.0f)
        setAttr(e, "transform",
                "rotate(" + fixedText(shape.FRotation, 3) + ' ' + fixedText(shape.FCenter.X, 3) + ' ' +
                    fixedText(shape.FCenter.Y, 3) + ')');
    } else {
      e = appendCircle(svgNode, shape.FCenter, fixedText(double(shape.FWidth) / 2.0, 3));
      setDashArrayForSVG(shape, e);
    }
  } else if (shape.isKind(TShapeKind::Arc)) {
    if (std::fabs(shape.FSweepAngle) <= 180.0f) {
      // One cubic per piece of at most 90 degrees; a single cubic over a half circle
      // would be visibly off the circle.
      std::string d = ToSVG_path(shape, false);
      if (!d.empty() && d.back() == ' ') d.pop_back();
      e = appendPath(shape, svgNode, d);
    } else {
      e = appendPath(shape, svgNode, shape.Data().toText());
    }
  } else if (isHole && !ConvertHolesToDots) {
    e = appendPath(shape, svgNode, shape.Data().toText());
  } else if (shape.isKind(TShapeKind::Dot) || isHole) {
    e = appendCircle(svgNode, shape.FCenter, fixedText(DotSize, 2));
  } else if (shape.isKind(TShapeKind::Other) || shape.isKind(TShapeKind::Text)) {
    e = appendPath(shape, svgNode, shape.Data().toText());
  } else {
    return;
  }
  setStrokeForSVG(e, shape.FColor, shape.FThickness);
}

}  // namespace quillon
