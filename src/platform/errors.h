#pragma once

#include <stdexcept>
#include <string>

namespace vemo {

// A run-time error raised inside an event procedure. No procedure catches it: it travels up to
// the event dispatch, which shows the message to the user and ends the program.
class RuntimeError : public std::runtime_error
{
public:
    enum class Code { Overflow = 6, SubscriptOutOfRange = 9, DivisionByZero = 11, TypeMismatch = 13,
                      InvalidOperation = 16, NoSuchControl = 340 };

    RuntimeError(Code code, const std::string &detail);

    Code code() const { return code_; }

private:
    Code code_;
};

// Checks the result of one floating-point operation: an overflow, a division by zero or an
// invalid operation shows up as an infinite or NaN result.
double checked(double value);

// Checked division, telling a division by zero apart from an overflow.
double divide(double numerator, double denominator);

} // namespace vemo
