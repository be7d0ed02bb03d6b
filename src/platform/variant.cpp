#include "platform/variant.h"

#include "platform/errors.h"
#include "platform/text.h"

#include <charconv>
#include <cmath>

namespace vemo {

double Variant::number() const
{
    if (isEmpty())
        return 0.0;
    if (const double *n = std::get_if<double>(&value_))
        return *n;
    if (const std::string *t = std::get_if<std::string>(&value_))
        return textToNumber(*t);
    throw RuntimeError(RuntimeError::Code::TypeMismatch, "dizi");
}

std::string Variant::text() const
{
    if (isEmpty())
        return {};
    if (const std::string *t = std::get_if<std::string>(&value_))
        return *t;
    if (const double *n = std::get_if<double>(&value_)) {
        // 15 significant digits, as "%.15g" in the C locale, whatever the user's locale.
        char digits[32];
        const auto result =
            std::to_chars(digits, digits + sizeof digits, *n, std::chars_format::general, 15);
        return std::string(digits, result.ptr);
    }
    throw RuntimeError(RuntimeError::Code::TypeMismatch, "dizi");
}

const std::string &Variant::element(double index) const
{
    const auto *texts = std::get_if<std::vector<std::string>>(&value_);
    if (!texts)
        throw RuntimeError(RuntimeError::Code::TypeMismatch, "dizi değil");
    const std::int32_t i = toInt32(index);
    if (i < 0 || static_cast<std::size_t>(i) >= texts->size())
        throw RuntimeError(RuntimeError::Code::SubscriptOutOfRange, std::to_string(i));
    return (*texts)[static_cast<std::size_t>(i)];
}

Variant operator+(const Variant &a, const Variant &b)
{
    return checked(a.number() + b.number());
}

} // namespace vemo
