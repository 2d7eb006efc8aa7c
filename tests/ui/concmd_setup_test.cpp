#include "ui/concmd_setup.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "settings/concmd_ini.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"
#include "ui/modal_answerer.h"
#include "ui/qt_text.h"
#include "ui/widget.h"

namespace bgconv {
namespace {

// 說明 in Big5 and in GB2312.
constexpr char kBig5Readme[] = "\xBB\xA1\xA9\xFA ConCmd\r\n";
constexpr char kGbReadme[] = "\xCB\xB5\xC3\xF7 ConCmd\r\n";

struct Program {
  test_support::TempDir dir;
  SettingsContext context{dir.path().string() + "/", DesignFonts(), '/'};
  std::string settings = dir.File("bgconv.ini");

  // A converter beside the program, with its ConCmd.ini and readmes.
  void InstallConCmd(std::string_view ini) const {
    dir.Write("ConCmd/ConCmd", "#!/bin/sh\n");
    dir.Write("ConCmd/ConCmd.ini", ini);
    dir.Write("ConCmd/readme_big5.txt", kBig5Readme);
    dir.Write("ConCmd/readme_gb.txt", kGbReadme);
  }
};

using test_support::Widget;

QLineEdit& Edit(const QDialog& setup, const char* name) { return Widget<QLineEdit>(setup, name); }
QCheckBox& Box(const QDialog& setup, const char* name) { return Widget<QCheckBox>(setup, name); }
void Click(const QDialog& setup, const char* button) { Widget<QAbstractButton>(setup, button).click(); }

}  // namespace

class ConCmdSetupTest : public QObject {
  Q_OBJECT

 private slots:
  void WithoutConCmdSaysFileNotFoundAndStillSavesPathAndParameter() {
    Program program;
    test_support::ModalAnswerer answerer;
    answerer.ExpectMessageBox();
    QString ignore_masks = "unset";
    answerer.Expect([&](QDialog& dialog) {
      ignore_masks = Edit(dialog, "Edignore").text();
      QCOMPARE(Edit(dialog, "edFilepath").text(), PathToQt(program.context.exe_folder + "ConCmd/ConCmd"));
      Edit(dialog, "edFilepath").setText("/opt/concmd/ConCmd");
      Click(dialog, "BitBtn2");
    });
    std::string path;
    QVERIFY(!ShowConCmdSetup(nullptr, program.settings, program.context, path));
    QCOMPARE(answerer.Texts(), QStringList{"File not Found"});
    QVERIFY(answerer.Unexpected().isEmpty());
    QVERIFY(ignore_masks.isEmpty());
    QCOMPARE(path, std::string("/opt/concmd/ConCmd"));
    const EngineSetup saved = LoadEngineSetup(program.settings, "none");
    QCOMPARE(saved.engine_path, std::string("/opt/concmd/ConCmd"));
    QCOMPARE(saved.parameter, std::string());
  }

  void ShowsConCmdIniAndTheReadmesInTheirCodePages() {
    Program program;
    program.InstallConCmd("[Data]\r\nIgnore=*.exe\r\nFixHtmlCharset=0\r\nHtmlType=*.htm\r\n");
    test_support::ModalAnswerer answerer;
    answerer.Expect([&](QDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QString("ConCmd Setup"));
      QCOMPARE(Edit(dialog, "Edignore").text(), QString("*.exe"));
      QVERIFY(!Box(dialog, "CheckBox2").isChecked());
      QCOMPARE(Edit(dialog, "EdFixCharset").text(), QString("*.htm"));
      QVERIFY(!Edit(dialog, "EdFixCharset").isEnabled());
      auto& readme_big5 = Widget<QPlainTextEdit>(dialog, "Memo1");
      QCOMPARE(readme_big5.toPlainText(), QString::fromUtf8("說明 ConCmd\n"));
      QCOMPARE(Widget<QPlainTextEdit>(dialog, "Memo2").toPlainText(), QString::fromUtf8("说明 ConCmd\n"));
      QCOMPARE(Widget<QTabWidget>(dialog, "PageControl1").currentWidget(), static_cast<QWidget*>(&readme_big5));
      QVERIFY(!Widget<QPushButton>(dialog, "Button3").isVisible());
      Click(dialog, "BitBtn2");
    });
    std::string path;
    QVERIFY(!ShowConCmdSetup(nullptr, program.settings, program.context, path));
    QCOMPARE(answerer.Pending(), std::size_t{0});
    QVERIFY(answerer.Unexpected().isEmpty());
  }

  void OkAndSaveWritesConCmdIniBesideTheChosenConCmd() {
    Program program;
    program.InstallConCmd("[Data]\r\nFixHtmlCharset=1\r\n");
    const std::string elsewhere = program.dir.Write("other/ConCmd", "#!/bin/sh\n");
    test_support::ModalAnswerer answerer;
    answerer.Expect([&](QDialog& dialog) {
      QVERIFY(Box(dialog, "CheckBox2").isChecked());
      Box(dialog, "CheckBox2").setChecked(false);
      Edit(dialog, "Edignore").setText("*.obj");
      Click(dialog, "Button1");  // "default" puts ConCmd's own HTML types back
      Edit(dialog, "edFilepath").setText(PathToQt(elsewhere));
      Click(dialog, "BitBtn1");
    });
    std::string path;
    QVERIFY(ShowConCmdSetup(nullptr, program.settings, program.context, path));
    QCOMPARE(path, elsewhere);
    const ConCmdOptions written = LoadConCmdIni(program.dir.File("other/ConCmd.ini"));
    QCOMPARE(written.ignore_masks, std::string("*.obj"));
    QVERIFY(!written.fix_html_charset);
    QCOMPARE(written.html_types, std::string(kDefaultHtmlTypes));
    TMemIniFile ini(program.dir.File("other/ConCmd.ini"));
    QCOMPARE(ini.ReadText("Data", "Agegbfix", ""), std::string("762576896"));
    QCOMPARE(ini.ReadText("Data", "Ageb5fix", ""), std::string("762576896"));
    // The ConCmd.ini beside the program is not the one written.
    QCOMPARE(program.dir.Read("ConCmd/ConCmd.ini"), std::string("[Data]\r\nFixHtmlCharset=1\r\n"));
    QCOMPARE(LoadEngineSetup(program.settings, "").engine_path, elsewhere);
  }

  void NotVocabularyConvertSetsTheParameterEvenOnCancel() {
    Program program;
    program.InstallConCmd("");
    test_support::ModalAnswerer answerer;
    answerer.Expect([&](QDialog& dialog) {
      QCOMPARE(Edit(dialog, "edPara").text(), QString());
      Click(dialog, "CheckBox1");
      QCOMPARE(Edit(dialog, "edPara").text(), QString("/f:d"));
      Click(dialog, "BitBtn2");
    });
    std::string path;
    QVERIFY(!ShowConCmdSetup(nullptr, program.settings, program.context, path));
    const EngineSetup saved = LoadEngineSetup(program.settings, "");
    QCOMPARE(saved.parameter, std::string("/f:d"));
    QVERIFY(saved.not_vocabulary);
    QVERIFY(!program.dir.Read("ConCmd/ConCmd.ini").size());  // not written on cancel

    // Stored ticked with an empty parameter: the box opens ticked, "/f:d" shown.
    program.dir.Write("bgconv.ini", "[cpEng]\r\nNotVocabulary=1\r\nParameter=\r\n");
    answerer.Expect([&](QDialog& dialog) {
      QVERIFY(Box(dialog, "CheckBox1").isChecked());
      QCOMPARE(Edit(dialog, "edPara").text(), QString("/f:d"));
      Click(dialog, "CheckBox1");
      QCOMPARE(Edit(dialog, "edPara").text(), QString());
      Click(dialog, "BitBtn2");
    });
    QVERIFY(!ShowConCmdSetup(nullptr, program.settings, program.context, path));
    QCOMPARE(LoadEngineSetup(program.settings, "").parameter, std::string());

    // An empty stored path (what an exit without one leaves) shows the
    // converter beside the program.
    program.dir.Write("bgconv.ini", "[cpEng]\r\nFilePath=\r\n");
    answerer.Expect([&](QDialog& dialog) {
      QCOMPARE(Edit(dialog, "edFilepath").text(), PathToQt(program.dir.File("ConCmd/ConCmd")));
      Click(dialog, "BitBtn2");
    });
    QVERIFY(!ShowConCmdSetup(nullptr, program.settings, program.context, path));
    QCOMPARE(answerer.Pending(), std::size_t{0});
  }

  void BrowseTakesAnExistingFile() {
    Program program;
    program.InstallConCmd("");
    const std::string other = program.dir.Write("tools/concmd-1.5", "#!/bin/sh\n");
    test_support::ModalAnswerer answerer;
    QString started_in;
    answerer.Expect([&](QDialog& dialog) {
      Edit(dialog, "edFilepath").setText("/nowhere/ConCmd");
      answerer.Expect([&](QDialog& picker_dialog) {
        auto& picker = dynamic_cast<QFileDialog&>(picker_dialog);
        started_in = picker.directory().absolutePath();
        test_support::ChooseFile(picker, PathToQt(other));
      });
      Click(dialog, "BitBtn7");
      QCOMPARE(Edit(dialog, "edFilepath").text(), PathToQt(other));
      Click(dialog, "BitBtn2");
    });
    std::string path;
    QVERIFY(!ShowConCmdSetup(nullptr, program.settings, program.context, path));
    // The path named no file, so the picker started in ConCmd's folder.
    QCOMPARE(started_in, PathToQt(program.dir.File("ConCmd")));
    QCOMPARE(path, other);
    QVERIFY(answerer.Unexpected().isEmpty());
  }
};

}  // namespace bgconv

QTEST_MAIN(bgconv::ConCmdSetupTest)
#include "concmd_setup_test.moc"
