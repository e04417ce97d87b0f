#pragma once
// The project document file (*.qnd): the writer, the reader with its repairs, the
// question about unsaved changes and the New / Open / Save / Save As / Open demo commands.
//
// The file is one JSON object on one line, UTF-8 with a byte-order mark, ending in CR LF,
// with every character outside printable ASCII written as a \uXXXX escape. Members in
// this order: "meta" {"file_type":"Quillon","version","memo"}, "layers", "shapes",
// "backdrops", "printareas".
//
// Reading is all or nothing: the whole file is parsed and built into a new document (its
// shapes, layers, pages and intersection records) apart from the open one, and only a
// document read to the end replaces the open document. A file that cannot be read, is
// not JSON, is another kind of file or holds a value of the wrong form opens nothing: the
// open document, its undo history and its file name stay as they were.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

#include "model/document.h"
#include "platform/json_fwd.h"

namespace quillon {

class TEditor;
class TShapeList;

// The file dialogs' filter (Qt form) and the extension a name without one gets.
inline constexpr const char *kProjectFileFilter = "Quillon (*.qnd)";
inline constexpr const char *kProjectFileExtension = "qnd";

// Undo reason tags of the first state after an open and after New.
inline constexpr const char *kOpenUndoReason = "L37100";
inline constexpr const char *kNewProjectUndoReason = "L5494";

// Box keys of the messages that are not phrases of the dictionary: the key is the
// message's own (English) text.
inline constexpr const char *kSaveErrorKey = "SaveError";
inline constexpr const char *kDemoNotFoundText = "Demo project file not found.";

// ---------------------------------------------------------------------------------
// Writing

// The document object of the editor's document, members in file order.
TJson buildProjectJson(const TEditor &editor);
// The exact bytes of the document file: byte-order mark, one compact line, CR LF.
QByteArray projectFileBytes(const TEditor &editor);

// Writes the document to FFilename (through a temporary file renamed over the old one),
// then: caption, unchanged mark, status "Saved <name>", FLastSavedTime := `now`, auto-save
// timer restarted. Throws std::runtime_error when the file cannot be written (the
// document then stays as it was, marked changed). FFilename must not be empty.
void writeProjectFile(TEditor &editor, double now);

// saveProject: with an empty FFilename runs saveProjectAs; otherwise writeProjectFile at
// the current time. A write error is shown in an error box (kSaveErrorKey) and gives
// false; the document stays marked changed.
bool saveProject(TEditor &editor);
// saveProjectAs: asks for a file name (proposing the current name without folder and
// extension, in its folder; for an untitled document the Documents folder); Cancel gives
// false. A name without extension gets ".qnd".
// FFilename becomes the chosen name (also when the write then fails).
bool saveProjectAs(TEditor &editor);

// ---------------------------------------------------------------------------------
// Reading

// A document read from a file and not yet shown: its shapes, layers, pages and
// intersection records.
struct TProjectContent {
  std::unique_ptr<TDocument> Document;
  // The kind names of the shapes read with a kind this version does not know, one per
  // shape in file order. Such shapes are kept as they are (drawn as their outline and
  // written back unchanged), and the user is told how many there are.
  QStringList UnknownKinds;
};

// Builds the document that the file's bytes describe, with every repair of the reader,
// without touching the editor (it supplies the pen, the line types, the iron groups and
// the phrase dictionary). Throws std::runtime_error when the bytes are not a whole
// Quillon document: not JSON, a root that is not an object, a "meta"."file_type" other
// than "Quillon", or a member of the wrong form.
std::unique_ptr<TProjectContent> readProjectContent(const TEditor &editor, std::string_view bytes);

// Makes a document read by readProjectContent the open document, named `fileName`: the
// old document is freed, stitch links and missing layers are repaired, the undo history
// starts afresh with one state, the document is unchanged, and duplicates are removed
// (their number in FDuplicatesRemovedOnLoad). The shapes of unknown kinds are counted in
// FUnknownKindsOnLoad; the canvas tells the user of both until the document is next
// marked unchanged.
void showProjectContent(TEditor &editor, std::unique_ptr<TProjectContent> content, const QString &fileName);

// openProject: reads the file and shows it; true when the document was read. A file that
// is missing shows "FileNotFound", any other failure "NotQNDFile"; the open document is
// then left untouched.
bool openProject(TEditor &editor, const QString &fileName);
// The same without any message: the reason of a failure goes to `error` when given.
bool openProjectQuietly(TEditor &editor, const QString &fileName, QString *error = nullptr);

// ---------------------------------------------------------------------------------
// Commands

// True when the caller may discard the document: it is unchanged, or the user answered
// No, or Yes and the save succeeded. After asking, a true result deletes the auto-save
// file.
bool confirmSaveChanges(TEditor &editor);

// A new empty document without asking about the old one: the select tool, an empty
// document with the first state of a new history, every line type shown, View All. The ID
// counter runs on from the old document.
void newDocument(TEditor &editor);
// New: newDocument after the save question (Cancel keeps the document).
void actNewProjectExecute(TEditor &editor);
void actLoadProjectExecute(TEditor &editor);
void actSaveProjectExecute(TEditor &editor);
void actSaveProjectAsExecute(TEditor &editor);
// The demo document of the current language in the data folder's "demo" folder. The
// archive that holds it is unpacked by the parts repository; this command opens the file
// when it is there.
QString demoProjectFileName(const TEditor &editor);
void actOpenDemoProjectExecute(TEditor &editor);

}  // namespace quillon
