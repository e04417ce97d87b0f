#include "platform/json_text.h"

#include "platform/file_io.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon {
namespace {

struct TWriterCase {
  const char *name;
  TJson value;
  std::string expected;
};

TJson orderedObject() {
  TJson o = TJson::object();
  o["zeta"] = 1;
  o["alpha"] = TJson::array({true, false, nullptr});
  o["mid"] = TJson::object({{"b", 2.5}, {"a", "x"}});
  return o;
}

std::vector<TWriterCase> writerCases() {
  return {
      {"quote_backslash_slash", "a\"b\\c/d", R"("a\"b\\c\/d")"},
      {"named_controls", "\b\f\n\r\t", R"("\b\f\n\r\t")"},
      {"other_controls", std::string("\x00\x01\x1F", 3), R"("\u0000\u0001\u001F")"},
      {"delete_char", "\x7F", R"("\u007F")"},
      {"printable_ascii_kept", " ~AZaz09{}[]:,", R"(" ~AZaz09{}[]:,")"},
      {"latin", "\xC3\xA9", R"("\u00E9")"},                              // é
      {"cjk", "\xE6\x97\xA5", R"("\u65E5")"},                            // 日
      {"last_bmp", "\xEF\xBF\xBF", R"("\uFFFF")"},                       // U+FFFF
      {"emoji_pair", "\xF0\x9F\x98\x80", R"("\uD83D\uDE00")"},           // U+1F600
      {"first_astral", "\xF0\x90\x80\x80", R"("\uD800\uDC00")"},         // U+10000
      {"last_astral", "\xF4\x8F\xBF\xBF", R"("\uDBFF\uDFFF")"},          // U+10FFFF
      {"mixed", "x\xC3\xA9/y\n", R"("x\u00E9\/y\n")"},
      {"empty_string", "", R"("")"},
      {"zero_float", 0.0, "0.0"},
      {"widened_float", static_cast<double>(12.4f), "12.3999996185303"},
      {"whole_float", 10.0, "10.0"},
      {"negative_float", -0.25, "-0.25"},
      {"int_one", 1, "1"},
      {"int_negative", -3, "-3"},
      {"int64_min", std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
      {"uint64_max", std::numeric_limits<std::uint64_t>::max(), "18446744073709551615"},
      {"true", true, "true"},
      {"false", false, "false"},
      {"null", nullptr, "null"},
      {"empty_array", TJson::array(), "[]"},
      {"empty_object", TJson::object(), "{}"},
      {"key_order_and_nesting", orderedObject(),
       R"({"zeta":1,"alpha":[true,false,null],"mid":{"b":2.5,"a":"x"}})"},
      {"escaped_key", TJson::object({{"k/\"\xC3\xA9", TJson::array({TJson::array({1.0}), TJson::object()})}}),
       R"({"k\/\"\u00E9":[[1.0],{}]})"},
  };
}

class JsonTextWriterTest : public ::testing::TestWithParam<TWriterCase> {};

TEST_P(JsonTextWriterTest, WritesExactText) {
  EXPECT_EQ(writeJsonText(GetParam().value), GetParam().expected);
}

TEST_P(JsonTextWriterTest, TextParsesBackToTheSameValue) {
  const TWriterCase &c = GetParam();
  const TJson parsed = parseJsonText(c.expected);
  if (c.value.is_number_float()) {
    // ".0" keeps whole numbers floating; 15 digits keep the value to about 1e-15.
    ASSERT_TRUE(parsed.is_number_float()) << c.expected;
    const double v = c.value.get<double>();
    EXPECT_NEAR(parsed.get<double>(), v, 1e-14 * std::max(1.0, std::abs(v)));
  } else {
    EXPECT_EQ(parsed, c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(JsonText, JsonTextWriterTest, ::testing::ValuesIn(writerCases()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(JsonTextTest, InvalidUtf8InStringsOrKeysThrows) {
  const char *bad[] = {
      "\x80",              // stray continuation byte
      "a\xC3",             // truncated two-byte sequence
      "\xE6\x97",          // truncated three-byte sequence
      "\xC0\xAF",          // over-long "/"
      "\xE0\x80\xAF",      // over-long "/" in three bytes
      "\xED\xA0\x80",      // UTF-16 surrogate encoded in UTF-8
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xFF",              // never valid
      "\xC3\x28",          // lead byte followed by ASCII
  };
  for (const char *text : bad) {
    EXPECT_THROW(writeJsonText(TJson(text)), std::runtime_error) << "value " << testing::PrintToString(text);
    EXPECT_THROW(writeJsonText(TJson::object({{text, 1}})), std::runtime_error)
        << "key " << testing::PrintToString(text);
  }
}

TEST(JsonTextTest, ParsesEscapesAndSkipsByteOrderMark) {
  const TJson value = parseJsonText("\xEF\xBB\xBF{\"b\":\"\\u00e9\\uD83D\\uDE00\\/\",\"a\":[1,2.5]}");
  ASSERT_TRUE(value.is_object());
  EXPECT_EQ(value["b"], "\xC3\xA9\xF0\x9F\x98\x80/");
  // Parsed objects keep the file's key order.
  EXPECT_EQ(writeJsonText(value), R"({"b":"\u00E9\uD83D\uDE00\/","a":[1,2.5]})");
}

TEST(JsonTextTest, MalformedTextThrowsWithPosition) {
  const char *bad[] = {"", "\xEF\xBB\xBF", "{\"a\":}", "[1,2", "{} x", "{'a':1}", "[1,]", "\"\xC3\""};
  for (const char *text : bad) {
    try {
      parseJsonText(text);
      ADD_FAILURE() << "no exception for " << testing::PrintToString(text);
    } catch (const std::runtime_error &e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("JSON"), std::string::npos) << message;
      EXPECT_NE(message.find("line 1, column"), std::string::npos) << message;
    }
  }
}

// Arrays and objects nested beyond kJsonMaxDepth are refused before a value is built.
// A value that deep followed by another key used to overflow the stack (the object copied
// the deep value when it grew), in a file and in a request body alike.
TEST(JsonTextTest, NestingBeyondTheLimitIsRefusedWithItsPlace) {
  const auto arrays = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  std::string objects;
  for (int i = 0; i < kJsonMaxDepth; ++i) objects += "{\"a\":";
  objects += "1" + std::string(kJsonMaxDepth, '}');
  const std::string deepBody = "{\"d\":" + arrays(100000) + ",\"x1\":1,\"y1\":2}";

  struct Case {
    std::string text;
    const char *place;  // where the refusal points; null: accepted
  };
  const Case cases[] = {
      {arrays(kJsonMaxDepth), nullptr},
      {objects, nullptr},
      {"[" + objects + "]", "line 1, column 1277"},
      {arrays(kJsonMaxDepth + 1), "line 1, column 257"},
      {"{\"a\":\n" + arrays(kJsonMaxDepth + 1) + "}", "line 2, column 256"},
      // Brackets in strings, escaped quotation marks included, are text.
      {"[\"" + std::string(1000, '[') + "\\\"" + std::string(1000, '{') + "\"]", nullptr},
      {deepBody, "line 1, column 261"},
  };
  for (const Case &c : cases) {
    const std::string head = c.text.substr(0, 40);
    if (!c.place) {
      EXPECT_NO_THROW(parseJsonText(c.text)) << head;
      continue;
    }
    try {
      parseJsonText(c.text);
      ADD_FAILURE() << "no exception for " << head;
    } catch (const std::runtime_error &e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("nested deeper than 256 levels at " + std::string(c.place)), std::string::npos)
          << message;
    }
  }
}

// The reader builds each object once its members are known. The value must be the one the
// library's own builder makes: the same members in the same order (a key given twice
// keeps its first place and its last value), the same number kinds, and the same errors.
TEST(JsonTextTest, ReadsTheSameValueAsTheLibrarysOwnBuilder) {
  std::string shapes = "[";
  for (int i = 0; i < 300; ++i) {
    if (i > 0) shapes += ',';
    shapes += "{\"id\":" + std::to_string(i) + ",\"st\":{\"x\":" + std::to_string(i * 0.37) +
              ",\"y\":-0.0},\"data\":[[0,1.5e-7],[18446744073709551615,-9223372036854775808]],\"nam\":\"\\u00e9\"}";
  }
  shapes += "]";
  const std::string texts[] = {
      "{\"meta\":{\"a\":1},\"layers\":[],\"shapes\":" + shapes + ",\"backdrops\":[],\"printareas\":[{}]}",
      R"({"a":1,"b":[1,2],"a":{"c":null},"d":true,"b":false})",
      R"([{"k":{"k":{"k":[[],{}]}}},"",0,-1,1.0,1E400x])",
      R"({"x":[1,{"y":[2,{"z":3},4]},5],"w":"\"\\\/"})",
      "[1e500]",
      "{\"a\":[1,2}",
      "  \n 42 ",
      "true false",
  };
  for (const std::string &text : texts) {
    const std::string head = text.substr(0, 60);
    std::string expected, actual;
    try {
      expected = TJson::parse(text).dump();
    } catch (const std::exception &e) {
      expected = std::string("error: ") + e.what();
    }
    try {
      const TJson value = parseJsonText(text);
      actual = value.dump();
      if (!expected.starts_with("error")) {
        EXPECT_EQ(value, TJson::parse(text)) << head;
      }
    } catch (const std::exception &e) {
      actual = std::string("error: ") + e.what();
    }
    if (expected.starts_with("error")) {
      ASSERT_TRUE(actual.starts_with("error")) << head;
      // The reader adds its own words before the library's message.
      EXPECT_NE(actual.find(expected.substr(7)), std::string::npos) << actual;
    } else {
      EXPECT_EQ(actual, expected) << head;
    }
  }
}

class JsonTextFileTest : public ::testing::Test {
 protected:
  QTemporaryDir FDir;
  QString path(const QString &name) const { return FDir.filePath(name); }
};

TEST_F(JsonTextFileTest, ByteOrderMarkWrittenOnlyWhenAskedAndReadEitherWay) {
  const TJson value = TJson::object({{"name", "\xE6\x97\xA5/1"}, {"size", 2.0}});
  const QByteArray text = R"({"name":"\u65E5\/1","size":2.0})";

  saveJsonFile(path("with.json"), value, TBom::With);
  saveJsonFile(path("without.json"), value, TBom::Without);
  EXPECT_EQ(readWholeFile(path("with.json")), QByteArray("\xEF\xBB\xBF") + text);
  EXPECT_EQ(readWholeFile(path("without.json")), text);

  EXPECT_EQ(loadJsonFile(path("with.json")), value);
  EXPECT_EQ(loadJsonFile(path("without.json")), value);
  EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(JsonTextFileTest, SaveReplacesTheOldFile) {
  saveJsonFile(path("a.json"), TJson::array({1, 2, 3}), TBom::With);
  saveJsonFile(path("a.json"), TJson::array(), TBom::Without);
  EXPECT_EQ(readWholeFile(path("a.json")), QByteArray("[]"));
}

TEST_F(JsonTextFileTest, LoadErrorsNameTheFile) {
  writeFileAtomically(path("bad.json"), "{\"a\":[1,2}");
  for (const QString &file : {path("bad.json"), path("missing.json")}) {
    try {
      loadJsonFile(file);
      ADD_FAILURE() << "no exception for " << file.toStdString();
    } catch (const std::runtime_error &e) {
      EXPECT_NE(std::string(e.what()).find(file.toStdString()), std::string::npos) << e.what();
    }
  }
}

TEST_F(JsonTextFileTest, SaveIntoMissingFolderThrows) {
  EXPECT_THROW(saveJsonFile(path("nowhere/a.json"), TJson::object(), TBom::Without), std::runtime_error);
  EXPECT_FALSE(QDir(path("nowhere")).exists());
}

}  // namespace
}  // namespace quillon
