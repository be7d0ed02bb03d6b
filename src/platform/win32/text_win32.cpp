// The text rules that need Unicode data, from Windows itself: Turkish proper case through
// LCMapStringEx with linguistic casing, and code page 1254 through the system's converters.
// The results match the ICU version's (text_icu.cpp) on the same texts.

#include "platform/text.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

namespace vemo {

namespace {

constexpr UINT kTurkishCodePage = 1254;
constexpr const wchar_t *kTurkish = L"tr-TR";

// Without LCMAP_LINGUISTIC_CASING the locale's own rules are not applied: "i" would become "I".
std::wstring mapCase(std::wstring_view text, DWORD flags)
{
    if (text.empty())
        return {};
    flags |= LCMAP_LINGUISTIC_CASING;
    const int size = static_cast<int>(text.size());
    const int length =
        LCMapStringEx(kTurkish, flags, text.data(), size, nullptr, 0, nullptr, nullptr, 0);
    if (length <= 0)
        throw std::runtime_error("Türkçe büyük-küçük harf dönüşümü yapılamadı");
    std::wstring mapped(static_cast<std::size_t>(length), L'\0');
    LCMapStringEx(kTurkish, flags, text.data(), size, mapped.data(), length, nullptr, nullptr, 0);
    return mapped;
}

// Canonical composition (NFC), as the ICU version composes around its casing: "I" followed by a
// combining dot above is the one letter "İ". Text the system will not compose (a lone surrogate)
// stays as it is: composing changes how a text is stored, not what it shows.
std::wstring composed(const std::wstring &text)
{
    const int size = static_cast<int>(text.size());
    const int estimate = NormalizeString(NormalizationC, text.data(), size, nullptr, 0);
    if (estimate <= 0)
        return text;
    std::wstring result(static_cast<std::size_t>(estimate), L'\0');
    const int length = NormalizeString(NormalizationC, text.data(), size, result.data(), estimate);
    if (length <= 0)
        return text;
    result.resize(static_cast<std::size_t>(length));
    return result;
}

// What a character is to the word rules (the Unicode word boundaries, in the part that
// matters for names): letters, digits and the underscore make words; a mark stays with the
// character before it; some punctuation joins two letters (o'neil, a.b) or two digits (1,5).
enum class WordRole
{
    Letter,
    Digit,
    Connector,
    Mark,
    MidLetter,
    MidNumber,
    MidBoth,
    Other
};

WordRole roleOf(wchar_t c, WORD type1, WORD type3)
{
    switch (c) {
    case L'_':
        return WordRole::Connector;
    case L':':
    case L'\u00B7':
        return WordRole::MidLetter;
    case L',':
    case L';':
        return WordRole::MidNumber;
    case L'.':
    case L'\'':
    case L'\u2018':
    case L'\u2019':
        return WordRole::MidBoth;
    default:
        break;
    }
    // Precomposed letters (ç, ü) carry diacritic flags too: a letter is a letter first.
    if (type1 & C1_ALPHA)
        return WordRole::Letter;
    if (type1 & C1_DIGIT)
        return WordRole::Digit;
    if (type3 & C3_NONSPACING)
        return WordRole::Mark;
    return WordRole::Other;
}

bool makesWords(WordRole role)
{
    return role == WordRole::Letter || role == WordRole::Digit || role == WordRole::Connector;
}

// For each character, true where a word starts.
std::vector<bool> wordStarts(const std::wstring &text)
{
    const int size = static_cast<int>(text.size());
    std::vector<WORD> type1(text.size()), type3(text.size());
    GetStringTypeW(CT_CTYPE1, text.data(), size, type1.data());
    GetStringTypeW(CT_CTYPE3, text.data(), size, type3.data());
    std::vector<WordRole> roles(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        roles[i] = roleOf(text[i], type1[i], type3[i]);

    // The role of the character a position continues: marks are skipped.
    const auto base = [&](std::size_t i) {
        while (i > 0 && roles[i] == WordRole::Mark)
            --i;
        return roles[i];
    };
    std::vector<bool> starts(text.size(), false);
    std::vector<bool> inWord(text.size(), false);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const WordRole role = roles[i];
        if (role == WordRole::Mark) {
            inWord[i] = i > 0 && inWord[i - 1];
            continue;
        }
        std::size_t previous = i;
        while (previous > 0 && roles[previous - 1] == WordRole::Mark)
            --previous;
        const bool afterWord = previous > 0 && inWord[previous - 1];
        if (makesWords(role)) {
            inWord[i] = true;
            starts[i] = !afterWord;
            continue;
        }
        // Punctuation inside a word: between two letters, or between two digits.
        std::size_t next = i + 1;
        while (next < text.size() && roles[next] == WordRole::Mark)
            ++next;
        if (!afterWord || next >= text.size() || previous == 0)
            continue;
        const WordRole before = base(previous - 1), after = roles[next];
        const bool letters = before == WordRole::Letter && after == WordRole::Letter;
        const bool digits = before == WordRole::Digit && after == WordRole::Digit;
        inWord[i] = (letters && (role == WordRole::MidLetter || role == WordRole::MidBoth)) ||
                    (digits && (role == WordRole::MidNumber || role == WordRole::MidBoth));
    }
    return starts;
}

} // namespace

std::string properCase(std::string_view text)
{
    std::wstring wide = mapCase(composed(widen(text)), LCMAP_LOWERCASE);
    const std::vector<bool> starts = wordStarts(wide);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (!starts[i] || IsCharAlphaW(wide[i]) == FALSE)
            continue;
        const std::wstring upper = mapCase(std::wstring_view(&wide[i], 1), LCMAP_UPPERCASE);
        if (upper.size() == 1)
            wide[i] = upper[0];
    }
    return narrow(composed(wide));
}

std::string toCodePage(std::string_view utf8)
{
    const std::wstring wide = widen(utf8);
    if (wide.empty())
        return {};
    // No best fit ("ā" to "a"): a character the code page lacks becomes the substitute 0x1A.
    const int size = static_cast<int>(wide.size());
    const char substitute = '\x1A';
    const int length = WideCharToMultiByte(kTurkishCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                           size, nullptr, 0, &substitute, nullptr);
    if (length <= 0)
        throw std::runtime_error("Metin Windows-1254 kod sayfasına çevrilemedi");
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(kTurkishCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(),
                        length, &substitute, nullptr);
    return bytes;
}

std::string fromCodePage(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(kTurkishCodePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        throw std::runtime_error("Metin Windows-1254 kod sayfasından çevrilemedi");
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kTurkishCodePage, 0, bytes.data(), size, wide.data(), length);
    return narrow(wide);
}

} // namespace vemo
