unit MainForm;

{ 主視窗：開啟專案、轉換檔案並顯示記錄 }

interface

uses
  Windows, SysUtils, Classes, Forms, Dialogs;

type
  TMainForm = class(TForm)
    procedure FormCreate(Sender: TObject);
  end;

const
  SOpenProject = '開啟專案';      // 選單標題
  SConvertDone = '轉換完成，共處理 %d 個檔案。';
  SBackup      = '備份原始檔案到「%s」';
  STitle       = '繁簡轉換工具：國語、臺灣、頭髮、後來、裡面';

implementation

{$R *.DFM}

procedure TMainForm.FormCreate(Sender: TObject);
begin
  Caption := STitle;
  Font.Charset := CHINESEBIG5_CHARSET;  { 字型字集 }
end;

end.
