#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

#include "ui/progress_form.h"

namespace bgconv {
namespace {

// Records, across windows, the order in which they become disabled and
// enabled.
class EnableRecorder : public QObject {
 public:
  std::vector<QString> disabled;
  std::vector<QString> enabled;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange)
      (static_cast<QWidget*>(watched)->isEnabled() ? enabled : disabled).push_back(watched->objectName());
    return false;
  }
};

std::unique_ptr<QWidget> Window(const QString& name, bool shown = true) {
  auto window = std::make_unique<QWidget>();
  window->setObjectName(name);
  if (shown) window->show();
  return window;
}

}  // namespace

class ProgressFormTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { HideProgress(); }

  void ShowsTitleAndPercentInTheStatusLine() {
    ShowProgress("Convert Code Page");
    TProgressForm* form = CurrentProgressForm();
    QVERIFY(form != nullptr);
    QVERIFY(form->isVisible());
    QVERIFY(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form->lblTitle->text(), QString("Convert Code Page"));
    QCOMPARE(form->Label1->text(), QString::fromUtf8("請稍候..."));
    QCOMPARE(form->ProgressBar->value(), 0);

    UpdateProgress(42);
    QCOMPARE(form->ProgressBar->value(), 42);
    QCOMPARE(form->Label1->text(), QString("W.....   42%"));

    // Outside 0..100 the bar stops at its end, the text shows the number.
    UpdateProgress(150);
    QCOMPARE(form->ProgressBar->value(), 100);
    QCOMPARE(form->Label1->text(), QString("W.....   150%"));
    UpdateProgress(-7);
    QCOMPARE(form->ProgressBar->value(), 0);
    QCOMPARE(form->Label1->text(), QString("W.....   -7%"));

    UpdateProgressTitle("Unit1.pas");
    QCOMPARE(form->lblTitle->text(), QString("Unit1.pas"));
    QVERIFY(form->isEnabled());

    QPointer<TProgressForm> gone(form);
    HideProgress();
    QVERIFY(gone.isNull());
    QVERIFY(CurrentProgressForm() == nullptr);
  }

  void WithoutAWindowTheCallsDoNothing() {
    auto main = Window("main");
    UpdateProgress(30);
    UpdateProgressTitle("x");
    HideProgress();
    QVERIFY(CurrentProgressForm() == nullptr);
    QVERIFY(main->isEnabled());
  }

  void DisablesTheOtherWindowsAndEnablesThemInReverse() {
    auto main = Window("main");
    auto second = Window("second");
    auto hidden = Window("hidden", false);  // a form not shown is a window all the same
    auto disabled = Window("disabled");
    disabled->setEnabled(false);
    EnableRecorder recorder;
    for (QWidget* window : {main.get(), second.get(), hidden.get(), disabled.get()})
      window->installEventFilter(&recorder);

    ShowProgress("Convert Code Page", main.get());
    QVERIFY(!main->isEnabled());
    QVERIFY(!second->isEnabled());
    QVERIFY(!hidden->isEnabled());
    QVERIFY(CurrentProgressForm()->isEnabled());

    // A window made while the progress window shows is left alone.
    auto later = Window("later");
    QVERIFY(later->isEnabled());

    HideProgress();
    QVERIFY(main->isEnabled());
    QVERIFY(second->isEnabled());
    QVERIFY(hidden->isEnabled());
    QVERIFY(!disabled->isEnabled());
    QVERIFY(later->isEnabled());
    QCOMPARE(recorder.disabled.size(), std::size_t{3});
    std::vector<QString> mirror(recorder.disabled.rbegin(), recorder.disabled.rend());
    QCOMPARE(recorder.enabled, mirror);
  }

  void AWindowThatWentMeanwhileIsSkipped() {
    auto main = Window("main");
    auto dialog = Window("dialog");
    ShowProgress("Convert Code Page", main.get());
    dialog.reset();
    UpdateProgress(50);
    HideProgress();
    QVERIFY(main->isEnabled());
    QVERIFY(CurrentProgressForm() == nullptr);
  }

  void ASecondShowKeepsTheWindowsOfTheFirst() {
    auto main = Window("main");
    ShowProgress("first", main.get());
    TProgressForm* form = CurrentProgressForm();
    auto later = Window("later");
    ShowProgress("second", main.get());
    QCOMPARE(CurrentProgressForm(), form);
    QCOMPARE(form->lblTitle->text(), QString("second"));
    QVERIFY(!later->isEnabled());
    HideProgress();
    QVERIFY(main->isEnabled());
    QVERIFY(later->isEnabled());
  }

  void UpdatesRunPendingEvents() {
    ShowProgress("Convert Code Page");
    int ran = 0;
    QMetaObject::invokeMethod(
        this, [&ran] { ++ran; }, Qt::QueuedConnection);
    UpdateProgress(10);
    QCOMPARE(ran, 1);
    QMetaObject::invokeMethod(
        this, [&ran] { ++ran; }, Qt::QueuedConnection);
    UpdateProgressTitle("Unit1.pas");
    QCOMPARE(ran, 2);
    QMetaObject::invokeMethod(
        this, [&ran] { ++ran; }, Qt::QueuedConnection);
    HideProgress();
    QCOMPARE(ran, 3);
  }

  void TheOwnerTakesTheProgressWindowWithIt() {
    auto main = std::make_unique<QWidget>();
    auto other = Window("other");
    ShowProgress("Convert Code Page", main.get());
    QPointer<TProgressForm> form(CurrentProgressForm());
    main.reset();
    QVERIFY(form.isNull());
    QVERIFY(CurrentProgressForm() == nullptr);
    QVERIFY(other->isEnabled());
  }
};

}  // namespace bgconv

QTEST_MAIN(bgconv::ProgressFormTest)
#include "progress_form_test.moc"
