#pragma once
// A scripted user interface that also records what the window would show: the tool
// panels after a tool change, the information lines and the command enabling.
#include <optional>
#include <vector>

#include "tools/status_info.h"
#include "support/scripted_ui.h"
#include "tools/tool_change.h"

namespace quillon::test {

class TRecordingUi : public TScriptedUi {
 public:
  std::vector<TToolPanels> toolPanels;
  std::vector<TInfoTexts> infos;
  std::optional<TSelectionActions> actions;
  int actionCalls = 0;

  void showToolPanels(const TToolPanels &panels) override { toolPanels.push_back(panels); }
  void showInfo(const TInfoTexts &texts) override { infos.push_back(texts); }
  void applySelectionActions(const TSelectionActions &a) override {
    actions = a;
    ++actionCalls;
  }
};

}  // namespace quillon::test
