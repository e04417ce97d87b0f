#include "shell/lint_state.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>

#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/view_transform.h"

namespace quillon {

TLintState::TLintState() = default;
TLintState::~TLintState() = default;

void createLintAnimTimer(TEditor &editor) {
  TLintState &lint = editor.lint();
  lint.FLintAnimTimer = std::make_unique<QTimer>();
  lint.FLintAnimTimer->setInterval(kLintAnimIntervalMs);
  TEditor *target = &editor;
  QObject::connect(lint.FLintAnimTimer.get(), &QTimer::timeout, lint.FLintAnimTimer.get(),
                   [target] { onLintAnimTimer(*target); });
}

void updateLintBlink(TEditor &editor) {
  editor.display().FLintAnimPhase = 0;
  QTimer *timer = editor.lint().FLintAnimTimer.get();
  if (!timer) return;
  const bool run = editor.display().FShow_intersections && !editor.lint().FLintWarnings.empty();
  // Timers start only where an event loop can run them (not in a headless tool run).
  if (run && QCoreApplication::instance())
    timer->start();
  else
    timer->stop();
}

void onLintAnimTimer(TEditor &editor) {
  int &phase = editor.display().FLintAnimPhase;
  phase = phase >= 100000 ? 0 : phase + 1;
  editor.ui().refreshCanvas();
}

bool lintRingsVisible(const TEditor &editor) { return editor.display().FLintAnimPhase % 2 == 0; }

void updateLintHover(TEditor &editor, float x, float y) {
  int found = -1;
  if (editor.display().FShow_intersections) {
    const auto &warnings = editor.lint().FLintWarnings;
    for (std::size_t i = 0; i < warnings.size(); ++i) {
      const TPointF p = realToVirtual(editor.view(), warnings[i].Point);
      if (std::fabs(double(p.X) - x) <= 14.0 && std::fabs(double(p.Y) - y) <= 14.0) {
        found = static_cast<int>(i);
        break;
      }
    }
  }
  if (found == editor.display().FLintHoveredIndex) return;
  editor.display().FLintHoveredIndex = found;
  editor.ui().refreshCanvas();
}

QString getLintHint(const TEditor &editor, TLintKind kind) {
  switch (kind) {
    case TLintKind::lkGap: return editor.tr(QStringLiteral("lintHintGap"));
    case TLintKind::lkAxis: return editor.tr(QStringLiteral("lintHintAxis"));
    case TLintKind::lkOverlap: return editor.tr(QStringLiteral("lintHintOverlap"));
    case TLintKind::lkTGap: return editor.tr(QStringLiteral("lintHintTGap"));
  }
  return {};
}

const char *lintKindName(TLintKind kind) {
  switch (kind) {
    case TLintKind::lkGap: return "gap";
    case TLintKind::lkAxis: return "axis";
    case TLintKind::lkOverlap: return "overlap";
    case TLintKind::lkTGap: return "tgap";
  }
  return "unknown";
}

}  // namespace quillon
