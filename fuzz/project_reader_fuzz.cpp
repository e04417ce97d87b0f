// libFuzzer target: the project document reader on arbitrary bytes. A document that
// reads is also shown (stitch links, layers, undo state, duplicates) and written again,
// so the repairs and the writer see every document the reader accepts.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>

#include "fuzz_world.h"
#include "shell/project_file.h"

namespace {

quillon::fuzz::TFuzzWorld *world = nullptr;

}  // namespace

// Fontconfig keeps caches for the life of the process (the editor lists the font
// families at start-up); they are not the fuzzed code's leaks.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  world = new quillon::fuzz::TFuzzWorld(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  quillon::TEditor &editor = *world->Editor;
  std::unique_ptr<quillon::TProjectContent> content;
  try {
    content = quillon::readProjectContent(editor, std::string_view(reinterpret_cast<const char *>(data), size));
  } catch (const std::exception &) {
    return 0;  // not a document: refused, which is all the reader owes such input
  }
  quillon::showProjectContent(editor, std::move(content), QStringLiteral("fuzz.qnd"));
  const QByteArray written = quillon::projectFileBytes(editor);
  // What was written reads back.
  quillon::readProjectContent(editor, std::string_view(written.constData(), static_cast<std::size_t>(written.size())));
  return 0;
}
