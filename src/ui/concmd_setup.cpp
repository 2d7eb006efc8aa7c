#include "ui/concmd_setup.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "external/external_engine.h"
#include "platform/ansi_codepage.h"
#include "platform/paths.h"
#include "settings/concmd_ini.h"
#include "ui/controls.h"
#include "ui/file_dialogs.h"
#include "ui/messages.h"
#include "ui/qt_text.h"

namespace bgconv {
namespace {

void SetTextColour(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, colour);
  widget.setPalette(palette);
}

QLabel* ColouredLabel(const QString& text, const QColor& colour, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  SetTextColour(*label, colour);
  return label;
}

QPlainTextEdit* ReadmeMemo(const char* name, QWidget* parent) {
  auto* memo = Named(new QPlainTextEdit(parent), name);
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font = ToQFont(DesignFont());
  font.setPixelSize(16);
  memo->setFont(font);
  return memo;
}

}  // namespace

TCCSeupFrm::TCCSeupFrm(const SettingsContext& context, QWidget* parent)
    : QDialog(parent), exe_folder_(context.exe_folder) {
  setObjectName("CCSeupFrm");
  setWindowTitle("ConCmd Setup");
  setFixedSize(ScaledPixels(381), ScaledPixels(400));
  CreateFields();
  CreateReadmes();
  CreateButtons();
  LayOut();
  const std::string program = ConCmdProgramPath(exe_folder_);
  if (PathExists(program)) {
    edFilepath->setText(PathToQt(program));
    LoadConCmdIni(FolderOf(program) + "ConCmd.ini");
    edPara->setText(VocabularySwitch());
  } else {
    ShowMessage(parent, "File not Found");
  }
}

void TCCSeupFrm::CreateFields() {
  edFilepath = Named(new QLineEdit(this), "edFilepath");
  BitBtn7 = Named(new QPushButton("....", this), "BitBtn7");
  CheckBox1 = Named(new QCheckBox("Not Vocabulary Convert", this), "CheckBox1");
  SetTextColour(*CheckBox1, Qt::blue);
  Edignore = Named(new QLineEdit(this), "Edignore");
  Button2 = Named(new QPushButton("default", this), "Button2");
  CheckBox2 = Named(new QCheckBox("Fix charset of the  following file types:", this), "CheckBox2");
  EdFixCharset = Named(new QLineEdit(this), "EdFixCharset");
  Button1 = Named(new QPushButton("default", this), "Button1");
  edPara = Named(new QLineEdit(this), "edPara");
  edPara->setReadOnly(true);
  Button3 = Named(new QPushButton("default", this), "Button3");
  Button3->hide();
  connect(CheckBox1, &QCheckBox::toggled, this, &TCCSeupFrm::CheckBox1Click);
  connect(BitBtn7, &QPushButton::clicked, this, &TCCSeupFrm::BitBtn7Click);
  // The "default" buttons put the masks ConCmd starts with back.
  connect(Button2, &QPushButton::clicked, this, [this] { Edignore->setText(QString::fromUtf8(kDefaultIgnoreMasks)); });
  connect(Button1, &QPushButton::clicked, this,
          [this] { EdFixCharset->setText(QString::fromUtf8(kDefaultHtmlTypes)); });
}

// Two hidden pages come first, as in the layout; the readmes follow.
void TCCSeupFrm::CreateReadmes() {
  PageControl1 = Named(new QTabWidget(this), "PageControl1");
  for (int i = 0; i < 2; ++i) {
    PageControl1->addTab(new QWidget(PageControl1), "Smart Replace Big5->GB");
    PageControl1->setTabVisible(i, false);
  }
  Memo1 = ReadmeMemo("Memo1", PageControl1);
  Memo2 = ReadmeMemo("Memo2", PageControl1);
  PageControl1->addTab(Memo1, "readme_big5");
  PageControl1->addTab(Memo2, "readme_gb");
  PageControl1->setCurrentWidget(Memo1);
}

void TCCSeupFrm::CreateButtons() {
  Label2 = Named(ColouredLabel("thanks ConCmd  author  share", Qt::red, this), "Label2");
  QFont bold = Label2->font();
  bold.setBold(true);
  Label2->setFont(bold);
  BitBtn1 = Named(new QPushButton("Ok and save", this), "BitBtn1");
  BitBtn1->setDefault(true);
  BitBtn2 = Named(new QPushButton("Ca&ncel", this), "BitBtn2");
  connect(BitBtn1, &QPushButton::clicked, this, &TCCSeupFrm::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TCCSeupFrm::LayOut() {
  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel("File Path :", this), 0, 0);
  layout->addWidget(edFilepath, 0, 1);
  layout->addWidget(BitBtn7, 0, 2);
  layout->addWidget(CheckBox1, 1, 1, 1, 2);
  layout->addWidget(new QLabel("Ignore Files of the following types(fomat:*.exe,*.dll.*.etc)", this), 2, 0, 1, 3);
  layout->addWidget(Edignore, 3, 0, 1, 2);
  layout->addWidget(Button2, 3, 2);
  layout->addWidget(CheckBox2, 4, 0, 1, 3);
  layout->addWidget(EdFixCharset, 5, 0, 1, 2);
  layout->addWidget(Button1, 5, 2);
  layout->addWidget(ColouredLabel("Parameter :", QColor(0x80, 0x00, 0x80), this), 6, 0);
  layout->addWidget(edPara, 6, 1);
  layout->addWidget(Button3, 6, 2);
  layout->addWidget(PageControl1, 7, 0, 1, 3);
  layout->addWidget(Label2, 8, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  layout->addLayout(buttons, 9, 0, 1, 3);
  layout->setRowStretch(7, 1);
  for (QPushButton* small : {BitBtn7, Button1, Button2, Button3}) small->setMaximumWidth(ScaledPixels(60));
}

void TCCSeupFrm::ShowSetup(const EngineSetup& setup) {
  edFilepath->setText(PathToQt(setup.engine_path));
  edPara->setText(PathToQt(setup.parameter));
  CheckBox1->setChecked(setup.not_vocabulary);
}

EngineSetup TCCSeupFrm::Setup() const {
  return {PathFromQt(edFilepath->text()), PathFromQt(edPara->text()), CheckBox1->isChecked()};
}

void TCCSeupFrm::LoadConCmdIni(const std::string& path) {
  const ConCmdOptions options = bgconv::LoadConCmdIni(path);
  Edignore->setText(PathToQt(options.ignore_masks));
  CheckBox2->setChecked(options.fix_html_charset);
  EdFixCharset->setText(PathToQt(options.html_types));
  // Set once here: ticking CheckBox2 later does not change it.
  EdFixCharset->setEnabled(options.fix_html_charset);
  const ConCmdReadmes readmes = LoadConCmdReadmes(path);
  Memo1->setPlainText(DecodeCodePage(readmes.big5, kCodePageBig5));
  Memo2->setPlainText(DecodeCodePage(readmes.gb, kCodePageGb2312));
}

void TCCSeupFrm::SaveConCmdIni(const std::string& path) const {
  ConCmdOptions options;
  options.ignore_masks = PathFromQt(Edignore->text());
  options.fix_html_charset = CheckBox2->isChecked();
  options.html_types = PathFromQt(EdFixCharset->text());
  bgconv::SaveConCmdIni(path, options);
}

QString TCCSeupFrm::VocabularySwitch() const {
  return QString::fromStdString(bgconv::VocabularySwitch(CheckBox1->isChecked()));
}

void TCCSeupFrm::CheckBox1Click(bool) { edPara->setText(VocabularySwitch()); }

void TCCSeupFrm::BitBtn7Click() { BrowseForConCmd(this, *edFilepath, exe_folder_); }

void TCCSeupFrm::BitBtn1Click() {
  // ConCmd.ini goes beside the chosen ConCmd; without a path there is no
  // ConCmd to set up, and nothing is written into the current folder.  A
  // failure is shown, and the dialog still closes with OK.
  const std::string program = PathFromQt(edFilepath->text());
  if (!program.empty()) RunGuarded(this, [&] { SaveConCmdIni(ChangeFileExt(program, ".ini")); });
  accept();
}

bool ShowConCmdSetup(QWidget* owner, const std::string& settings_path, const SettingsContext& context,
                     std::string& engine_path) {
  TCCSeupFrm dialog(context, owner);
  // Without a stored path the dialog offers the converter the external
  // engine runs.
  const EngineSetup stored = LoadEngineSetup(settings_path, ConCmdProgramPath(context.exe_folder));
  dialog.ShowSetup(stored);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  const EngineSetup chosen = dialog.Setup();
  engine_path = chosen.engine_path;
  SaveEngineSetup(settings_path, chosen);
  return accepted;
}

}  // namespace bgconv
