#include "simulator/readout.h"

#include <array>
#include <charconv>
#include <string_view>

namespace {

// Digits in fixed notation, as the C locale prints them: "-0.6", "15.0", "0.0".
using Digits = std::array<char, 400>;

// Signs and zeros into the read-out's form. A value that rounds to zero reads " 0" even when it
// was negative: the rounded number has no sign.
QString tidy(std::string_view digits) {
    const bool negative = digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    if (digits.find('.') != std::string_view::npos) {
        digits.remove_suffix(digits.size() - 1 - digits.find_last_not_of('0'));
        if (digits.back() == '.') digits.remove_suffix(1);
    }
    if (digits.size() > 1 && digits.starts_with("0.")) digits.remove_prefix(1);
    const bool zero = digits == "0";
    return QString(negative && !zero ? '-' : ' ') + QString::fromLatin1(digits.data(), qsizetype(digits.size()));
}

QString withUnit(const char* word, const QString& number, const char* unit) {
    return QString::fromUtf8(word) + number + QString::fromUtf8(unit);
}

}  // namespace

// std::to_chars with a precision works on the exact binary value of the double and rounds an exact
// tie to even; it ignores the locale. So 62.5 gives 62 and 63.5 gives 64, and 0.25 (exactly a
// quarter) gives .2, while 0.35, which as a double is 0.34999999999999997..., gives .3 and 0.45,
// which is 0.45000000000000001..., gives .5: the decision is taken on the stored value, never on
// its shortest decimal spelling.
QString ReadoutNumber(double value, int decimals) {
    Digits buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed,
                                   decimals).ptr;
    return tidy(std::string_view(buffer.data(), size_t(end - buffer.data())));
}

QString ReadoutNumber(double value) {
    Digits buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed).ptr;
    return tidy(std::string_view(buffer.data(), size_t(end - buffer.data())));
}

QString KionCaption(double kion) { return withUnit("気温", ReadoutNumber(kion, 1), "℃"); }
QString SitudoCaption(double situdo) { return withUnit("湿度", ReadoutNumber(situdo, 0), "％"); }
QString TakasaCaption(double takasa) { return withUnit("高度", ReadoutNumber(takasa), "ｍ"); }
