// The guarded call between widget events and the core: what it lets through, what it
// reports and where the report goes.
#include "shell/guarded_call.h"

#include <QObject>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "support/scripted_ui.h"
#include "support/warning_log.h"

namespace quillon {
namespace {

TEST(GuardedCall, ReportsEveryKindOfFailureOnTheStatusLineAndInTheLog) {
  struct TCase {
    const char *What;
    std::function<void()> Body;
    bool Finished;
    const char *Shown;   // on the status line; nullptr: nothing shown and nothing logged
    const char *Logged;  // the warning line
  };
  const TCase cases[] = {
      {"actSaveProject", [] { throw std::runtime_error("disk full"); }, false,
       "Error in actSaveProject: disk full", "Quillon: error in actSaveProject: disk full"},
      {"pboxMouseDown", [] { throw std::out_of_range("index 7 out of range"); }, false,
       "Error in pboxMouseDown: index 7 out of range", "Quillon: error in pboxMouseDown: index 7 out of range"},
      {"pboxPaint", [] { throw 42; }, false, "Error in pboxPaint: unknown exception",
       "Quillon: error in pboxPaint: unknown exception"},
      {"FormKeyDown", [] {}, true, nullptr, nullptr},
  };
  for (const TCase &c : cases) {
    test::TScriptedUi ui;
    test::TWarningLog log;
    int runs = 0;
    EXPECT_EQ(guarded(ui, c.What, [&] {
                ++runs;
                c.Body();
              }),
              c.Finished)
        << c.What;
    EXPECT_EQ(runs, 1) << c.What;
    if (!c.Shown) {
      EXPECT_TRUE(ui.statusTexts.isEmpty()) << c.What;
      EXPECT_TRUE(log.lines().isEmpty()) << c.What;
    } else {
      EXPECT_EQ(ui.statusTexts, QStringList{QString::fromUtf8(c.Shown)}) << c.What;
      EXPECT_EQ(log.lines(), QStringList{QString::fromUtf8(c.Logged)}) << c.What;
    }
  }
}

// A window object that is the user interface, as the main window is.
class TWindowUi : public QObject, public test::TScriptedUi {};

TEST(GuardedCall, WidgetsWithoutTheEditorReportToTheWindowThatOwnsThem) {
  TWindowUi window;
  QObject dialog(&window);
  QObject sample(&dialog);
  EXPECT_EQ(editorUiOf(&sample), static_cast<TEditorUi *>(&window));
  EXPECT_EQ(editorUiOf(&window), static_cast<TEditorUi *>(&window));

  test::TWarningLog log;
  EXPECT_FALSE(guarded(editorUiOf(&sample), "pbExamplePaint", [] { throw std::runtime_error("no pen"); }));
  EXPECT_EQ(window.statusTexts, QStringList{QStringLiteral("Error in pbExamplePaint: no pen")});

  // Without such a window the failure is still logged.
  QObject alone;
  EXPECT_EQ(editorUiOf(&alone), nullptr);
  EXPECT_FALSE(guarded(editorUiOf(&alone), "ColorQuad1Change", [] { throw std::runtime_error("bad colour"); }));
  EXPECT_EQ(log.lines(), (QStringList{QStringLiteral("Quillon: error in pbExamplePaint: no pen"),
                                      QStringLiteral("Quillon: error in ColorQuad1Change: bad colour")}));
}

}  // namespace
}  // namespace quillon
