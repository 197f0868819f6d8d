#include "bench/aozora_prose.h"

#include <array>
#include <string_view>
#include <utility>

namespace folio::bench {
namespace {

constexpr std::array<std::string_view, 11> kHeader{
    "霧の町の物語",
    "見本の作者",
    "",
    "-------------------------------------------------------",
    "【テキスト中に現れる記号について】",
    "《》：ルビ",
    "（例）老人《ろうじん》",
    "｜：ルビの付く文字列の始まりを特定する記号",
    "［＃］：入力者注　主に外字の説明や、傍点の位置の指定",
    "-------------------------------------------------------",
    "",
};

// Words of the plain prose that get a reading after them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kReadings{{
    {"老人", "ろうじん"},     {"少年", "しょうねん"}, {"主人", "しゅじん"},     {"医者", "いしゃ"},
    {"商人", "しょうにん"},   {"船長", "せんちょう"}, {"図書館", "としょかん"}, {"倉庫", "そうこ"},
    {"喫茶店", "きっさてん"}, {"神社", "じんじゃ"},   {"境内", "けいだい"},     {"灯台", "とうだい"},
    {"手紙", "てがみ"},       {"地図", "ちず"},       {"写真", "しゃしん"},     {"切符", "きっぷ"},
    {"日記", "にっき"},       {"汽笛", "きてき"},     {"景色", "けしき"},       {"季節", "きせつ"},
}};
// Phrases whose base ｜ marks, as it must where a base isn't kanji alone.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kMarkedReadings{{
    {"石畳の坂道", "いしだたみのさかみち"},
    {"見知らぬ男", "みしらぬおとこ"},
    {"川のほとり", "かわのほとり"},
}};

// Characters that Shift_JIS lacks, as e-texts write them: ※ and a note that
// names the character by its JIS X 0213 cell or its code point, or only
// describes it (and so keeps its ※).
constexpr std::array<std::string_view, 6> kNamedCharacters{
    "※［＃「口＋它」、第3水準1-14-88］", "※［＃「さんずい＋首」、第4水準2-78-78］", "※［＃感嘆符二つ、1-8-75］",
    "※［＃「口＋世」、U+546D、56-3］",   "※［＃「魚＋花」、U+29E3D、52-6］",        "※［＃「木＋吶のつくり」］",
};

bool IsChapterHeading(const std::string& line) {
  return line.starts_with("第") && line.ends_with("章");
}

}  // namespace

AozoraProseWriter::AozoraProseWriter(std::uint64_t seed)
    : prose_(Language::Japanese, seed),
      random_(seed ^ 0x5A5A5A5A5A5A5A5Aull),
      namedCharacterRandom_(seed ^ 0xA5A5A5A5A5A5A5A5ull),
      queued_(kHeader.begin(), kHeader.end()) {}

std::string AozoraProseWriter::NextLine() {
  if (queued_.empty()) queued_.push_back(BodyLine());
  std::string line = std::move(queued_.front());
  queued_.pop_front();
  return line;
}

std::string AozoraProseWriter::BodyLine() {
  std::string line = prose_.NextLine();
  if (IsChapterHeading(line)) {
    // A chapter begins on a new page, under a heading five characters in.
    const bool inBlock = blockLinesLeft_ > 0;
    blockLinesLeft_ = 0;
    queued_.insert(queued_.end(),
                   {"［＃改ページ］", "", "［＃５字下げ］" + line + "［＃「" + line + "」は中見出し］", ""});
    return inBlock ? "［＃ここで字下げ終わり］" : "";
  }
  if (blockLinesLeft_ > 0 && --blockLinesLeft_ == 0) {
    queued_.push_back("［＃ここで字下げ終わり］");
  } else if (blockLinesLeft_ == 0 && random_.Percent(2)) {
    blockLinesLeft_ = static_cast<int>(random_.Between(3, 8));
    queued_.push_back(WithMarkup(std::move(line)));
    return "［＃ここから２字下げ］";
  }
  return WithMarkup(std::move(line));
}

std::string AozoraProseWriter::WithMarkup(std::string line) {
  for (const auto& [base, reading] : kReadings) {
    const std::size_t at = line.find(base);
    if (at == std::string::npos || !random_.Percent(60)) continue;
    line.insert(at + base.size(), "《" + std::string(reading) + "》");
  }
  for (const auto& [base, reading] : kMarkedReadings) {
    const std::size_t at = line.find(base);
    if (at == std::string::npos || !random_.Percent(60)) continue;
    line.insert(at + base.size(), "《" + std::string(reading) + "》");
    line.insert(at, "｜");
  }
  if (const std::size_t at = line.find("少し"); at != std::string::npos && random_.Percent(50)) {
    line.insert(at + std::string_view("少し").size(), "［＃「少し」に傍点］");
  }
  if (const std::size_t at = line.find("、"); at != std::string::npos && namedCharacterRandom_.Percent(20)) {
    line.insert(at, namedCharacterRandom_.Pick(kNamedCharacters));
  }
  return line;
}

}  // namespace folio::bench
