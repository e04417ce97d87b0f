#include "stitching/pricking_iron_store.h"

#include <array>
#include <stdexcept>

#include "platform/json_text.h"

namespace quillon {

namespace {

// The prong-count sets of the built-in groups.
constexpr std::array<int, 4> kSetA = {1, 2, 5, 10};
constexpr std::array<int, 4> kSetB = {1, 2, 5, 9};
constexpr std::array<int, 4> kSetC = {1, 2, 4, 6};

struct TBuiltInIron {
  const char *Blade;
  const char *Suffix;
  float Pitch, Width, Length, Angle;
  const std::array<int, 4> *Prongs;
  bool AddedLater;
};

constexpr TBuiltInIron kBuiltInIrons[] = {
    {"D", " 3mm", 3.0f, 0.6f, 2.2f, 32.0f, &kSetA, false},
    {"D", " 3.38mm", 3.38f, 0.6f, 2.2f, 32.0f, &kSetA, false},
    {"D", " 3.85mm", 3.85f, 0.8f, 2.2f, 32.0f, &kSetB, false},
    {"D", " 4mm", 4.0f, 0.8f, 2.2f, 32.0f, &kSetC, false},
    {"D", " 4.5mm", 4.5f, 0.8f, 2.2f, 32.0f, &kSetC, true},
    {"D", " 5mm", 5.0f, 0.8f, 2.2f, 32.0f, &kSetC, true},
    {"D", " 1/8 inch", 3.175f, 0.8f, 2.2f, 32.0f, &kSetC, true},
    {"D", " 5/32 inch", 3.96875f, 0.8f, 2.2f, 32.0f, &kSetC, true},
    {"F", " 3mm", 3.0f, 0.25f, 2.0f, 45.0f, &kSetA, false},
    {"F", " 3.38mm", 3.38f, 0.25f, 2.0f, 45.0f, &kSetA, false},
    {"F", " 3.85mm", 3.85f, 0.25f, 2.0f, 45.0f, &kSetB, false},
    {"F", " 4mm", 4.0f, 0.25f, 2.0f, 45.0f, &kSetB, false},
    {"F", " 1/8 inch", 3.175f, 0.25f, 2.0f, 45.0f, &kSetB, true},
    {"F", " 5/32 inch", 3.96875f, 0.25f, 2.0f, 45.0f, &kSetC, true},
    {"L", " 3mm", 3.0f, 0.3f, 2.0f, 0.0f, &kSetA, false},
    {"L", " 4mm", 4.0f, 0.3f, 2.0f, 0.0f, &kSetB, false},
    {"L", " 5mm", 5.0f, 0.3f, 2.0f, 0.0f, &kSetB, false},
    {"R", " 3mm", 3.0f, 1.2f, 1.2f, 0.0f, &kSetA, false},
    {"R", " 4mm", 4.0f, 1.2f, 1.2f, 0.0f, &kSetC, false},
    {"R", " 5mm", 5.0f, 1.2f, 1.2f, 0.0f, &kSetC, false},
};

// The kind words by blade, English and Japanese.
struct TKindWord {
  const char *Blade;
  const char *English;
  const char *Japanese;
};
constexpr TKindWord kKindWords[] = {
    {"D", "Diamond", "菱目"},
    {"F", "French", "ヨーロッパ目"},
    {"L", "Flat", "平目"},
    {"R", "Round", "丸目"},
};

std::string kindWord(const std::string &blade, bool japanese) {
  for (const TKindWord &w : kKindWords)
    if (blade == w.Blade) return japanese ? w.Japanese : w.English;
  return {};
}

}  // namespace

void addDefaultPrickingIrons(TPrickingIronGroups &groups, bool laterOnly, const QString &langId) {
  const bool japanese = langId == QLatin1String("ja");
  for (const TBuiltInIron &b : kBuiltInIrons) {
    if (laterOnly && !b.AddedLater) continue;
    auto group = std::make_unique<TPrickingIronGroup>(true);
    TPrickingIron &iron = *group->PrickingIron;
    iron.BladeType = b.Blade;
    iron.Pitch = b.Pitch;
    iron.Width = b.Width;
    iron.Height = b.Length;
    iron.Angle = b.Angle;
    iron.Name = kindWord(b.Blade, japanese) + b.Suffix;
    for (const int count : *b.Prongs) group->addPrickingIron(count);
    groups.push_back(std::move(group));
  }
}

TPrickingIronGroup *findPrickingIronGroup(const TPrickingIronGroups &groups, const std::string &bladeType,
                                          float pitch, bool anyPitch) {
  for (const auto &group : groups) {
    const TPrickingIron &iron = *group->PrickingIron;
    if (iron.BladeType == bladeType && (anyPitch || iron.Pitch == pitch)) return group.get();
  }
  return nullptr;
}

TJson prickingIronGroupsToJson(const TPrickingIronGroups &groups) {
  TJson array = TJson::array();
  for (const auto &group : groups) array.push_back(group->toJsonObject());
  return array;
}

TIronGroupsRead readPrickingIronGroups(const TJson &root, TPrickingIronGroups &groups) {
  if (!root.is_object()) throw std::runtime_error("the file does not hold a JSON object");
  const auto array = root.find("pricking_iron_groups");
  if (array == root.end() || !array->is_array())
    throw std::runtime_error("the file has no array \"pricking_iron_groups\"");
  TIronGroupsRead result;
  for (const TJson &element : *array) {
    auto group = std::make_unique<TPrickingIronGroup>(false);
    try {
      group->loadJson(element);
    } catch (const std::exception &e) {
      if (result.Skipped++ == 0) result.FirstProblem = e.what();
      continue;
    }
    groups.push_back(std::move(group));
    ++result.Read;
  }
  return result;
}

void translatePrickingIronNames(TPrickingIronGroups &groups, const QString &langId) {
  const bool japanese = langId == QLatin1String("ja");
  for (const auto &group : groups) {
    QString name = QString::fromStdString(group->PrickingIron->Name);
    for (const TKindWord &w : kKindWords) {
      const QString from = QString::fromUtf8(japanese ? w.English : w.Japanese);
      const QString to = QString::fromUtf8(japanese ? w.Japanese : w.English) + QLatin1Char(' ');
      if (const auto at = name.indexOf(from); at >= 0) name.replace(at, from.size(), to);
    }
    name.replace(QStringLiteral("  "), QStringLiteral(" "));
    group->PrickingIron->Name = name.toStdString();
  }
}

std::vector<TIronTreeItem> prickingIronTreeItems(const TPrickingIronGroups &groups) {
  std::vector<TIronTreeItem> items;
  items.reserve(groups.size());
  for (const auto &group : groups) {
    const QString name = QString::fromStdString(group->PrickingIron->Name);
    TIronTreeItem item{name, group.get(), 0, {}};
    for (const int count : group->AvailableBlades)
      item.Children.push_back(
          {name + QLatin1Char('(') + QString::number(count) + QLatin1Char(')'), group.get(), count, {}});
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace quillon
