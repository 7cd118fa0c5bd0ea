#include <gtest/gtest.h>

#include "classlib/number_format.h"

using namespace classlib;

TEST(NumberFormat, GermanSeparatorsAndRounding) {
  const struct {
    const char* pattern;
    double value;
    const char* text;
  } cases[] = {
      {"#,##0.00", 1234567.891, "1.234.567,89"},
      {"#,##0.00", 0, "0,00"},
      {"#,##0.00", -1234.5, "-1.234,50"},
      {"#,##0.00", -0.001, "0,00"},              // no sign on a zero
      {"#,##0.00", 4194304.0 / 1024, "4.096,00"},
      {"#,##0.00", 5e12, "5.000.000.000.000,00"},
      {"#,##0.00", 128.0 / 1024, "0,13"},        // an exact half rounds away from zero
      {"0.00", 2.675, "2,67"},                   // stored just below the half
      {"#,##0", 1022.5, "1.023"},
      {"#,##0", 999.4, "999"},
      {"#,##0", 999.5, "1.000"},
      {"0", -2.5, "-3"},
      {"000", 7, "007"},
      {"0.0#", 1.5, "1,5"},
      {"0.0#", 1.257, "1,26"},
      {"#.##", 0.5, ",5"},
      {"#.##", 1, "1"},
      {"#,##0\" KB\"", 12345, "12.345 KB"},
      {"'Summe: '#,##0.00' MB'", 2.5, "Summe: 2,50 MB"},
      {"0.00", 9.999, "10,00"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFloat(c.pattern, c.value), c.text) << c.pattern << " " << c.value;
}
