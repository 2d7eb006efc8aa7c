program Sample;

{ 繁體中文範例專案：主視窗、輔助視窗與訊息單元 }

uses
  Forms,
  MainForm in 'MainForm.pas' {FormMain},
  AppMsgs in 'AppMsgs.pas',
  Helper in 'Sub\Helper.pas' {FormHelper};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := '繁簡轉換範例';
  Application.CreateForm(TFormMain, FormMain);
  Application.Run;
end.
