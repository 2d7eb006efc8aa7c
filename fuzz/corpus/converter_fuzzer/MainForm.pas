unit MainForm;

{ 主視窗：顯示說明並開啟輔助視窗 }

interface

uses
  Windows, SysUtils, Classes, Controls, Forms, StdCtrls;

type
  TFormMain = class(TForm)
    LabelTitle: TLabel;
    MemoNotes: TMemo;
    procedure FormCreate(Sender: TObject);
  end;

var
  FormMain: TFormMain;

implementation

uses AppMsgs;

{$R *.DFM}

procedure TFormMain.FormCreate(Sender: TObject);
begin
  Caption := SMainTitle;           // 視窗標題
  Font.Charset := CHINESEBIG5_CHARSET;
  MemoNotes.Lines.Add('國語、臺灣、頭髮、後來、裡面');
end;

end.
