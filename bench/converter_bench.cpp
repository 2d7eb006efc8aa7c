// Throughput of the built-in converter against glibc's iconv (its direct
// GB2312 <-> BIG5 table module), measured in the same run on the same text:
// ~50 MB of Chinese-heavy text and ~50 MB of ASCII-heavy Delphi source.
// Prints MB/s per case and, at the end, bgconv's median over iconv's.

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "codec/converter.h"
#include "median_reporter.h"

namespace {

constexpr std::size_t kTargetBytes = 50u << 20;

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Iconv() { iconv_close(handle_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts all of `input`; a character without counterpart becomes two
  // blanks, as in the built-in engine, so both produce text of equal length.
  std::string Convert(const std::string& input) const {
    std::string output(input.size() + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    while (in_left > 0) {
      if (iconv(handle_, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1)) break;
      const std::size_t skip = in_left >= 2 ? 2 : in_left;
      in += skip;
      in_left -= skip;
      *out++ = ' ';
      *out++ = ' ';
      out_left -= 2;
    }
    output.resize(output.size() - out_left);
    return output;
  }
  bool Converts(const std::string& character) const {
    char* in = const_cast<char*>(character.data());
    std::size_t in_left = character.size();
    char buffer[16];
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    return iconv(handle_, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1);
  }

 private:
  iconv_t handle_;
};

// Big5 characters that both engines convert, so that neither spends its time
// on error handling.
std::vector<std::string> Big5Alphabet() {
  const Iconv to_gb("GB2312", "BIG5");
  std::vector<std::string> alphabet;
  for (unsigned lead = 0xA4; lead <= 0xC6; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail > 0x7E && trail < 0xA1) continue;
      const std::string character{char(lead), char(trail)};
      if (to_gb.Converts(character) && bgconv::Big5ToGb(character) != "  ") alphabet.push_back(character);
    }
  return alphabet;
}

std::string ChineseHeavyBig5() {
  const auto alphabet = Big5Alphabet();
  std::mt19937 random(42);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string text;
  text.reserve(kTargetBytes + 64);
  while (text.size() < kTargetBytes) {
    for (int i = 0; i < 30; ++i) text += alphabet[pick(random)];
    text += "\xA1\x43\r\n";  // 。
  }
  return text;
}

std::string DelphiLikeBig5() {
  const std::string unit =
      "unit MainForm;\r\n\r\ninterface\r\n\r\nuses\r\n  Windows, Messages, SysUtils, Classes, Forms;\r\n\r\n"
      "type\r\n  TMainForm = class(TForm)\r\n    procedure FormCreate(Sender: TObject);\r\n  end;\r\n\r\n"
      "implementation\r\n\r\n{$R *.DFM}\r\n\r\n"
      "procedure TMainForm.FormCreate(Sender: TObject);\r\nbegin\r\n"
      "  Caption := '\xA5\x44\xB5\xF8\xB5\xA1';  // \xB0\xEA\xAD\xCC\r\n"
      "  if Tag > 0 then\r\n    ShowMessage('\xB6\x7D\xB1\xD2');\r\nend;\r\n\r\nend.\r\n";
  std::string text;
  text.reserve(kTargetBytes + unit.size());
  while (text.size() < kTargetBytes) text += unit;
  return text;
}

struct Corpus {
  std::string big5_chinese = ChineseHeavyBig5();
  std::string gb_chinese = bgconv::Big5ToGb(big5_chinese);
  std::string big5_delphi = DelphiLikeBig5();
  std::string gb_delphi = bgconv::Big5ToGb(big5_delphi);
};

// How many bytes both engines produce alike: the two must be doing the same
// work for the comparison to mean anything.
void PrintAgreement(const char* what, const std::string& ours, const std::string& theirs) {
  std::size_t same = 0;
  for (std::size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i) same += ours[i] == theirs[i];
  std::printf("%s: %zu bytes, iconv gives the same byte at %.2f%% of them\n", what, ours.size(),
              100.0 * static_cast<double>(same) / static_cast<double>(std::max<std::size_t>(ours.size(), 1)));
}

const Corpus& Texts() {
  static const Corpus corpus;
  return corpus;
}

template <typename Convert>
void Measure(benchmark::State& state, const std::string& input, Convert convert) {
  for (auto _ : state) benchmark::DoNotOptimize(convert(input));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

const std::string& Input(bool gb_source, bool chinese) {
  const auto& t = Texts();
  if (gb_source) return chinese ? t.gb_chinese : t.gb_delphi;
  return chinese ? t.big5_chinese : t.big5_delphi;
}

void Bgconv(benchmark::State& state, bool gb_source, bool chinese) {
  const auto& input = Input(gb_source, chinese);
  if (gb_source) {
    const bgconv::TGB2BIG converter;
    Measure(state, input, [&](const std::string& s) { return converter.Convert(s); });
  } else {
    const bgconv::TBIG2GB converter;
    Measure(state, input, [&](const std::string& s) { return converter.Convert(s); });
  }
}

void GlibcIconv(benchmark::State& state, bool gb_source, bool chinese) {
  const Iconv converter(gb_source ? "BIG5" : "GB2312", gb_source ? "GB2312" : "BIG5");
  Measure(state, Input(gb_source, chinese), [&](const std::string& s) { return converter.Convert(s); });
}

// Closes with bgconv's median throughput over iconv's, case by case.
class RatioReporter : public bgconv::bench::MedianReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-28s %12s %12s %8s\n", "case", "bgconv MB/s", "iconv MB/s", "ratio");
    for (const char* name : {"Big5ToGb/chinese", "GbToBig5/chinese", "Big5ToGb/delphi", "GbToBig5/delphi"}) {
      const double ours = medians_["bgconv/" + std::string(name)];
      const double theirs = medians_["iconv/" + std::string(name)];
      if (ours > 0 && theirs > 0)
        std::printf("%-28s %12.1f %12.1f %7.1fx\n", name, ours / 1e6, theirs / 1e6, ours / theirs);
    }
  }
};

void Register() {
  struct Case {
    const char* name;
    bool gb_source;
    bool chinese;
  };
  const Case cases[] = {{"Big5ToGb/chinese", false, true},
                        {"GbToBig5/chinese", true, true},
                        {"Big5ToGb/delphi", false, false},
                        {"GbToBig5/delphi", true, false}};
  for (const auto& c : cases) {
    benchmark::RegisterBenchmark(("bgconv/" + std::string(c.name)).c_str(), Bgconv, c.gb_source, c.chinese)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("iconv/" + std::string(c.name)).c_str(), GlibcIconv, c.gb_source, c.chinese)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Both engines return a new 50 MB string per call.  Keep such blocks on the
  // heap instead of fresh mappings, so that neither side is timed on the
  // kernel's page faults instead of on converting.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  Register();
  const auto& t = Texts();
  PrintAgreement("Big5 -> GB2312, Chinese-heavy", bgconv::Big5ToGb(t.big5_chinese),
                 Iconv("GB2312", "BIG5").Convert(t.big5_chinese));
  PrintAgreement("GB2312 -> Big5, Chinese-heavy", bgconv::GbToBig5(t.gb_chinese),
                 Iconv("BIG5", "GB2312").Convert(t.gb_chinese));
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
