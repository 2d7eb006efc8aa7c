unit Helper;

{ 輔助視窗：選擇要轉換的檔案 }

interface

uses
  Windows, SysUtils, Classes, Controls, Forms, StdCtrls;

type
  TFormHelper = class(TForm)
    LabelHint: TLabel;
    ButtonOK: TButton;
  end;

var
  FormHelper: TFormHelper;

implementation

{$R *.DFM}

end.
