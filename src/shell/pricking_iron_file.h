#pragma once
// The pricking-iron groups file `prickingirons.qndp` in the data folder, and the iron
// steps of start-up and shutdown.
//
// The file is one compact JSON line, UTF-8 with a byte-order mark, ending with CR LF:
// {"meta":{"file_type":"Quillon_PrickingIronGroups","version":...},
//  "pricking_iron_groups":[group objects]}. It is read once at start-up and written once
// at shutdown, through a temporary file renamed over the old one.
//
// A damaged file is never lost: one that does not read at all is renamed aside (the
// built-in groups take its place) and one whose groups partly do not read is copied aside
// (the groups that read are used); either way the user is told where it was kept. When it
// cannot be kept aside the shutdown leaves it as it is.
#include <QByteArray>
#include <QString>

#include "stitching/pricking_iron_store.h"

namespace quillon {

class TEditor;

inline constexpr const char *kPrickingIronsFileName = "prickingirons.qndp";
inline constexpr const char *kPrickingIronsFileType = "Quillon_PrickingIronGroups";

QString prickingIronGroupsPath(const TEditor &editor);

// The bytes of the groups file for these groups.
QByteArray prickingIronGroupsFileBytes(const TPrickingIronGroups &groups);

// Appends the groups of the groups file to the editor's groups; a missing file adds
// nothing. A damaged file is kept aside as described above.
void loadPrickingIronGroups(TEditor &editor);
// Writes all groups to the groups file (throws std::runtime_error on failure, the old
// file then untouched), unless a damaged file could not be kept aside.
void savePrickingIronGroups(const TEditor &editor);

// Start-up, before the settings file is read: the file's groups, else all built-in ones.
void loadPrickingIronsAtStartUp(TEditor &editor);
// Start-up, after the settings file is read: the later built-in irons once for groups
// from a file, then the default iron.
void finishPrickingIronsAtStartUp(TEditor &editor);

// The diamond iron of exactly 4 mm with one prong, its pitch shown in the fixed-pitch
// box; nothing is selected when there is no such group.
void selectDefaultPrickingIron(TEditor &editor);

}  // namespace quillon
