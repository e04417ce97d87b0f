#include "stl/stl_path_data.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <stdexcept>

#include "platform/number_text.h"
#include "stl/regions.h"

namespace quillon {

namespace {

constexpr int kFlattenSteps = 32;
constexpr float kFlattenTolerance = 0.0001f;

std::string xy(TPointF p) { return formatFixed(p.X, 4) + "," + formatFixed(p.Y, 4); }
std::string moveText(TPointF p) { return "M" + xy(p) + " "; }
std::string lineText(TPointF p) { return "L" + xy(p) + " "; }
std::string curveText(TPointF cp1, TPointF cp2, TPointF end) {
  return "C" + xy(cp1) + " " + xy(cp2) + " " + xy(end) + " ";
}

bool isLineCurveOrArc(const TQN_Path &s) {
  return s.isKind(TShapeKind::Line) || s.isKind(TShapeKind::Bezier) || s.isKind(TShapeKind::Arc);
}

double distance(TPointF a, TPointF b) { return std::hypot(double(a.X) - b.X, double(a.Y) - b.Y); }

std::unique_ptr<TQN_Path> tempShape(const TSTLPen &pen) {
  return std::make_unique<TQN_Path>(pen.PalletIndex, pen.Color, pen.Thickness, pen.Dash, -1);
}

// Four quarter arcs of the circle about c with radius rho, from its leftmost point up
// (on screen) and round, each written as a cubic curve.
std::string quarterArcsPath(TPointF c, float rho, bool withMove, const TSTLPen &pen) {
  std::string s;
  TPointF p{c.X - rho, c.Y};
  for (int k = 0; k < 4; ++k) {
    const TPointF end = k == 0 ? TPointF(c.X, c.Y - rho) : TPointF(c.X - (p.Y - c.Y), c.Y + (p.X - c.X));
    std::unique_ptr<TQN_Path> arc = tempShape(pen);
    arc->drawArcPath(c, {rho, rho}, p, end, 90.0f);
    arc->convertArcToBezier();
    if (k == 0 && withMove) s += moveText(arc->FStartPt);
    s += curveText(arc->FBezierCp1, arc->FBezierCp2, arc->FEndPt);
    p = end;
  }
  return s;
}

bool isBlank(const std::string &s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char ch) { return std::isspace(ch); });
}

std::string joined(const std::vector<std::string> &parts) {
  std::string s;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) s += ' ';
    s += parts[i];
  }
  return s;
}

void eraseShape(std::vector<TQN_Path *> &list, TQN_Path *shape) {
  const auto it = std::find(list.begin(), list.end(), shape);
  if (it != list.end()) list.erase(it);
}

}  // namespace

TSTLStitchSettings DefaultStitchSettings() { return TSTLStitchSettings{}; }

std::string RoundHolePath(TPointF center, float size, const TSTLPen &pen) {
  // The size setting is taken as a diameter of which the hole gets half: radius size / 4.
  const float r = size * 0.5f;
  std::unique_ptr<TQN_Path> ellipse = tempShape(pen);
  ellipse->drawEllipsePath(center, r, r);
  return quarterArcsPath(center, ellipse->FWidth / 2.0f, true, pen) + "z ";
}

std::string SlitHolePath(TQN_Path &hole, float length, float width) {
  float blade = 0.0f;
  if (hole.FStitchType == QLatin1String("D")) blade = 32.0f;
  else if (hole.FStitchType == QLatin1String("F")) blade = 45.0f;
  else if (hole.FStitchType == QLatin1String("L")) blade = 0.0f;
  else return {};
  const float angle = hole.FStitchInversed ? blade : -blade;
  const float theta = static_cast<float>((hole.FRotation + angle) * std::numbers::pi / 180.0);
  const float cs = std::cos(theta), sn = std::sin(theta);
  const TPointF centre = hole.getBoundary(true).centerPoint();
  const TPointF corners[4] = {{0, -length / 2}, {width / 2, 0}, {0, length / 2}, {-width / 2, 0}};
  std::string s;
  for (int i = 0; i < 4; ++i) {
    const TPointF c = corners[i];
    const TPointF p{c.X * cs - c.Y * sn + centre.X, c.X * sn + c.Y * cs + centre.Y};
    s += (i == 0 ? "M" : "L") + xy(p) + " ";
  }
  return s + "Z ";
}

std::string ShapeSegmentPath(TQN_Path &shape, bool continuePath, bool closePath, const TSTLPen &pen) {
  switch (shape.FShapeType) {
    case TShapeKind::Bezier:
      return (continuePath ? std::string() : moveText(shape.FStartPt)) +
             curveText(shape.FBezierCp1, shape.FBezierCp2, shape.FEndPt);
    case TShapeKind::Arc: {
      std::unique_ptr<TQN_Path> copy(shape.createCopy());
      std::vector<std::unique_ptr<TQN_Path>> pieces;
      for (TQN_Path *p : copy->splitArc()) pieces.emplace_back(p);
      pieces.push_back(std::move(copy));
      std::string s;
      for (size_t i = 0; i < pieces.size(); ++i) {
        TQN_Path &piece = *pieces[i];
        piece.convertArcToBezier();
        if (i == 0 && !continuePath) s += moveText(piece.FStartPt);
        s += curveText(piece.FBezierCp1, piece.FBezierCp2, piece.FEndPt);
      }
      return s;
    }
    case TShapeKind::Ellipse:
      if (std::fabs(shape.FWidth - shape.FHeight) <= 0.01f) {
        // A circle: the same quarter arcs as a round hole, with the circle's radius.
        const TPointF c = shape.GetCenter();
        return quarterArcsPath(c, shape.FWidth / 2.0f, !continuePath, pen) + (closePath ? "z " : "");
      }
      break;
    case TShapeKind::Line:
      return (continuePath ? std::string() : moveText(shape.FStartPt)) + lineText(shape.FEndPt);
    default:
      break;
  }
  return shape.Data().toText();
}

std::string ShapeToSTLPath(TQN_Path &shape, bool continuePath, const TSTLStitchSettings &settings,
                           const TSTLPen &pen) {
  if (!shape.isKind(TShapeKind::Hole)) return ShapeSegmentPath(shape, continuePath, false, pen);
  if (settings.StitchAsRound) return RoundHolePath(shape.getBoundary(true).centerPoint(), settings.StitchDiameter, pen);
  float l = 0.0f, w = 0.0f;
  if (shape.FStitchType == QLatin1String("D")) {
    l = settings.DiamondL;
    w = settings.DiamondW;
  } else if (shape.FStitchType == QLatin1String("F")) {
    l = settings.EuropeanL;
    w = settings.EuropeanW;
  } else if (shape.FStitchType == QLatin1String("L")) {
    l = settings.FlatL;
    w = settings.FlatW;
  }
  if (l > 0.01f && w > 0.01f) {
    std::string slit = SlitHolePath(shape, l, w);
    if (!slit.empty()) return slit;
  }
  return shape.Data().toText();
}

bool SameStrokeStyle(const TQN_Path &a, const TQN_Path &b) {
  return a.FColor == b.FColor && a.FThickness == b.FThickness && a.FDash == b.FDash;
}

TQN_Path *FindChainStart(TQN_Path *self, const std::vector<TQN_Path *> &candidates,
                         std::vector<TQN_Path *> &chainList, float tolerance) {
  // Walks back one shape at a time (a loop rather than recursion: chains can be long).
  for (;;) {
    if (!isLineCurveOrArc(*self)) return self;
    TQN_Path *found = nullptr;
    double b = 0.0, c = 0.0;
    for (TQN_Path *cand : candidates) {
      if (!isLineCurveOrArc(*cand)) continue;
      if (std::find(chainList.begin(), chainList.end(), cand) != chainList.end()) continue;
      if (!SameStrokeStyle(*cand, *self)) continue;
      c = distance(cand->FStartPt, self->FStartPt);
      b = distance(cand->FEndPt, self->FStartPt);
      if (c < tolerance || b < tolerance) {
        found = cand;
        break;
      }
    }
    if (!found) return self;
    if (b > c) found->reversePath();
    chainList.push_back(found);
    self = found;
  }
}

TQN_Path *FindChainNext(TQN_Path *self, const std::vector<TQN_Path *> &candidates, float tolerance) {
  if (!isLineCurveOrArc(*self)) return nullptr;
  for (TQN_Path *cand : candidates) {
    if (cand == self || !isLineCurveOrArc(*cand)) continue;
    const double a = distance(cand->FStartPt, self->FEndPt);
    const double b = distance(cand->FEndPt, self->FEndPt);
    if (a < tolerance || b < tolerance) {
      if (a > b) cand->reversePath();
      return cand;
    }
  }
  return nullptr;
}

std::optional<TPathData> PathDataFromString(const std::string &path) {
  if (isBlank(path)) return std::nullopt;
  try {
    return TPathData::fromText(path);
  } catch (const std::exception &) {
    return std::nullopt;
  }
}

bool PathStringHasRings(const std::string &path) {
  const std::optional<TPathData> data = PathDataFromString(path);
  return data && !FlattenPathData(*data, kFlattenSteps, kFlattenTolerance).empty();
}

bool TextInsideBody(TQN_Path &text, const std::string &bodyPath) {
  const std::optional<TPathData> body = PathDataFromString(bodyPath);
  if (!body) return false;
  const std::vector<TRing> rings = FlattenPathData(*body, kFlattenSteps, kFlattenTolerance);
  if (rings.empty()) return false;
  const TPointF test = text.getBoundary(true).centerPoint();
  return std::any_of(rings.begin(), rings.end(),
                     [test](const TRing &r) { return PointInPolygon(test, CleanRing(r, kRingCleanTolerance)); });
}

void BuildSTLPathData(TSTLPathData &result, std::vector<TQN_Path *> &shapes, const std::vector<int> &groupIDs,
                      const TSTLStitchSettings &settings, const TSTLPen &pen, const TShiftShapePositionProc &shift) {
  result = TSTLPathData{};
  std::vector<std::string> bodyPaths, textPaths;

  // The work is done on copies, so that turning shapes round for a chain never changes
  // the drawing; `originalOf` leads back to the caller's shapes.
  std::vector<std::unique_ptr<TQN_Path>> copies;
  std::map<TQN_Path *, TQN_Path *> originalOf;
  std::vector<TQN_Path *> work;
  for (TQN_Path *s : shapes) {
    if (!s) continue;
    copies.emplace_back(s->createCopy());
    originalOf[copies.back().get()] = s;
    work.push_back(copies.back().get());
  }

  std::vector<std::vector<TQN_Path *>> groups;
  for (int id : groupIDs) {
    std::vector<TQN_Path *> group;
    for (auto it = work.begin(); it != work.end();) {
      if ((*it)->FGroupID == id) {
        group.push_back(*it);
        it = work.erase(it);
      } else {
        ++it;
      }
    }
    if (!group.empty()) groups.push_back(std::move(group));
  }
  if (!work.empty()) groups.push_back(std::move(work));

  std::vector<TQN_Path *> processed;  // copies, in processing order
  auto addBodyPath = [&](const std::string &path) {
    if (PathStringHasRings(path)) bodyPaths.push_back(path);
    else ++result.SkippedCount;
  };
  const float tol = settings.JoinTolerance;

  for (std::vector<TQN_Path *> &group : groups) {
    std::string chain;
    TQN_Path *prev = nullptr, *next = nullptr;
    TPointF chainStart;
    while (!group.empty()) {
      TQN_Path *cur = nullptr;
      if (next) {
        cur = next;
      } else {
        TQN_Path *first = group.front();
        if (first->FIsDimensionLine) {
          group.erase(group.begin());
          continue;
        }
        if (first->isKind(TShapeKind::Text)) {
          group.erase(group.begin());
          processed.push_back(first);
          continue;
        }
        if (first->isKind(TShapeKind::Other)) {
          addBodyPath(ShapeToSTLPath(*first, false, settings, pen));
          group.erase(group.begin());
          processed.push_back(first);
          continue;
        }
        std::vector<TQN_Path *> chainList{first};
        cur = FindChainStart(first, group, chainList, tol);
        chainStart = cur->FStartPt;
      }
      next = FindChainNext(cur, group, tol);
      const bool chainable = isLineCurveOrArc(*cur) || cur->isKind(TShapeKind::Ellipse) ||
                             cur->isKind(TShapeKind::Hole);
      if ((!prev && !next) || !chainable) {
        addBodyPath(ShapeToSTLPath(*cur, false, settings, pen));
        chain.clear();
        prev = nullptr;
      } else {
        chain += ShapeToSTLPath(*cur, prev != nullptr, settings, pen);
        if (next) {
          prev = cur;
        } else {
          if (distance(chainStart, cur->FEndPt) < tol) chain += "z";
          addBodyPath(chain);
          chain.clear();
          prev = nullptr;
        }
      }
      eraseShape(group, cur);
      processed.push_back(cur);
    }
  }

  result.Body = PathDataFromString(joined(bodyPaths));
  if (result.Body && settings.EngraveDepth > 0.0f) {
    const std::string bodyText = result.Body->toText();
    for (TQN_Path *s : processed) {
      if (s->isKind(TShapeKind::Text) && TextInsideBody(*s, bodyText)) textPaths.push_back(s->Data().toText());
    }
    result.Text = PathDataFromString(joined(textPaths));
  }

  shapes.clear();
  for (TQN_Path *s : processed) shapes.push_back(originalOf[s]);

  if (settings.MoveToOrigin && result.Body && shift) {
    const TRectF bounds = result.Body->GetBounds();
    result.Body->Translate(-bounds.Left, -bounds.Top);
    if (result.Text) result.Text->Translate(-bounds.Left, -bounds.Top);
  }
}

}  // namespace quillon
