#pragma once
// The state of the drawing check that the editor keeps between runs: the warnings of the
// last run, the blink timer of their rings and whether the whole-drawing fix is offered.
// The check itself and its fixes are editing commands (edit/drawing_check.h); the paint
// routine, the pointer and the automation routes read what is kept here.
#include <QString>

#include <memory>
#include <vector>

#include "platform/geometry.h"

class QTimer;

namespace quillon {

class TEditor;

// The kinds of defect, in the order of their ordinal values.
enum class TLintKind { lkGap = 0, lkAxis = 1, lkOverlap = 2, lkTGap = 3 };

struct TLintWarning {
  TPointF Point;  // millimetres: where the ring is drawn
  TLintKind Kind = TLintKind::lkGap;
  QString Info;  // translated and filled in
};

// What the check keeps of its last run so that the next one redoes only the shapes an
// edit touched (edit/drawing_check.cpp); the editor only owns it.
class TLintMemo {
 public:
  virtual ~TLintMemo() = default;
};

struct TLintState {
  TLintState();
  ~TLintState();
  TLintState(const TLintState &) = delete;
  TLintState &operator=(const TLintState &) = delete;

  std::vector<TLintWarning> FLintWarnings;  // the warnings of the last run
  std::unique_ptr<QTimer> FLintAnimTimer;   // 450 ms; its tick is onLintAnimTimer
  bool ResolveAllEnabled = false;           // actResolveAll
  bool ResolveIssuesVisible = false;        // FMiResolveIssues, set at each right click
  std::unique_ptr<TLintMemo> FMemo;         // the check's own, made at its first run
};

inline constexpr int kLintAnimIntervalMs = 450;

// Makes the blink timer (disabled); its tick runs onLintAnimTimer.
void createLintAnimTimer(TEditor &editor);
// Phase back to 0; the timer runs exactly while the intersection display is on and
// warnings exist.
void updateLintBlink(TEditor &editor);
// One blink step: the phase advances (back to 0 above 100000) and the canvas repaints.
void onLintAnimTimer(TEditor &editor);
// Whether the rings are drawn in the current blink phase.
bool lintRingsVisible(const TEditor &editor);
// The warning under the pointer (drawing-box pixels): the first in list order within 14
// pixels in x and in y. Repaints when it changed.
void updateLintHover(TEditor &editor, float x, float y);
// The translated hint of a kind; empty for a value outside the four kinds.
QString getLintHint(const TEditor &editor, TLintKind kind);
// The kind's name in the automation replies ("gap", "axis", "overlap", "tgap").
const char *lintKindName(TLintKind kind);

}  // namespace quillon
