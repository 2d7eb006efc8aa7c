#pragma once
// The "ConCmd Setup" dialog: where ConCmd is, whether it runs with "/f:d",
// and three options of ConCmd's own ConCmd.ini; it also shows ConCmd's two
// readme files.  ShowConCmdSetup drives it over the cpEng keys of the
// program's settings file.

#include <QDialog>
#include <string>

#include "settings/concmd_ini.h"
#include "settings/settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace bgconv {

class TCCSeupFrm : public QDialog {
  Q_OBJECT

 public:
  // Fills the ConCmd.ini options and the readmes from the ConCmd beside the
  // program (the one the external engine runs); when there is none, says "File not Found" (before the dialog
  // shows) and leaves the controls empty.
  TCCSeupFrm(const SettingsContext& context, QWidget* parent = nullptr);

  // Shows a stored setup: the path, the parameter and "Not Vocabulary
  // Convert"; a box that changes puts its switch into the parameter, as a
  // click does.
  void ShowSetup(const EngineSetup& setup);
  // The setup the dialog shows now.
  EngineSetup Setup() const;

 private:
  // Edignore, CheckBox2, EdFixCharset from the ConCmd.ini at `path`, and the
  // readme pages from its folder.
  void LoadConCmdIni(const std::string& path);
  // Writes the five keys of section Data into the ConCmd.ini at `path`.
  void SaveConCmdIni(const std::string& path) const;
  // "/f:d" while "Not Vocabulary Convert" is ticked, else empty.
  QString VocabularySwitch() const;

  // The dialog's parts, top to bottom, in the order the focus moves.
  void CreateFields();   // path, options and parameter
  void CreateReadmes();  // the readme pages
  void CreateButtons();  // the thanks line, "Ok and save" and "Ca&ncel"
  void LayOut();

  void CheckBox1Click(bool checked);
  void BitBtn7Click();
  void BitBtn1Click();

  // The controls, each with its name as its object name.
  QLineEdit* edFilepath;
  QPushButton* BitBtn7;  // "....": browse for ConCmd
  QCheckBox* CheckBox1;  // "Not Vocabulary Convert"
  QLineEdit* Edignore;
  QPushButton* Button2;  // "default" of Edignore
  QCheckBox* CheckBox2;  // "Fix charset of the  following file types:"
  QLineEdit* EdFixCharset;
  QPushButton* Button1;  // "default" of EdFixCharset
  QLineEdit* edPara;
  QPushButton* Button3;  // "default" of edPara, hidden
  QTabWidget* PageControl1;
  QPlainTextEdit* Memo1;  // readme_big5.txt
  QPlainTextEdit* Memo2;  // readme_gb.txt
  QLabel* Label2;
  QPushButton* BitBtn1;  // "Ok and save"
  QPushButton* BitBtn2;  // "Ca&ncel"

  std::string exe_folder_;
};

// Opens the dialog owned by `owner` with the cpEng keys of the settings file
// at `settings_path` (without a stored path: the converter the external
// engine runs).  Whatever the user answers, `engine_path` receives the
// dialog's path and the settings file its path, parameter and "Not
// Vocabulary Convert" state.  True when the dialog closed with "Ok and
// save".  Fails with EFOpenError or EFCreateError when the settings file
// cannot be read or written.
bool ShowConCmdSetup(QWidget* owner, const std::string& settings_path, const SettingsContext& context,
                     std::string& engine_path);

}  // namespace bgconv
