#include "platform/json_text.h"

#include <algorithm>
#include <cmath>

#include "platform/file_io.h"
#include "platform/number_text.h"

#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace quillon {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void appendEscape(std::string &out, std::uint32_t unit) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\u";
  out += kHex[(unit >> 12) & 0xF];
  out += kHex[(unit >> 8) & 0xF];
  out += kHex[(unit >> 4) & 0xF];
  out += kHex[unit & 0xF];
}

[[noreturn]] void badUtf8(std::size_t offset) {
  throw std::runtime_error("JSON text: invalid UTF-8 in string at byte " + std::to_string(offset));
}

// Decodes one UTF-8 sequence starting at s[i]; advances i past it. Refuses stray
// continuation bytes, truncated and over-long sequences, surrogates and code points
// above U+10FFFF.
std::uint32_t decodeUtf8(std::string_view s, std::size_t &i) {
  const std::size_t start = i;
  const auto lead = static_cast<unsigned char>(s[i]);
  std::uint32_t cp = 0;
  int extra = 0;
  std::uint32_t minimum = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    cp = lead & 0x1F;
    extra = 1;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    cp = lead & 0x0F;
    extra = 2;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    cp = lead & 0x07;
    extra = 3;
    minimum = 0x10000;
  } else {
    badUtf8(start);
  }
  ++i;
  for (int k = 0; k < extra; ++k, ++i) {
    if (i >= s.size()) badUtf8(start);
    const auto c = static_cast<unsigned char>(s[i]);
    if ((c & 0xC0) != 0x80) badUtf8(start);
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) badUtf8(start);
  return cp;
}

void appendString(std::string &out, std::string_view s) {
  out += '"';
  std::size_t i = 0;
  while (i < s.size()) {
    const std::uint32_t cp = decodeUtf8(s, i);
    switch (cp) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '/': out += "\\/"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (cp < 0x20 || (cp >= 0x7F && cp <= 0xFFFF)) {
          appendEscape(out, cp);
        } else if (cp > 0xFFFF) {
          const std::uint32_t v = cp - 0x10000;
          appendEscape(out, 0xD800 + (v >> 10));
          appendEscape(out, 0xDC00 + (v & 0x3FF));
        } else {
          out += static_cast<char>(cp);
        }
    }
  }
  out += '"';
}

void appendValue(std::string &out, const TJson &value) {
  switch (value.type()) {
    case TJson::value_t::null: out += "null"; break;
    case TJson::value_t::boolean: out += value.get<bool>() ? "true" : "false"; break;
    case TJson::value_t::number_integer: out += std::to_string(value.get<std::int64_t>()); break;
    case TJson::value_t::number_unsigned: out += std::to_string(value.get<std::uint64_t>()); break;
    case TJson::value_t::number_float: {
      // JSON has no form for infinity or NaN: such a number is written as null, so the
      // file stays readable (a reader then refuses that one value, not the whole file).
      const double d = value.get<double>();
      out += std::isfinite(d) ? doubleToText(d) : std::string("null");
      break;
    }
    case TJson::value_t::string: appendString(out, value.get_ref<const std::string &>()); break;
    case TJson::value_t::array: {
      out += '[';
      bool first = true;
      for (const auto &item : value) {
        if (!first) out += ',';
        first = false;
        appendValue(out, item);
      }
      out += ']';
      break;
    }
    case TJson::value_t::object: {
      out += '{';
      bool first = true;
      for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ',';
        first = false;
        appendString(out, it.key());
        out += ':';
        appendValue(out, it.value());
      }
      out += '}';
      break;
    }
    case TJson::value_t::binary:
    case TJson::value_t::discarded:
      throw std::runtime_error("JSON text: value has no text form");
  }
}

// Throws when arrays and objects nest deeper than kJsonMaxDepth anywhere in the text.
// Brackets inside strings do not count. Text that is malformed in other ways passes
// here and is refused by the parser.
void checkNestingDepth(std::string_view text) {
  int depth = 0;
  int line = 1;
  std::size_t lineStart = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
      continue;
    }
    switch (c) {
      case '"': inString = true; break;
      case '\n':
        ++line;
        lineStart = i + 1;
        break;
      case '[':
      case '{':
        if (++depth > kJsonMaxDepth)
          throw std::runtime_error("Malformed JSON: arrays and objects nested deeper than " +
                                   std::to_string(kJsonMaxDepth) + " levels at line " + std::to_string(line) +
                                   ", column " + std::to_string(i - lineStart + 1));
        break;
      case ']':
      case '}':
        if (depth > 0) --depth;
        break;
      default: break;
    }
  }
}

// Builds the value from the parser's events. Members and items are gathered in plain
// vectors while their container is open and moved into it once it closes. The parser's
// own builder adds each member to the open object in place; the object's vector holds
// pairs with a const key, which it copies (with the whole member value) each time it
// grows, so a large array inside an object could be copied whole. Here nothing is copied.
// A key given twice keeps its first place and takes the last value, as before.
class TJsonBuilder {
 public:
  using TNumberInt = TJson::number_integer_t;
  using TNumberUnsigned = TJson::number_unsigned_t;
  using TNumberFloat = TJson::number_float_t;

  TJson take() { return std::move(root_); }

  bool null() { return put(TJson(nullptr)); }
  bool boolean(bool v) { return put(TJson(v)); }
  bool number_integer(TNumberInt v) { return put(TJson(v)); }
  bool number_unsigned(TNumberUnsigned v) { return put(TJson(v)); }
  bool number_float(TNumberFloat v, const std::string &) { return put(TJson(v)); }
  bool string(std::string &v) { return put(TJson(v)); }
  bool binary(TJson::binary_t &v) { return put(TJson(v)); }

  bool start_object(std::size_t) { return open(true); }
  bool start_array(std::size_t) { return open(false); }
  bool key(std::string &k) {
    top().key = k;
    return true;
  }

  bool end_array() {
    TJson value(TJson::value_t::array);
    *value.get_ptr<TJson::array_t *>() = std::move(top().items);
    --depth_;
    return put(std::move(value));
  }

  bool end_object() {
    TJson value(TJson::value_t::object);
    TJson::object_t &object = *value.get_ptr<TJson::object_t *>();
    std::vector<std::pair<std::string, TJson>> &members = top().members;
    object.reserve(members.size());
    // A named member rather than a structured binding: clang 14 (the fuzz build) cannot
    // capture a binding in a lambda.
    for (auto &member : members) {
      const std::string &key = member.first;
      const auto same = std::find_if(object.begin(), object.end(), [&key](const auto &m) { return m.first == key; });
      if (same == object.end())
        object.emplace_back(std::move(member.first), std::move(member.second));
      else
        same->second = std::move(member.second);
    }
    members.clear();
    --depth_;
    return put(std::move(value));
  }

  template <class Exception>
  bool parse_error(std::size_t, const std::string &, const Exception &e) {
    throw e;
  }

 private:
  // An open array or object. Frames stay allocated when closed, so their vectors are
  // reused by the next container at that depth.
  struct TFrame {
    bool object = false;
    std::string key;
    std::vector<TJson> items;
    std::vector<std::pair<std::string, TJson>> members;
  };

  TFrame &top() { return frames_[depth_ - 1]; }

  bool open(bool object) {
    if (depth_ == frames_.size()) frames_.emplace_back();
    TFrame &f = frames_[depth_++];
    f.object = object;
    f.items.clear();
    f.members.clear();
    return true;
  }

  bool put(TJson &&value) {
    if (depth_ == 0) {
      root_ = std::move(value);
      return true;
    }
    TFrame &f = top();
    if (f.object)
      f.members.emplace_back(std::move(f.key), std::move(value));
    else
      f.items.push_back(std::move(value));
    return true;
  }

  TJson root_;
  std::vector<TFrame> frames_;
  std::size_t depth_ = 0;
};

}  // namespace

std::string writeJsonText(const TJson &value) {
  std::string out;
  appendValue(out, value);
  return out;
}

TJson parseJsonText(std::string_view text) {
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  checkNestingDepth(text);
  try {
    TJsonBuilder builder;
    TJson::sax_parse(text.begin(), text.end(), &builder);
    return builder.take();
  } catch (const TJson::parse_error &e) {
    throw std::runtime_error(std::string("Malformed JSON: ") + e.what());
  }
}

void saveJsonFile(const QString &path, const TJson &value, TBom bom) {
  const std::string text = writeJsonText(value);
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(text.size() + kUtf8Bom.size()));
  if (bom == TBom::With) bytes.append(kUtf8Bom.data(), static_cast<qsizetype>(kUtf8Bom.size()));
  bytes.append(text.data(), static_cast<qsizetype>(text.size()));
  writeFileAtomically(path, bytes);
}

TJson loadJsonFile(const QString &path) {
  const QByteArray bytes = readWholeFile(path);
  try {
    return parseJsonText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const std::runtime_error &e) {
    throw std::runtime_error("Cannot read JSON file \"" + path.toStdString() + "\": " + e.what());
  }
}

}  // namespace quillon
