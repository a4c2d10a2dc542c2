#include "draw/readings.h"

#include <QHash>
#include <algorithm>

namespace {

constexpr std::string_view kGrades[] = {
#include "draw/kanji_grades.inc"
};

const QHash<char32_t, int>& gradeOfKanji() {
    static const QHash<char32_t, int> grades = [] {
        QHash<char32_t, int> table;
        for (int g = 1; g <= 6; ++g)
            for (char32_t c : QString::fromUtf8(kGrades[g - 1].data(), qsizetype(kGrades[g - 1].size())).toUcs4())
                table.insert(c, g);
        return table;
    }();
    return grades;
}

struct Entry {
    std::vector<RubyRun> runs;
    QString spoken;
};

const QHash<QString, Entry>& entries() {
    static const QHash<QString, Entry> table = [] {
        QHash<QString, Entry> byBase;
        for (const ReadingEntry& e : ReadingEntries()) {
            AnnotatedText parsed = ParseAnnotated(e.annotated);
            byBase.insert(parsed.base, {std::move(parsed.runs),
                                        QString::fromUtf8(e.spoken.data(), qsizetype(e.spoken.size()))});
        }
        return byBase;
    }();
    return table;
}

const char* const kDigits[] = {"", "いち", "に", "さん", "よん", "ご", "ろく", "なな", "はち", "きゅう"};
const char* const kHundreds[] = {"", "ひゃく", "にひゃく", "さんびゃく", "よんひゃく", "ごひゃく", "ろっぴゃく",
                                 "ななひゃく", "はっぴゃく", "きゅうひゃく"};
const char* const kThousands[] = {"", "せん", "にせん", "さんぜん", "よんせん", "ごせん", "ろくせん",
                                  "ななせん", "はっせん", "きゅうせん"};

QString wholeInKana(int n) {
    if (n == 0) return QStringLiteral("ぜろ");
    if (n >= 10000) return QString::number(n);  // never written by the program
    QString words = QString::fromUtf8(kThousands[n / 1000]) + QString::fromUtf8(kHundreds[n / 100 % 10]);
    const int tens = n / 10 % 10;
    if (tens > 0) words += (tens > 1 ? QString::fromUtf8(kDigits[tens]) : QString()) + QStringLiteral("じゅう");
    return words + QString::fromUtf8(kDigits[n % 10]);
}

// A number as the program writes it: a read-out's sign or space before its digits goes with it
// (" 15", "-3.5", "100.0").
struct NumberSpan {
    int start = 0;
    int length = 0;
};
bool isDigit(const QString& text, int at) {
    return at < text.size() && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9');
}
int digitsFrom(const QString& text, int at) {
    while (isDigit(text, at)) ++at;
    return at;
}
std::vector<NumberSpan> numbersIn(const QString& text) {
    std::vector<NumberSpan> numbers;
    for (int at = 0; at < text.size();) {
        const bool signOrSpace = text[at] == QLatin1Char(' ') || text[at] == QLatin1Char('-');
        const int first = signOrSpace ? at + 1 : at;
        if (!isDigit(text, first)) {
            ++at;
            continue;
        }
        int end = digitsFrom(text, first);
        if (end < text.size() && text[end] == QLatin1Char('.') && isDigit(text, end + 1)) end = digitsFrom(text, end + 1);
        numbers.push_back({at, end - at});
        at = end;
    }
    return numbers;
}
// The runs of a template moved to where they stand once each "#" holds its number.
std::optional<std::vector<RubyRun>> throughTemplate(const QString& text, QString* spoken = nullptr) {
    const std::vector<NumberSpan> numbers = numbersIn(text);
    QString shape;
    std::vector<std::pair<int, int>> shifts;  // template position after a number, growth of the text
    int from = 0, growth = 0;
    for (const NumberSpan& n : numbers) {
        shape += text.mid(from, n.start - from) + QLatin1Char('#');
        from = n.start + n.length;
        growth += n.length - 1;
        shifts.emplace_back(int(shape.size()), growth);
    }
    if (shifts.empty()) return std::nullopt;
    shape += text.mid(from);
    const auto found = entries().constFind(shape);
    if (found == entries().cend()) return std::nullopt;
    std::vector<RubyRun> runs = found->runs;
    if (spoken) {
        *spoken = found->spoken;
        for (const NumberSpan& n : numbers)
            spoken->replace(spoken->indexOf(QLatin1Char('#')), 1, NumberInKana(text.mid(n.start, n.length)));
    }
    for (RubyRun& run : runs) {
        int shift = 0;
        for (const auto& [after, grown] : shifts)
            if (run.start >= after) shift = grown;
        run.start += shift;
    }
    return runs;
}

}  // namespace

QString NumberInKana(const QString& number) {
    const QString digits = number.trimmed();
    const bool negative = digits.startsWith(QLatin1Char('-'));
    const QStringList parts = digits.mid(negative ? 1 : 0).split(QLatin1Char('.'));
    const int whole = parts[0].toInt();
    QString words = negative ? QStringLiteral("まいなす ") : QString();
    if (parts.size() < 2) return words + wholeInKana(whole);
    words += whole == 0 ? QStringLiteral("れい") : wholeInKana(whole);
    words += QStringLiteral("てん");
    for (QChar d : parts[1]) words += d == QLatin1Char('0') ? QStringLiteral("ぜろ") : QString::fromUtf8(kDigits[d.digitValue()]);
    return words;
}

QString SpokenOf(const QString& text) {
    if (const auto found = entries().constFind(text); found != entries().cend()) return found->spoken;
    QString spoken;
    throughTemplate(text, &spoken);
    return spoken;
}

AnnotatedText ParseAnnotated(std::string_view annotated) {
    const QString written = QString::fromUtf8(annotated.data(), qsizetype(annotated.size()));
    AnnotatedText result;
    for (qsizetype i = 0; i < written.size(); ++i) {
        const qsizetype bar = written.indexOf(QLatin1Char('|'), i);
        const qsizetype close = written.indexOf(QLatin1Char('}'), i);
        if (written[i] != QLatin1Char('{') || bar < 0 || close < bar) {
            result.base += written[i];
            continue;
        }
        const QString base = written.mid(i + 1, bar - i - 1);
        result.runs.push_back({int(result.base.size()), int(base.size()), written.mid(bar + 1, close - bar - 1)});
        result.base += base;
        i = close;
    }
    return result;
}

std::optional<std::vector<RubyRun>> ReadingsOf(const QString& text) {
    if (const auto found = entries().constFind(text); found != entries().cend()) return found->runs;
    return throughTemplate(text);
}

bool IsKanji(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == U'々'; }

int KanjiGrade(char32_t kanji) { return gradeOfKanji().value(kanji, 0); }

int KanjiCountOfGrade(int grade) {
    const QList<int> grades = gradeOfKanji().values();
    return int(std::count(grades.begin(), grades.end(), grade));
}

std::vector<RubyRun> RubyShown(const QString& text, RubyChoice choice) {
    if (choice.mode == RubyMode::None) return {};
    std::vector<RubyRun> runs = ReadingsOf(text).value_or(std::vector<RubyRun>{});
    if (choice.mode == RubyMode::All) return runs;
    std::erase_if(runs, [&](const RubyRun& run) {
        for (char32_t c : text.mid(run.start, run.length).toUcs4()) {
            const int grade = KanjiGrade(c);
            if (grade == 0 || grade > choice.grade) return false;
        }
        return true;
    });
    return runs;
}
