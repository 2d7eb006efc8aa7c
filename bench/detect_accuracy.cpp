// How often uchardet, ICU's charset detector and bgconv's text classifier
// name the right code page, on lines of real Chinese text that hold 1 to 16
// hanzi and on Delphi units with hanzi in their comments and strings.  The
// text is the zh_TW and zh_CN message catalogs of the installed packages;
// the classifier's character counts come from other text (the manual pages
// of manpages-zh).  Each text is measured as written (zh_TW in Big5, zh_CN
// in GB2312), as the built-in engine converts it (zh_TW in GB2312, zh_CN in
// Big5), in GBK (the mainland's lines that need it, and zh_TW text saved in
// code page 936) and in UTF-8.  Prints Markdown tables.
//
//   build/bin/detect_accuracy [UNITS [bgconv]]   (UNITS per cell, 3000 by
//                                               default; bgconv alone)

#include <uchardet/uchardet.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "codec/converter.h"
#include "codec/text_class.h"
#include "detect_corpus.h"

namespace {

using bgconv::bench::Snippet;
using bgconv::bench::SnippetSource;

// What a sample is, and so which answers are right.
enum class Kind { kBig5, kGb2312, kGbk, kUtf8, kBig5WithUtf8, kGbWithUtf8, kMixed };

struct Detector {
  std::string name;
  std::function<std::string(const std::string&)> detect;
  std::map<Kind, std::set<std::string>> right;  // a kind missing: not measured
};

Detector Bgconv() {
  return {
      "bgconv",
      [](const std::string& text) { return std::string(bgconv::TextClassName(bgconv::ClassifyText(text).text_class)); },
      {{Kind::kBig5, {"Big5"}},
       {Kind::kGb2312, {"GB2312"}},
       {Kind::kGbk, {"GBK"}},
       {Kind::kUtf8, {"UTF-8"}},
       {Kind::kBig5WithUtf8, {"Big5"}},
       {Kind::kGbWithUtf8, {"GB2312"}},
       {Kind::kMixed, {"mixed"}}}};
}

Detector Uchardet() {
  auto handle = std::shared_ptr<std::remove_pointer_t<uchardet_t>>(uchardet_new(), uchardet_delete);
  return {"uchardet",
          [handle](const std::string& text) {
            uchardet_reset(handle.get());
            uchardet_handle_data(handle.get(), text.data(), text.size());
            uchardet_data_end(handle.get());
            return std::string(uchardet_get_charset(handle.get()));
          },
          {{Kind::kBig5, {"BIG5"}},
           {Kind::kGb2312, {"GB18030", "GB2312", "GBK"}},
           {Kind::kGbk, {"GB18030", "GBK"}},
           {Kind::kUtf8, {"UTF-8"}}}};
}

Detector Icu() {
  UErrorCode status = U_ZERO_ERROR;
  auto handle = std::shared_ptr<UCharsetDetector>(ucsdet_open(&status), ucsdet_close);
  return {"ICU ucsdet",
          [handle](const std::string& text) {
            UErrorCode error = U_ZERO_ERROR;
            ucsdet_setText(handle.get(), text.data(), static_cast<std::int32_t>(text.size()), &error);
            const UCharsetMatch* match = ucsdet_detect(handle.get(), &error);
            if (U_FAILURE(error) || match == nullptr) return std::string("none");
            return std::string(ucsdet_getName(match, &error));
          },
          {{Kind::kBig5, {"Big5"}}, {Kind::kGb2312, {"GB18030"}}, {Kind::kGbk, {"GB18030"}}, {Kind::kUtf8, {"UTF-8"}}}};
}

struct Column {
  std::string name;
  Kind kind;
};

const std::vector<Column> kColumns = {
    {"Big5", Kind::kBig5},
    {"GB2312", Kind::kGb2312},
    {"Big5 from GB2312", Kind::kBig5},
    {"GB2312 from Big5", Kind::kGb2312},
    {"GBK", Kind::kGbk},
    {"UTF-8", Kind::kUtf8},
    {"Big5 + UTF-8 lines", Kind::kBig5WithUtf8},
    {"GB2312 + UTF-8 lines", Kind::kGbWithUtf8},
    {"Big5 + GB2312 lines", Kind::kMixed},
};

// Samples per column (by column name) of one table row.
using Row = std::map<std::string, std::vector<std::string>>;

using Encoder = std::function<std::optional<std::string>(const std::string&)>;

std::optional<std::string> AsBig5(const std::string& utf8) { return bgconv::bench::Encode(utf8, "windows-950-2000"); }

std::optional<std::string> AsGb2312(const std::string& utf8) {
  auto text = bgconv::bench::Encode(utf8, "windows-936-2000");
  if (text && !bgconv::bench::IsGb2312(*text)) return std::nullopt;
  return text;
}

std::optional<std::string> AsGbkOnly(const std::string& utf8) {
  auto text = bgconv::bench::Encode(utf8, "windows-936-2000");
  if (text && bgconv::bench::IsGb2312(*text)) return std::nullopt;
  return text;
}

std::optional<std::string> AsBig5FromGb(const std::string& utf8) {
  auto text = AsGb2312(utf8);
  if (text) text = bgconv::GbToBig5(*text);
  return text;
}

std::optional<std::string> AsGbFromBig5(const std::string& utf8) {
  auto text = AsBig5(utf8);
  if (text) text = bgconv::Big5ToGb(*text);
  return text;
}

std::optional<std::string> AsUtf8(const std::string& utf8) { return utf8; }

struct Corpus {
  std::vector<std::string> taiwan = bgconv::bench::CatalogLines("zh_TW");
  std::vector<std::string> mainland = bgconv::bench::CatalogLines("zh_CN");
};

// The lines that `encode` takes; none that a conversion left without a
// Chinese character (every one of them without counterpart).
void AddLines(std::vector<std::string>& samples, const std::vector<std::string>& lines, const Encoder& encode) {
  const auto is_high = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
  for (const auto& line : lines) {
    auto text = encode(line);
    if (text && std::any_of(text->begin(), text->end(), is_high)) samples.push_back(std::move(*text));
  }
}

Row LineRow(const Corpus& corpus, std::size_t hanzi) {
  const auto taiwan = bgconv::bench::LinesWithHanzi(corpus.taiwan, hanzi);
  const auto mainland = bgconv::bench::LinesWithHanzi(corpus.mainland, hanzi);
  Row row;
  AddLines(row["Big5"], taiwan, AsBig5);
  AddLines(row["GB2312"], mainland, AsGb2312);
  AddLines(row["Big5 from GB2312"], mainland, AsBig5FromGb);
  AddLines(row["GB2312 from Big5"], taiwan, AsGbFromBig5);
  AddLines(row["GBK"], mainland, AsGbkOnly);
  AddLines(row["GBK"], taiwan, AsGbkOnly);
  AddLines(row["UTF-8"], taiwan, AsUtf8);
  AddLines(row["UTF-8"], mainland, AsUtf8);
  return row;
}

// Snippets from the lines that hold a hanzi, in turn, round and round.
SnippetSource Snippets(const std::vector<std::string>& lines, Encoder encode) {
  auto next = std::make_shared<std::size_t>(0);
  return [&lines, encode, next](std::size_t at_most) {
    for (std::size_t tries = 0; tries <= 2 * lines.size(); ++tries) {
      const std::string& line = lines[(*next)++ % lines.size()];
      const std::string cut = bgconv::bench::CutAfterHanzi(line, at_most);
      const std::size_t hanzi = bgconv::bench::CountHanzi(cut);
      if (hanzi == 0) continue;
      if (auto text = encode(cut)) return Snippet{std::move(*text), hanzi};
    }
    throw std::runtime_error("no catalog line fits");
  };
}

// Within each unit of `hanzi` hanzi, snippets from `main` and `other` in
// turn, `main` first, none of more than half the hanzi: so both have a part.
SnippetSource Interleaved(SnippetSource main, SnippetSource other, std::size_t hanzi) {
  auto count = std::make_shared<int>(0);
  return [=](std::size_t at_most) {
    if (at_most == hanzi) *count = 0;  // a new unit
    at_most = std::min(at_most, std::max<std::size_t>(1, hanzi / 2));
    return (*count)++ % 2 == 0 ? main(at_most) : other(at_most);
  };
}

// The first half of a unit's hanzi from `first`, the rest from `second`.
SnippetSource Halves(SnippetSource first, SnippetSource second, std::size_t hanzi) {
  auto placed = std::make_shared<std::size_t>(0);
  return [=](std::size_t at_most) {
    if (at_most == hanzi) *placed = 0;  // a new unit
    const bool early = *placed < hanzi / 2;
    Snippet snippet = early ? first(std::min(at_most, hanzi / 2 - *placed)) : second(at_most);
    *placed += snippet.hanzi;
    return snippet;
  };
}

Row UnitRow(const Corpus& corpus, std::size_t hanzi, int units) {
  const auto& tw = corpus.taiwan;
  const auto& cn = corpus.mainland;
  const std::vector<std::pair<std::string, SnippetSource>> sources = {
      {"Big5", Snippets(tw, AsBig5)},
      {"GB2312", Snippets(cn, AsGb2312)},
      {"Big5 from GB2312", Snippets(cn, AsBig5FromGb)},
      {"GB2312 from Big5", Snippets(tw, AsGbFromBig5)},
      {"GBK", Interleaved(Snippets(cn, AsGb2312), Snippets(tw, AsGbkOnly), hanzi)},
      {"UTF-8", Snippets(tw, AsUtf8)},
      {"Big5 + UTF-8 lines", Interleaved(Snippets(tw, AsBig5), Snippets(tw, AsUtf8), hanzi)},
      {"GB2312 + UTF-8 lines", Interleaved(Snippets(cn, AsGb2312), Snippets(cn, AsUtf8), hanzi)},
      {"Big5 + GB2312 lines", Halves(Snippets(tw, AsBig5), Snippets(cn, AsGb2312), hanzi)},
  };
  Row row;
  for (const auto& [column, source] : sources) {
    for (int i = 0; i < units; ++i) row[column].push_back(bgconv::bench::MakeUnit(source, hanzi, i + 1));
  }
  return row;
}

void PrintHeader() {
  std::printf("| detector | samples |");
  for (const auto& column : kColumns) std::printf(" %s |", column.name.c_str());
  std::printf("\n|---|---|");
  for (std::size_t i = 0; i < kColumns.size(); ++i) std::printf("---:|");
  std::printf("\n");
}

// Wrong answers by cell ("row / column") and answer.
using Mistakes = std::map<std::string, std::map<std::string, std::size_t>>;

void PrintRow(const Detector& detector, const std::string& label, const Row& row, Mistakes& mistakes) {
  std::printf("| %s | %s |", detector.name.c_str(), label.c_str());
  for (const auto& column : kColumns) {
    const auto samples = row.find(column.name);
    const auto right = detector.right.find(column.kind);
    if (samples == row.end() || samples->second.empty() || right == detector.right.end()) {
      std::printf(" – |");
      continue;
    }
    std::size_t correct = 0;
    for (const auto& text : samples->second) {
      const std::string answer = detector.detect(text);
      if (right->second.count(answer)) {
        ++correct;
      } else {
        ++mistakes[label + " / " + column.name][answer];
      }
    }
    std::printf(" %.2f |", 100.0 * static_cast<double>(correct) / static_cast<double>(samples->second.size()));
  }
  std::printf("\n");
}

void PrintMistakes(const std::string& detector, const Mistakes& mistakes) {
  std::printf("\n%s's wrong answers:\n\n", detector.c_str());
  for (const auto& [cell, answers] : mistakes) {
    std::printf("- %s:", cell.c_str());
    for (const auto& [answer, count] : answers) std::printf(" %s %zu", answer.c_str(), count);
    std::printf("\n");
  }
}

void PrintCounts(const std::vector<std::pair<std::string, Row>>& rows) {
  std::printf("\nSamples per cell:\n\n| samples |");
  for (const auto& column : kColumns) std::printf(" %s |", column.name.c_str());
  std::printf("\n|---|");
  for (std::size_t i = 0; i < kColumns.size(); ++i) std::printf("---:|");
  std::printf("\n");
  for (const auto& [label, row] : rows) {
    std::printf("| %s |", label.c_str());
    for (const auto& column : kColumns) {
      const auto samples = row.find(column.name);
      std::printf(" %zu |", samples == row.end() ? std::size_t{0} : samples->second.size());
    }
    std::printf("\n");
  }
}

// How often the classifier is sure (confidence at least 0.99) of the Big5 and
// GB2312 samples, and how often it is right when it is.
void PrintConfidence(const std::vector<std::pair<std::string, Row>>& rows) {
  std::printf("\nbgconv at confidence >= 0.99 (Big5 and GB2312 columns, native and converted):\n\n");
  std::printf("| samples | share of samples | right among them |\n|---|---:|---:|\n");
  for (const auto& [label, row] : rows) {
    std::size_t total = 0, sure = 0, right = 0;
    for (const auto& column : kColumns) {
      if (column.kind != Kind::kBig5 && column.kind != Kind::kGb2312) continue;
      const auto expected = column.kind == Kind::kBig5 ? bgconv::TextClass::kBig5 : bgconv::TextClass::kGb2312;
      for (const auto& text : row.at(column.name)) {
        const auto result = bgconv::ClassifyText(text);
        ++total;
        if (result.confidence < 0.99) continue;
        ++sure;
        right += result.text_class == expected ? 1 : 0;
      }
    }
    const auto percent = [](auto part, auto whole) {
      return 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    };
    std::printf("| %s | %.2f | %.3f |\n", label.c_str(), percent(sure, total), sure ? percent(right, sure) : 100.0);
  }
}

// UTF-8 lines that the run keeps among code-page lines, and code-page lines
// it would keep by mistake.
void PrintForeignLines(const std::vector<std::pair<std::string, Row>>& rows) {
  std::printf("\nLines taken for UTF-8 among code-page text (bgconv::IsForeignUtf8Line):\n\n");
  std::printf(
      "| samples | UTF-8 line in Big5 text | UTF-8 line in GB2312 text | Big5 line (wrong) |"
      " GB2312 line (wrong) |\n|---|---:|---:|---:|---:|\n");
  const auto share = [](const std::vector<std::string>& lines, bgconv::TextClass code_page) {
    std::size_t kept = 0;
    for (const auto& line : lines) kept += bgconv::IsForeignUtf8Line(line, code_page) ? 1u : 0u;
    return 100.0 * static_cast<double>(kept) / static_cast<double>(lines.size());
  };
  for (const auto& [label, row] : rows) {
    if (label.find("line") == std::string::npos) continue;
    std::printf("| %s | %.2f | %.2f | %.3f | %.3f |\n", label.c_str(), share(row.at("UTF-8"), bgconv::TextClass::kBig5),
                share(row.at("UTF-8"), bgconv::TextClass::kGb2312), share(row.at("Big5"), bgconv::TextClass::kBig5),
                share(row.at("GB2312"), bgconv::TextClass::kGb2312));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int units = argc > 1 ? std::stoi(argv[1]) : 3000;
  const Corpus corpus;
  std::printf("Catalog lines: %zu zh_TW, %zu zh_CN.\n\n", corpus.taiwan.size(), corpus.mainland.size());
  std::vector<std::pair<std::string, Row>> rows;
  for (std::size_t hanzi : {1u, 2u, 4u, 8u, 16u})
    rows.emplace_back("line, " + std::to_string(hanzi) + " hanzi", LineRow(corpus, hanzi));
  for (std::size_t hanzi : {2u, 8u, 32u, 128u})
    rows.emplace_back("unit, " + std::to_string(hanzi) + " hanzi", UnitRow(corpus, hanzi, units));
  PrintHeader();
  Mistakes mistakes;
  std::vector<Detector> detectors = {Uchardet(), Icu(), Bgconv()};
  if (argc > 2 && std::string(argv[2]) == "bgconv") detectors.erase(detectors.begin(), detectors.end() - 1);
  for (const Detector& detector : detectors) {
    mistakes.clear();
    for (const auto& [label, row] : rows) PrintRow(detector, label, row, mistakes);
  }
  PrintMistakes("bgconv", mistakes);
  PrintCounts(rows);
  PrintConfidence(rows);
  PrintForeignLines(rows);
  return 0;
}
