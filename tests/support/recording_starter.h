#pragma once
// Stands in for the process starter while it lives: records the program and arguments
// of each launch instead of starting anything, and answers as Starts says. The starter it
// replaced comes back when it goes, also when a test stops at a failed assertion.
#include <QString>
#include <QStringList>

#include "shell/launch_instance.h"

namespace quillon::test {

struct TRecordingStarter {
  QString Program;
  QStringList Arguments;
  bool Starts = true;
  TProcessStarter Previous;

  TRecordingStarter() {
    Previous = setProcessStarter([this](const QString &program, const QStringList &arguments) {
      Program = program;
      Arguments = arguments;
      return Starts;
    });
  }
  ~TRecordingStarter() { setProcessStarter(Previous); }
  TRecordingStarter(const TRecordingStarter &) = delete;
  TRecordingStarter &operator=(const TRecordingStarter &) = delete;
};

}  // namespace quillon::test
