#include "shell/pricking_iron_file.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/json_text.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "stitching/iron_reference.h"
#include "stitching/stitch_state.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quillon {
namespace {

const QStringList kNoDocument{QStringLiteral("--instance-id"), QStringLiteral("1")};

QString dataFile(const QString &name) { return QDir(test::testDataDir()).filePath(name); }
QString groupsFile() { return dataFile(QString::fromLatin1(kPrickingIronsFileName)); }

void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

QByteArray readBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A groups file holding these group objects.
QByteArray groupsText(const std::string &groups) {
  return QByteArray::fromStdString("\xEF\xBB\xBF{\"meta\":{},\"pricking_iron_groups\":[" + groups + "]}\r\n");
}

const std::string kUserGroup =
    R"({"iron":{"nm":"Mine 3.5","bt":"D","p":"3,5","w":"0.7","h":"2.0","a":"30.0"},"blades":["1","3"],)"
    R"("system_iron":false})";
const std::string kOtherUserGroup =
    R"({"iron":{"nm":"Mine R","bt":"R","p":"6.0","w":"1.5","h":"1.5","a":"0.0"},"blades":["1"]})";

std::vector<std::string> names(const TEditor &editor) {
  std::vector<std::string> n;
  for (const auto &g : editor.FPrickingIronGroups) n.push_back(g->PrickingIron->Name);
  return n;
}

class PrickingIronFileTest : public ::testing::Test {
 protected:
  test::TScriptedUi ui;
  std::unique_ptr<TEditor> start() { return std::make_unique<TEditor>(ui, kNoDocument); }
};

TEST_F(PrickingIronFileTest, AFirstStartWritesTheTwentyBuiltInGroupsAndSelectsDiamondFour) {
  std::unique_ptr<TEditor> editor = start();
  const std::vector<std::string> expected = {
      "Diamond 3mm",       "Diamond 3.38mm",  "Diamond 3.85mm",  "Diamond 4mm",     "Diamond 4.5mm",
      "Diamond 5mm",       "Diamond 1/8 inch", "Diamond 5/32 inch", "French 3mm",     "French 3.38mm",
      "French 3.85mm",     "French 4mm",      "French 1/8 inch", "French 5/32 inch", "Flat 3mm",
      "Flat 4mm",          "Flat 5mm",        "Round 3mm",       "Round 4mm",       "Round 5mm"};
  EXPECT_EQ(names(*editor), expected);
  for (const auto &g : editor->FPrickingIronGroups) EXPECT_TRUE(g->IsSystemGroup);
  EXPECT_EQ(editor->FPrickingIronGroups[3]->AvailableBlades, (std::vector<int>{1, 2, 4, 6}));
  EXPECT_EQ(editor->FPrickingIronGroups[2]->AvailableBlades, (std::vector<int>{1, 2, 5, 9}));
  EXPECT_EQ(editor->FPrickingIronGroups[6]->PrickingIron->Pitch, 3.175f);

  // The tree: the Diamond 4mm item with its prong items; the iron in use is that one.
  const std::vector<TIronTreeItem> tree = prickingIronTreeItems(editor->FPrickingIronGroups);
  ASSERT_EQ(tree.size(), 20u);
  EXPECT_EQ(tree[3].Text, QStringLiteral("Diamond 4mm"));
  EXPECT_EQ(tree[3].Tag, 0);
  QStringList children;
  for (const TIronTreeItem &c : tree[3].Children) children << c.Text;
  EXPECT_EQ(children, (QStringList{"Diamond 4mm(1)", "Diamond 4mm(2)", "Diamond 4mm(4)", "Diamond 4mm(6)"}));
  EXPECT_EQ(tree[3].Children[2].Tag, 4);
  EXPECT_EQ(editor->tool().FSelectedPrickingIron, editor->FPrickingIronGroups[3]->PrickingIron.get());
  EXPECT_EQ(editor->tool().FSelectedNumOfBlades, 1);
  EXPECT_EQ(editor->panel().FixedPitchLen, 4.0f);
  EXPECT_FALSE(ui.boxKeys.contains(QStringLiteral("prickingIronsFileDamaged")));

  editor.reset();  // shutdown writes the file
  const QByteArray bytes = readBytes(groupsFile());
  EXPECT_TRUE(bytes.startsWith(
      "\xEF\xBB\xBF{\"meta\":{\"file_type\":\"Quillon_PrickingIronGroups\",\"version\":\"3.7.9\"},"
      "\"pricking_iron_groups\":[{\"iron\":{\"nm\":\"Diamond 3mm\",\"bt\":\"D\",\"p\":\"3.0\","
      "\"w\":\"0.600000023841858\",\"h\":\"2.20000004768372\",\"a\":\"32.0\"},\"blades\":[\"1\",\"2\",\"5\","
      "\"10\"],\"system_iron\":true},"));
  EXPECT_TRUE(bytes.contains("\"nm\":\"Diamond 1\\/8 inch\""));
  EXPECT_TRUE(bytes.endsWith("]}\r\n"));
  EXPECT_EQ(bytes.count("\r\n"), 1);

  // The next start reads the same groups back and writes the same bytes.
  editor = start();
  EXPECT_EQ(names(*editor), expected);
  EXPECT_TRUE(editor->FPrickingIronGroups[0]->IsSystemGroup);
  editor.reset();
  EXPECT_EQ(readBytes(groupsFile()), bytes);
}

TEST_F(PrickingIronFileTest, AnOlderFileGetsTheLaterBuiltInIronsOnce) {
  for (const bool alreadyAdded : {false, true}) {
    SCOPED_TRACE(alreadyAdded);
    writeBytes(groupsFile(), groupsText(kUserGroup + "," + kOtherUserGroup));
    writeBytes(dataFile("qn_options.ini"), alreadyAdded ? "[General]\r\nNewSet=1\r\n" : "[General]\r\nNewSet=0\r\n");
    std::unique_ptr<TEditor> editor = start();
    std::vector<std::string> expected = {"Mine 3.5", "Mine R"};
    if (!alreadyAdded)
      expected.insert(expected.end(), {"Diamond 4.5mm", "Diamond 5mm", "Diamond 1/8 inch", "Diamond 5/32 inch",
                                       "French 1/8 inch", "French 5/32 inch"});
    EXPECT_EQ(names(*editor), expected);
    EXPECT_EQ(editor->FPrickingIronGroups[0]->PrickingIron->Pitch, 3.5f);  // "3,5"
    EXPECT_EQ(editor->FPrickingIronGroups[0]->AvailableBlades, (std::vector<int>{1, 3}));
    EXPECT_TRUE(editor->FOptions->NewPrickingIronsAdded);
    // No diamond iron of exactly 4 mm: none is selected at start-up; pricking then takes
    // the first group's iron with one prong.
    EXPECT_EQ(editor->tool().FSelectedPrickingIron, nullptr);
    EXPECT_EQ(prickingIron(*editor), editor->FPrickingIronGroups[0]->PrickingIron.get());
    EXPECT_EQ(editor->tool().FSelectedNumOfBlades, 1);
    EXPECT_EQ(editor->panel().FixedPitchLen, 3.5f);
    editor.reset();
    QFile::remove(dataFile("qn_options.ini"));
  }
}

// A file that does not read at all is renamed aside, with a message, and the built-in
// groups take its place; a file whose groups partly do not read keeps the groups that do
// and is copied aside. Nothing of the user's file is lost at shutdown.
TEST_F(PrickingIronFileTest, ADamagedFileIsKeptAsideAndNeverLost) {
  struct Case {
    const char *what;
    QByteArray bytes;
    const char *message;  // none: no message
    bool renamed;
    std::vector<std::string> names;  // the groups read (before the later built-in irons)
  };
  const Case cases[] = {
      {"not JSON", "\xEF\xBB\xBF{\"meta\":{},\"pricking_iron_groups\":[{\"iron\":", "prickingIronsFileDamaged", true,
       {}},
      {"not an object", "[1,2]", "prickingIronsFileDamaged", true, {}},
      {"no group array", "{\"pricking_iron_groups\":{}}", "prickingIronsFileDamaged", true, {}},
      {"empty", "", "prickingIronsFileDamaged", true, {}},
      {"an empty array", groupsText(""), nullptr, false, {}},
      {"bad groups", groupsText(kUserGroup + R"(,{"iron":{"nm":"no blade"}},5,{"blades":["1"]},)" + kOtherUserGroup),
       "prickingIronsFilePartlyRead", false, {"Mine 3.5", "Mine R"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    ui.boxKeys.clear();
    writeBytes(groupsFile(), c.bytes);
    std::unique_ptr<TEditor> editor = start();

    const QString aside = groupsFile() + QStringLiteral(".bad");
    if (c.message) {
      EXPECT_TRUE(ui.boxKeys.contains(QString::fromLatin1(c.message)));
      EXPECT_EQ(readBytes(aside), c.bytes);
      EXPECT_EQ(QFile::exists(groupsFile()), !c.renamed);
    } else {
      EXPECT_FALSE(QFile::exists(aside));
    }
    std::vector<std::string> read = names(*editor);
    if (c.names.empty()) {
      EXPECT_EQ(read.size(), 20u);
      EXPECT_EQ(read[3], "Diamond 4mm");
    } else {
      read.resize(c.names.size());
      EXPECT_EQ(read, c.names);
    }
    editor.reset();
    // At shutdown the groups in use are written; the kept file stays beside them.
    TPrickingIronGroups again;
    EXPECT_NO_THROW(readPrickingIronGroups(parseJsonText(readBytes(groupsFile()).toStdString()), again));
    if (c.message) {
      EXPECT_EQ(readBytes(aside), c.bytes);
    }
    QFile::remove(aside);
    QFile::remove(groupsFile());
    QFile::remove(dataFile("qn_options.ini"));
  }
}

TEST_F(PrickingIronFileTest, AKeptFileGetsAFreeName) {
  writeBytes(groupsFile(), "broken");
  writeBytes(groupsFile() + ".bad", "older");
  start().reset();
  EXPECT_EQ(readBytes(groupsFile() + ".bad"), "older");
  EXPECT_EQ(readBytes(groupsFile() + ".bad2"), "broken");
}

TEST_F(PrickingIronFileTest, UtfSixteenAndFilesWithoutByteOrderMarkRead) {
  const QByteArray utf8 = groupsText(kOtherUserGroup).mid(3);
  QByteArray utf16("\xFF\xFE");
  for (const char c : utf8) utf16.append(c).append('\0');
  for (const QByteArray &bytes : {utf8, utf16}) {
    writeBytes(groupsFile(), bytes);
    writeBytes(dataFile("qn_options.ini"), "[General]\r\nNewSet=1\r\n");
    std::unique_ptr<TEditor> editor = start();
    EXPECT_EQ(names(*editor), std::vector<std::string>{"Mine R"});
  }
}

TEST(PrickingIronStore, LookUpsByBladeAndPitch) {
  TPrickingIronGroups groups;
  addDefaultPrickingIrons(groups, false, QStringLiteral("en"));
  ASSERT_EQ(groups.size(), 20u);
  EXPECT_EQ(findPrickingIronGroup(groups, "D", 3.85f, false), groups[2].get());
  EXPECT_EQ(findPrickingIronGroup(groups, "D", 3.8499f, false), nullptr);
  EXPECT_EQ(findPrickingIronGroup(groups, "D", 3.8499f, true), groups[0].get());
  EXPECT_EQ(findPrickingIronGroup(groups, "d", 4.0f, true), nullptr);

  // Stored references: exactly that pitch, else the first of the blade, else an iron of
  // no group named after the pitch.
  EXPECT_EQ(ironOfReference(groups, {{"bt", "F"}, {"p", "4.2"}}), groups[8]->PrickingIron.get());
  EXPECT_EQ(ironOfReference(groups, {{"bt", "F"}, {"p", "4.0"}}), groups[11]->PrickingIron.get());
  TPrickingIron *unknown = ironOfReference(groups, {{"bt", "X"}, {"p", "4"}});
  EXPECT_EQ(unknown->Name, "Unknown 4mm");
  EXPECT_EQ(unknown->BladeType, "X");
  EXPECT_EQ(unknown->Width, 1.0f);
  EXPECT_EQ(unknown->Angle, 45.0f);
  EXPECT_EQ(ironOfReference(groups, {{"bt", "X"}, {"p", "3.5"}})->Name, "Unknown 3.5mm");
  EXPECT_EQ(groups.size(), 20u);

  TPrickingIronGroups later;
  addDefaultPrickingIrons(later, true, QStringLiteral("ja"));
  ASSERT_EQ(later.size(), 6u);
  EXPECT_EQ(later[0]->PrickingIron->Name, "菱目 4.5mm");
  EXPECT_EQ(later[5]->PrickingIron->Name, "ヨーロッパ目 5/32 inch");
}

TEST(PrickingIronStore, KindWordsFollowTheLanguage) {
  TPrickingIronGroups groups;
  for (const char *name : {"Diamond 4mm", "My Flat  iron", "Round Round", "菱目 3mm"}) {
    groups.push_back(std::make_unique<TPrickingIronGroup>(false));
    groups.back()->PrickingIron->Name = name;
  }
  translatePrickingIronNames(groups, QStringLiteral("ja"));
  std::vector<std::string> n;
  for (const auto &g : groups) n.push_back(g->PrickingIron->Name);
  EXPECT_EQ(n, (std::vector<std::string>{"菱目 4mm", "My 平目  iron", "丸目 Round", "菱目 3mm"}));
  translatePrickingIronNames(groups, QStringLiteral("en"));
  n.clear();
  for (const auto &g : groups) n.push_back(g->PrickingIron->Name);
  EXPECT_EQ(n, (std::vector<std::string>{"Diamond 4mm", "My Flat  iron", "Round Round", "Diamond 3mm"}));
}

}  // namespace
}  // namespace quillon
