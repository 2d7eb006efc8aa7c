#pragma once
// The main window TConvertFrm: the file list of the workspace, the preview
// of the clicked file in both code pages, the log list of the conversion
// run and the options that steer it.  It owns every command, and each
// command hands the controls' values to one function of the core.  It loads
// the settings when it is made and saves them, and empties the work folder,
// when it goes.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "external/external_engine.h"
#include "settings/settings.h"
#include "workspace/conversion_run.h"
#include "workspace/workspace.h"

class QAction;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTreeView;

namespace bgconv {

class BytePane;
class ClickPanel;
class FileRowModel;
class TRadioGroup;

// Where the program lives and where its settings are.
struct WindowEnvironment {
  SettingsContext context;    // the program's folder, the design fonts, the default folders
  std::string settings_path;  // read and saved
  std::string preset_path{};  // read while settings_path does not exist; empty for none
};

// The environment of the running program.
WindowEnvironment ProgramWindowEnvironment();

// The pages of the notebook NB, by name.
inline constexpr const char* kSourceViewPage = "Source View";
inline constexpr const char* kLogViewPage = "Log View";
inline constexpr const char* kAdvancedOptionPage = "Advanced Option";

class TConvertFrm : public QMainWindow, private ConversionObserver {
  Q_OBJECT

 public:
  explicit TConvertFrm(WindowEnvironment environment, QWidget* parent = nullptr);
  ~TConvertFrm() override;

  const Workspace& Files() const { return workspace_; }
  // The name of the notebook page shown.
  QString PageName() const;
  // The engine path: the ConCmd the engine choice found or set up.
  const std::string& EnginePath() const { return engine_path_; }
  const std::string& WorkFolder() const { return work_folder_; }

  // Opens the project at `path`, as "&Open Project" does once its dialog is
  // accepted.
  void FileOpen1Accept(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The controls, by the names the commands use; each carries its name as
  // its object name.
  QAction* FileOpen1;     // "&Open Project"
  QAction* actCloseProj;  // "&Close Project"
  QAction* actExit;       // "E&xit"
  QLabel* StatusPanel;    // the status bar's panel: the project path
  QTreeView* LVFileList;
  QSplitter* Splitter1;  // the file list against the lower area
  QPushButton* BitBtn3;  // "&Add "
  QPushButton* BitBtn4;  // "&Delete"
  QGroupBox* GroupBox1;  // "&Option"
  QCheckBox* CbAddConf;  // "Add Config Files"
  QCheckBox* CheckBox1;  // "&Backup original"
  QPushButton* BitBtn8;  // "Advanced Option"
  TRadioGroup* rgCodeType;
  QStackedWidget* NB;
  BytePane* RichEdit1;  // the clicked file's text
  BytePane* RichEdit2;  // its conversion
  QListWidget* DebugListBox;
  TRadioGroup* RadioGroup2;   // "Overwrite"
  TRadioGroup* RGConvertEng;  // "Convert Engine"
  QLineEdit* edCCEng;
  QPushButton* BitBtn7;      // "...." beside edCCEng
  QPushButton* Button1;      // "ConCmd Setup"
  TRadioGroup* RadioGroup3;  // "Backup File mould"
  QLineEdit* edBakPath;
  QPushButton* BitBtn6;      // "...." beside edBakPath
  TRadioGroup* rgChCharset;  // "Chager Charset"
  ClickPanel* Panel1;        // the bottom panel
  QPushButton* BitBtn5;      // "&Help"
  QCheckBox* CheckBox2;      // "View &Log List"
  QPushButton* BitBtn1;      // "Con&vert"

  // The commands.
  void FileOpen1Execute();  // the Open Project dialog
  void actCloseProjExecute();
  void actExitExecute();
  void BitBtn3Click();
  void BitBtn4Click();
  void LVFileListClick();
  void BitBtn1Click();
  void rgCodeTypeClick();
  void RGConvertEngClick();
  void CbAddConfClick();
  void CheckBox2Click();
  void BitBtn8Click();
  void BitBtn6Click();
  void BitBtn7Click();
  void Button1Click();
  void BitBtn5Click();

  // The layout, one builder per area, top to bottom.  The controls are made
  // in the order the focus moves through them.
  void CreateControls();
  void CreateMenu();
  void CreateStatusBar();
  void CreateFileList(QWidget* parent);
  QWidget* CreateLowerArea(QWidget* parent);
  QLayout* CreateFileButtons(QWidget* parent);
  QWidget* CreateOptions(QWidget* parent);
  QWidget* CreateNotebook(QWidget* parent);
  QWidget* CreateAdvancedPage(QWidget* parent);
  void CreateEngineOptions(QGridLayout& grid);
  void CreateBackupOptions(QGridLayout& grid);
  QWidget* CreateSplitter(QWidget* parent, QWidget* lower);
  QWidget* CreateBottomPanel(QWidget* parent);

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void ApplySettings(const Settings& settings);
  Settings CollectSettings() const;
  void SetPaneCharsets(std::optional<bgconv::Direction> direction);
  void ShowPage(const QString& name);
  void CloseProject();
  void Refresh();
  // Runs `change` of the rows and lists the rows afterwards, also when it
  // fails: the rows read before a failure stay listed.
  void RefreshAfter(const std::function<void()>& change);
  void Preview(const std::string& path);
  ConversionInputs RunInputs() const;
  // The "Co&de Type" choice; none while no item is selected.
  std::optional<bgconv::Direction> CodeDirection() const;
  // The conversion of the window: a text in no direction stays as it is.
  std::string ConvertText(std::string_view text) const;
  void AddLog(const QString& line);
  void WidenLogFor(const QString& line);

  // The run's observer.
  void ShowProgress(std::string_view title) override;
  void UpdateProgress(int percent) override;
  void UpdateProgressTitle(std::string_view title) override;
  void HideProgress() override;
  void Log(std::string_view line) override;
  void ShowMessage(std::string_view text) override;
  void RunStarted() override;
  void RunEnded() override;
  // The external pass's reporter (Log and ShowMessage are shared).
  void ReplaceLastLog(std::string_view row) override;
  void SelectLastLog() override;
  void Repaint() override;

  WindowEnvironment environment_;
  Workspace workspace_;
  FileRowModel* model_;
  ViewFonts fonts_;
  std::string exe_folder_;
  std::string engine_path_;
  std::string engine_parameter_;
  bool not_vocabulary_ = false;
  std::string work_folder_;
  std::string backup_folder_;  // BackupDir as loaded; edBakPath is apart
  bool settings_loaded_ = false;
  bool destroyed_ = false;
};

}  // namespace bgconv
