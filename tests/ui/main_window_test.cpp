#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/purge.h"
#include "settings/concmd_ini.h"
#include "settings/settings.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "ui/controls.h"
#include "ui/file_row_model.h"
#include "ui/modal_answerer.h"
#include "ui/progress_form.h"
#include "ui/qt_text.h"
#include "ui/widget.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;
using test_support::Widget;

// 中文字體 in Big5; the GB2312 form of the same text is 中文字体.
constexpr std::string_view kBig5Text = "\xA4\xA4\xA4\xE5\xA6\x72\xC5\xE9";
constexpr std::string_view kGbText = "\xD6\xD0\xCE\xC4\xD7\xD6\xCC\xE5";

std::string Fixture(std::string_view name) {
  std::ifstream in(std::string(BGCONV_SOURCE_DIR) + "/tests/form/fixtures/" + std::string(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A program folder with its settings file, and a Delphi project beside it.
struct Program {
  test_support::TempDir dir;
  WindowEnvironment environment{{dir.path().string() + "/", DesignFonts(), '/'}, dir.File("bgconv.ini")};

  std::string Exe(std::string_view name) const { return dir.File(name); }
  std::string Project(std::string_view name) const { return dir.File("proj/" + std::string(name)); }

  // Project1.dpr with .dof and .cfg, Unit1 (a text form) and Unit2 (a binary
  // form).  Returns the project file's path.
  std::string WriteProject() const {
    dir.Write("proj/Project1.dpr",
              "program Project1;\r\n\r\nuses\r\n  Forms,\r\n  Unit1 in 'Unit1.pas' {Form1},\r\n"
              "  Unit2 in 'Unit2.pas' {Form2};\r\n\r\nbegin\r\n  Application.Run;\r\nend.\r\n");
    dir.Write("proj/Project1.dof", "[Directories]\r\n");
    dir.Write("proj/Project1.cfg", "-$A8\r\n");
    dir.Write("proj/Unit1.pas", "unit Unit1;\r\n// " + std::string(kBig5Text) + "\r\n");
    dir.Write("proj/Unit1.dfm", "object Form1: TForm1\r\n  Caption = '" + std::string(kBig5Text) +
                                    "'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\nend\r\n");
    dir.Write("proj/Unit2.pas", "unit Unit2;\r\n");
    dir.Write("proj/Unit2.dfm", Fixture("main_form.dfm"));
    return Project("Project1.dpr");
  }

  // The converter beside the program, as the build made it.
  void InstallConCmd() const {
    fs::create_directories(dir.path() / "ConCmd");
    fs::copy_file(std::string(BGCONV_BIN_DIR) + "/ConCmd/ConCmd", dir.path() / "ConCmd" / "ConCmd");
  }
};

QTreeView& FileList(const TConvertFrm& window) { return Widget<QTreeView>(window, "LVFileList"); }
QListWidget& LogList(const TConvertFrm& window) { return Widget<QListWidget>(window, "DebugListBox"); }
TRadioGroup& Radio(const TConvertFrm& window, const char* name) { return Widget<TRadioGroup>(window, name); }
BytePane& Pane(const TConvertFrm& window, const char* name) { return Widget<BytePane>(window, name); }
QLineEdit& Edit(const TConvertFrm& window, const char* name) { return Widget<QLineEdit>(window, name); }
QAction& Action(const TConvertFrm& window, const char* name) { return Widget<QAction>(window, name); }
bool Checked(const TConvertFrm& window, const char* box) { return Widget<QCheckBox>(window, box).isChecked(); }
void Click(const TConvertFrm& window, const char* button) { Widget<QAbstractButton>(window, button).click(); }

QStringList Column(const TConvertFrm& window, int column) {
  QStringList texts;
  const QAbstractItemModel* model = FileList(window).model();
  for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
  return texts;
}

QStringList LogRows(const TConvertFrm& window) {
  QStringList rows;
  for (int i = 0; i < LogList(window).count(); ++i) rows << LogList(window).item(i)->text();
  return rows;
}

void ClickRow(const TConvertFrm& window, int row) {
  QTreeView& list = FileList(window);
  const QModelIndex index = list.model()->index(row, 0);
  list.scrollTo(index);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
}

int RowOf(const TConvertFrm& window, const QString& caption) {
  return static_cast<int>(Column(window, FileRowModel::kFile).indexOf(caption));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test_support::ModalAnswerer> answerer_;

  std::unique_ptr<TConvertFrm> Open(const Program& program) {
    auto window = std::make_unique<TConvertFrm>(program.environment);
    window->show();
    return window;
  }

 private slots:
  void init() { answerer_ = std::make_unique<test_support::ModalAnswerer>(); }

  void cleanup() {
    QVERIFY2(answerer_->Unexpected().isEmpty(), qPrintable(answerer_->Unexpected().join("; ")));
    QCOMPARE(answerer_->Pending(), std::size_t{0});
    answerer_.reset();
  }

  void AFirstRunStartsAtTheDefaultsAndLeavesItsSettingsAtClose() {
    Program program;
    auto window = Open(program);
    QCOMPARE(window->windowTitle(), QString("bgconv"));
    QCOMPARE(window->size(), QSize(ScaledPixels(525), ScaledPixels(472)));
    QCOMPARE(Radio(*window, "rgCodeType").ItemIndex(), 1);
    QCOMPARE(Radio(*window, "RGConvertEng").ItemIndex(), 0);
    QCOMPARE(Radio(*window, "RadioGroup2").ItemIndex(), 1);
    QCOMPARE(Radio(*window, "RadioGroup3").ItemIndex(), 1);
    QCOMPARE(Radio(*window, "rgChCharset").ItemIndex(), 1);
    QVERIFY(Checked(*window, "CbAddConf"));
    QVERIFY(!Checked(*window, "CheckBox1"));
    QCOMPARE(window->PageName(), QString("Source View"));
    QCOMPARE(Edit(*window, "edBakPath").text(), PathToQt(program.Exe("Backup/")));
    QVERIFY(!Action(*window, "actCloseProj").isEnabled());
    // Direction 1: the source pane reads GB2312, the target pane Big5.
    QCOMPARE(Pane(*window, "RichEdit1").CodePage(), 936);
    QCOMPARE(Pane(*window, "RichEdit2").CodePage(), 950);
    QVERIFY(fs::is_directory(program.Exe("Conver")));
    QVERIFY(fs::is_directory(program.Exe("Backup")));

    program.dir.Write("Conver/Unit1.pas", "left behind");
    window->close();
    QVERIFY(!fs::exists(program.Exe("Conver")));
    Settings expected = DefaultSettings(program.environment.context);
    SetPreviewCharsets(expected.fonts, Direction::kGbToBig);
    QCOMPARE(LoadSettings(program.environment.settings_path, program.environment.context), expected);
  }

  void TheSettingsComeBackIntoTheControlsWithoutTheSetupDialog() {
    Program program;
    const std::string engine = program.dir.Write("tools/ConCmd", "#!/bin/sh\n");
    program.dir.Write("bgconv.ini",
                      "[cpOption]\r\nDefLan=0\r\nAddConfigFile=0\r\nBackUporiginal=1\r\nConvertEngine=1\r\n"
                      "Overwrite=0\r\nBackupMould=0\r\nChagerCharset=0\r\nWorkConvertDir=" +
                          program.Exe("work/") + "\r\n[cpEng]\r\nFilePath=" + engine +
                          "\r\nNotVocabulary=1\r\nParameter=/f:d\r\n");
    auto window = Open(program);
    QCOMPARE(Radio(*window, "rgCodeType").ItemIndex(), 0);
    QVERIFY(!Checked(*window, "CbAddConf"));
    QVERIFY(Checked(*window, "CheckBox1"));
    QCOMPARE(Radio(*window, "RGConvertEng").ItemIndex(), 1);
    QCOMPARE(Radio(*window, "RadioGroup2").ItemIndex(), 0);
    QCOMPARE(Radio(*window, "RadioGroup3").ItemIndex(), 0);
    QCOMPARE(Radio(*window, "rgChCharset").ItemIndex(), 0);
    QCOMPARE(Edit(*window, "edCCEng").text(), PathToQt(engine));
    QCOMPARE(window->EnginePath(), engine);
    QCOMPARE(window->WorkFolder(), program.Exe("work/"));
    QCOMPARE(Pane(*window, "RichEdit1").CodePage(), 950);
    QCOMPARE(Pane(*window, "RichEdit2").CodePage(), 936);
    QVERIFY(fs::exists(program.Exe("work/") + std::string(kWorkFolderMarker)));
    window.reset();
    const Settings saved = LoadSettings(program.environment.settings_path, program.environment.context);
    QVERIFY(saved.convert_engine == Engine::kConCmd);
    QCOMPARE(saved.engine_path, engine);
    QVERIFY(saved.code_direction == Direction::kBigToGb);
  }

  void UnreadableSettingsAreShownAndLeftAlone() {
    Program program;
    fs::create_directories(program.environment.settings_path);  // no file that can be read
    answerer_->ExpectMessageBox();
    auto window = Open(program);
    QCOMPARE(answerer_->Texts().size(), 1);
    QVERIFY(answerer_->Texts().front().startsWith("Cannot open file " + PathToQt(program.environment.settings_path)));
    QVERIFY(answerer_->Texts().front().endsWith('.'));
    QCOMPARE(Radio(*window, "rgCodeType").ItemIndex(), 1);  // the design's values
    QVERIFY(window->isEnabled());
    window->close();  // nothing saved over it, nothing purged: no second message
    QVERIFY(fs::is_directory(program.environment.settings_path));
  }

  void OpenProjectListsTheRowsInProjectOrder() {
    Program program;
    const std::string project = program.WriteProject();
    auto window = Open(program);
    answerer_->Expect([&](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QString("FileOpen1Dialog"));
      test_support::ChooseFile(dialog, PathToQt(project));
    });
    Action(*window, "FileOpen1").trigger();
    QCOMPARE(Column(*window, FileRowModel::kFile), QStringList({"Project1.dpr", "Project1.dof", "Project1.cfg",
                                                                "Unit1.pas", "Unit1.dfm", "Unit2.pas", "Unit2.dfm"}));
    QCOMPARE(Column(*window, FileRowModel::kPath).front(), PathToQt(project));
    QCOMPARE(Column(*window, FileRowModel::kCode), QStringList(7, "TW"));
    QCOMPARE(Column(*window, FileRowModel::kSize)[3], QString::number(fs::file_size(program.Project("Unit1.pas"))));
    QCOMPARE(Widget<QLabel>(*window, "StatusPanel").text(), PathToQt(project));
    QVERIFY(Action(*window, "actCloseProj").isEnabled());
    const QModelIndex first = FileList(*window).model()->index(0, FileRowModel::kFile);
    QVERIFY(!first.data(Qt::DecorationRole).value<QIcon>().isNull());

    // Without "Add Config Files" the list is read anew, without .dof and
    // .cfg, and rows added with Add are gone.
    answerer_->Expect(
        [&](QDialog& dialog) { test_support::ChooseFile(dialog, PathToQt(program.Project("Unit1.pas"))); });
    Click(*window, "BitBtn3");
    QCOMPARE(FileList(*window).model()->rowCount(), 9);
    Click(*window, "CbAddConf");
    QCOMPARE(Column(*window, FileRowModel::kFile),
             QStringList({"Project1.dpr", "Unit1.pas", "Unit1.dfm", "Unit2.pas", "Unit2.dfm"}));

    // Delete takes the selected row only.
    ClickRow(*window, 1);
    Click(*window, "BitBtn4");
    QCOMPARE(Column(*window, FileRowModel::kFile),
             QStringList({"Project1.dpr", "Unit1.dfm", "Unit2.pas", "Unit2.dfm"}));

    // A click on the bottom panel's background closes the project.
    auto& panel = Widget<ClickPanel>(*window, "Panel1");
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(panel.width() / 2, 2));
    QCOMPARE(FileList(*window).model()->rowCount(), 0);
    QVERIFY(Widget<QLabel>(*window, "StatusPanel").text().isEmpty());
    QVERIFY(!Action(*window, "actCloseProj").isEnabled());
    QVERIFY(Pane(*window, "RichEdit1").Text().isEmpty());
  }

  void AProjectThatCannotBeReadStaysOpenAndSaysWhy() {
    Program program;
    auto window = Open(program);
    const std::string missing = program.Project("Gone.dpr");
    program.dir.Write("proj/Other.pas", "");
    answerer_->ExpectMessageBox();
    window->FileOpen1Accept(PathToQt(missing));
    QCOMPARE(answerer_->Texts(), QStringList{"Cannot open file " + PathToQt(missing) + "."});
    QCOMPARE(window->Files().ProjectPath(), missing);
    QCOMPARE(Widget<QLabel>(*window, "StatusPanel").text(), PathToQt(missing));
    QVERIFY(Action(*window, "actCloseProj").isEnabled());
    Action(*window, "actCloseProj").trigger();
    QVERIFY(!Action(*window, "actCloseProj").isEnabled());
    QVERIFY(Widget<QLabel>(*window, "StatusPanel").text().isEmpty());
  }

  void AddAsksBeforeLoadingAWholeProject() {
    Program program;
    const std::string project = program.WriteProject();
    auto window = Open(program);
    answerer_->Expect([&](QDialog& dialog) {
      QCOMPARE(dialog.objectName(), QString("OpenDialog"));
      test_support::ChooseFile(dialog, PathToQt(project));
    });
    answerer_->ExpectMessageBox(QMessageBox::No);
    Click(*window, "BitBtn3");
    QCOMPARE(answerer_->Texts(), QStringList{"Are you load all Project Files ?"});
    QCOMPARE(Column(*window, FileRowModel::kFile), QStringList({"Project1.dpr", "Project1.dof", "Project1.cfg"}));
    QVERIFY(!Action(*window, "actCloseProj").isEnabled());

    // Rows without a project are not converted.
    Click(*window, "BitBtn1");
    QCOMPARE(LogList(*window).count(), 0);
    QCOMPARE(program.dir.Read("proj/Project1.dof"), std::string("[Directories]\r\n"));
  }

  void AClickPreviewsTheFileAndItsConversion() {
    Program program;
    const std::string project = program.WriteProject();
    program.dir.Write("bgconv.ini", "[cpOption]\r\nDefLan=0\r\nChagerCharset=1\r\n");
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(project));

    ClickRow(*window, RowOf(*window, "Unit1.pas"));
    QCOMPARE(Pane(*window, "RichEdit1").Text(), QString::fromUtf8("unit Unit1;\n// 中文字體\n"));
    QCOMPARE(Pane(*window, "RichEdit2").Text(), QString::fromUtf8("unit Unit1;\n// 中文字体\n"));

    // A text form: the charset identifier follows the target code page.
    ClickRow(*window, RowOf(*window, "Unit1.dfm"));
    QVERIFY(Pane(*window, "RichEdit1").Text().contains(QString::fromUtf8("Caption = '中文字體'")));
    QVERIFY(Pane(*window, "RichEdit1").Text().contains("CHINESEBIG5_CHARSET"));
    QVERIFY(Pane(*window, "RichEdit2").Text().contains(QString::fromUtf8("Caption = '中文字体'")));
    QVERIFY(Pane(*window, "RichEdit2").Text().contains("GB2312_CHARSET"));

    // A binary form shows as form text, its captions folded into Big5.
    ClickRow(*window, RowOf(*window, "Unit2.dfm"));
    QCOMPARE(Pane(*window, "RichEdit1").Bytes(), Fixture("main_form.950.txt") + "\r\n");
    QVERIFY(Pane(*window, "RichEdit1").Text().contains(QString::fromUtf8("Caption = '轉換工具 Converter'")));
    QVERIFY(Pane(*window, "RichEdit2").Text().contains(QString::fromUtf8("Caption = '转换工具 Converter'")));
    QCOMPARE(Radio(*window, "rgCodeType").ItemIndex(), 0);
  }

  void AMissingFileSaysFileNotFoundAndEmptiesThePanes() {
    Program program;
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(program.WriteProject()));
    ClickRow(*window, RowOf(*window, "Unit1.pas"));
    QVERIFY(!Pane(*window, "RichEdit1").Text().isEmpty());
    fs::remove(program.Project("Unit1.pas"));
    answerer_->ExpectMessageBox();
    ClickRow(*window, RowOf(*window, "Unit1.pas"));
    QCOMPARE(answerer_->Texts(), QStringList{"File not found"});
    QVERIFY(Pane(*window, "RichEdit1").Text().isEmpty());
    QVERIFY(Pane(*window, "RichEdit2").Text().isEmpty());
    QVERIFY(Pane(*window, "RichEdit1").Bytes().empty());
  }

  void AFileThatCannotBeReadSwitchesTheDirection() {
    Program program;
    const std::string project = program.WriteProject();
    program.dir.Write("proj/Unit2.dfm", "neither a binary nor a text form\r\n");
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(project));
    QCOMPARE(Radio(*window, "rgCodeType").ItemIndex(), 1);
    ClickRow(*window, RowOf(*window, "Unit2.dfm"));
    QCOMPARE(Radio(*window, "rgCodeType").ItemIndex(), 0);
    QCOMPARE(Pane(*window, "RichEdit1").CodePage(), 950);
    QVERIFY(Pane(*window, "RichEdit1").Text().isEmpty());
    QVERIFY(Pane(*window, "RichEdit2").Text().isEmpty());

    // The switch is said in the log and the status bar, and the row, however
    // long, can be read whole: as its tooltip and within the list's extent.
    const QString said = LogRows(*window).back();
    QVERIFY2(said.startsWith(PathToQt("Cannot preview " + program.Project("Unit2.dfm") + ": ")), qPrintable(said));
    QVERIFY(said.endsWith("; Code Type switched to BIG->GB"));
    QCOMPARE(window->statusBar()->currentMessage(), said);
    QListWidgetItem* row = LogList(*window).item(LogList(*window).count() - 1);
    QCOMPARE(row->toolTip(), said);
    Widget<QStackedWidget>(*window, "NB").setCurrentWidget(&LogList(*window));
    const int needed = LogList(*window).fontMetrics().horizontalAdvance(said);
    QVERIFY(LogList(*window).visualItemRect(row).width() >= needed);
    QVERIFY(LogList(*window).horizontalScrollBar()->maximum() > 0);
  }

  void TheWindowAndTheCommandLineShareOneSettingsFile() {
    QCOMPARE(ProgramWindowEnvironment().settings_path, bgconv::SettingsPath());
    QVERIFY(QString::fromStdString(bgconv::SettingsPath()).endsWith("/bgconv.ini"));
    Program program;
    fs::copy_file(std::string(BGCONV_BIN_DIR) + "/bgconv", program.Exe("bgconv"));
    {
      auto window = Open(program);
      Radio(*window, "rgCodeType").Button(0)->click();
    }
    const auto shown = test_support::RunProgramAt(program.Exe("bgconv"), {"settings"});
    QVERIFY2(shown.out.find("\ncpOption.DefLan=0\n") != std::string::npos, shown.out.c_str());
  }

  void AnInstalledStartAndExitLeaveNoMessageAndFollowTheUsersFolders() {
    Program program;
    program.environment.context.work_folder = program.Exe("cache/bgconv/Conver/");
    program.environment.context.backup_folder = program.Exe("data/bgconv/Backup/");
    program.environment.settings_path = program.Exe("config/bgconv/bgconv.ini");
    {
      auto window = Open(program);
      QCOMPARE(Edit(*window, "edBakPath").text(), PathToQt(program.Exe("data/bgconv/Backup/")));
      QVERIFY(IsMarkedWorkFolder(program.Exe("cache/bgconv/Conver/")));
    }
    QVERIFY(fs::exists(program.Exe("config/bgconv/bgconv.ini")));
    QVERIFY(!fs::exists(program.Exe("cache/bgconv/Conver")));
    // A work folder that was never made is not purged, and says nothing.
    program.dir.Write("config/bgconv/bgconv.ini",
                      "[cpOption]\r\nWorkConvertDir=" + program.Exe("file/Conver/") + "\r\n");
    program.dir.Write("file", "");
    { auto window = Open(program); }
  }

  void TheConverterBrowseFindsConCmdWithEnter() {
    Program program;
    program.InstallConCmd();
    auto window = Open(program);
    Edit(*window, "edCCEng").clear();
    QStringList filters;
    answerer_->Expect([&](QDialog& dialog) {
      filters = dynamic_cast<QFileDialog&>(dialog).nameFilters();
      QTest::keyClick(&dialog, Qt::Key_Return);
    });
    Click(*window, "BitBtn7");
    QCOMPARE(filters.front(), QString("ConCmd (ConCmd)"));
    QVERIFY(filters.contains("Exe File(*.exe)"));
    QCOMPARE(Edit(*window, "edCCEng").text(), PathToQt(program.Exe("ConCmd/ConCmd")));
  }

  void TwoDirectionChangesLeaveOneConversionOfTheLeftPane() {
    Program program;
    program.dir.Write("bgconv.ini", "[cpOption]\r\nDefLan=0\r\n");
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(program.WriteProject()));
    ClickRow(*window, RowOf(*window, "Unit1.pas"));
    const std::string left = Pane(*window, "RichEdit1").Bytes();

    Radio(*window, "rgCodeType").Button(1)->click();
    QCOMPARE(Pane(*window, "RichEdit1").Bytes(), left);
    QCOMPARE(Pane(*window, "RichEdit1").CodePage(), 936);  // the same bytes, read as GB2312 now
    QCOMPARE(Pane(*window, "RichEdit2").CodePage(), 950);
    QCOMPARE(Pane(*window, "RichEdit2").Bytes(), ConvertText(left, Direction::kGbToBig));

    Radio(*window, "rgCodeType").Button(0)->click();
    QCOMPARE(Pane(*window, "RichEdit1").Bytes(), left);
    QCOMPARE(Pane(*window, "RichEdit2").Bytes(), "unit Unit1;\r\n// " + std::string(kGbText) + "\r\n");
    QCOMPARE(Pane(*window, "RichEdit1").Text(), QString::fromUtf8("unit Unit1;\n// 中文字體\n"));
    QCOMPARE(Pane(*window, "RichEdit2").Text(), QString::fromUtf8("unit Unit1;\n// 中文字体\n"));
  }

  void AdvancedOptionTogglesItsPageAndNamesThePageLeft() {
    Program program;
    auto window = Open(program);
    Click(*window, "CheckBox2");
    QCOMPARE(window->PageName(), QString("Log View"));
    Click(*window, "BitBtn8");
    QCOMPARE(window->PageName(), QString("Advanced Option"));
    QCOMPARE(Widget<QPushButton>(*window, "BitBtn8").text(), QString("Log View"));
    Click(*window, "BitBtn8");
    QCOMPARE(window->PageName(), QString("Source View"));
    QCOMPARE(Widget<QPushButton>(*window, "BitBtn8").text(), QString("Advanced Option"));
    Click(*window, "CheckBox2");
    QCOMPARE(window->PageName(), QString("Source View"));
    QVERIFY(!Checked(*window, "CheckBox2"));
  }

  void ChoosingConCmdWithoutItOpensTheSetupAndCancelGoesBack() {
    Program program;
    auto window = Open(program);
    Click(*window, "BitBtn8");
    answerer_->ExpectMessageBox();  // "File not Found": no ConCmd beside the program
    answerer_->Expect([](QDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QString("ConCmd Setup"));
      dialog.reject();
    });
    Radio(*window, "RGConvertEng").Button(1)->click();
    QCOMPARE(answerer_->Texts(), QStringList{"File not Found"});
    QCOMPARE(Radio(*window, "RGConvertEng").ItemIndex(), 0);
    QVERIFY(Edit(*window, "edCCEng").text().isEmpty());

    // Accepted, the setup's path becomes the engine path.
    program.InstallConCmd();
    answerer_->Expect([&](QDialog& dialog) {
      Widget<QLineEdit>(dialog, "edFilepath").setText(PathToQt(program.Exe("ConCmd/ConCmd")));
      Widget<QPushButton>(dialog, "BitBtn1").click();
    });
    Radio(*window, "RGConvertEng").Button(1)->click();
    QCOMPARE(Radio(*window, "RGConvertEng").ItemIndex(), 1);
    QCOMPARE(window->EnginePath(), program.Exe("ConCmd/ConCmd"));
    QCOMPARE(Edit(*window, "edCCEng").text(), PathToQt(program.Exe("ConCmd/ConCmd")));

    // With an engine path that names a file, no setup.
    Radio(*window, "RGConvertEng").Button(0)->click();
    Radio(*window, "RGConvertEng").Button(1)->click();
    QCOMPARE(Radio(*window, "RGConvertEng").ItemIndex(), 1);
  }

  void TheFolderButtonsFillTheirFields() {
    Program program;
    auto window = Open(program);
    fs::create_directories(program.dir.path() / "elsewhere");
    answerer_->Expect([&](QDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QString::fromUtf8("選擇目錄"));
      dynamic_cast<QFileDialog&>(dialog).setDirectory(PathToQt(program.Exe("elsewhere")));
      dialog.accept();
    });
    Click(*window, "BitBtn6");
    QCOMPARE(Edit(*window, "edBakPath").text(), PathToQt(program.Exe("elsewhere/")));
    answerer_->Expect([](QDialog& dialog) { dialog.reject(); });
    Click(*window, "BitBtn6");
    QCOMPARE(Edit(*window, "edBakPath").text(), PathToQt(program.Exe("elsewhere/")));

    // "ConCmd Setup" changes the field only, not the engine path.
    program.InstallConCmd();
    answerer_->Expect([](QDialog& dialog) { Widget<QPushButton>(dialog, "BitBtn1").click(); });
    Click(*window, "Button1");
    QCOMPARE(Edit(*window, "edCCEng").text(), PathToQt(program.Exe("ConCmd/ConCmd")));
    QVERIFY(window->EnginePath().empty());
  }

  void ConvertRunsOverTheProjectWithProgressAndLog() {
    Program program;
    const std::string project = program.WriteProject();
    program.dir.Write("bgconv.ini", "[cpOption]\r\nDefLan=0\r\n");
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(project));
    const QStringList paths = Column(*window, FileRowModel::kPath);

    bool disabled_during_run = false;
    bool progress_shown = false;
    QString page_during_run;
    bool closed_during_run = true;
    QTimer::singleShot(0, window.get(), [&] {
      disabled_during_run = !window->isEnabled();
      progress_shown = CurrentProgressForm() != nullptr;
      page_during_run = window->PageName();
      closed_during_run = window->close();  // as the window manager's close button would
    });
    Click(*window, "BitBtn1");

    QVERIFY(disabled_during_run);
    QVERIFY(progress_shown);
    QVERIFY(!closed_during_run);
    QVERIFY(window->isVisible());
    QCOMPARE(page_during_run, QString("Log View"));
    QVERIFY(CurrentProgressForm() == nullptr);
    QVERIFY(window->isEnabled());
    QCOMPARE(window->PageName(), QString("Source View"));
    QStringList expected{"Begin Convert Code"};
    for (const QString& path : paths) expected << "Convert  " + path;
    expected << "End Convert Code";
    QCOMPARE(LogRows(*window), expected);
    QCOMPARE(LogList(*window).currentRow(), LogList(*window).count() - 1);
    QCOMPARE(program.dir.Read("proj/Unit1.pas"), "unit Unit1;\r\n// " + std::string(kGbText) + "\r\n");
    QVERIFY(program.dir.Read("proj/Unit1.dfm").find("GB2312_CHARSET") != std::string::npos);

    // A second run leaves the converted files as they are; its log names
    // each and its last message box counts them.
    const std::string unit = program.dir.Read("proj/Unit1.pas");
    answerer_->ExpectMessageBox();
    Click(*window, "BitBtn1");
    QCOMPARE(program.dir.Read("proj/Unit1.pas"), unit);
    QVERIFY(LogRows(*window).contains(PathToQt("Skip  " + program.Project("Unit1.pas") + ": already GB2312")));
    QCOMPARE(answerer_->Texts().size(), 1);
    QVERIFY2(answerer_->Texts().front().endsWith(" as they were (see the log)"),
             qPrintable(answerer_->Texts().front()));
  }

  void AFailedRunIsShownAndTheWindowStaysUsable() {
    Program program;
    const std::string project = program.WriteProject();
    program.dir.Write("proj/Unit2.dfm", "neither a binary nor a text form\r\n");
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(project));
    answerer_->ExpectMessageBox();
    Click(*window, "BitBtn1");
    QCOMPARE(answerer_->Texts().size(), 1);
    QVERIFY(answerer_->Texts().front().contains(PathToQt(program.Project("Unit2.dfm"))));
    QVERIFY(answerer_->Texts().front().endsWith('.'));
    QCOMPARE(LogRows(*window).back(), QString("End Convert Code"));
    QVERIFY(CurrentProgressForm() == nullptr);
    QVERIFY(window->isEnabled());
  }

  void HelpRunsConCmdOverTheWorkFolderAndCopiesBack() {
    Program program;
    program.InstallConCmd();
    const std::string project = program.WriteProject();
    program.dir.Write("bgconv.ini", "[cpOption]\r\nDefLan=0\r\n");
    auto window = Open(program);
    window->FileOpen1Accept(PathToQt(project));
    program.dir.Write("Conver/Unit1.pas", "unit Unit1;\r\n// " + std::string(kBig5Text) + "\r\n");
    Click(*window, "BitBtn5");
    QVERIFY(!fs::exists(program.Exe("Conver/Unit1.pas")));
    QCOMPARE(program.dir.Read("proj/Unit1.pas"), "unit Unit1;\r\n// " + std::string(kGbText) + "\r\n");
    const QStringList log = LogRows(*window);
    QVERIFY(!log.isEmpty());
    QVERIFY(log.size() >= 2);
    QVERIFY2(log[log.size() - 2].contains("/o:gbk") && log[log.size() - 2].endsWith(" returned 0"),
             qPrintable(log.join('\n')));
    QCOMPARE(log.back(),
             PathToQt("Copy back " + program.Exe("Conver/Unit1.pas") + " -> " + program.Project("Unit1.pas")));
    QCOMPARE(LogList(*window).currentRow(), LogList(*window).count() - 1);

    // Without a converter the failure is shown, nothing is copied back.
    fs::remove_all(program.dir.path() / "ConCmd");
    program.dir.Write("Conver/Unit2.pas", "unchanged");
    answerer_->ExpectMessageBox();
    Click(*window, "BitBtn5");
    QCOMPARE(answerer_->Texts().size(), 1);
    QCOMPARE(program.dir.Read("Conver/Unit2.pas"), std::string("unchanged"));
  }
};

}  // namespace bgconv

QTEST_MAIN(bgconv::MainWindowTest)
#include "main_window_test.moc"
