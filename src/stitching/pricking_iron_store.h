#pragma once
// The pricking-iron groups of the editor: the twenty built-in groups, the lookup by blade
// letter and pitch, the groups' JSON array of the groups file and the kind words of the
// groups' names in the interface language. The file itself (with its header, bytes and
// the keeping of a damaged file) is read and written by shell/pricking_iron_file.h.
//
// Groups are held by pointer and never freed while the program runs once holes may point
// at their irons (see TPrickingIronGroup).
#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "platform/json_fwd.h"
#include "stitching/pricking_iron.h"

namespace quillon {

using TPrickingIronGroups = std::vector<std::unique_ptr<TPrickingIronGroup>>;

// Appends the built-in groups in table order, each built in: all twenty, or with
// `laterOnly` only the six that were added to the built-in set later (D 4.5, 5, 1/8 and
// 5/32 inch, F 1/8 and 5/32 inch). Names are a kind word and a size ("Diamond 4mm",
// "French 1/8 inch"); the kind words are Japanese when `langId` is "ja". No check is
// made whether equal groups are already there.
void addDefaultPrickingIrons(TPrickingIronGroups &groups, bool laterOnly, const QString &langId);

// The first group whose iron has exactly the blade letter and, unless `anyPitch`,
// exactly the pitch (float equality); none when there is none.
TPrickingIronGroup *findPrickingIronGroup(const TPrickingIronGroups &groups, const std::string &bladeType,
                                          float pitch, bool anyPitch);

// The groups as the array of the groups file, in list order.
TJson prickingIronGroupsToJson(const TPrickingIronGroups &groups);

// Appends the groups of the file's root object: each element of its array
// "pricking_iron_groups" that reads as a group (TPrickingIronGroup::loadJson) is appended
// as a group not built in unless it says so; an element that does not read is passed over
// and counted in the result. Throws std::runtime_error, appending nothing, when the root
// is not an object or has no such array.
struct TIronGroupsRead {
  int Read = 0;     // groups appended
  int Skipped = 0;  // elements that did not read
  std::string FirstProblem;  // why the first skipped element did not read
};
TIronGroupsRead readPrickingIronGroups(const TJson &root, TPrickingIronGroups &groups);

// Rewrites the kind word of every group's iron name for the language: for "ja" the first
// "Diamond", "French", "Flat" and "Round" become "菱目 ", "ヨーロッパ目 ", "平目 " and "丸目 ";
// for any other language the first Japanese kind words become "Diamond ", "French ",
// "Flat " and "Round "; then every two blanks become one.
void translatePrickingIronNames(TPrickingIronGroups &groups, const QString &langId);

// One item of the iron tree: a group item (Tag 0) with the iron's name and, below it, one
// prong item per prong count of the group in the group's order, named name + "(" + count
// + ")" (Tag the count).
struct TIronTreeItem {
  QString Text;
  TPrickingIronGroup *Group = nullptr;
  int Tag = 0;
  std::vector<TIronTreeItem> Children;
};
std::vector<TIronTreeItem> prickingIronTreeItems(const TPrickingIronGroups &groups);

}  // namespace quillon
