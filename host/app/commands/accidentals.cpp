#include "host/app/commands/accidentals.h"

#include <array>
#include <string_view>

namespace tonaroapp {

std::string AsciiAccidentals(const std::string& text)
{
    struct Symbol {
        std::string_view utf8;
        std::string_view ascii;
    };
    static constexpr std::array<Symbol, 5> kSymbols{{
        {"\u266F", "#"},      // MUSIC SHARP SIGN
        {"\uFF03", "#"},      // FULLWIDTH NUMBER SIGN
        {"\u266D", "b"},      // MUSIC FLAT SIGN
        {"\U0001D12A", "x"},  // MUSICAL SYMBOL DOUBLE SHARP
        {"\U0001D12B", "bb"}, // MUSICAL SYMBOL DOUBLE FLAT
    }};
    std::string out;
    out.reserve(text.size());
    const std::string_view rest(text);
    for (size_t i = 0; i < rest.size();) {
        bool replaced = false;
        for (const Symbol& symbol : kSymbols) {
            if (rest.substr(i).starts_with(symbol.utf8)) {
                out += symbol.ascii;
                i += symbol.utf8.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += rest[i++];
    }
    return out;
}

}  // namespace tonaroapp
