// The text rules that need Unicode data, from ICU: Turkish proper case and code page 1254.

#include "platform/text.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <memory>
#include <stdexcept>

namespace vemo {

namespace {

struct ConverterCloser
{
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};

// The converter of the thread, opened at its first use: every sound the clock plays goes
// through it, once a second.
UConverter *codePage()
{
    thread_local std::unique_ptr<UConverter, ConverterCloser> converter;
    if (!converter) {
        UErrorCode status = U_ZERO_ERROR;
        converter.reset(ucnv_open("windows-1254", &status));
        if (U_FAILURE(status)) {
            converter.reset();
            throw std::runtime_error("Windows-1254 kod sayfası açılamadı");
        }
    }
    ucnv_reset(converter.get());
    return converter.get();
}

} // namespace

// Composed before and after: Turkish casing drops a combining dot above that follows a capital I,
// so a decomposed "İ" (I and the dot) would come out as "I", and the I that "ı" followed by the
// dot becomes would lose its dot on a second pass. Composed, both are the one letter İ.
std::string properCase(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *composition = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        throw std::runtime_error("Unicode birleştirme verisi yüklenemedi");
    const icu::UnicodeString typed = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    icu::UnicodeString unicode = composition->normalize(typed, status);
    unicode.toTitle(nullptr, icu::Locale("tr", "TR"));
    unicode = composition->normalize(unicode, status);
    if (U_FAILURE(status))
        throw std::runtime_error("Metin birleştirilemedi");
    std::string result;
    unicode.toUTF8String(result);
    return result;
}

std::string toCodePage(std::string_view utf8)
{
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    UConverter *converter = codePage();
    std::string bytes(static_cast<std::size_t>(unicode.length()) * 2 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_fromUChars(converter, bytes.data(), static_cast<int32_t>(bytes.size()),
                        unicode.getBuffer(), unicode.length(), &status);
    if (U_FAILURE(status))
        throw std::runtime_error("Metin Windows-1254 kod sayfasına çevrilemedi");
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

std::string fromCodePage(std::string_view bytes)
{
    UConverter *converter = codePage();
    std::u16string units(bytes.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar *>(units.data()),
                                         static_cast<int32_t>(units.size()), bytes.data(),
                                         static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        throw std::runtime_error("Metin Windows-1254 kod sayfasından çevrilemedi");
    std::string utf8;
    icu::UnicodeString(reinterpret_cast<const UChar *>(units.data()), length).toUTF8String(utf8);
    return utf8;
}

} // namespace vemo
