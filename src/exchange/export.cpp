#include "exchange/export.h"

#include "model/shape_bounds.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "exchange/dxf_r14_writer.h"
#include "exchange/dxf_shape_writer.h"
#include "exchange/svg_writer.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/shape_pieces.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/version.h"

namespace quillon {

namespace {

bool isJoinable(const TQN_Path &s) {
  return s.isKind(TShapeKind::Line) || s.isKind(TShapeKind::Bezier) || s.isKind(TShapeKind::Arc);
}


// The chain ends of a group in a grid of cells as wide as the join tolerance, so every
// end closer than the tolerance to a point lies in the point's cell or one of its eight
// neighbours. The ends are added first, then build() sorts them by cell and makes a flat
// table from each occupied cell to its run of ends.
class TEndGrid {
 public:
  void add(TPointF p, int item) {
    if (!finite(p)) return;
    ends_.push_back({cellOf(p.X), cellOf(p.Y), item});
  }

  void build() {
    std::sort(ends_.begin(), ends_.end(), [](const TEnd &a, const TEnd &b) {
      return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    std::size_t size = 16;
    while (size < 2 * ends_.size()) size *= 2;
    slots_.assign(size, TSlot{});
    mask_ = size - 1;
    for (std::size_t i = 0; i < ends_.size();) {
      std::size_t j = i + 1;
      while (j < ends_.size() && ends_[j].x == ends_[i].x && ends_[j].y == ends_[i].y) ++j;
      std::size_t at = hash(ends_[i].x, ends_[i].y) & mask_;
      while (slots_[at].end != 0) at = (at + 1) & mask_;
      slots_[at] = {ends_[i].x, ends_[i].y, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j)};
      i = j;
    }
  }

  // Calls f(item) for every item with an end in the cells around p (an item may come
  // more than once).
  template <typename F>
  void forNear(TPointF p, F &&f) const {
    if (!finite(p) || ends_.empty()) return;
    const std::int64_t cx = cellOf(p.X), cy = cellOf(p.Y);
    for (std::int64_t dx = -1; dx <= 1; ++dx)
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const std::int64_t x = cx + dx, y = cy + dy;
        for (std::size_t at = hash(x, y) & mask_; slots_[at].end != 0; at = (at + 1) & mask_) {
          const TSlot &slot = slots_[at];
          if (slot.x != x || slot.y != y) continue;
          for (std::uint32_t i = slot.begin; i < slot.end; ++i) f(ends_[i].item);
          break;
        }
      }
  }

 private:
  struct TEnd {
    std::int64_t x, y;
    int item;
  };
  // An occupied cell and its run [begin, end) in ends_; end 0 marks a free slot.
  struct TSlot {
    std::int64_t x = 0, y = 0;
    std::uint32_t begin = 0, end = 0;
  };
  static std::size_t hash(std::int64_t x, std::int64_t y) {
    const std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^
                            (static_cast<std::uint64_t>(y) + 0x632BE59BD9B4E019ull + (static_cast<std::uint64_t>(x) << 6));
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
  static bool finite(TPointF p) { return std::isfinite(p.X) && std::isfinite(p.Y); }
  static std::int64_t cellOf(float v) {
    // Far out, where floats are much coarser than a cell, neighbouring ends are equal
    // anyway; the clamp only keeps the cell number in range.
    const double c = std::clamp(std::floor(double(v) / double(kChainJoinTolerance)), -1e15, 1e15);
    return static_cast<std::int64_t>(c);
  }

  std::vector<TEnd> ends_;
  std::vector<TSlot> slots_;
  std::size_t mask_ = 0;
};

// One shape of a group during the walk.
struct TChainItem {
  TQN_Path *shape = nullptr;        // the document's shape, or `copy` once reversed
  std::unique_ptr<TQN_Path> copy;  // owned working copy
  bool alive = true;                // still in the group
  bool joinable = false;
  int visitStamp = 0;               // visited by the backward search of that stamp
};

// The shapes of one group in export order, with the chain search over them. "The group"
// is the items still alive, in their original order; a search takes the first item in
// that order that qualifies, as a scan of the whole group would.
class TChainGroup {
 public:
  explicit TChainGroup(const std::vector<TQN_Path *> &shapes) : items_(shapes.size()) {
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      TChainItem &item = items_[i];
      item.shape = shapes[i];
      item.joinable = isJoinable(*shapes[i]);
      if (item.joinable) {
        grid_.add(shapes[i]->FStartPt, static_cast<int>(i));
        grid_.add(shapes[i]->FEndPt, static_cast<int>(i));
      }
    }
    grid_.build();
  }

  const TQN_Path &shape(int i) const { return *items_[static_cast<std::size_t>(i)].shape; }

  // The first item still in the group; -1 when it is empty.
  int head() {
    while (head_ < items_.size() && !items_[head_].alive) ++head_;
    return head_ < items_.size() ? static_cast<int>(head_) : -1;
  }
  void remove(int i) { items_[static_cast<std::size_t>(i)].alive = false; }

  // The first shape of the chain that ends at shape s: backward over neighbours of the
  // same line type and stroke whose end (or start, turning them round) meets the start.
  int findChainStart(int s) {
    if (!item(s).joinable) return s;
    ++stamp_;
    item(s).visitStamp = stamp_;
    int cur = s;
    for (;;) {
      const TQN_Path &S = *item(cur).shape;
      const TPointF at = S.FStartPt;
      int best = -1;
      float bestToStart = 0.0f, bestToEnd = 0.0f;
      grid_.forNear(at, [&](int c) {
        if (best >= 0 && c >= best) return;
        const TChainItem &C = item(c);
        if (!C.alive || !C.joinable || C.visitStamp == stamp_) return;
        if (!hasSameStroke(S, *C.shape) || C.shape->FPalletIndex != S.FPalletIndex) return;
        const float toStart = calcDistance(C.shape->FStartPt, at);
        const float toEnd = calcDistance(C.shape->FEndPt, at);
        if (toStart < kChainJoinTolerance || toEnd < kChainJoinTolerance) {
          best = c;
          bestToStart = toStart;
          bestToEnd = toEnd;
        }
      });
      if (best < 0) return cur;
      if (bestToEnd > bestToStart) reverse(best);  // so that it ends at cur's start
      item(best).visitStamp = stamp_;
      cur = best;
    }
  }

  // The shape that continues the chain at the end of shape s (same line type; its start,
  // or its end after turning it round, meets s's end); -1 when none.
  int findNextChainShape(int s) {
    if (!item(s).joinable) return -1;
    const TQN_Path &S = *item(s).shape;
    const TPointF at = S.FEndPt;
    int best = -1;
    float bestA = 0.0f, bestB = 0.0f;
    grid_.forNear(at, [&](int c) {
      if (c == s || (best >= 0 && c >= best)) return;
      const TChainItem &C = item(c);
      if (!C.alive || !C.joinable || C.shape->FPalletIndex != S.FPalletIndex) return;
      const float a = calcDistance(C.shape->FStartPt, at);
      const float b = calcDistance(C.shape->FEndPt, at);
      if (a < kChainJoinTolerance || b < kChainJoinTolerance) {
        best = c;
        bestA = a;
        bestB = b;
      }
    });
    if (best >= 0 && bestA > bestB) reverse(best);  // so that it starts at s's end
    return best;
  }

 private:
  TChainItem &item(int i) { return items_[static_cast<std::size_t>(i)]; }

  // Turns a shape round in its working copy; the document's shape stays as it is. The
  // set of its two ends, which the grid holds, does not change.
  void reverse(int i) {
    TChainItem &it = item(i);
    if (!it.copy) {
      it.copy.reset(it.shape->createCopy());
      it.copy->FExportStrokeDashToSVG = it.shape->FExportStrokeDashToSVG;
      it.shape = it.copy.get();
    }
    it.shape->reversePath();
  }

  std::vector<TChainItem> items_;
  TEndGrid grid_;
  std::size_t head_ = 0;
  int stamp_ = 0;
};

// The group lists: one per group ID of the document (in order of first appearance) that
// has exported shapes, then the ungrouped rest.
std::vector<std::vector<TQN_Path *>> groupShapes(const TShapeList &doc, const std::vector<TQN_Path *> &exportList) {
  const std::vector<int> groupIds = getGroupIDs(doc.Items());
  std::unordered_map<int, std::size_t> slot;
  for (std::size_t i = 0; i < groupIds.size(); ++i) slot.emplace(groupIds[i], i);
  std::vector<std::vector<TQN_Path *>> byGroup(groupIds.size());
  std::vector<TQN_Path *> rest;
  for (TQN_Path *s : exportList) {
    const auto it = s->FGroupID > 0 ? slot.find(s->FGroupID) : slot.end();
    if (it != slot.end())
      byGroup[it->second].push_back(s);
    else
      rest.push_back(s);
  }
  std::vector<std::vector<TQN_Path *>> groups;
  for (auto &g : byGroup)
    if (!g.empty()) groups.push_back(std::move(g));
  groups.push_back(std::move(rest));
  return groups;
}

pugi::xml_node createSvgRoot(pugi::xml_document &doc, const TRectF &drawingBounds) {
  // A width or height of zero (a single straight line along an axis) disables the
  // rendering of the whole picture in SVG; such a side is widened to 1 mm about its
  // middle, which keeps every coordinate and the true scale.
  TRectF bounds = drawingBounds;
  if (bounds.width() < 0.0005f) {
    bounds.Left -= 0.5f;
    bounds.Right += 0.5f;
  }
  if (bounds.height() < 0.0005f) {
    bounds.Top -= 0.5f;
    bounds.Bottom += 0.5f;
  }
  const char *ns = "http://www.w3.org/2000/svg";
  pugi::xml_node root = doc.append_child("svg");
  root.append_attribute("xmlns").set_value(ns);
  root.append_attribute("xmlns:svg").set_value(ns);
  root.append_attribute("width").set_value((fixedText(bounds.width(), 3) + "mm").c_str());
  root.append_attribute("height").set_value((fixedText(bounds.height(), 3) + "mm").c_str());
  root.append_attribute("version").set_value("1.1");
  const std::string viewBox = fixedText(bounds.Left, 3) + ' ' + fixedText(bounds.Top, 3) + ' ' +
                              fixedText(bounds.width(), 3) + ' ' + fixedText(bounds.height(), 3);
  root.append_attribute("viewBox").set_value(viewBox.c_str());
  root.append_attribute("preserveAspectRatio").set_value("none");
  std::string desc = "Created with Quillon v";
  desc += kQuillonVersion;
  root.append_child("desc").text().set(desc.c_str());
  return root;
}

// Collects the text pugixml writes, in the bytes the file gets.
struct TByteWriter : pugi::xml_writer {
  QByteArray bytes;
  void write(const void *data, size_t size) override {
    bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
  }
};

// Where the shapes go: an SVG group element, R12 lines or the R14 writer.
struct TExportTarget {
  bool svg = false;
  pugi::xml_document doc;
  pugi::xml_node group;
  std::unique_ptr<TDXFR14Writer> r14;
  TDxfR12Text r12;
  bool dots = true;
  float dotSize = 0.5f;
  bool flipY = true;

  void writeDxf(const TQN_Path &s) {
    addToDXF(s, r14 ? nullptr : &r12, r14.get(), dots, dotSize, QString::fromLatin1(kDxfR12LayerName), flipY);
  }
  void writeAlone(const TQN_Path &s) {
    if (svg)
      addToSVG(s, group, dots, dotSize);
    else
      writeDxf(s);
  }
  void save(const QString &fileName) {
    if (svg) {
      TByteWriter out;
      doc.save(out, "  ", pugi::format_indent);
      writeFileAtomically(fileName, out.bytes);
    } else if (r14) {
      r14->SaveToFile(fileName);
    } else {
      writeDxfR12Trailer(r12);
      const std::string &text = r12.text();
      writeFileAtomically(fileName, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }
  }
};

}  // namespace

QString exportFormatText(TExportFormat format) {
  return format == TExportFormat::SVG ? QStringLiteral("SVG") : QStringLiteral("DXF");
}

TExportRunOptions runOptionsOf(const TSVGExportOptionsValues &v) {
  TExportRunOptions run;
  run.ExportOnlySelected = v.chkSVGOPT_ExportOnlySelected;
  run.DoNotExportHiddenLineType = v.chkSVGOPT_DoNotExportHiddenLineType;
  run.DoNotOutputStrokeDash = v.chkSVGOPT_DoNotOutputStrokeDash;
  return run;
}

void fillSVGExportOptions(const TEditor &editor, TExportFormat format, TSVGExportOptionsValues &v) {
  const TQN_Options &o = *editor.FOptions;
  v.Caption = exportFormatText(format) + QStringLiteral(" Export Options");
  v.DxfControlsVisible = format == TExportFormat::DXF;
  v.chkSVG_Out_Text = o.SVG_with_text_shapes;
  v.chkSVG_Out_Template = o.SVG_with_templates;
  v.rbDxfR14 = o.UseDXFR14;
  v.rbDxfR12 = !o.UseDXFR14;
  v.rbHole_AsDot = o.SVG_as_dots;
  v.rbHole_AsIs = !o.SVG_as_dots;
  v.nbSVGDotRadius = double(o.SVGDotRadius) * 2.0;
  v.chkDXFExportFlipY = o.DXFExportInvertY;
}

void applySVGExportOptions(TEditor &editor, const TSVGExportOptionsValues &v) {
  TQN_Options &o = *editor.FOptions;
  o.SVGDotRadius = static_cast<float>(v.nbSVGDotRadius / 2.0);
  o.SVG_as_dots = v.rbHole_AsDot;
  o.UseDXFR14 = v.rbDxfR14;
  o.SVG_with_text_shapes = v.chkSVG_Out_Text;
  o.SVG_with_templates = v.chkSVG_Out_Template;
  o.DXFExportInvertY = v.chkDXFExportFlipY;
}

void actExportAsSVGExecute(TEditor &editor, TExportFormat format, ISVGExportOptionsDialog &dialog) {
  const QString nothing = QStringLiteral("NothingToExport");
  if (editor.doc().PathList().Count() == 0) {
    editor.ui().messageBox(nothing, editor.tr(nothing));
    return;
  }
  const QString formatText = exportFormatText(format);
  const QString ext = formatText.toLower();

  TSVGExportOptionsValues values = dialog.values();
  fillSVGExportOptions(editor, format, values);
  if (!dialog.execute(values)) return;
  applySVGExportOptions(editor, values);

  QString suggested = documentsDir();  // an untitled document exports to the Documents folder
  if (!editor.FFilename.isEmpty()) {
    const QFileInfo doc(editor.FFilename);
    suggested = QDir(doc.absolutePath()).filePath(doc.completeBaseName());
  }
  QString fileName = editor.ui().saveFileDialog(formatText + QStringLiteral(" Export"),
                                                formatText + QStringLiteral(" Format (*.") + ext + QLatin1Char(')'),
                                                suggested);
  if (fileName.isEmpty()) return;
  if (QFileInfo(fileName).suffix().isEmpty()) fileName += QLatin1Char('.') + ext;

  const int written = exportVisibleShapes(editor, fileName, values.rbHole_AsDot, values.chkSVG_Out_Template,
                                          values.chkSVG_Out_Text, formatText, runOptionsOf(values));
  if (written == 0) {
    editor.ui().messageBox(nothing, editor.tr(nothing));
    return;
  }
  const QString key = QStringLiteral("ExportedAs") + formatText;
  editor.ui().informationBox(key, editor.tr(key) + QLatin1Char('\n') + fileName);
}

int exportVisibleShapes(TEditor &editor, const QString &fileName, bool AsDots, bool WithTemplates,
                        bool WithTextShapes, const QString &format, const TExportRunOptions &run) {
  TShapeList &doc = editor.doc().PathList();
  const TQN_Options &options = *editor.FOptions;

  // The shapes to write, in document order.
  std::vector<TQN_Path *> exportList;
  exportList.reserve(static_cast<std::size_t>(doc.Count()));
  for (TQN_Path *s : doc) {
    s->FExportStrokeDashToSVG = !run.DoNotOutputStrokeDash;
    if (s->FIsDimensionLine && !editor.display().FShowDimensionShapes) continue;
    if (run.DoNotExportHiddenLineType) {
      const TDrawPallet *pallet = getPaletteOfPath(editor.pen(), *s);
      if (pallet && !pallet->FIsVisible) continue;
    }
    if (!doc.GetlayerVisible(s->FLayerID)) continue;
    if (run.ExportOnlySelected && !s->FSelected) continue;
    exportList.push_back(s);
  }

  TExportTarget target;
  target.svg = format == QLatin1String("SVG");
  target.dots = AsDots;
  target.dotSize = options.SVGDotRadius;
  target.flipY = options.DXFExportInvertY;
  if (target.svg) {
    pugi::xml_node root = createSvgRoot(target.doc, calcShapesBoundary(exportList));
    target.group = root.append_child("g");
  } else if (options.UseDXFR14) {
    target.r14 = std::make_unique<TDXFR14Writer>();
  } else {
    writeDxfR12Header(target.r12);
  }

  const TAlphaColor holeColor = editor.display().FColor_StitchingHole;
  int written = 0;
  for (const std::vector<TQN_Path *> &shapes : groupShapes(doc, exportList)) {
    TChainGroup group(shapes);
    int prev = -1, next = -1;
    std::string pathText;
    for (;;) {
      int cur;
      if (next >= 0) {
        cur = next;
      } else {
        const int head = group.head();
        if (head < 0) break;
        const TQN_Path &h = group.shape(head);
        if ((h.isKind(TShapeKind::Other) && !WithTemplates) ||
            ((h.isKind(TShapeKind::Text) || h.FIsDimensionLine) && !WithTextShapes)) {
          group.remove(head);
          continue;
        }
        cur = group.findChainStart(head);
      }
      next = group.findNextChainShape(cur);
      const TQN_Path &shape = group.shape(cur);

      if ((prev < 0 && next < 0) || !isJoinable(shape)) {
        if (shape.isKind(TShapeKind::Hole) && shape.FColor != holeColor) {
          // Holes are written in the stitching-hole colour.
          std::unique_ptr<TQN_Path> hole(shape.createCopy());
          hole->FColor = holeColor;
          hole->FExportStrokeDashToSVG = shape.FExportStrokeDashToSVG;
          target.writeAlone(*hole);
        } else {
          target.writeAlone(shape);
        }
        ++written;
      } else {
        ++written;
        if (target.svg) pathText += ToSVG_path(shape, prev >= 0);
        if (next < 0) {
          // The chain ends here; its stroke is that of this last shape.
          if (target.svg) {
            pugi::xml_node e = target.group.append_child("path");
            e.append_attribute("d").set_value(pathText.c_str());
            e.append_attribute("fill").set_value("none");
            setDashArrayForSVG(shape, e);
            setStrokeForSVG(e, shape.FColor, shape.FThickness, true);
          } else {
            target.writeDxf(shape);
          }
          prev = -1;
          pathText.clear();
        } else {
          if (!target.svg) target.writeDxf(shape);
          prev = cur;
        }
      }
      group.remove(cur);
    }
  }

  if (written > 0) {
    target.save(fileName);
    editor.ui().refreshCanvas();
  }
  return written;
}

}  // namespace quillon
