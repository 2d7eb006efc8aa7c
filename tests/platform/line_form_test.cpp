#include "platform/line_form.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/line_list.h"

namespace bgconv {
namespace {

TEST(NormalizeLineBreaks, AgreesWithTheLineList) {
  std::mt19937 random(7);
  const char alphabet[] = {'\r', '\n', '\0', 'a', '\xB0', '\xEA', ' '};
  // Texts mostly in the line list's form already, with one byte changed
  // anywhere (the fast check works on blocks of sixteen bytes).
  const std::string lines_of_text = "unit A;\r\n\r\n// \xB0\xEA\r\nend.\r\n";
  int already = 0;
  for (int round = 0; round < 6000; ++round) {
    std::string text;
    if (round % 2 == 0) {
      text.assign(random() % 40, ' ');
      for (auto& byte : text) byte = alphabet[random() % std::size(alphabet)];
    } else {
      for (std::size_t i = random() % 6; i > 0; --i) text += lines_of_text;
      if (!text.empty() && round % 3 != 0) text[random() % text.size()] = alphabet[random() % std::size(alphabet)];
    }
    LineList lines;
    lines.SetText(text);
    const std::string expected = lines.Text();
    ASSERT_EQ(NormalizeLineBreaks(text), expected) << ::testing::PrintToString(text);
    ASSERT_EQ(IsInLineListForm(text), expected == text) << ::testing::PrintToString(text);
    already += expected == text;
  }
  EXPECT_GT(already, 1000) << "both answers of the fast check are exercised";
}

}  // namespace
}  // namespace bgconv
