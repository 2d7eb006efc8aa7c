// The window at scale, on Qt's offscreen platform: the preview of a 10 MB
// Big5 unit (read, convert, show both panes) and the opening of a project
// of 5,000 units with 5,000 forms (scan, list, size the columns).  Each is
// timed up to the first paint that follows, over several runs.
//
//   window_bench [--runs N] [--units N] [--megabytes N]
//
// Prints the median and the slowest run of each.  Runs on demand.

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "ui/controls.h"
#include "ui/main_window.h"
#include "ui/widget.h"

namespace {

namespace fs = std::filesystem;

// Delphi source with Big5 comments and strings, about a third of the bytes
// in double-byte characters.
std::string Big5Source(std::size_t bytes, std::mt19937& random) {
  static const char* const kWords[] = {"\xA4\xA4\xA4\xE5", "\xC5\xE9",         "\xC2\xE0\xB4\xAB",
                                       "\xB5\xF8\xB5\xA1", "\xC0\xC9\xAE\xD7", "\xB0\xF5\xA6\xE6"};
  std::string text = "unit Big;\r\n\r\ninterface\r\n\r\nimplementation\r\n\r\n";
  std::uniform_int_distribution<int> word(0, 5);
  while (text.size() < bytes) {
    text += "  ShowMessage('";
    for (int i = 0; i < 6; ++i) text += kWords[word(random)];
    text += "'); // ";
    for (int i = 0; i < 4; ++i) text += kWords[word(random)];
    text += " value := value + 1;\r\n";
  }
  return text + "end.\r\n";
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Times {
  std::vector<double> ms;
  void Print(const char* what) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s median %8.1f ms   slowest %8.1f ms   (%zu runs)\n", what, ms[ms.size() / 2], ms.back(),
                ms.size());
  }
};

double Elapsed(QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  int runs = 7;
  int units = 5000;
  int megabytes = 10;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (option == "--runs") runs = value;
    if (option == "--units") units = value;
    if (option == "--megabytes") megabytes = value;
  }

  const fs::path root = fs::temp_directory_path() / ("bgconv-window-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "program");
  fs::create_directories(root / "big");
  fs::create_directories(root / "project");
  std::mt19937 random(7);
  WriteFile(root / "big" / "Big.pas", Big5Source(static_cast<std::size_t>(megabytes) << 20, random));
  WriteFile(root / "big" / "Big.dpr", "program Big;\r\nuses\r\n  Big in 'Big.pas';\r\nbegin\r\nend.\r\n");
  std::string dpr = "program Large;\r\n\r\nuses\r\n  Forms";
  for (int unit = 1; unit <= units; ++unit) {
    const std::string name = "Unit" + std::to_string(unit);
    dpr += ",\r\n  " + name + " in '" + name + ".pas' {Form" + std::to_string(unit) + "}";
    WriteFile(root / "project" / (name + ".pas"), "unit " + name + ";\r\n");
    WriteFile(root / "project" / (name + ".dfm"), "object Form" + std::to_string(unit) + ": TForm\r\nend\r\n");
  }
  WriteFile(root / "project" / "Large.dpr", dpr + ";\r\n\r\nbegin\r\nend.\r\n");

  const std::string program = (root / "program").string() + "/";
  bgconv::WindowEnvironment environment{{program, bgconv::DesignFonts(), '/'}, program + "bgconv.ini"};
  WriteFile(environment.settings_path, "[cpOption]\r\nDefLan=0\r\n");
  {
    bgconv::TConvertFrm window(environment);
    window.show();
    QApplication::processEvents();

    Times preview;
    window.FileOpen1Accept(QString::fromStdString((root / "big" / "Big.dpr").string()));
    auto& list = bgconv::test_support::Widget<QTreeView>(window, "LVFileList");
    const QModelIndex big = list.model()->index(1, 0);
    for (int run = 0; run < runs; ++run) {
      list.selectionModel()->select(big, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      QElapsedTimer timer;
      timer.start();
      emit list.clicked(big);  // as a click on the row
      window.repaint();
      preview.ms.push_back(Elapsed(timer));
    }
    const auto& converted = bgconv::test_support::Widget<bgconv::BytePane>(window, "RichEdit2");
    if (converted.Bytes().size() < (static_cast<std::size_t>(megabytes) << 20)) std::printf("preview incomplete\n");
    preview.Print(("preview of a " + std::to_string(megabytes) + " MB unit").c_str());

    Times open;
    const QString large = QString::fromStdString((root / "project" / "Large.dpr").string());
    for (int run = 0; run < runs; ++run) {
      QElapsedTimer timer;
      timer.start();
      window.FileOpen1Accept(large);
      window.repaint();
      open.ms.push_back(Elapsed(timer));
    }
    std::printf("rows listed: %d\n", list.model()->rowCount());
    open.Print(("opening a " + std::to_string(units) + "-unit project").c_str());
    window.close();
  }
  fs::remove_all(root);
  return 0;
}
