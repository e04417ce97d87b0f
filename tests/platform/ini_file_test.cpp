#include "platform/ini_file.h"

#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>

namespace quillon {
namespace {

using namespace std::literals;

class IniFileTest : public ::testing::Test {
 protected:
  QTemporaryDir FDir;
  QString path() const { return FDir.filePath("settings.ini"); }
  void writeRaw(const QByteArray &bytes) const { writeFileAtomically(path(), bytes); }
  QByteArray fileBytes() const { return readWholeFile(path()); }
};

TEST_F(IniFileTest, WritesExactFileAndReadsEveryTypeBack) {
  {
    TIniFile ini(path());
    ini.WriteString("Main", "Name", QString::fromUtf8("\xE6\x97\xA5 x=y"));
    ini.WriteInteger("Main", "Count", -42);
    ini.WriteBool("Main", "On", true);
    ini.WriteBool("Main", "Off", false);
    ini.WriteFloat("Main", "Scale", 12.5);
    ini.WriteFloat("View", "Zoom", 0.1);
    ini.WriteFloat("View", "Whole", 3.0);
    ini.WriteFloat("View", "Tiny", 1e-5);
    ini.WriteInteger("Main", "Max", std::numeric_limits<int>::max());
    ini.UpdateFile();
  }
  EXPECT_EQ(fileBytes(),
            QByteArray("[Main]\n"
                       "Name=\xE6\x97\xA5 x=y\n"
                       "Count=-42\n"
                       "On=1\n"
                       "Off=0\n"
                       "Scale=12.5\n"
                       "Max=2147483647\n"
                       "\n"
                       "[View]\n"
                       "Zoom=0.1\n"
                       "Whole=3\n"
                       "Tiny=1E-5\n"));

  const TIniFile ini(path());
  EXPECT_EQ(ini.ReadString("Main", "Name", "?"), QString::fromUtf8("\xE6\x97\xA5 x=y"));
  EXPECT_EQ(ini.ReadInteger("Main", "Count", 0), -42);
  EXPECT_EQ(ini.ReadInteger("Main", "Max", 0), std::numeric_limits<int>::max());
  EXPECT_TRUE(ini.ReadBool("Main", "On", false));
  EXPECT_FALSE(ini.ReadBool("Main", "Off", true));
  EXPECT_DOUBLE_EQ(ini.ReadFloat("Main", "Scale", 0), 12.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("View", "Zoom", 0), 0.1);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("View", "Whole", 0), 3.0);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("View", "Tiny", 0), 1e-5);
}

TEST_F(IniFileTest, LenientReadsAndDefaults) {
  writeRaw("[S]\n"
           "int1= 17 \n"
           "int2=12abc\n"
           "int3=1.5\n"
           "int4=99999999999\n"
           "int5=\n"
           "int6=+8\n"
           "b1=true\n"
           "b2=FALSE\n"
           "b3=True\n"
           "b4=yes\n"
           "b5=2\n"
           "b6=\n"
           "f1=1,5\n"
           "f2=2.25\n"
           "f3=abc\n"
           "f4=\n"
           "f5=-3,125E2\n");
  const TIniFile ini(path());
  EXPECT_EQ(ini.ReadInteger("S", "int1", -1), 17);
  EXPECT_EQ(ini.ReadInteger("S", "int2", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "int3", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "int4", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "int5", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "int6", -1), 8);
  EXPECT_EQ(ini.ReadInteger("S", "missing", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Nowhere", "int1", 6), 6);

  EXPECT_TRUE(ini.ReadBool("S", "b1", false));
  EXPECT_FALSE(ini.ReadBool("S", "b2", true));
  EXPECT_TRUE(ini.ReadBool("S", "b3", false));
  for (const char *key : {"b4", "b5", "b6", "missing"}) {
    EXPECT_TRUE(ini.ReadBool("S", key, true)) << key;
    EXPECT_FALSE(ini.ReadBool("S", key, false)) << key;
  }

  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f1", 0), 1.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f2", 0), 2.25);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f3", 7.5), 7.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f4", 7.5), 7.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f5", 0), -312.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "missing", 7.5), 7.5);

  EXPECT_EQ(ini.ReadString("S", "int5", "dflt"), QString(""));  // present but empty is not missing
  EXPECT_EQ(ini.ReadString("S", "missing", "dflt"), QString("dflt"));
}

TEST_F(IniFileTest, MissingFileIsEmptyAndUpdateFileCreatesIt) {
  TIniFile ini(path());
  EXPECT_FALSE(ini.SectionExists("Main"));
  EXPECT_EQ(ini.ReadString("Main", "Key", "d"), QString("d"));
  EXPECT_TRUE(ini.ReadSection("Main").isEmpty());
  EXPECT_FALSE(QFile::exists(path()));  // reading never creates the file

  ini.WriteString("Main", "Key", "v");
  ini.UpdateFile();
  EXPECT_EQ(fileBytes(), QByteArray("[Main]\nKey=v\n"));
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"settings.ini"});
}

TEST_F(IniFileTest, DamagedFileKeepsWhatCanBeRead) {
  constexpr std::string_view kDamaged =
      "\xEF\xBB\xBF"
      "top=1\n"
      "garbage line without equals\n"
      "=no key\n"
      "[Good]\r\n"
      "a=1\r\n"
      "[broken section\n"
      "b=2\n"
      "\x01\x02\xFF\xFE binary\n"
      "c\0d=3\n"
      "[Next]\n"
      "e=4"sv;
  writeRaw(QByteArray(kDamaged.data(), static_cast<qsizetype>(kDamaged.size())));
  TIniFile ini(path());
  EXPECT_EQ(ini.ReadInteger("", "top", 0), 1);
  EXPECT_EQ(ini.ReadInteger("Good", "a", 0), 1);
  EXPECT_EQ(ini.ReadInteger("Good", "b", 0), 2);
  EXPECT_EQ(ini.ReadInteger("Next", "e", 0), 4);
  EXPECT_FALSE(ini.SectionExists("broken section"));

  // What was read is written back cleanly, without the byte-order mark.
  ini.UpdateFile();
  const QByteArray written = fileBytes();
  EXPECT_FALSE(written.startsWith("\xEF\xBB\xBF"));
  const TIniFile again(path());
  EXPECT_EQ(again.ReadInteger("Good", "a", 0), 1);
  EXPECT_EQ(again.ReadInteger("Next", "e", 0), 4);
}

TEST_F(IniFileTest, EmptyAndBinaryFilesDoNotThrow) {
  for (const QByteArray &bytes : {QByteArray(), QByteArray("\0\0\0", 3), QByteArray("[[[]]]==\n\n=\n[")}) {
    writeRaw(bytes);
    EXPECT_NO_THROW({
      TIniFile ini(path());
      ini.ReadSection("");
      ini.UpdateFile();
    });
  }
}

TEST_F(IniFileTest, NamesAreCaseInsensitiveAndKeepFirstSpelling) {
  TIniFile ini(path());
  ini.WriteString("Options", "LineWidth", "1");
  ini.WriteString("OPTIONS", "linewidth", "2");
  EXPECT_EQ(ini.ReadString("options", "LINEWIDTH", ""), QString("2"));
  EXPECT_TRUE(ini.SectionExists("oPtIoNs"));
  EXPECT_TRUE(ini.ValueExists("options", "LINEwidth"));
  EXPECT_EQ(ini.ReadSection("OPTIONS"), QStringList{"LineWidth"});
  ini.UpdateFile();
  EXPECT_EQ(fileBytes(), QByteArray("[Options]\nLineWidth=2\n"));
}

TEST_F(IniFileTest, ReadSectionKeepsFileOrderAndAppendsNewKeys) {
  writeRaw("[S]\nzeta=1\nalpha=2\nmid=3\n[T]\nx=1\n");
  TIniFile ini(path());
  EXPECT_EQ(ini.ReadSection("S"), (QStringList{"zeta", "alpha", "mid"}));
  ini.WriteString("S", "beta", "4");
  ini.WriteString("S", "ALPHA", "5");  // an existing key keeps its place
  EXPECT_EQ(ini.ReadSection("S"), (QStringList{"zeta", "alpha", "mid", "beta"}));
  EXPECT_TRUE(ini.ReadSection("missing").isEmpty());
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
  writeRaw("[A]\nk1=1\nk2=2\n[B]\nk=3\n[C]\nk=4\n");
  TIniFile ini(path());
  ini.DeleteKey("A", "K1");
  ini.DeleteKey("A", "absent");  // harmless
  ini.EraseSection("b");
  ini.EraseSection("absent");  // harmless
  EXPECT_FALSE(ini.ValueExists("A", "k1"));
  EXPECT_TRUE(ini.ValueExists("A", "k2"));
  EXPECT_FALSE(ini.SectionExists("B"));
  EXPECT_FALSE(ini.ValueExists("B", "k"));
  ini.WriteString("B", "new", "5");  // a re-made section goes to the end
  ini.UpdateFile();
  EXPECT_EQ(fileBytes(), QByteArray("[A]\nk2=2\n\n[C]\nk=4\n\n[B]\nnew=5\n"));
}

TEST_F(IniFileTest, UpdateFileIntoMissingFolderThrows) {
  TIniFile ini(FDir.filePath("missing/settings.ini"));
  ini.WriteInteger("S", "k", 1);
  EXPECT_THROW(ini.UpdateFile(), std::runtime_error);
  EXPECT_FALSE(QDir(FDir.filePath("missing")).exists());
}

}  // namespace
}  // namespace quillon
