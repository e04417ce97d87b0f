#include "shell/project_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/intersection_upkeep.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"
#include "platform/date_time.h"
#include "platform/file_io.h"
#include "platform/folders.h"
#include "platform/json_text.h"
#include "platform/json_values.h"
#include "platform/number_text.h"
#include "model/draw_pallet.h"
#include "shell/autosave.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/layer_list.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "shell/color_scheme.h"
#include "shell/view_transform.h"
#include "shell/version.h"
#include "stitching/iron_reference.h"
#include "stitching/pricking_iron.h"

namespace quillon {

namespace {

constexpr const char *kFileType = "Quillon";
constexpr const char *kBoolTrue = "-1";
constexpr const char *kBoolFalse = "0";
constexpr float kHoleFarLimit = 1000000.0f;  // mm
constexpr double kEllipseRoundness = 0.01;   // mm between width and height
// IDs and group IDs above this are given new ones when a file is read, so the one counter
// that issues IDs never runs past the 32-bit range however many shapes follow.
constexpr int kMaxStoredId = std::numeric_limits<int>::max() / 2;

[[noreturn]] void fail(const std::string &what) { throw std::runtime_error("project file: " + what); }

// ---------------------------------------------------------------------------------
// Value readers of the document's own members (layers, pages, meta). Each throws when
// the value cannot be converted to the kind asked for.

// The value read, or the failure naming the key and the kind asked for.
template <typename T>
T readOrFail(TJsonRead<T> read, const char *key, const char *kind) {
  if (!read) fail(std::string("\"") + key + "\" is not " + kind);
  return read.Value;
}

int readInt(const TJson &value, const char *key) { return readOrFail(readJsonInt(value), key, "a 32-bit integer"); }

// JSON true/false, or a text "-1", "0", "true", "false" (any case) or another whole
// number (not 0 is true); a JSON integer likewise.
bool readBool(const TJson &value, const char *key) {
  return readOrFail(readJsonBool(value, TBoolForms::Lenient), key, "a Boolean");
}

QString readText(const TJson &value, const char *key) {
  const std::string_view text = readOrFail(readJsonText(value), key, "a text");
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TPointF readPoint(const TJson &value, const char *key) { return readOrFail(readJsonPoint(value), key, "a point"); }

const TJson &requiredMember(const TJson &object, const char *key, const char *where) {
  const auto it = object.find(key);
  if (it == object.end()) fail(std::string(where) + " member \"" + key + "\" is missing");
  return *it;
}

// The file's text as UTF-8: a UTF-16 or UTF-32 byte-order mark selects that encoding;
// without one (or with the UTF-8 mark) the bytes are UTF-8 already.
TJson parseDocumentText(std::string_view bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(view);
  if (encoding && *encoding != QStringConverter::Utf8) {
    QStringDecoder decode(*encoding);
    const QString text = decode(view);
    if (decode.hasError()) fail("the text is not in the encoding its byte-order mark names");
    const QByteArray utf8 = text.toUtf8();
    return parseJsonText(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  }
  return parseJsonText(bytes);
}

// ---------------------------------------------------------------------------------
// Shape repairs

// The four quarter curves of an ellipse, starting at its bottom point and turning by a
// quarter each time: the conjugate radius vectors A (to the curve's start) and B (a
// quarter turn ahead) give the handles h*B at both ends, h = 4/3 tan(pi/8). Each curve has
// the ellipse's line type, pen, group and selection, and no ID yet.
std::vector<std::unique_ptr<TQN_Path>> ellipseToBeziers(const TQN_Path &ellipse) {
  const double h = 4.0 / 3.0 * std::tan(std::numbers::pi / 8.0);
  const double cx = ellipse.FCenter.X, cy = ellipse.FCenter.Y;
  double ax = 0.0, ay = ellipse.FHeight / 2.0;
  double bx = ellipse.FWidth / 2.0, by = 0.0;
  const auto point = [](double x, double y) { return TPointF{static_cast<float>(x), static_cast<float>(y)}; };
  std::vector<std::unique_ptr<TQN_Path>> curves;
  for (int i = 0; i < 4; ++i) {
    const TPointF st = point(cx + ax, cy + ay);
    const TPointF cp1 = point(cx + ax + h * bx, cy + ay + h * by);
    // A quarter turn: A becomes B and B becomes -A (exactly, so the last curve ends where
    // the first began).
    const double nax = bx, nay = by;
    bx = -ax;
    by = -ay;
    ax = nax;
    ay = nay;
    const TPointF ep = point(cx + ax, cy + ay);
    const TPointF cp2 = point(cx + ax - h * bx, cy + ay - h * by);
    auto curve = std::make_unique<TQN_Path>(ellipse.FPalletIndex, ellipse.FColor, ellipse.FThickness,
                                            ellipse.FDash, -1);
    curve->drawBezierPath(st, cp1, cp2, ep);
    curve->SetSelected(ellipse.FSelected);
    curve->FGroupID = ellipse.FGroupID;
    curves.push_back(std::move(curve));
  }
  return curves;
}

// A stitching hole always has line type #37; one stored impossibly far away comes back
// at the origin as a 10 mm square.
void repairHole(TQN_Path &hole) {
  hole.FPalletIndex = kStitchingHolePalletIndex;
  if (std::fabs(hole.FCenter.X) > kHoleFarLimit || std::fabs(hole.FStartPt.X) > kHoleFarLimit) {
    hole.FCenter = {0.0f, 0.0f};
    hole.FStartPt = {0.0f, 0.0f};
    hole.FEndPt = {0.0f, 0.0f};
    TPathData square;
    square.MoveTo({0.0f, 0.0f});
    square.LineTo({10.0f, 0.0f});
    square.LineTo({10.0f, 10.0f});
    square.LineTo({0.0f, 10.0f});
    square.ClosePath();
    hole.setData(square);
  }
}

// ---------------------------------------------------------------------------------
// Reading the members

void readMeta(const TJson &root, TShapeList &doc) {
  const auto meta = root.find("meta");
  if (meta == root.end()) return;
  if (!meta->is_object()) fail("\"meta\" is not an object");
  // Other files of the program carry their own kind here (copied shapes, repository
  // parts, ...); those are not documents.
  if (const auto kind = meta->find("file_type"); kind != meta->end())
    if (!kind->is_string() || kind->get_ref<const std::string &>() != kFileType) fail("not a Quillon document");
  if (const auto memo = meta->find("memo"); memo != meta->end()) doc.Memo = readText(*memo, "memo");
}

void readLayers(const TJson &root, TShapeList &doc) {
  const auto layers = root.find("layers");
  if (layers != root.end() && layers->is_array()) {
    for (const TJson &layer : *layers) {
      if (!layer.is_object()) fail("a layer is not an object");
      const int id = readInt(requiredMember(layer, "id", "layer"), "id");
      const QString name = readText(requiredMember(layer, "nam", "layer"), "nam");
      const bool visible = readBool(requiredMember(layer, "chk", "layer"), "chk");
      const int added = doc.addLayer(id, name, visible);
      if (const auto indp = layer.find("indp"); indp != layer.end())
        doc.SetIsIndependentLayer(added, readBool(*indp, "indp"));
    }
  }
  if (doc.Layers().empty()) doc.addLayer(-1, QString(), true);
}

void readShapes(const TEditor &editor, const TJson &root, TProjectContent &content) {
  const auto shapes = root.find("shapes");
  if (shapes == root.end() || !shapes->is_array()) return;
  TDocument &document = *content.Document;
  TShapeList &doc = document.PathList();
  std::unordered_set<int> seenIds;
  std::vector<TQN_Path *> renumbered;  // kept shapes that get a new ID, in file order

  const auto addShape = [&](std::unique_ptr<TQN_Path> shape, int layer, bool newId) {
    TQN_Path *s = document.add(std::move(shape), layer);
    if (newId) renumbered.push_back(s);
  };

  std::size_t number = 0;
  for (const TJson &element : *shapes) {
    ++number;
    auto shape = std::make_unique<TQN_Path>(-1, editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                                            editor.pen().FCurrentDash, -1);
    try {
      TPrickingIron *iron = nullptr;
      if (element.is_object())
        if (const auto pr = element.find("pr"); pr != element.end())
          iron = ironOfReference(editor.FPrickingIronGroups, *pr);
      shape->loadJson(element, iron);
    } catch (const std::exception &e) {
      fail("shape " + std::to_string(number) + ": " + e.what());
    }

    if (shape->isKind(TShapeKind::Unknown)) content.UnknownKinds << shape->kindName();
    if (shape->FPalletIndex < 0) shape->FPalletIndex = std::max(getPaletteIndexOfPath(editor.pen(), *shape), 0);
    if (shape->isKind(TShapeKind::Hole)) repairHole(*shape);

    const bool newId = shape->ID() < 0 || shape->ID() > kMaxStoredId || !seenIds.insert(shape->ID()).second;

    // A line without length is dropped.
    if (shape->isKind(TShapeKind::Line) && isSamePoint(shape->FStartPt, shape->FEndPt, 0.0f)) continue;

    // Only circles stay ellipses; any other ellipse becomes four curves in its place,
    // on its own layer, each with a new ID.
    if (shape->isKind(TShapeKind::Ellipse) &&
        std::fabs(static_cast<double>(shape->FWidth) - static_cast<double>(shape->FHeight)) > kEllipseRoundness) {
      for (auto &curve : ellipseToBeziers(*shape)) addShape(std::move(curve), shape->FLayerID, true);
      continue;
    }

    roundLineEnds(*shape);
    const int layer = shape->FLayerID;
    addShape(std::move(shape), layer, newId);
  }
  // Each shape's records with the shapes before it, as if each had been drawn in turn.
  calcIntersectionsOfAppendedShapes(doc, document.FIntersections, 0, document.FShapeIndex);

  // IDs beyond the limit go first, so the counter is not set from them; a hole's sewing
  // links follow its new ID when its old one was unique.
  std::unordered_map<int, int> largeIdUses;
  std::vector<int> largeIds(renumbered.size(), 0);
  for (std::size_t i = 0; i < renumbered.size(); ++i) {
    TQN_Path *s = renumbered[i];
    if (s->ID() <= kMaxStoredId) continue;
    largeIds[i] = s->ID();
    ++largeIdUses[s->ID()];
    s->updateId(-1);
  }
  std::unordered_map<int, int> largeGroups;
  std::vector<std::pair<TQN_Path *, int>> largeGroupMembers;
  for (TQN_Path *s : doc) {
    if (s->FGroupID <= kMaxStoredId) continue;
    largeGroups.emplace(s->FGroupID, 0);
    largeGroupMembers.emplace_back(s, s->FGroupID);
    s->FGroupID = 0;  // until the new group ID is known
  }

  // The counter starts above every ID and group ID in use, so new IDs clash with none.
  doc.updateLastID();
  std::unordered_map<int, int> movedIds;
  for (std::size_t i = 0; i < renumbered.size(); ++i) {
    renumbered[i]->updateId(doc.getNextID());
    if (largeIds[i] != 0 && largeIdUses[largeIds[i]] == 1) movedIds[largeIds[i]] = renumbered[i]->ID();
  }
  for (auto &[member, oldGroup] : largeGroupMembers) {
    int &group = largeGroups.at(oldGroup);
    if (group == 0) group = doc.getNextID();
    member->FGroupID = group;
  }
  if (movedIds.empty()) return;
  for (TQN_Path *s : doc) {
    if (!s->isKind(TShapeKind::Hole)) continue;
    if (const auto prev = movedIds.find(s->FPrevStitchID); prev != movedIds.end()) s->FPrevStitchID = prev->second;
    if (const auto next = movedIds.find(s->FNextStitchID); next != movedIds.end()) s->FNextStitchID = next->second;
  }
}

void readPrintAreas(const TJson &root, TShapeList &doc) {
  const auto areas = root.find("printareas");
  if (areas == root.end() || !areas->is_array()) return;
  std::vector<TPointF> offsets;
  std::vector<bool> targets;
  std::vector<int> scalePos;
  for (const TJson &area : *areas) {
    if (!area.is_object()) fail("a print page is not an object");
    offsets.push_back(readPoint(requiredMember(area, "offset", "print page"), "offset"));
    targets.push_back(readBool(requiredMember(area, "target", "print page"), "target"));
    scalePos.push_back(readInt(requiredMember(area, "scalepos", "print page"), "scalepos"));
  }
  if (offsets.empty()) {
    doc.clearPrintPagesInfo();
    return;
  }
  doc.PrintOffset() = std::move(offsets);
  doc.PrintTarget() = std::move(targets);
  doc.PrintScalePos() = std::move(scalePos);
}

}  // namespace

// ---------------------------------------------------------------------------------
// Writing

TJson buildProjectJson(const TEditor &editor) {
  const TShapeList &doc = editor.doc().PathList();
  TJson root = TJson::object();

  TJson meta = TJson::object();
  meta["file_type"] = kFileType;
  meta["version"] = kQuillonVersion;
  meta["memo"] = doc.Memo.toStdString();
  root["meta"] = std::move(meta);

  TJson layers = TJson::array();
  for (int id : doc.Layers()) {
    TJson layer = TJson::object();
    layer["id"] = id;
    layer["chk"] = doc.GetlayerVisible(id) ? kBoolTrue : kBoolFalse;
    layer["nam"] = doc.GetLayerName(id).toStdString();
    layer["indp"] = doc.GetIsIndependentLayer(id) ? kBoolTrue : kBoolFalse;
    layers.push_back(std::move(layer));
  }
  root["layers"] = std::move(layers);

  TJson shapes = TJson::array();
  for (const TQN_Path *s : doc) shapes.push_back(s->toJson());
  root["shapes"] = std::move(shapes);

  // Tracing images are not part of the editor yet: the document has none to write.
  root["backdrops"] = TJson::array();

  TJson areas = TJson::array();
  const std::size_t pages =
      std::min({doc.PrintOffset().size(), doc.PrintTarget().size(), doc.PrintScalePos().size()});
  for (std::size_t i = 0; i < pages; ++i) {
    TJson area = TJson::object();
    area["offset"] = pointToJson(doc.PrintOffset()[i]);
    area["target"] = static_cast<bool>(doc.PrintTarget()[i]);
    area["scalepos"] = doc.PrintScalePos()[i];
    areas.push_back(std::move(area));
  }
  root["printareas"] = std::move(areas);
  return root;
}

QByteArray projectFileBytes(const TEditor &editor) {
  const std::string text = writeJsonText(buildProjectJson(editor));
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(text.size() + 5));
  bytes.append("\xEF\xBB\xBF", 3);
  bytes.append(text.data(), static_cast<qsizetype>(text.size()));
  bytes.append("\r\n", 2);
  return bytes;
}

void writeProjectFile(TEditor &editor, double now) {
  if (editor.FFilename.isEmpty()) throw std::runtime_error("project file: no file name to write to");
  writeFileAtomically(editor.FFilename, projectFileBytes(editor));
  editor.updateCaption(editor.FFilename);
  editor.setDocumentChanged(false);
  editor.ui().setStatusText(QStringLiteral("Saved ") + QFileInfo(editor.FFilename).fileName());
  editor.doc().PathList().LastSavedTime = now;
  restartAutoSaveTimer(editor);
}

bool saveProject(TEditor &editor) {
  if (editor.FFilename.isEmpty()) return saveProjectAs(editor);
  try {
    writeProjectFile(editor, dateTimeNow());
    return true;
  } catch (const std::exception &e) {
    editor.ui().messageBox(QString::fromLatin1(kSaveErrorKey), QString::fromUtf8(e.what()));
    return false;
  }
}

bool saveProjectAs(TEditor &editor) {
  // An untitled document is proposed in the Documents folder, not wherever the program
  // was started.
  QString proposed = documentsDir();
  if (!editor.FFilename.isEmpty()) {
    const QFileInfo current(editor.FFilename);
    proposed = current.completeBaseName();
    if (editor.FFilename.contains(QLatin1Char('/'))) proposed = QDir(current.path()).filePath(proposed);
  }
  QString chosen = editor.ui().saveFileDialog(editor.tr(QStringLiteral("actSaveProjectAs")),
                                              QString::fromLatin1(kProjectFileFilter), proposed);
  if (chosen.isEmpty()) return false;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += QLatin1Char('.') + QString::fromLatin1(kProjectFileExtension);
  editor.FFilename = chosen;
  return saveProject(editor);
}

// ---------------------------------------------------------------------------------
// Reading

std::unique_ptr<TProjectContent> readProjectContent(const TEditor &editor, std::string_view bytes) {
  const TJson root = parseDocumentText(bytes);
  if (!root.is_object()) fail("the file is not a JSON object");

  auto content = std::make_unique<TProjectContent>();
  content->Document = std::make_unique<TDocument>(editor.FMultiLang.get(), editor.FLangID);
  TShapeList &doc = content->Document->PathList();
  // A new list has one default layer and no print page; the file's layers replace the
  // layer, and a file without pages gets the one default page.
  doc.clearPrintPagesInfo();
  doc.deleteLayer(doc.Layers().front());

  readMeta(root, doc);
  readLayers(root, doc);
  readShapes(editor, root, *content);
  // "backdrops" holds tracing images, which the editor does not have yet; they are left
  // unread.
  readPrintAreas(root, doc);
  // Every layer a shape uses is listed.
  doc.restoreLayers();
  return content;
}

void showProjectContent(TEditor &editor, std::unique_ptr<TProjectContent> content, const QString &fileName) {
  resetToSelectTool(editor);
  // The old document goes (and everyone lets go of its shapes); the one read takes its
  // place.
  clearDocumentShapes(editor);
  editor.doc().adopt(*content->Document);
  editor.display().FBackdropAlpha = 0.8f;

  TShapeList &doc = editor.doc().PathList();
  editor.FFilename = fileName;
  editor.updateCaption(fileName);
  actResetViewExecute(editor);

  repairStitchLinks(doc);
  doc.countNumOfAlwaysShowStitchSimulator();
  // The active layer must be one of the document's.
  const std::vector<int> &layers = doc.Layers();
  if (std::find(layers.begin(), layers.end(), editor.FActiveLayer) == layers.end())
    editor.FActiveLayer = layers.front();
  editor.display().HighlightActiveLayer = false;
  rebuildLayerList(editor);

  editor.display().FIsPrintAreaAvailable = false;
  clearUndoHistory(editor);
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QString::fromLatin1(kOpenUndoReason));
  editor.setDocumentChanged(false);
  doc.LastChangeTime = 0.0;
  doc.LastSavedTime = 0.0;

  const int duplicates = deleteDuplicateShapes(editor, true);
  if (duplicates > 0) {
    deleteDuplicateShapes(editor, false);
    editor.FDuplicatesRemovedOnLoad = duplicates;
  }
  editor.FUnknownKindsOnLoad = content->UnknownKinds;
  if (editor.FCommandHooks.DocumentOpened)
    editor.FCommandHooks.DocumentOpened(editor);
  else
    editor.ui().refreshCanvas();
}

bool openProjectQuietly(TEditor &editor, const QString &fileName, QString *error) {
  std::unique_ptr<TProjectContent> content;
  try {
    const QByteArray bytes = readWholeFile(fileName);
    content = readProjectContent(editor, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const std::exception &e) {
    if (error) *error = QString::fromUtf8(e.what());
    return false;
  }
  showProjectContent(editor, std::move(content), fileName);
  return true;
}

bool openProject(TEditor &editor, const QString &fileName) {
  const QFileInfo info(fileName);
  if (!info.exists() || info.isDir()) {
    const QString key = QStringLiteral("FileNotFound");
    editor.ui().messageBox(key, editor.tr(key) + fileName);
    return false;
  }
  if (!openProjectQuietly(editor, fileName)) {
    const QString key = QStringLiteral("NotQNDFile");
    editor.ui().messageBox(key, editor.tr(key));
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------
// Commands

bool confirmSaveChanges(TEditor &editor) {
  if (!editor.doc().PathList().IsChanged) return true;
  const QString key = QStringLiteral("SaveProject?");
  bool result = false;
  switch (editor.ui().confirmYesNoCancel(key, editor.tr(key))) {
    case TModalResult::Yes: result = saveProject(editor); break;
    case TModalResult::No: result = true; break;
    default: result = false; break;
  }
  if (result) deleteAutosaveFile(editor);
  return result;
}

void newDocument(TEditor &editor) {
  finishTextEditing(editor);
  resetTextEditor(editor, false);
  resetToSelectTool(editor);
  clearUndoHistory(editor);
  deselectAll(editor);
  clearDocumentShapes(editor);
  editor.display().FBackdropAlpha = 0.8f;
  editor.pointer().FIsRotationCenterSpecified = false;
  editor.pointer().FIsSnapPointManuallySet = false;
  editor.display().FIsPrintAreaAvailable = false;
  editor.FFilename.clear();
  setAllPalettesVisible(editor, true);
  editor.updateCaption(QString());
  editor.FActiveLayer = 0;
  editor.display().HighlightActiveLayer = false;
  rebuildLayerList(editor);
  // The first state of the new history; the ID counter runs on from the old document.
  takeUndoSnapshot(editor, QString::fromLatin1(kNewProjectUndoReason));
  editor.setDocumentChanged(false);
  actResetViewExecute(editor);
}

void actNewProjectExecute(TEditor &editor) {
  finishTextEditing(editor);
  if (!confirmSaveChanges(editor)) return;
  newDocument(editor);
}

void actLoadProjectExecute(TEditor &editor) {
  finishTextEditing(editor);
  if (!confirmSaveChanges(editor)) return;
  const QString fileName = editor.ui().openFileDialog(editor.tr(QStringLiteral("actLoadProject")),
                                                      QString::fromLatin1(kProjectFileFilter));
  if (fileName.isEmpty()) return;
  resetTextEditor(editor, false);
  setAllPalettesVisible(editor, true);
  // The print pages come from the file (or are the one default page): a successful open
  // replaces them, a failed one keeps the open document's.
  openProject(editor, fileName);
}

void actSaveProjectExecute(TEditor &editor) {
  if (saveProject(editor)) deleteAutosaveFile(editor);
}

void actSaveProjectAsExecute(TEditor &editor) {
  if (saveProjectAs(editor)) deleteAutosaveFile(editor);
}

QString demoProjectFileName(const TEditor &editor) {
  const QString name = editor.FLangID == QLatin1String("ja") ? QStringLiteral("demo_2.0.8_ja.qnd")
                                                              : QStringLiteral("demo_2.0.8_en.qnd");
  return QDir(QDir(editor.FAppDataPath).filePath(QStringLiteral("demo"))).filePath(name);
}

void actOpenDemoProjectExecute(TEditor &editor) {
  const QString fileName = demoProjectFileName(editor);
  finishTextEditing(editor);
  if (!confirmSaveChanges(editor)) return;
  resetTextEditor(editor, false);
  // A missing demo file is unpacked from the demo archive by the parts repository, which
  // is not part of the editor yet; until then only a demo already on disk opens.
  setAllPalettesVisible(editor, true);
  if (!QFileInfo::exists(fileName)) {
    const QString text = QString::fromLatin1(kDemoNotFoundText);
    editor.ui().messageBox(text, text);
    return;
  }
  if (!openProject(editor, fileName)) return;
  if (editor.FCommandHooks.RegularizeAllShapes) editor.FCommandHooks.RegularizeAllShapes(editor);
  editor.display().FShow_intersections = false;
  editor.setDocumentChanged(false);
  editor.ui().refreshCanvas();
}

}  // namespace quillon
