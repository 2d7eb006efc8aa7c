#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>
#include <iostream>

#include "codec/charset_names.h"
#include "codec/converter.h"
#include "external/external_engine.h"
#include "form/read_form_file.h"
#include "platform/ansi_codepage.h"
#include "platform/debug_channel.h"
#include "platform/line_list.h"
#include "platform/paths.h"
#include "platform/purge.h"
#include "ui/concmd_setup.h"
#include "ui/controls.h"
#include "ui/file_dialogs.h"
#include "ui/file_row_model.h"
#include "ui/messages.h"
#include "ui/progress_form.h"
#include "ui/qt_text.h"
#include "workspace/form_text_loader.h"

namespace bgconv {
namespace {

constexpr std::string_view kAddFilter =
    "Delphi  Project (*.dpr)|*.dpr|Delphi Package (*.dpk)|*.dpk|Delphi Source File (*.pas)|*.pas|Delphi Form File "
    "(*.dfm)|*.dfm|Text File (*.txt)|*.txt|HTML Document File (*.htm;*html)|*.htm;*html|Ini File (*.ini)|*.ini|"
    "Resource Text File (*.rc)|*.rc|ALL File(*.*)|*.*";
constexpr std::string_view kOpenProjectFilter =
    "Delphi Project (*.dpr;.*.dpk)|*.dpr;*.dpk|Delphi Source File (*.pas)|*.pas|Delphi Form File (*.dfm)|*.dfm|"
    "Text File (*.txt)|*.txt|HTML Document File (*.htm;*html)|*.htm;*html|INI File (*.ini)|*.ini|All File "
    "(*.*)|*.*";

// 選擇目錄: the caption of the backup folder's picker.
const char* const kChooseFolderCaption = "\xE9\x81\xB8\xE6\x93\x87\xE7\x9B\xAE\xE9\x8C\x84";

// The notebook's pages, in the order NB holds them.
constexpr const char* kPages[] = {kSourceViewPage, kLogViewPage, kAdvancedOptionPage};

// Every radio group of the layout starts on its second item.
TRadioGroup* RadioGroup(const char* name, const QString& caption, const QStringList& items, QWidget* parent) {
  auto* group = Named(new TRadioGroup(caption, items, parent), name);
  group->SetItemIndex(1, false);
  return group;
}

QPushButton* PictureButton(const QString& caption, QStyle::StandardPixmap picture, QWidget* parent) {
  auto* button = new QPushButton(parent->style()->standardIcon(picture), caption, parent);
  button->setIconSize(QSize(16, 16));
  return button;
}

QPushButton* EllipsisButton(QWidget* parent) {
  auto* button = new QPushButton("....", parent);
  button->setFixedWidth(ScaledPixels(28));
  return button;
}

// The form reader's diagnostics are for developers: they go to standard
// error, not into the log list.
DebugChannel& WindowDebugChannel() {
  static StreamDebugChannel channel(std::cerr, "bgconv-gui: ");
  return channel;
}

}  // namespace

WindowEnvironment ProgramWindowEnvironment() {
  const ProgramPlaces places = CurrentPlaces();
  return {ProgramSettingsContext(), places.settings_path, places.preset_path};
}

TConvertFrm::TConvertFrm(WindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), environment_(std::move(environment)), fonts_(environment_.context.design_fonts) {
  setObjectName("ConvertFrm");
  setWindowTitle(ApplicationTitle());
  setFont(ToQFont(DesignFont()));
  CreateControls();
  setFixedSize(ScaledPixels(525), ScaledPixels(472));
  FormCreate();
}

TConvertFrm::~TConvertFrm() { FormDestroy(); }

void TConvertFrm::CreateControls() {
  CreateMenu();
  CreateStatusBar();
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CreateFileList(central);
  QWidget* lower = CreateLowerArea(central);
  layout->addWidget(CreateSplitter(central, lower), 1);
  layout->addWidget(CreateBottomPanel(central));
  Refresh();
}

void TConvertFrm::CreateMenu() {
  // Entries of the menu bar itself: Qt shows either an icon or a caption
  // there, and the captions carry the mnemonics.
  FileOpen1 = Named(new QAction("&Open Project", this), "FileOpen1");
  FileOpen1->setShortcut(QKeySequence("Ctrl+O"));
  FileOpen1->setToolTip("Open");
  FileOpen1->setStatusTip("Opens an existing file");
  actCloseProj = Named(new QAction("&Close Project", this), "actCloseProj");
  actExit = Named(new QAction("E&xit", this), "actExit");
  for (QAction* action : {FileOpen1, actCloseProj, actExit}) {
    menuBar()->addAction(action);
    addAction(action);  // the shortcut works wherever the focus is
  }
  connect(FileOpen1, &QAction::triggered, this, &TConvertFrm::FileOpen1Execute);
  connect(actCloseProj, &QAction::triggered, this, &TConvertFrm::actCloseProjExecute);
  connect(actExit, &QAction::triggered, this, &TConvertFrm::actExitExecute);
}

void TConvertFrm::CreateStatusBar() {
  StatusPanel = Named(new QLabel(this), "StatusPanel");
  StatusPanel->setMinimumWidth(ScaledPixels(50));
  statusBar()->addWidget(StatusPanel, 1);
  statusBar()->setSizeGripEnabled(false);
}

void TConvertFrm::CreateFileList(QWidget* parent) {
  model_ = new FileRowModel(workspace_, this);
  LVFileList = Named(new QTreeView(parent), "LVFileList");
  LVFileList->setModel(model_);
  LVFileList->setRootIsDecorated(false);
  LVFileList->setUniformRowHeights(true);
  LVFileList->setItemsExpandable(false);
  LVFileList->setSelectionMode(QAbstractItemView::SingleSelection);
  LVFileList->setSelectionBehavior(QAbstractItemView::SelectRows);
  LVFileList->setIconSize(QSize(16, 16));
  LVFileList->setAllColumnsShowFocus(true);
  LVFileList->header()->setStretchLastSection(false);
  LVFileList->header()->setMinimumSectionSize(ScaledPixels(20));
  LVFileList->setColumnWidth(FileRowModel::kSize, ScaledPixels(50));
  LVFileList->setColumnWidth(FileRowModel::kCode, ScaledPixels(50));
  connect(LVFileList, &QTreeView::clicked, this, &TConvertFrm::LVFileListClick);
}

// Below the file list: its buttons, the options and the code type in a row,
// the notebook under them.
QWidget* TConvertFrm::CreateLowerArea(QWidget* parent) {
  auto* lower = new QWidget(parent);
  auto* layout = new QVBoxLayout(lower);
  layout->setContentsMargins(ScaledPixels(2), ScaledPixels(2), ScaledPixels(2), 0);
  layout->setSpacing(ScaledPixels(2));
  auto* controls = new QHBoxLayout;
  controls->addLayout(CreateFileButtons(lower));
  controls->addWidget(CreateOptions(lower), 1);
  rgCodeType = RadioGroup("rgCodeType", "Co&de Type", {"BIG->GB", "GB->BIG "}, lower);
  connect(rgCodeType, &TRadioGroup::Click, this, &TConvertFrm::rgCodeTypeClick);
  controls->addWidget(rgCodeType);
  layout->addLayout(controls);
  layout->addWidget(CreateNotebook(lower), 1);
  return lower;
}

QLayout* TConvertFrm::CreateFileButtons(QWidget* parent) {
  BitBtn3 = Named(PictureButton("&Add ", QStyle::SP_FileIcon, parent), "BitBtn3");
  BitBtn4 = Named(PictureButton("&Delete", QStyle::SP_TrashIcon, parent), "BitBtn4");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(BitBtn3);
  buttons->addWidget(BitBtn4);
  connect(BitBtn3, &QPushButton::clicked, this, &TConvertFrm::BitBtn3Click);
  connect(BitBtn4, &QPushButton::clicked, this, &TConvertFrm::BitBtn4Click);
  return buttons;
}

QWidget* TConvertFrm::CreateOptions(QWidget* parent) {
  GroupBox1 = Named(new QGroupBox("&Option", parent), "GroupBox1");
  auto* layout = new QGridLayout(GroupBox1);
  layout->setContentsMargins(ScaledPixels(6), ScaledPixels(2), ScaledPixels(6), ScaledPixels(4));
  CbAddConf = Named(new QCheckBox("Add Config Files", GroupBox1), "CbAddConf");
  CbAddConf->setChecked(true);
  CheckBox1 = Named(new QCheckBox("&Backup original", GroupBox1), "CheckBox1");
  BitBtn8 = Named(PictureButton(kAdvancedOptionPage, QStyle::SP_FileDialogDetailedView, GroupBox1), "BitBtn8");
  layout->addWidget(CbAddConf, 0, 0);
  layout->addWidget(CheckBox1, 1, 0);
  layout->addWidget(BitBtn8, 0, 1, 2, 1);
  connect(CbAddConf, &QCheckBox::toggled, this, &TConvertFrm::CbAddConfClick);
  connect(BitBtn8, &QPushButton::clicked, this, &TConvertFrm::BitBtn8Click);
  return GroupBox1;
}

// The pages in the order of kPages.
QWidget* TConvertFrm::CreateNotebook(QWidget* parent) {
  NB = Named(new QStackedWidget(parent), "NB");
  auto* source_view = Named(new QSplitter(Qt::Horizontal, NB), kSourceViewPage);
  RichEdit1 = Named(new BytePane(source_view), "RichEdit1");
  RichEdit2 = Named(new BytePane(source_view), "RichEdit2");
  source_view->addWidget(RichEdit1);
  source_view->addWidget(RichEdit2);
  NB->addWidget(source_view);
  DebugListBox = Named(new QListWidget(NB), "DebugListBox");
  DebugListBox->setUniformItemSizes(true);
  NB->addWidget(DebugListBox);
  NB->addWidget(CreateAdvancedPage(NB));
  return NB;
}

QWidget* TConvertFrm::CreateAdvancedPage(QWidget* parent) {
  auto* page = Named(new QWidget(parent), kAdvancedOptionPage);
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(ScaledPixels(4), ScaledPixels(2), ScaledPixels(4), ScaledPixels(2));
  grid->setVerticalSpacing(ScaledPixels(2));
  RadioGroup2 =
      RadioGroup("RadioGroup2", "Overwrite", {"Change Original File Extension", "Overwrite Original File"}, page);
  grid->addWidget(RadioGroup2, 0, 0);
  CreateEngineOptions(*grid);
  CreateBackupOptions(*grid);
  rgChCharset = RadioGroup("rgChCharset", "Chager Charset", {"Chager Default Charset", "Don't Care"}, page);
  grid->addWidget(rgChCharset, 1, 1);
  grid->setRowStretch(3, 1);
  return page;
}

// The engine choice above the engine path and its two buttons, in the
// advanced page's right column.
void TConvertFrm::CreateEngineOptions(QGridLayout& grid) {
  QWidget* page = grid.parentWidget();
  RGConvertEng = RadioGroup("RGConvertEng", "Convert Engine", {"ItSelf", "ConCmd 1.5 "}, page);
  edCCEng = Named(new QLineEdit(page), "edCCEng");
  edCCEng->setReadOnly(true);
  BitBtn7 = Named(EllipsisButton(page), "BitBtn7");
  Button1 = Named(new QPushButton("ConCmd Setup", page), "Button1");
  grid.addWidget(RGConvertEng, 0, 1);
  auto* engine_path = new QHBoxLayout;
  engine_path->addWidget(edCCEng, 1);
  engine_path->addWidget(BitBtn7);
  engine_path->addWidget(Button1);
  grid.addLayout(engine_path, 2, 1);
  connect(RGConvertEng, &TRadioGroup::Click, this, &TConvertFrm::RGConvertEngClick);
  connect(BitBtn7, &QPushButton::clicked, this, &TConvertFrm::BitBtn7Click);
  connect(Button1, &QPushButton::clicked, this, &TConvertFrm::Button1Click);
}

// The backup mode above the backup path and its button, in the advanced
// page's left column.
void TConvertFrm::CreateBackupOptions(QGridLayout& grid) {
  QWidget* page = grid.parentWidget();
  RadioGroup3 = RadioGroup("RadioGroup3", "Backup File mould", {"Compression", "Copy To New Folder"}, page);
  edBakPath = Named(new QLineEdit(page), "edBakPath");
  BitBtn6 = Named(EllipsisButton(page), "BitBtn6");
  grid.addWidget(RadioGroup3, 1, 0);
  auto* backup_path = new QHBoxLayout;
  backup_path->addWidget(edBakPath, 1);
  backup_path->addWidget(BitBtn6);
  grid.addLayout(backup_path, 2, 0);
  connect(BitBtn6, &QPushButton::clicked, this, &TConvertFrm::BitBtn6Click);
}

// The file list against the lower area.
QWidget* TConvertFrm::CreateSplitter(QWidget* parent, QWidget* lower) {
  Splitter1 = Named(new QSplitter(Qt::Vertical, parent), "Splitter1");
  Splitter1->addWidget(LVFileList);
  Splitter1->addWidget(lower);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({ScaledPixels(110), ScaledPixels(260)});
  return Splitter1;
}

QWidget* TConvertFrm::CreateBottomPanel(QWidget* parent) {
  Panel1 = Named(new ClickPanel(parent), "Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* layout = new QHBoxLayout(Panel1);
  layout->setContentsMargins(ScaledPixels(4), ScaledPixels(3), ScaledPixels(4), ScaledPixels(3));
  BitBtn5 = Named(PictureButton("&Help", QStyle::SP_DialogHelpButton, Panel1), "BitBtn5");
  CheckBox2 = Named(new QCheckBox("View &Log List", Panel1), "CheckBox2");
  BitBtn1 = Named(PictureButton("Con&vert", QStyle::SP_DialogOkButton, Panel1), "BitBtn1");
  layout->addWidget(BitBtn5);
  layout->addStretch(1);
  layout->addWidget(CheckBox2);
  layout->addSpacing(ScaledPixels(12));
  layout->addWidget(BitBtn1);
  connect(Panel1, &ClickPanel::Clicked, this, &TConvertFrm::actCloseProjExecute);
  connect(BitBtn5, &QPushButton::clicked, this, &TConvertFrm::BitBtn5Click);
  connect(CheckBox2, &QCheckBox::toggled, this, &TConvertFrm::CheckBox2Click);
  connect(BitBtn1, &QPushButton::clicked, this, &TConvertFrm::BitBtn1Click);
  return Panel1;
}

// --- Life of the window ------------------------------------------------------

void TConvertFrm::FormCreate() {
  exe_folder_ = environment_.context.exe_folder;
  // A settings file that cannot be read leaves the window at its design
  // values: no folders made, the pane code pages those of the design.
  settings_loaded_ = RunGuarded(this, [this] {
    ApplySettings(LoadSettings(SettingsReadPath({environment_.settings_path, environment_.preset_path, {}, {}}),
                               environment_.context));
    // Now: opening a project makes its folder the current one.
    work_folder_ = EnsureTrailingBackslash(AbsolutePath(work_folder_));
    // The folders of an installed program lie below the user's cache and
    // data folders, which may not be there yet.
    QDir().mkpath(PathToQt(FolderOf(work_folder_.substr(0, work_folder_.size() - 1))));
    CreateWorkFolder(work_folder_);
    QDir().mkpath(PathToQt(backup_folder_));
    SetPaneCharsets(CodeDirection());
  });
}

void TConvertFrm::FormShow() {
  ShowPage(kSourceViewPage);
  exe_folder_ = environment_.context.exe_folder;
  // The default backup folder, as FormCreate made it: beside the program, or
  // in the user's data folder for an installed one.
  edBakPath->setText(PathToQt(DefaultSettings(environment_.context).backup_folder));
}

void TConvertFrm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // Settings that could not be read are not replaced by the design values,
  // and no work folder was prepared.  The purge comes only after a good
  // save.
  if (!settings_loaded_) return;
  RunGuarded(this, [this] {
    SaveSettings(environment_.settings_path, CollectSettings());
    // Only a work folder this program made (and so marked) is purged; one
    // that was never created has nothing to purge.
    if (IsMarkedWorkFolder(work_folder_)) PurgeDirectory(work_folder_);
  });
}

void TConvertFrm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  FormShow();
}

void TConvertFrm::closeEvent(QCloseEvent* event) {
  // A run in progress keeps the window: its files and the work folder are
  // in use, and the run is still on the stack below this event.
  if (CurrentProgressForm() != nullptr) {
    event->ignore();
    return;
  }
  FormDestroy();
  event->accept();
}

void TConvertFrm::ApplySettings(const Settings& settings) {
  // The values go into the controls without running their handlers: the
  // engine choice is followed by its path only at the end of the load, and
  // with no project open the other handlers would do nothing.
  fonts_ = settings.fonts;
  ApplyFont(*LVFileList, fonts_.file_list);
  ApplyFont(*DebugListBox, fonts_.debug_list);
  ApplyFont(*RichEdit1, fonts_.memo1);
  ApplyFont(*RichEdit2, fonts_.memo2);
  rgCodeType->SetItemIndex(IndexOf(settings.code_direction), false);
  {
    const QSignalBlocker blocker(CbAddConf);
    CbAddConf->setChecked(settings.add_config_files);
  }
  workspace_.SetAddConfigFiles(settings.add_config_files);
  CheckBox1->setChecked(settings.backup_original);
  RGConvertEng->SetItemIndex(IndexOf(settings.convert_engine), false);
  RadioGroup2->SetItemIndex(IndexOf(settings.overwrite), false);
  RadioGroup3->SetItemIndex(IndexOf(settings.backup_mould), false);
  work_folder_ = settings.work_folder;
  backup_folder_ = settings.backup_folder;
  edBakPath->setText(PathToQt(settings.backup_folder));
  rgChCharset->SetItemIndex(settings.change_default_charset ? 0 : 1, false);
  edCCEng->setText(PathToQt(settings.engine_path));
  engine_path_ = settings.engine_path;
  not_vocabulary_ = settings.not_vocabulary;
  engine_parameter_ = settings.engine_parameter;
}

Settings TConvertFrm::CollectSettings() const {
  Settings settings;
  settings.fonts = fonts_;
  settings.code_direction = CodeDirection().value_or(settings.code_direction);
  settings.add_config_files = CbAddConf->isChecked();
  settings.backup_original = CheckBox1->isChecked();
  settings.convert_engine = ChoiceAt<Engine>(RGConvertEng->ItemIndex()).value_or(settings.convert_engine);
  settings.overwrite = ChoiceAt<OverwriteMode>(RadioGroup2->ItemIndex()).value_or(settings.overwrite);
  settings.backup_mould = ChoiceAt<BackupMode>(RadioGroup3->ItemIndex()).value_or(settings.backup_mould);
  settings.work_folder = work_folder_;
  settings.backup_folder = backup_folder_;
  settings.change_default_charset = rgChCharset->ItemIndex() == 0;
  settings.engine_path = PathFromQt(edCCEng->text());
  settings.not_vocabulary = not_vocabulary_;
  settings.engine_parameter = engine_parameter_;
  return settings;
}

// --- Panes, pages, list ------------------------------------------------------

std::optional<Direction> TConvertFrm::CodeDirection() const { return ChoiceAt<Direction>(rgCodeType->ItemIndex()); }

std::string TConvertFrm::ConvertText(std::string_view text) const {
  const auto direction = CodeDirection();
  return direction ? bgconv::ConvertText(text, *direction) : std::string(text);
}

void TConvertFrm::SetPaneCharsets(std::optional<Direction> direction) {
  // Without a selection the panes read as for "GB->BIG ".
  SetPreviewCharsets(fonts_, direction.value_or(Direction::kGbToBig));
  RichEdit1->SetCodePage(CodePageOfCharset(fonts_.memo1.charset));
  RichEdit2->SetCodePage(CodePageOfCharset(fonts_.memo2.charset));
}

QString TConvertFrm::PageName() const { return kPages[NB->currentIndex()]; }

void TConvertFrm::ShowPage(const QString& name) {
  for (int i = 0; i < static_cast<int>(std::size(kPages)); ++i) {
    if (name == kPages[i]) NB->setCurrentIndex(i);
  }
}

void TConvertFrm::Refresh() {
  model_->Reset();
  LVFileList->resizeColumnToContents(FileRowModel::kFile);
  LVFileList->resizeColumnToContents(FileRowModel::kPath);
  for (int column : {FileRowModel::kSize, FileRowModel::kCode}) {
    if (LVFileList->columnWidth(column) < ScaledPixels(50)) LVFileList->setColumnWidth(column, ScaledPixels(50));
  }
  // actCloseProjUpdate
  actCloseProj->setEnabled(workspace_.HasProject());
}

void TConvertFrm::RefreshAfter(const std::function<void()>& change) {
  try {
    change();
  } catch (...) {
    Refresh();
    throw;
  }
  Refresh();
}

void TConvertFrm::AddLog(const QString& line) {
  auto* item = new QListWidgetItem(line);
  item->setToolTip(line);
  DebugListBox->addItem(item);
  WidenLogFor(line);
  DebugListBox->setCurrentRow(DebugListBox->count() - 1);
}

// --- Commands ----------------------------------------------------------------

void TConvertFrm::FileOpen1Execute() {
  QFileDialog dialog(this, QString());
  dialog.setObjectName("FileOpen1Dialog");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFilters(kOpenProjectFilter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  FileOpen1Accept(dialog.selectedFiles().front());
}

void TConvertFrm::FileOpen1Accept(const QString& path) {
  RunGuarded(this, [&] {
    if (workspace_.HasProject()) CloseProject();
    ShowPage(kSourceViewPage);
    StatusPanel->setText(path);
    // The project path stays set when the load fails; the rows read before
    // the failure stay listed.
    RefreshAfter([&] { workspace_.OpenProject(PathFromQt(path)); });
  });
}

void TConvertFrm::CloseProject() {
  workspace_.CloseProject();
  RichEdit1->ClearBytes();
  RichEdit2->ClearBytes();
  StatusPanel->clear();
  Refresh();
}

void TConvertFrm::actCloseProjExecute() {
  RunGuarded(this, [this] { CloseProject(); });
}

void TConvertFrm::actExitExecute() {
  RunGuarded(this, [this] {
    if (workspace_.HasProject()) CloseProject();
  });
  close();
}

void TConvertFrm::BitBtn3Click() {
  QFileDialog dialog(this, QString(), PathToQt(FolderOf(PathFromQt(StatusPanel->text()))));
  dialog.setObjectName("OpenDialog");
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters(NameFilters(kAddFilter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = PathFromQt(dialog.selectedFiles().front());
  RunGuarded(this, [&] {
    RefreshAfter([&] {
      workspace_.Add(path, [this](std::string_view question) {
        return AskYesNo(this, QString::fromUtf8(question.data(), static_cast<qsizetype>(question.size())));
      });
    });
  });
}

void TConvertFrm::BitBtn4Click() {
  RunGuarded(this, [this] {
    const QModelIndexList selected = LVFileList->selectionModel()->selectedRows();
    std::optional<std::size_t> row;
    if (!selected.isEmpty()) row = static_cast<std::size_t>(selected.front().row());
    workspace_.Delete(row);
    Refresh();
  });
}

void TConvertFrm::LVFileListClick() {
  const QModelIndexList selected = LVFileList->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  const std::size_t row = static_cast<std::size_t>(selected.front().row());
  if (row >= workspace_.Rows().size()) return;
  Preview(workspace_.Rows()[row].path);
}

void TConvertFrm::Preview(const std::string& path) {
  RichEdit1->ClearBytes();
  RichEdit2->ClearBytes();
  if (!PathExists(path)) {
    bgconv::ShowMessage(this, "File not found");
    return;
  }
  const std::optional<Direction> direction = CodeDirection();
  try {
    std::string text;
    if (IsFormFile(path)) {
      const AnsiCodePage code_page(SourceCodePage(direction.value_or(Direction::kBigToGb)));
      text = LoadFormText(path, code_page, WindowDebugChannel()) + "\r\n";
    } else {
      LineList lines;
      lines.LoadFromFile(path);
      text = lines.Text();
    }
    std::string converted = ConvertText(text);
    if (direction)
      converted = FixCharsetNames(converted, TargetSet(*direction), *direction, rgChCharset->ItemIndex() == 0);
    RichEdit1->SetBytes(std::move(text), RichEdit1->CodePage());
    RichEdit2->SetBytes(std::move(converted), RichEdit2->CodePage());
  } catch (const std::exception& error) {
    // A file that cannot be read in this direction may read in the other;
    // the switch is said, since the next run converts in the new direction.
    const Direction other = direction == Direction::kBigToGb ? Direction::kGbToBig : Direction::kBigToGb;
    rgCodeType->SetItemIndex(IndexOf(other));
    const QString said = PathToQt("Cannot preview " + path + ": " + error.what() + "; Code Type switched to ") +
                         rgCodeType->Button(IndexOf(other))->text().remove(u'&');
    AddLog(said);
    statusBar()->showMessage(said);
  }
}

void TConvertFrm::rgCodeTypeClick() {
  RunGuarded(this, [this] {
    SetPaneCharsets(CodeDirection());
    // A new conversion of the bytes on the left, not of what the right shows.
    RichEdit2->SetBytes(ConvertText(RichEdit1->Bytes()), RichEdit2->CodePage());
  });
}

void TConvertFrm::RGConvertEngClick() {
  RunGuarded(this, [this] {
    if (RGConvertEng->ItemIndex() != IndexOf(Engine::kConCmd) || PathExists(engine_path_)) return;
    std::string chosen;
    if (ShowConCmdSetup(this, environment_.settings_path, environment_.context, chosen)) {
      engine_path_ = chosen;
      edCCEng->setText(PathToQt(chosen));
    } else {
      RGConvertEng->SetItemIndex(IndexOf(Engine::kItSelf));
    }
  });
}

void TConvertFrm::CbAddConfClick() {
  RunGuarded(this, [this] {
    if (workspace_.HasProject()) {
      RichEdit1->ClearBytes();
      RichEdit2->ClearBytes();
    }
    RefreshAfter([this] { workspace_.SetAddConfigFiles(CbAddConf->isChecked()); });
  });
}

void TConvertFrm::CheckBox2Click() { ShowPage(CheckBox2->isChecked() ? kLogViewPage : kSourceViewPage); }

void TConvertFrm::BitBtn8Click() {
  const QString before = PageName();
  BitBtn8->setText(before);
  ShowPage(before == kAdvancedOptionPage ? kSourceViewPage : kAdvancedOptionPage);
}

void TConvertFrm::BitBtn6Click() {
  std::string folder;
  if (BrowseForFolder(this, QString::fromUtf8(kChooseFolderCaption), edBakPath->text(), folder))
    edBakPath->setText(PathToQt(folder));
}

void TConvertFrm::BitBtn7Click() { BrowseForConCmd(this, *edCCEng, exe_folder_); }

void TConvertFrm::Button1Click() {
  RunGuarded(this, [this] {
    std::string chosen;
    if (ShowConCmdSetup(this, environment_.settings_path, environment_.context, chosen))
      edCCEng->setText(PathToQt(chosen));
  });
}

void TConvertFrm::BitBtn5Click() {
  RunGuarded(this, [this] {
    const auto direction = CodeDirection();
    if (!direction) return;
    std::vector<std::string> paths;
    for (const FileRow& row : workspace_.Rows()) paths.push_back(row.path);
    RunExternalEngine(MakePassInputs(exe_folder_, *direction, engine_parameter_, work_folder_, RowsByFileName(paths)),
                      *this);
  });
}

ConversionInputs TConvertFrm::RunInputs() const {
  ConversionInputs inputs;
  inputs.rows = workspace_.Rows();
  inputs.project_path = workspace_.ProjectPath();
  inputs.direction = CodeDirection().value_or(Direction::kGbToBig);
  inputs.engine = ChoiceAt<Engine>(RGConvertEng->ItemIndex()).value_or(Engine::kItSelf);
  inputs.overwrite = ChoiceAt<OverwriteMode>(RadioGroup2->ItemIndex()).value_or(OverwriteMode::kOverwrite);
  inputs.backup = CheckBox1->isChecked();
  inputs.backup_mode = ChoiceAt<BackupMode>(RadioGroup3->ItemIndex()).value_or(BackupMode::kCopyToFolder);
  inputs.backup_path = PathFromQt(edBakPath->text());
  inputs.change_default_charset = rgChCharset->ItemIndex() == 0;
  inputs.work_folder = work_folder_;
  inputs.program_folder = exe_folder_;
  inputs.engine_parameter = engine_parameter_;
  return inputs;
}

void TConvertFrm::BitBtn1Click() {
  // Without a Code Type there is nothing to convert into.
  if (!CanConvert(workspace_) || !CodeDirection()) return;
  RunGuarded(this, [this] {
    // A run that left files as they were says so at its end: the log
    // names each with its reason.
    if (const std::string message = RunEndMessage(ConvertAll(RunInputs(), *this)); !message.empty())
      ShowMessage(message);
  });
}

// --- What the run and the external pass show ---------------------------------

void TConvertFrm::ShowProgress(std::string_view title) { bgconv::ShowProgress(PathToQt(title), this); }

void TConvertFrm::UpdateProgress(int percent) { bgconv::UpdateProgress(percent); }

void TConvertFrm::UpdateProgressTitle(std::string_view title) { bgconv::UpdateProgressTitle(PathToQt(title)); }

void TConvertFrm::HideProgress() { bgconv::HideProgress(); }

void TConvertFrm::Log(std::string_view line) { AddLog(PathToQt(line)); }

void TConvertFrm::ShowMessage(std::string_view text) { bgconv::ShowMessage(this, PathToQt(text)); }

// The log shows while a run works; the preview again once it has ended.
void TConvertFrm::RunStarted() { ShowPage(kLogViewPage); }

void TConvertFrm::RunEnded() { ShowPage(kSourceViewPage); }

void TConvertFrm::ReplaceLastLog(std::string_view row) {
  QListWidgetItem* last = DebugListBox->item(DebugListBox->count() - 1);
  if (last == nullptr) return;
  const QString text = PathToQt(row);
  last->setText(text);
  last->setToolTip(text);
  WidenLogFor(text);
}

// The log's rows share one size (thousands of rows stay fast), taken from
// the first row: it is made as wide as the widest row, so no row is cut
// and the horizontal scroll bar reaches the end of every one.
void TConvertFrm::WidenLogFor(const QString& line) {
  QListWidgetItem* first = DebugListBox->item(0);
  if (first == nullptr) return;
  const QFontMetrics metrics(DebugListBox->font());
  const int width = metrics.horizontalAdvance(line) + 2 * metrics.averageCharWidth();
  const QSize size = first->sizeHint();
  if (size.isValid() && size.width() >= width) return;
  first->setSizeHint(QSize(width, size.isValid() ? size.height() : metrics.height() + 2));
}

void TConvertFrm::SelectLastLog() { DebugListBox->setCurrentRow(DebugListBox->count() - 1); }

void TConvertFrm::Repaint() { DebugListBox->repaint(); }

}  // namespace bgconv
