#include "exchange/print_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/shape_list.h"
#include "platform/number_text.h"
#include "shell/editor.h"

namespace quillon {

namespace {

constexpr double kMmPerInch = 25.4;

}  // namespace

bool TPrintPreview::applyPageSetup(const TPageSetupValues &setup, double surfaceWidth, double surfaceHeight) {
  FMargin.Left = int(std::trunc(setup.MarginLeft));
  FMargin.Top = int(std::trunc(setup.MarginTop));
  FMargin.Right = int(std::trunc(setup.MarginRight));
  FMargin.Bottom = int(std::trunc(setup.MarginBottom));
  FPageWidth = float(setup.PaperWidth);
  FPageHeight = float(setup.PaperHeight);
  FPrintAreaWidth = int(roundHalfEven(double(FPageWidth) - FMargin.Left - FMargin.Right));
  const double printHeight = roundHalfEven(double(FPageHeight) - FMargin.Top - FMargin.Bottom);
  if (FPrintAreaWidth > 0 && printHeight > 0)
    FDPI = float(std::max(surfaceWidth / (FPrintAreaWidth / kMmPerInch), surfaceHeight / (printHeight / kMmPerInch)));
  return FPageWidth > FPageHeight;
}

TPageSetupValues TPrintPreview::pageSetupValues() const {
  TPageSetupValues v;
  v.PaperWidth = FPageWidth;
  v.PaperHeight = FPageHeight;
  v.MarginLeft = FMargin.Left;
  v.MarginTop = FMargin.Top;
  v.MarginRight = FMargin.Right;
  v.MarginBottom = FMargin.Bottom;
  return v;
}

bool TPrintPreview::layout(double surfaceWidth, double surfaceHeight, double barsHeight) {
  if (FDPI == 0.0f || !Project || surfaceWidth <= 0 || surfaceHeight <= 0) return false;
  const double w = std::max(double(Boundary.width()), double(FPageWidth));
  const double h = std::max(double(Boundary.height()), double(FPageHeight));
  const double sx = w / surfaceWidth;
  const double sy = (h + barsHeight) / surfaceHeight;
  const double k = 1.0 / std::max(sx, sy);
  FDPI = float(k * kMmPerInch);
  resetTile();
  return true;
}

TPointF TPrintPreview::printAreaSize() const {
  const float cx = CalibrationRatio.X > 0 ? CalibrationRatio.X : 1.0f;
  const float cy = CalibrationRatio.Y > 0 ? CalibrationRatio.Y : 1.0f;
  return {(FPageWidth - float(FMargin.Left + FMargin.Right)) / cx,
          (FPageHeight - float(FMargin.Top + FMargin.Bottom)) / cy};
}

TRectF TPrintPreview::PrintAreaRect() const {
  const TPointF s = printAreaSize();
  const double k = previewScale();
  return {0.0f, 0.0f, float(s.X * k), float(s.Y * k)};
}

int TPrintPreview::pageCount() const { return Project ? int(Project->PrintOffset().size()) : 0; }

TPointF TPrintPreview::getOffsetRealPt(int pageIdx) const {
  if (!Project || pageIdx < 0 || pageIdx >= pageCount()) return Boundary.topLeft();
  return Boundary.topLeft() + Project->PrintOffset()[std::size_t(pageIdx)];
}

TRectF TPrintPreview::getPrintPageRect(int pageIdx) const {
  const TPointF t = getOffsetRealPt(pageIdx);
  return {t, t + printAreaSize()};
}

TRectF TPrintPreview::pageRectPixels(int pageIdx) const {
  const double k = previewScale();
  const TPointF o = Project ? Project->PrintOffset()[std::size_t(pageIdx)] : TPointF();
  const TPointF s = printAreaSize();
  return {float(o.X * k), float(o.Y * k), float((o.X + s.X) * k), float((o.Y + s.Y) * k)};
}

int TPrintPreview::getNumTileX() const {
  bool ok = false;
  const int typed = Options.nbPreview_TileX.trimmed().toInt(&ok);
  const int n = ok ? typed : int(std::lround(Options.TileXValue));
  // A column count being typed may pass through 0; the grid needs at least one column.
  return std::max(1, n);
}

void TPrintPreview::getTileColRow(int index, int &col, int &row) const {
  const int n = getNumTileX();
  row = index / n;
  col = index - row * n;
}

bool TPrintPreview::isEdgeLeft(int index) const {
  int col = 0, row = 0;
  getTileColRow(index, col, row);
  return col == 0;
}

bool TPrintPreview::isEdgeTop(int index) const {
  int col = 0, row = 0;
  getTileColRow(index, col, row);
  return row == 0;
}

bool TPrintPreview::isEdgeRight(int index) const {
  int col = 0, row = 0;
  getTileColRow(index, col, row);
  return col == std::max(1, int(std::lround(Options.TileXValue))) - 1;
}

bool TPrintPreview::isEdgeBottom(int index) const {
  int col = 0, row = 0;
  getTileColRow(index, col, row);
  const int n = std::max(1, int(std::lround(Options.TileXValue)));
  return row == (pageCount() - 1) / n;
}

void TPrintPreview::resetTile() {
  if (!Project || !Options.chkTilePrint) return;
  std::vector<TPointF> &offsets = Project->PrintOffset();
  const TPointF s = printAreaSize();
  const float ov = float(Options.nbTileOverlapLen);
  for (int i = 1; i < int(offsets.size()); ++i) {
    int col = 0, row = 0;
    getTileColRow(i, col, row);
    offsets[std::size_t(i)] = offsets[0] + TPointF(float(col) * (s.X - ov), float(row) * (s.Y - ov));
  }
  markChanged();
}

int TPrintPreview::getPageIndexAt(double x, double y) const {
  if (!Project) return -1;
  const TRectF area = PrintAreaRect();
  for (int i = pageCount() - 1; i >= 0; --i) {
    const TRectF r = pageRectPixels(i);
    const double dx = x - r.Left, dy = y - r.Top;
    if (dx >= 0 && dx < area.width() && dy >= 0 && dy < area.height()) return i;
  }
  return -1;
}

void TPrintPreview::cycleScalePos(int index) {
  if (!Project || index < 0 || index >= pageCount()) return;
  std::vector<int> &pos = Project->PrintScalePos();
  int &p = pos[std::size_t(index)];
  ++p;
  markChanged();
  if (p == spNone) {
    const auto withScale = std::count_if(pos.begin(), pos.end(), [](int v) { return v < spNone; });
    if (withScale == 0) p = spBottomRight;
  } else if (p > spNone) {
    p = spBottomRight;
  }
}

void TPrintPreview::addPage() {
  if (!Project) return;
  std::vector<TPointF> &offsets = Project->PrintOffset();
  const TPointF s = printAreaSize();
  TPointF next = offsets.back() + TPointF(s.X, 0.0f);
  offsets.push_back(next);
  Project->PrintTarget().push_back(true);
  Project->PrintScalePos().push_back(spBottomRight);
  if (getOffsetRealPt(int(offsets.size()) - 1).X > Boundary.Right)
    offsets.back() = TPointF(offsets[0].X, next.Y + s.Y);
  markChanged();
  resetTile();
}

bool TPrintPreview::removePage() {
  if (!Project || pageCount() < 2) return false;
  Project->PrintOffset().pop_back();
  Project->PrintTarget().pop_back();
  Project->PrintScalePos().pop_back();
  markChanged();
  std::vector<int> &pos = Project->PrintScalePos();
  if (std::none_of(pos.begin(), pos.end(), [](int v) { return v < spNone; })) pos.back() = spBottomRight;
  return true;
}

int TPrintPreview::mouseDown(bool rightButton, double x, double y) {
  FDraggingPageIdx = getPageIndexAt(x, y);
  if (FDraggingPageIdx < 0) return -1;
  if (rightButton) {
    auto &targets = Project->PrintTarget();
    targets[std::size_t(FDraggingPageIdx)] = !targets[std::size_t(FDraggingPageIdx)];
    return FDraggingPageIdx;
  }
  FOrgOffset = Project->PrintOffset()[std::size_t(Options.chkTilePrint ? 0 : FDraggingPageIdx)];
  FMouseDownPos = TPointF(float(x), float(y));
  FIsMouseDown = true;
  return FDraggingPageIdx;
}

bool TPrintPreview::mouseMove(double x, double y) {
  if (!FIsMouseDown || !Project || FDraggingPageIdx < 0 || FDraggingPageIdx >= pageCount()) return false;
  const int dragged = Options.chkTilePrint ? 0 : FDraggingPageIdx;
  const double k = previewScale();
  if (k <= 0) return false;
  const TPointF moved(float((x - FMouseDownPos.X) / k), float((y - FMouseDownPos.Y) / k));
  Project->PrintOffset()[std::size_t(dragged)] = FOrgOffset + moved;
  markChanged();
  resetTile();
  return true;
}

void TPrintPreview::mouseUp(double x, double y) {
  if (FIsMouseDown && std::abs(x - FMouseDownPos.X) <= 1.0 && std::abs(y - FMouseDownPos.Y) <= 1.0) {
    const int page = getPageIndexAt(x, y);
    if (page >= 0) cycleScalePos(page);
  }
  FIsMouseDown = false;
}

void TPrintPreview::optionsChanged() {
  if (Options.chkTilePrint) Options.chkPrintIntoMergin = false;
}

void TPrintPreview::markChanged() { FEditor.setDocumentChanged(true); }

int pickPageSetupResolution(const std::vector<TPointF> &resolutions) {
  int i = 0;
  for (; i < int(resolutions.size()); ++i)
    if (resolutions[std::size_t(i)].X >= 300.0f) break;
  return i;
}

int pickPrintJobResolution(const std::vector<TPointF> &resolutions) {
  int best = -1;
  double bestScore = 0.0;
  for (int i = 0; i < int(resolutions.size()); ++i) {
    const TPointF r = resolutions[std::size_t(i)];
    const double score = std::abs(double(r.X) - 300.0) * std::abs(double(r.Y) - 300.0);
    if (best < 0 || score < bestScore) {
      best = i;
      bestScore = score;
    }
  }
  return best;
}

QString activeDpiText(int index, int count, TPointF dpi, int pageWidthPx, int pageHeightPx) {
  return QStringLiteral("Active DPI[%1 of %2]=%3, %4; Printer=[%5, %6]")
      .arg(index)
      .arg(count - 1)
      .arg(double(dpi.X), 0, 'f', 2)
      .arg(double(dpi.Y), 0, 'f', 2)
      .arg(pageWidthPx)
      .arg(pageHeightPx);
}

}  // namespace quillon
