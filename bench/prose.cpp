#include "bench/prose.h"

#include <array>
#include <initializer_list>

namespace folio::bench {
namespace {

using Words = std::span<const std::string_view>;

constexpr std::array<std::string_view, 12> kNames{"Anna",      "Thomas", "Margaret",   "the doctor",
                                                  "old Henry", "Clara",  "Peter",      "the captain",
                                                  "Eleanor",   "Samuel", "his sister", "the stranger"};
constexpr std::array<std::string_view, 20> kAdjectives{
    "quiet", "narrow",  "ancient", "crowded",  "pale",   "golden", "heavy",  "distant",  "forgotten", "bright",
    "cold",  "crooked", "gentle",  "restless", "silent", "wooden", "broken", "familiar", "enormous",  "tiny"};
constexpr std::array<std::string_view, 22> kNouns{
    "house",    "river",   "letter",  "lantern", "harbour",    "window",  "garden", "road",
    "station",  "bridge",  "village", "clock",   "staircase",  "ship",    "forest", "market",
    "notebook", "kitchen", "shadow",  "orchard", "lighthouse", "carriage"};
constexpr std::array<std::string_view, 14> kTransitiveVerbs{
    "opened",  "carried", "noticed", "followed", "remembered", "painted", "repaired",
    "crossed", "watched", "found",   "closed",   "described",  "sold",    "borrowed"};
constexpr std::array<std::string_view, 10> kIntransitiveVerbs{
    "waited",      "laughed",     "hesitated",   "listened",    "walked on",
    "stood still", "turned away", "fell asleep", "looked back", "sighed"};
constexpr std::array<std::string_view, 9> kPrepositions{"across", "behind",  "beneath", "beside", "near",
                                                        "beyond", "towards", "inside",  "along"};
constexpr std::array<std::string_view, 10> kOpenings{
    "In the morning",   "Later that evening",    "After a while", "By the end of the week", "Long before dawn",
    "On the third day", "When the rain stopped", "At last",       "For a moment",           "Years afterwards"};
constexpr std::array<std::string_view, 6> kConjunctions{"and", "but", "while", "because", "although", "so"};
constexpr std::array<std::string_view, 7> kAdverbs{"slowly",         "carefully",       "quietly", "at once",
                                                   "without a word", "for a long time", "again"};
constexpr std::array<std::string_view, 5> kSpeechVerbs{"said", "whispered", "replied", "answered", "called out"};

constexpr std::array<std::string_view, 10> kTimesJa{
    "朝になると",         "雨の降る夜に", "夏の終わりに", "その日の午後", "長い冬が明けて",
    "夕暮れが近づくころ", "翌朝早く",     "三日目の晩",   "しばらくして", "何年も後になって"};
constexpr std::array<std::string_view, 12> kSubjectsJa{"私",       "彼女",     "老人",     "少年",
                                                       "町の人々", "宿の主人", "若い医者", "姉",
                                                       "旅の商人", "猫",       "船長",     "見知らぬ男"};
constexpr std::array<std::string_view, 10> kPlacesJa{"駅の近く",   "川のほとり",   "古い図書館", "港の倉庫",
                                                     "山道の途中", "小さな喫茶店", "石畳の坂道", "神社の境内",
                                                     "台所の隅",   "灯台の下"};
constexpr std::array<std::string_view, 12> kObjectsJa{"手紙",   "地図",       "古い写真", "鍵",
                                                      "傘",     "温かいお茶", "一冊の本", "壊れた時計",
                                                      "白い花", "青い切符",   "木の箱",   "祖母の日記"};
constexpr std::array<std::string_view, 10> kTransitiveVerbsJa{
    "見つけた", "読み返した", "そっと置いた", "大切にしまった", "静かに眺めた",
    "届けた",   "探していた", "手に取った",   "書き留めた",     "差し出した"};
constexpr std::array<std::string_view, 8> kIntransitiveVerbsJa{
    "歩き続けた",         "空を見上げた", "深く息をついた", "黙ってうなずいた",
    "遠くの汽笛を聞いた", "窓を開けた",   "少し笑った",     "立ち止まった"};
constexpr std::array<std::string_view, 8> kDescriptionsJa{"とても静かな", "懐かしい", "不思議な", "寂しげな",
                                                          "賑やかな",     "穏やかな", "薄暗い",   "美しい"};
constexpr std::array<std::string_view, 7> kKindsJa{"場所", "景色", "夜", "一日", "季節", "町", "部屋"};
constexpr std::array<std::string_view, 10> kDigitsJa{"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

// The elements of a braced list are evaluated in order, so the random
// choices inside one are made in the same order by every compiler.
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) text.append(part);
  return text;
}

void Capitalize(std::string& text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
}

// "第十二章": chapter numbers in kanji, up to 99.
std::string JapaneseChapter(int number) {
  const int tens = number / 10 % 10;
  const int ones = number % 10;
  std::string text = "第";
  if (tens > 1) text += kDigitsJa[tens];
  if (tens > 0) text += "十";
  text += kDigitsJa[ones];
  return text + "章";
}

}  // namespace

std::uint64_t SeededRandom::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string ProseWriter::NextLine() {
  return language_ == Language::English ? EnglishLine() : JapaneseLine();
}

std::string ProseWriter::EnglishSentence() {
  auto nounPhrase = [&] {
    return random_.Percent(60) ? Joined({"the ", random_.Pick(kAdjectives), " ", random_.Pick(kNouns)})
                               : Joined({"the ", random_.Pick(kNouns)});
  };
  auto clause = [&] {
    const std::string subject = random_.Percent(50) ? std::string(random_.Pick(kNames)) : nounPhrase();
    switch (random_.Below(4)) {
      case 0: return Joined({subject, " ", random_.Pick(kTransitiveVerbs), " ", nounPhrase()});
      case 1:
        return Joined(
            {subject, " ", random_.Pick(kIntransitiveVerbs), " ", random_.Pick(kPrepositions), " ", nounPhrase()});
      case 2: return Joined({subject, " was ", random_.Pick(kAdjectives)});
      default: return Joined({subject, " ", random_.Pick(kIntransitiveVerbs), " ", random_.Pick(kAdverbs)});
    }
  };
  std::string sentence = random_.Percent(30) ? Joined({random_.Pick(kOpenings), ", "}) : "";
  sentence += clause();
  if (random_.Percent(40)) sentence += Joined({", ", random_.Pick(kConjunctions), " ", clause()});
  Capitalize(sentence);
  return sentence;
}

std::string ProseWriter::EnglishLine() {
  const std::size_t kind = random_.Below(1000);
  if (kind < 80) return "";
  if (kind < 90) return "Chapter " + std::to_string(++chapter_);
  if (kind < 340) {  // a line of dialogue, in the typographic quotes that Shift_JIS also has
    return Joined(
        {"\u201C", EnglishSentence(), ",\u201D ", random_.Pick(kNames), " ", random_.Pick(kSpeechVerbs), "."});
  }
  const std::size_t sentences = kind < 890   ? random_.Between(1, 4)
                                : kind < 990 ? random_.Between(6, 10)
                                             : random_.Between(20, 30);
  std::string paragraph;
  for (std::size_t i = 0; i < sentences; ++i) {
    if (i > 0) paragraph += ' ';
    paragraph += EnglishSentence();
    paragraph += random_.Percent(5) ? (random_.Percent(50) ? "?" : "!") : ".";
  }
  return paragraph;
}

std::string ProseWriter::JapaneseSentence() {
  switch (random_.Below(5)) {
    case 0: {
      const std::string opening = random_.Percent(50) ? Joined({random_.Pick(kTimesJa), "、"}) : "";
      return Joined({opening, random_.Pick(kSubjectsJa), "は", random_.Pick(kPlacesJa), "で",
                     random_.Pick(kObjectsJa), "を", random_.Pick(kTransitiveVerbsJa)});
    }
    case 1: return Joined({random_.Pick(kSubjectsJa), "は", random_.Pick(kIntransitiveVerbsJa)});
    case 2:
      return Joined(
          {random_.Pick(kPlacesJa), "は", random_.Pick(kDescriptionsJa), random_.Pick(kKindsJa), "だった"});
    case 3:
      return Joined({random_.Pick(kTimesJa), "、", random_.Pick(kSubjectsJa), "が", random_.Pick(kObjectsJa), "を",
                     random_.Pick(kTransitiveVerbsJa), "ことを、誰も知らなかった"});
    default:
      return Joined(
          {"それでも", random_.Pick(kSubjectsJa), "は、", random_.Pick(kObjectsJa), "のことを忘れなかった"});
  }
}

std::string ProseWriter::JapaneseLine() {
  const std::size_t kind = random_.Below(1000);
  if (kind < 80) return "";
  if (kind < 90) return JapaneseChapter(chapter_++ % 99 + 1);
  if (kind < 340) {  // dialogue: no ideographic space, and no full stop before the closing bracket
    std::string line = "「" + JapaneseSentence();
    if (random_.Percent(40)) line += "。" + JapaneseSentence();
    return line + "」";
  }
  const std::size_t sentences = kind < 890   ? random_.Between(1, 4)
                                : kind < 990 ? random_.Between(6, 12)
                                             : random_.Between(40, 50);
  std::string paragraph = "\u3000";  // paragraphs open with an ideographic space
  for (std::size_t i = 0; i < sentences; ++i) paragraph += JapaneseSentence() + "。";
  return paragraph;
}

}  // namespace folio::bench
