// libFuzzer target: automation request bodies. The first byte picks a route (the rows
// that read a body, and a few that then write out what the bodies made); the other bytes
// are the body. Requests run through the dispatcher as the server hands them on, on this
// (the UI) thread, against one editor whose drawing is started afresh now and then.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "automation/mcp_dispatch.h"
#include "fuzz_world.h"
#include "model/shape_list.h"
#include "shell/project_file.h"

namespace {

quillon::fuzz::TFuzzWorld *world = nullptr;
quillon::TMcpHandOff *handOff = nullptr;

struct TRoute {
  const char *Method;
  const char *Path;
};

constexpr TRoute kRoutes[] = {
    {"POST", "/shapes/line"}, {"POST", "/shapes/circle"}, {"POST", "/shapes/arc"}, {"POST", "/shapes/bezier"},
    {"PUT", "/shapes/1"},     {"PUT", "/shapes/2"},       {"PUT", "/shapes/3"},   {"DELETE", "/shapes"},
    {"DELETE", "/shapes/2"},  {"POST", "/ruler"},         {"POST", "/hit_test"},  {"POST", "/click"},
    {"POST", "/viewport"},    {"POST", "/viewport/fit"},  {"POST", "/undo"},      {"POST", "/redo"},
    {"GET", "/paths"},        {"GET", "/intersections"},  {"GET", "/doc"},        {"GET", "/shapes/1"},
};

// The drawing and its history are started afresh when they grow, so runs stay short.
constexpr std::size_t kMaxShapes = 64;

}  // namespace

// Fontconfig keeps caches for the life of the process (the editor lists the font
// families at start-up); they are not the fuzzed code's leaks.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  world = new quillon::fuzz::TFuzzWorld(argc, argv);
  handOff = new quillon::TMcpHandOff;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0) return 0;
  quillon::TEditor &editor = *world->Editor;
  const TRoute &route = kRoutes[data[0] % std::size(kRoutes)];
  const std::string body(reinterpret_cast<const char *>(data + 1), size - 1);
  int status = 0;
  std::string contentType;
  // Routes answer every failure with a reply; nothing may escape.
  quillon::mcpDispatch(editor, *handOff, route.Method, route.Path, body, status, contentType);
  if (static_cast<std::size_t>(editor.doc().PathList().Count()) > kMaxShapes ||
      editor.FUndoStore.FUndoList.size() > kMaxShapes)
    quillon::newDocument(editor);
  return 0;
}
