#pragma once
// The readings of the program's texts, for ruby (ふりがな) over the kanji a pupil has not learned yet:
// one table of every text the program draws or shows, each kanji with its reading, and the school
// grade each kanji is taught in.

#include <QString>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// A reading over a run of the text: one kanji, or a compound whose reading does not split.
struct RubyRun {
    int start = 0;   // in the text, UTF-16 units
    int length = 0;
    QString reading;  // hiragana
    bool operator==(const RubyRun&) const = default;
};

struct AnnotatedText {
    QString base;  // the text as drawn; "#" where a number written at run time stands
    std::vector<RubyRun> runs;
};

// The table, in its written form: "{膨|ぼう}{張|ちょう}し", "{今日|きょう}", "{気|き}{温|おん}#℃"; and each
// text as it is said, in kana only, "#" where its number is said.
struct ReadingEntry {
    std::string_view annotated;
    std::string_view spoken;
};
std::span<const ReadingEntry> ReadingEntries();
AnnotatedText ParseAnnotated(std::string_view annotated);

// The readings of a text as drawn: its own entry, or its template's with the number put in;
// nothing if the table has neither.
std::optional<std::vector<RubyRun>> ReadingsOf(const QString& text);

// The text as it is said, in kana only: its entry's speech, or its template's with the number in
// words ("気温 16℃" -> "きおん じゅうろくど"); empty if the table has neither.
QString SpokenOf(const QString& text);
// A number as the program writes it ("-3.5", " 800", "16") in kana: "まいなす さんてんご".
QString NumberInKana(const QString& number);

bool IsKanji(char32_t c);
// 1-6 for the kanji taught in that primary-school grade, 0 for any other.
int KanjiGrade(char32_t kanji);
int KanjiCountOfGrade(int grade);

enum class RubyMode { None, ByGrade, All };
struct RubyChoice {
    static constexpr int kFirstGrade = 4;
    RubyMode mode = RubyMode::None;
    int grade = kFirstGrade;  // ByGrade: ruby over kanji not learned by the end of this grade
    bool operator==(const RubyChoice&) const = default;
};

// The runs the choice shows over the text: a run whose kanji are all learned shows none; a text
// the table lacks shows none.
std::vector<RubyRun> RubyShown(const QString& text, RubyChoice choice);
