#include "platform/errors.h"

#include <cmath>

namespace vemo {

namespace {

std::string describe(RuntimeError::Code code)
{
    switch (code) {
    case RuntimeError::Code::Overflow:
        return "Taşma";
    case RuntimeError::Code::SubscriptOutOfRange:
        return "Alt simge aralık dışında";
    case RuntimeError::Code::DivisionByZero:
        return "Sıfıra bölme";
    case RuntimeError::Code::TypeMismatch:
        return "Tür uyuşmazlığı";
    case RuntimeError::Code::InvalidOperation:
        return "Geçersiz kayan nokta işlemi";
    case RuntimeError::Code::NoSuchControl:
        return "Denetim dizisi öğesi yok";
    }
    return "Bilinmeyen hata";
}

} // namespace

RuntimeError::RuntimeError(Code code, const std::string &detail)
    : std::runtime_error("Hata " + std::to_string(static_cast<int>(code)) + ": " + describe(code) +
                         (detail.empty() ? "" : " (" + detail + ")")),
      code_(code)
{
}

double checked(double value)
{
    if (std::isnan(value))
        throw RuntimeError(RuntimeError::Code::InvalidOperation, "");
    if (std::isinf(value))
        throw RuntimeError(RuntimeError::Code::Overflow, "");
    return value;
}

double divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        throw RuntimeError(RuntimeError::Code::DivisionByZero, "");
    return checked(numerator / denominator);
}

} // namespace vemo
