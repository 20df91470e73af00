#pragma once
// Numbers in files are written with "." whatever the user's locale, so they are read and written here
// without the C library's locale-dependent functions. Every form takes an optional leading '+' or '-'.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Cells and settings: blanks and control characters around the number are allowed.
bool ParseDouble(std::string_view text, double& value);  // decimal or exponent form, finite as a double
bool ParseInt(std::string_view text, int32_t& value);    // plain decimal
bool ParseBool(std::string_view text, bool& value);      // TRUE/FALSE in any case, or 1/0

// Fields of a line already split at its separators: the field is the number alone, with no blanks.
// A value too small for a double reads as zero (it would once narrowed anyway); one beyond single precision
// is refused, so that it never turns into an infinity.
bool ParseFloatField(std::string_view field, float& value);
bool ParseIntField(std::string_view field, int32_t& value);

// A line's leading field, read where it stands: the number runs to the first blank or control byte.
// Returns its length, or 0 when ParseFloatField would refuse it (`value` is then left alone).
size_t ParseLeadingFloatField(std::string_view text, float& value);

// Up to `count` such fields, each after its blanks, into `values`; stops early at the end of `text` or
// before a field ParseFloatField would refuse. `text` moves past the fields read; returns how many.
size_t ParseFloatFields(std::string_view& text, float* values, size_t count);

// What a person types in a field, in Portuguese or in English: "2,5" and "2.5" are both 2.5 (one decimal
// separator at most, no thousands separators), an exponent ("1e5", "2,5E-3") is allowed, and the minus may be
// ASCII '-' or Unicode U+2212 (also U+2013, which some keyboards give). Blanks around the number are allowed.
bool ParseTypedNumber(std::string_view text, double& value);
// A number as a Brazilian reader writes it: the shortest text that reads back, with a decimal comma.
std::string FormatTypedNumber(double value);

bool FitsFloat(double value);            // finite after narrowing to single precision
std::string FormatDouble(double value);  // shortest text that reads back to the same double
// `value` with `decimals` places after a decimal comma, as a Brazilian spreadsheet reads it; never "-0,00";
// empty for a value that is not finite.
std::string FormatDecimalComma(double value, int decimals);
