#pragma once

#include <string>
#include <variant>
#include <vector>

namespace vemo {

// A value of the form runtime that holds nothing yet (empty), a number, a text or an array of
// texts. Arithmetic reads an empty value as 0 and converts a text first, raising a type
// mismatch on a text that is no number.
class Variant
{
public:
    Variant() = default;
    Variant(double number) : value_(number) {}
    Variant(std::string text) : value_(std::move(text)) {}
    Variant(std::vector<std::string> texts) : value_(std::move(texts)) {}

    bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }

    // The value as a number, for arithmetic and numeric comparison.
    double number() const;
    // The value as a text, as concatenation and the numeric parse see it.
    std::string text() const;
    // Element `index` of an array value; any other index, or a value that is no array, raises
    // an error.
    const std::string &element(double index) const;

    friend bool operator==(const Variant &, const Variant &) = default;

private:
    std::variant<std::monostate, double, std::string, std::vector<std::string>> value_;
};

Variant operator+(const Variant &a, const Variant &b);

} // namespace vemo
