#include "ui/controls.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <set>

namespace bgconv {

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void APaneSplitsLinesAtEveryKindOfBreak() {
    BytePane pane;
    pane.SetBytes("one\r\ntwo\rthree\nfour\r\n", 950);
    QCOMPARE(pane.LineCount(), 5);
    QCOMPARE(pane.Text(), QString("one\ntwo\nthree\nfour\n"));
    QCOMPARE(pane.Line(2), QString("three"));
    pane.SetBytes("", 950);
    QCOMPARE(pane.LineCount(), 0);
    QCOMPARE(pane.Text(), QString());
  }

  void APaneShowsItsBytesInItsCodePage() {
    BytePane pane;
    const std::string bytes = "\xC5\xE9";  // 體 in Big5; in GB2312 the same bytes are 砰
    pane.SetBytes(bytes, 950);
    QCOMPARE(pane.Text(), QString::fromUtf8("體"));
    pane.SetCodePage(936);
    QCOMPARE(pane.Text(), QString::fromUtf8("砰"));
    QCOMPARE(pane.Bytes(), bytes);
    pane.ClearBytes();
    QVERIFY(pane.Bytes().empty());
    QCOMPARE(pane.CodePage(), 936);
  }

  void APaneScrollsOverManyLines() {
    BytePane pane;
    pane.resize(200, 100);
    pane.show();
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "line " + std::to_string(i) + "\r\n";
    pane.SetBytes(text, 950);
    QVERIFY(pane.verticalScrollBar()->maximum() > 99000);
    QTest::keyClick(&pane, Qt::Key_PageDown);
    QVERIFY(pane.TopLine() > 0);
    QTest::keyClick(&pane, Qt::Key_End);
    QCOMPARE(pane.TopLine(), pane.verticalScrollBar()->maximum());
    QCOMPARE(pane.Line(pane.LineCount() - 2), QString("line 99999"));
    pane.SetBytes("short\r\n", 950);
    QCOMPARE(pane.TopLine(), 0);
    QCOMPARE(pane.verticalScrollBar()->maximum(), 0);
  }

  void ARadioGroupClicksOnlyWhenItsIndexChanges() {
    TRadioGroup group("Co&de Type", {"BIG->GB", "GB->BIG "});
    QSignalSpy clicks(&group, &TRadioGroup::Click);
    QCOMPARE(group.ItemIndex(), -1);
    group.SetItemIndex(1, false);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(group.Button(1)->isChecked());
    group.Button(1)->click();  // already chosen
    QCOMPARE(clicks.count(), 0);
    group.Button(0)->click();
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(group.ItemIndex(), 0);
    group.SetItemIndex(1);
    QCOMPARE(clicks.count(), 2);
    group.SetItemIndex(7);  // outside the items: none chosen
    QCOMPARE(group.ItemIndex(), -1);
    QVERIFY(!group.Button(0)->isChecked() && !group.Button(1)->isChecked());
  }

  void APanelReportsClicksOnItsBackgroundOnly() {
    ClickPanel panel;
    auto* layout = new QVBoxLayout(&panel);
    auto* button = new QPushButton("&Help", &panel);
    layout->addWidget(button);
    layout->setContentsMargins(20, 20, 20, 20);
    panel.resize(200, 100);
    panel.show();
    QSignalSpy clicks(&panel, &ClickPanel::Clicked);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 0);
    QTest::mouseClick(&panel, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.count(), 1);
  }

  void EveryFileTypeHasAPictureOfItsOwn() {
    std::set<QByteArray> pictures;
    for (int i = 0; i < kFileTypeIconCount; ++i) {
      const QImage image = FileTypeIcon(i).pixmap(16, 16).toImage();
      QCOMPARE(image.size(), QSize(16, 16));
      pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    QCOMPARE(pictures.size(), std::size_t{kFileTypeIconCount});
    QCOMPARE(FileTypeIcon(42).pixmap(16, 16).toImage(), FileTypeIcon(0).pixmap(16, 16).toImage());
  }
};

}  // namespace bgconv

QTEST_MAIN(bgconv::ControlsTest)
#include "controls_test.moc"
