// Throughput of form decoding, in MB/s of binary form input, on two forms of
// about 20 MB each: one dominated by binary data (pictures, icons), one made
// of thousands of controls with Chinese captions.  The caption-heavy form is
// also measured through the fold (decoding, tokenizing and folding into
// GB2312, as ReadFormFile does without the file).  Prints a summary table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "form/decode_form_file.h"
#include "form/wide_string_fold.h"
#include "median_reporter.h"
#include "support/form_stream_writer.h"

namespace {

using bgconv::test_support::FormStreamWriter;

constexpr std::size_t kTargetBytes = 20u << 20;

std::string BinaryHeavyForm() {
  std::mt19937 random(1);
  FormStreamWriter stream;
  stream.Signature().Object("TMainForm", "MainForm").Property("Caption").String("Viewer").End();
  for (int i = 0; stream.Bytes().size() < kTargetBytes; ++i) {
    std::string picture(256 * 1024, '\0');
    for (auto& byte : picture) byte = static_cast<char>(random());
    stream.Object("TImage", "Image" + std::to_string(i)).Property("Left").Int16(8).Property("Picture.Data");
    stream.Binary(picture).End().End();
  }
  stream.End();
  return bgconv::test_support::BinaryFormFile(stream);
}

std::string CaptionHeavyForm() {
  std::mt19937 random(2);
  std::uniform_int_distribution<int> hanzi(0x4E00, 0x9FA5);
  FormStreamWriter stream;
  stream.Signature().Object("TMainForm", "MainForm").Property("Caption").WideString(u"\u4E3B\u8996\u7A97").End();
  for (int i = 0; stream.Bytes().size() < kTargetBytes; ++i) {
    std::u16string caption;
    for (int k = 0; k < 4 + i % 12; ++k) caption += static_cast<char16_t>(hanzi(random));
    std::u16string hint = caption + u" (F" + static_cast<char16_t>(u'1' + i % 9) + u")";
    stream.Object("TLabel", "Label" + std::to_string(i));
    stream.Property("Left").Int16(static_cast<std::int16_t>(8 + i % 400)).Property("Top").Int16(16);
    stream.Property("Caption").WideString(caption).Property("Hint").WideString(hint);
    stream.Property("Font.Charset").Ident("CHINESEBIG5_CHARSET").Property("ParentFont").False().End().End();
  }
  stream.End();
  return bgconv::test_support::BinaryFormFile(stream);
}

const std::string& Form(bool binary_heavy) {
  static const std::string binary = BinaryHeavyForm();
  static const std::string captions = CaptionHeavyForm();
  return binary_heavy ? binary : captions;
}

void Decode(benchmark::State& state, bool binary_heavy) {
  const std::string& form = Form(binary_heavy);
  for (auto _ : state) benchmark::DoNotOptimize(bgconv::DecodeFormBytes(form));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(form.size()));
}

void DecodeAndFold(benchmark::State& state) {
  const std::string& form = Form(false);
  const bgconv::AnsiCodePage code_page(bgconv::kCodePageGb2312);
  for (auto _ : state) benchmark::DoNotOptimize(bgconv::FoldWideStrings(bgconv::DecodeFormBytes(form), code_page));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(form.size()));
}

class SummaryReporter : public bgconv::bench::MedianReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-32s %10s %14s\n", "case (~20 MB binary form)", "MB/s", "input MB");
    for (const auto& [name, bytes_per_second] : medians_) {
      const bool binary = name.find("binary") != std::string::npos;
      std::printf("%-32s %10.1f %14.1f\n", name.c_str(), bytes_per_second / 1e6,
                  static_cast<double>(Form(binary).size()) / 1e6);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (auto* bench : {benchmark::RegisterBenchmark("decode/binary-heavy", Decode, true),
                      benchmark::RegisterBenchmark("decode/caption-heavy", Decode, false),
                      benchmark::RegisterBenchmark("decode+fold/caption-heavy", DecodeAndFold)}) {
    bench->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
