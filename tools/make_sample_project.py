#!/usr/bin/env python3
"""Writes examples/project/: a small Delphi 7-style program in Big5 (cp950).

The program names one unit in a subfolder the Windows way (Sub\\Helper.pas)
and one in another letter case than its file (AppMsgs.pas for APPMSGS.PAS).  Its
main form is a text form, the helper's form a binary one (resource header and
object stream); both hold Chinese captions as byte strings and as wide
strings, and Font.Charset = CHINESEBIG5_CHARSET.  The output is the same on
every run.

    python3 tools/make_sample_project.py
"""

import pathlib
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent / "examples" / "project"
CODEC = "cp950"


def big5(text):
    return text.encode(CODEC)


def write_text(name, text):
    path = ROOT / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(big5(text.replace("\n", "\r\n")))


def wide_escapes(text):
    return "".join("#%d" % ord(c) for c in text)


# --- binary form -------------------------------------------------------------

def short_string(data):
    assert len(data) < 256
    return bytes([len(data)]) + data


def value_int(n):
    return b"\x03" + struct.pack("<h", n)


def value_string(data):
    return b"\x06" + short_string(data)


def value_ident(name):
    return b"\x07" + short_string(name.encode("ascii"))


def value_wide(text):
    units = text.encode("utf-16-le")
    return b"\x12" + struct.pack("<i", len(units) // 2) + units


def prop(name, value):
    return short_string(name.encode("ascii")) + value


def obj(class_name, name, props, children=()):
    return (short_string(class_name.encode("ascii")) + short_string(name.encode("ascii")) +
            b"".join(props) + b"\x00" + b"".join(children) + b"\x00")


def binary_form():
    stream = b"TPF0" + obj("TFormHelper", "FormHelper", [
        prop("Left", value_int(240)),
        prop("Top", value_int(160)),
        prop("Caption", value_string(big5("輔助視窗"))),
        prop("Font.Charset", value_ident("CHINESEBIG5_CHARSET")),
        prop("Font.Name", value_string(big5("細明體"))),
    ], [
        obj("TLabel", "LabelHint", [
            prop("Left", value_int(16)),
            prop("Top", value_int(16)),
            prop("Caption", value_wide("請選擇要轉換的檔案")),
        ]),
        obj("TButton", "ButtonOK", [
            prop("Left", value_int(16)),
            prop("Top", value_int(48)),
            prop("Caption", value_string(big5("確定"))),
        ]),
    ])
    header = b"\xff\x0a\x00" + b"TFORMHELPER\x00" + struct.pack("<H", 0x1030) + struct.pack("<I", len(stream))
    return header + stream


# --- the project ---------------------------------------------------------------

PROGRAM = """program Sample;

{ 繁體中文範例專案：主視窗、輔助視窗與訊息單元 }

uses
  Forms,
  MainForm in 'MainForm.pas' {FormMain},
  AppMsgs in 'AppMsgs.pas',
  Helper in 'Sub\\Helper.pas' {FormHelper};

{$R *.res}

begin
  Application.Initialize;
  Application.Title := '繁簡轉換範例';
  Application.CreateForm(TFormMain, FormMain);
  Application.Run;
end.
"""

DOF = """[FileVersion]
Version=7.0
[Compiler]
A=8
[Version Info]
IncludeVerInfo=1
Locale=1028
CodePage=950
[Version Info Keys]
CompanyName=範例軟體公司
FileDescription=繁簡轉換範例程式
ProductName=繁簡轉換範例
"""

CFG = """-$A8
-$H+
-E"..\\輸出"
-U"..\\共用元件"
"""

MAIN_UNIT = """unit MainForm;

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
"""

MAIN_FORM = """object FormMain: TFormMain
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
    Caption = """ + wide_escapes("歡迎使用轉換工具") + """
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
"""

MESSAGES_UNIT = """unit AppMsgs;

{ 所有顯示給使用者的訊息 }

interface

const
  SMainTitle   = '繁簡轉換範例';
  SOpenProject = '開啟專案';
  SConvertDone = '轉換完成，共處理 %d 個檔案。';
  SBackup      = '備份原始檔案到「%s」';

implementation

end.
"""

HELPER_UNIT = """unit Helper;

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
"""


def main():
    write_text("Sample.dpr", PROGRAM)
    write_text("Sample.dof", DOF)
    write_text("Sample.cfg", CFG)
    write_text("MainForm.pas", MAIN_UNIT)
    write_text("MainForm.dfm", MAIN_FORM)
    write_text("APPMSGS.PAS", MESSAGES_UNIT)
    write_text("Sub/Helper.pas", HELPER_UNIT)
    (ROOT / "Sub" / "Helper.dfm").write_bytes(binary_form())


if __name__ == "__main__":
    main()
