#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/number_text.h"

namespace {

TEST(ParseDouble, DecimalAndExponentFormsWithBlanksAroundAndFiniteOnly) {
  double d = 0;
  EXPECT_TRUE(ParseDouble(" +1.5e3\t", d));
  EXPECT_EQ(d, 1500);
  EXPECT_TRUE(ParseDouble("-.25", d));
  EXPECT_EQ(d, -0.25);
  for (const char* bad : {"", " ", "1,5", "+-1", "++1", "1 2", "0x10", "nan", "inf", "1e400", "1e-400"}) {
    d = 7;
    EXPECT_FALSE(ParseDouble(bad, d)) << bad;
    EXPECT_EQ(d, 7) << "a failed parse leaves the value alone: " << bad;
  }
}

TEST(ParseInt, PlainDecimalInTheSigned32BitRange) {
  int32_t i = 0;
  EXPECT_TRUE(ParseInt(" +42 ", i));
  EXPECT_EQ(i, 42);
  EXPECT_TRUE(ParseInt("-2147483648", i));
  EXPECT_EQ(i, std::numeric_limits<int32_t>::min());
  for (const char* bad : {"2147483648", "1.0", "1e3", "$10", "-", "+"}) EXPECT_FALSE(ParseInt(bad, i)) << bad;
}

TEST(ParseBool, TrueAndFalseInAnyCaseOrOneAndZero) {
  bool b = false;
  EXPECT_TRUE(ParseBool(" tRUe ", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(ParseBool("0", b));
  EXPECT_FALSE(b);
  EXPECT_TRUE(ParseBool("FALSE", b));
  EXPECT_FALSE(b);
  for (const char* bad : {"", "2", "yes", "TRUEX", "tru"}) EXPECT_FALSE(ParseBool(bad, b)) << bad;
}

TEST(NumberFields, NoBlanksTinyValuesReadAsZeroAndSinglePrecisionIsTheLimit) {
  float f = 1;
  EXPECT_TRUE(ParseFloatField("+2.5", f));
  EXPECT_EQ(f, 2.5f);
  EXPECT_TRUE(ParseFloatField("1e-400", f));
  EXPECT_EQ(f, 0);
  EXPECT_TRUE(ParseFloatField("-3.4e38", f));
  for (const char* bad : {" 1", "1 ", "", "1e39", "1e400", "nan", "-inf", "1e-400x"})
    EXPECT_FALSE(ParseFloatField(bad, f)) << bad;
  int32_t i = 0;
  EXPECT_TRUE(ParseIntField("+7", i));
  EXPECT_EQ(i, 7);
  for (const char* bad : {" 1", "1\t", "+", "99999999999"}) EXPECT_FALSE(ParseIntField(bad, i)) << bad;
}

// Plain decimals take a shorter road than other forms: they must read as the general conversion reads them,
// down to the last bit, including the hardest cases for rounding.
TEST(NumberFields, PlainDecimalsReadAsTheGeneralConversionDoes) {
  std::mt19937_64 gerador(7);
  std::uniform_int_distribution<int> casas(0, 18), inteiros(0, 9);
  std::vector<std::string> textos = {"0.1",
                                     "-0.0",
                                     "9007199254740993",
                                     "0.30000000000000004",
                                     "123456.7890123456789",
                                     "5.",
                                     ".5",
                                     "+2.25",
                                     "0.000000000000000000001",
                                     "1e5",
                                     "00012.500",
                                     "-999999999999999999.9"};
  for (int k = 0; k < 20000; ++k) {
    std::string fracao = std::to_string(gerador() % 1000000000000000000ull);
    const size_t largura = static_cast<size_t>(casas(gerador) + 1);
    if (fracao.size() < largura) fracao.insert(0, largura - fracao.size(), '0');
    textos.push_back((k % 3 ? "" : "-") + std::to_string(gerador() % 100000000000ull) + "." + fracao);
  }
  for (const std::string& t : textos) {
    SCOPED_TRACE(t);
    const std::string semMais = t[0] == '+' ? t.substr(1) : t;
    double largo = 0;
    ASSERT_EQ(std::from_chars(semMais.data(), semMais.data() + semMais.size(), largo).ec, std::errc());
    float lido = 0;
    ASSERT_TRUE(ParseFloatField(t, lido));
    EXPECT_EQ(lido, static_cast<float>(largo));
    EXPECT_EQ(std::signbit(lido), std::signbit(largo));
  }
  float f = 0;
  for (const char* ruim : {"", "-", "+", ".", "1.2.3", "--1", "+-1", "1 ", "1-"})
    EXPECT_FALSE(ParseFloatField(ruim, f)) << ruim;
}

// A line's numbers read in one call stop where a field would be refused, so its caller can name that field.
TEST(NumberFields, LeadingFieldsStopBeforeARefusedOne) {
  float v[4] = {9, 9, 9, 9};
  std::string_view linha = " 1.5\t-2  1e2 x7 3";
  EXPECT_EQ(ParseFloatFields(linha, v, 4), 3u);
  EXPECT_EQ(v[0], 1.5f);
  EXPECT_EQ(v[1], -2.0f);
  EXPECT_EQ(v[2], 100.0f);
  EXPECT_EQ(v[3], 9.0f);
  EXPECT_EQ(linha, " x7 3");
  std::string_view dois = "4 5 6";
  EXPECT_EQ(ParseFloatFields(dois, v, 2), 2u);
  EXPECT_EQ(dois, " 6");
  std::string_view grande = "1 1e39";
  EXPECT_EQ(ParseFloatFields(grande, v, 2), 1u);
  float f = 0;
  EXPECT_EQ(ParseLeadingFloatField("0.25\r", f), 4u);
  EXPECT_EQ(f, 0.25f);
  EXPECT_EQ(ParseLeadingFloatField("12345678901234567890.5 1", f), 22u) << "past 19 digits: the general road";
  EXPECT_EQ(f, 12345678901234567890.5f);
}

TEST(FormatDouble, ShortestTextThatReadsBackExactly) {
  EXPECT_EQ(FormatDouble(0.1), "0.1");
  EXPECT_EQ(FormatDouble(-2), "-2");
  for (const double value : {1.0 / 3, 6.02214076e23, -1e-300, 9.81}) {
    double back = 0;
    ASSERT_TRUE(ParseDouble(FormatDouble(value), back));
    EXPECT_EQ(back, value);
  }
  EXPECT_TRUE(FitsFloat(std::numeric_limits<float>::max()));
  EXPECT_FALSE(FitsFloat(3.5e38));
  EXPECT_FALSE(FitsFloat(std::nan("")));
}

TEST(FormatDecimalComma, FixedPlacesAfterACommaNeverMinusZero) {
  EXPECT_EQ(FormatDecimalComma(-9.80665, 3), "-9,807");
  EXPECT_EQ(FormatDecimalComma(1234567.5, 1), "1234567,5")
      << "no thousands separator for a spreadsheet to misread";
  EXPECT_EQ(FormatDecimalComma(-0.0000004, 6), "0,000000");
  EXPECT_EQ(FormatDecimalComma(0.1, 0), "0");
  EXPECT_EQ(FormatDecimalComma(std::nan(""), 2), "") << "not a number: an empty cell";
  EXPECT_EQ(FormatDecimalComma(1e300, 6).size(), 301u + 7u);
}

TEST(TypedNumber, CommaOrPointExponentAndEveryMinusSign) {
  const std::pair<const char*, double> lidos[] = {
      {"2,5", 2.5},        {"2.5", 2.5},    {" 1e5 ", 1e5}, {"2,5E-3", 2.5e-3}, {"-2", -2},
      {"\u22122,5", -2.5}, {"\u20133", -3}, {"+4", 4},      {",5", 0.5},        {"-0", 0}};
  for (const auto& [texto, esperado] : lidos) {
    double v = 99;
    EXPECT_TRUE(ParseTypedNumber(texto, v)) << texto;
    EXPECT_EQ(v, esperado) << texto;
  }
  for (const char* recusado :
       {"", "abc", "1.000,5", "2,5,1", "1 000", "2,5 kg", "inf", "nan", "1e999", "0x10"}) {
    double v = 99;
    EXPECT_FALSE(ParseTypedNumber(recusado, v)) << recusado;
    EXPECT_EQ(v, 99) << "a refused text leaves the value alone: " << recusado;
  }
  EXPECT_EQ(FormatTypedNumber(2.5), "2,5");
  EXPECT_EQ(FormatTypedNumber(-0.001), "-0,001");
  EXPECT_EQ(FormatTypedNumber(1e6), "1000000");
  EXPECT_EQ(FormatTypedNumber(1.0 / 3), "0,3333333333333333");
  double zero = 1;
  ASSERT_TRUE(ParseTypedNumber("-0", zero));
  EXPECT_FALSE(std::signbit(zero)) << "shown as 0, not -0";
}

}  // namespace
