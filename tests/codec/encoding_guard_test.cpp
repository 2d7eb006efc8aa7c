#include "codec/encoding_guard.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/converter.h"

namespace bgconv {
namespace {

const std::string kBig5 = "\xB6}\xB1\xD2\xC0\xC9\xAE\xD7";   // 開啟檔案
const std::string kGb = "\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE";  // 打开文件
// 備註：中文說明
const std::string kUtf8 = "\xE5\x82\x99\xE8\xA8\xBB\xEF\xBC\x9A\xE4\xB8\xAD\xE6\x96\x87\xE8\xAA\xAA\xE6\x98\x8E";

std::optional<std::string> Reason(TextClass text_class, Direction direction, double confidence = 1.0) {
  return SkipReason({text_class, confidence, 8}, direction);
}

TEST(SkipReason, LeavesWhatIsNotInTheSourceCodePage) {
  using enum TextClass;
  EXPECT_EQ(Reason(kAscii, Direction::kBigToGb), std::nullopt);
  EXPECT_EQ(Reason(kBig5, Direction::kBigToGb), std::nullopt);
  EXPECT_EQ(Reason(kGb2312, Direction::kGbToBig), std::nullopt);
  EXPECT_EQ(Reason(kGbk, Direction::kGbToBig), std::nullopt) << "code page 936 holds GBK";
  EXPECT_EQ(Reason(kGb2312, Direction::kBigToGb), "already GB2312");
  EXPECT_EQ(Reason(kGbk, Direction::kBigToGb), "already GBK");
  EXPECT_EQ(Reason(kBig5, Direction::kGbToBig), "already Big5");
  EXPECT_EQ(Reason(kUtf8, Direction::kGbToBig), "UTF-8");
  EXPECT_EQ(Reason(kUtf16, Direction::kBigToGb), "UTF-16");
  EXPECT_EQ(Reason(kBinary, Direction::kBigToGb), "not text");
  EXPECT_EQ(Reason(kMixed, Direction::kBigToGb), "lines in both Big5 and GB2312");
  // A guess converts, as asked.
  EXPECT_EQ(Reason(kGb2312, Direction::kBigToGb, kSureConfidence - 0.001), std::nullopt);
  EXPECT_EQ(Reason(kGb2312, Direction::kBigToGb, kSureConfidence), "already GB2312");
}

TEST(ConvertKeepingUtf8Lines, KeepsTheUtf8LinesAndConvertsTheRest) {
  const std::string text = "// " + kBig5 + "\r\n  '" + kUtf8 + "'\r\n\n'" + kBig5 + "\xA4'\n" + kUtf8;
  const GuardedConversion result = ConvertKeepingUtf8Lines(text, Direction::kBigToGb);
  const std::string converted =
      Big5ToGb("// " + kBig5 + "\r\n") + "  '" + kUtf8 + "'\r\n\n" + Big5ToGb("'" + kBig5 + "\xA4'\n") + kUtf8;
  EXPECT_EQ(result.text, converted);
  EXPECT_EQ(result.kept_lines, 2u);

  // Lines of the code page convert as ConvertText converts them.
  const std::string gb = kGb + "\r\n" + kGb;
  EXPECT_EQ(ConvertKeepingUtf8Lines(gb, Direction::kGbToBig).text, GbToBig5(gb));
  EXPECT_EQ(ConvertKeepingUtf8Lines(gb, Direction::kGbToBig).kept_lines, 0u);
}

}  // namespace
}  // namespace bgconv
