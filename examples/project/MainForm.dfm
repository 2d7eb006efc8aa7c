object FormMain: TFormMain
  Left = 192
  Top = 107
  Width = 480
  Height = 320
  Caption = '繁簡轉換範例'
  Font.Charset = CHINESEBIG5_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = '細明體'
  Font.Style = []
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 12
  object LabelTitle: TLabel
    Left = 16
    Top = 16
    Width = 96
    Height = 12
    Caption = #27489#36814#20351#29992#36681#25563#24037#20855
  end
  object MemoNotes: TMemo
    Left = 16
    Top = 40
    Width = 440
    Height = 230
    Lines.Strings = (
      '第一行：開啟專案'
      '第二行：轉換檔案')
    TabOrder = 0
  end
end
