#pragma once
// What every fuzz target of the program needs, made once per process: the application,
// a data folder of its own and one editor with the command hooks.
#include <QGuiApplication>
#include <QTemporaryDir>

#include <memory>

#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/command_hooks.h"

namespace quillon::fuzz {

struct TFuzzWorld {
  QTemporaryDir Folder;
  std::unique_ptr<QGuiApplication> App;
  TSilentEditorUi Ui;
  std::unique_ptr<TEditor> Editor;

  TFuzzWorld(int *argc, char ***argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QUILLON_DATA_DIR", Folder.filePath(QStringLiteral("data")).toUtf8());
    qputenv("QUILLON_DOCUMENTS_DIR", Folder.filePath(QStringLiteral("documents")).toUtf8());
    App = std::make_unique<QGuiApplication>(*argc, *argv);
    Editor = std::make_unique<TEditor>(Ui, QStringList{QStringLiteral("--instance-id"), QStringLiteral("1")});
    installCommandHooks(*Editor);
  }
};

}  // namespace quillon::fuzz
