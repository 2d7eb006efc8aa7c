#include "ui/file_dialogs.h"

#include <QFileDialog>
#include <QTest>
#include <filesystem>

#include "support/temp_dir.h"
#include "ui/modal_answerer.h"
#include "ui/qt_text.h"

namespace bgconv {

class FileDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void ReturnsTheChosenFolderWithASeparator() {
    test_support::TempDir dir;
    std::filesystem::create_directories(dir.path() / "Work" / "Sub");
    const QString start = PathToQt(dir.File("Work"));
    test_support::ModalAnswerer answerer;
    QString started_in;
    QString caption;
    answerer.Expect([&](QDialog& dialog) {
      auto& picker = dynamic_cast<QFileDialog&>(dialog);
      started_in = picker.directory().absolutePath();
      caption = picker.windowTitle();
      picker.setDirectory(PathToQt(dir.File("Work/Sub")));
      static_cast<QDialog&>(picker).accept();
    });
    std::string folder = "old";
    QVERIFY(BrowseForFolder(nullptr, QString::fromUtf8("選擇目錄"), start, folder));
    QCOMPARE(started_in, start);
    QCOMPARE(caption, QString::fromUtf8("選擇目錄"));
    QCOMPARE(folder, dir.File("Work/Sub") + "/");
    QCOMPARE(answerer.Pending(), std::size_t{0});
    QVERIFY(answerer.Unexpected().isEmpty());
  }

  void TheRootKeepsItsOneSeparator() {
    test_support::ModalAnswerer answerer;
    answerer.Expect([](QDialog& dialog) {
      auto& picker = dynamic_cast<QFileDialog&>(dialog);
      picker.setDirectory("/");
      static_cast<QDialog&>(picker).accept();
    });
    std::string folder;
    QVERIFY(BrowseForFolder(nullptr, "x", "/tmp", folder));
    QCOMPARE(folder, std::string("/"));
  }

  void WindowsFiltersBecomeQtNameFilters() {
    QCOMPARE(NameFilters("Delphi  Project (*.dpr)|*.dpr|Delphi Project (*.dpr;.*.dpk)|*.dpr;*.dpk|"
                         "HTML Document File (*.htm;*html)|*.htm;*html|ALL File(*.*)|*.*|Plain|*.txt"),
             QStringList({"Delphi  Project (*.dpr)", "Delphi Project (*.dpr *.dpk)", "HTML Document File (*.htm *html)",
                          "ALL File(*)", "Plain (*.txt)"}));
  }

  void CancelGivesFalseAndAnEmptyFolder() {
    test_support::ModalAnswerer answerer;
    answerer.Expect([](QDialog& dialog) { dialog.reject(); });
    std::string folder = "/kept/";
    QVERIFY(!BrowseForFolder(nullptr, "x", "/tmp", folder));
    QVERIFY(folder.empty());
    QCOMPARE(answerer.Pending(), std::size_t{0});
  }
};

}  // namespace bgconv

QTEST_MAIN(bgconv::FileDialogsTest)
#include "file_dialogs_test.moc"
