#pragma once
// Numbers in files are written with "." whatever the user's locale, so they are read and written here
// without the C library's locale-dependent functions.

#include <cstdint>
#include <string>
#include <string_view>

bool LeReal(std::string_view texto, double& valor);      // decimal or exponent form, optional sign, trimmed
bool LeFloat(std::string_view texto, float& valor);      // the same, and the value must be finite as a float
bool LeInteiro(std::string_view texto, int32_t& valor);  // plain decimal, optional sign, trimmed
bool LeBooleano(std::string_view texto, bool& valor);    // TRUE/FALSE in any case, or 1/0
bool CabeEmFloat(double valor);                          // finite after narrowing to single precision
std::string EscreveReal(double valor);                   // shortest text that reads back to the same double
std::string_view Apara(std::string_view texto);          // without leading and trailing blanks
