#!/usr/bin/env python3
"""Writes the stored forms of the main window, the About box and the help form
(resources/forms/TMainForm.txt, TAboutBox.txt, THelpForm.txt) with the artwork of
resources/images embedded as their binary properties, as stored form data holds it.

The form texts are generated: edit this script (or the images), then run it.
  make_forms.py            rewrite the three forms
  make_forms.py --check    exit 1 when a form differs from what this script writes
  make_forms.py --main-form OUT DUSK.tez LINDEN.tez
                           write the main form to OUT with the two packed skins as the "Data"
                           of its stored skins (the build does this; see resources/CMakeLists.txt)

The committed main form keeps both "Data" properties empty: the packed skins are build
products of skins/ and tools/skinpack, so only the build's copy of the form carries them.
"""
import os
import sys

R = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = {}


def emit(name, text):
    OUT[name] = text

def hexblock(data, indent):
    h=data.hex().upper()
    lines=[h[i:i+96] for i in range(0,len(h),96)]
    pad=' '*indent
    return '{' + ('\n'+pad+' ').join(lines) + '}'
def pic(cls, data, indent):
    return hexblock(bytes([len(cls)])+cls.encode()+data, indent)
def imglist(name, size, files, ind='  '):
    out=[f"{ind}object {name}: TsAlphaImageList",f"{ind}  Height = {size}",f"{ind}  Width = {size}",f"{ind}  Items = <"]
    for i,f in enumerate(files):
        d=open(f"{R}/images/{f}",'rb').read()
        out+= [f"{ind}    item",f"{ind}      ImageFormat = ifPNG",f"{ind}      ImgData = "+hexblock(d,len(ind)+16),f"{ind}    end" + (">" if i==len(files)-1 else "")]
    out.append(f"{ind}end")
    return '\n'.join(out)

def stored_skin(name, data):
    return f'''      item
        Name = "{name}"
        Shadow1Color = clBlack
        Shadow1Offset = 0
        Shadow1Transparency = 0
        Version = 7.2
        Data = {hexblock(data, 15)}
      end'''


def main_form(dusk=b'', linden=b''):
    return '''// The main window: status bar, the trace inside two nested panels, the cool bar with the tool
// bar (its "Skin" drop-down offers "&Light" and "&Dark"), actions, main menu, the two alpha image
// lists, the skin manager with the two stored skins, and the form's skin provider. The build
// writes each stored skin's "Data" (its packed skin); this copy keeps them empty.
object MainForm: TMainForm
  Caption = "Orbex Handheld Tavrin Scope"
  Width = 740
  Height = 559
  Constraints.MinWidth = 268
  Constraints.MinHeight = 197
  Position = poScreenCenter
  Menu = mnuMain
  Font.Height = -11
  Font.Name = "MS Sans Serif"
  OnResize = FormResize
  object StatusBar: TsStatusBar
    Align = alBottom
    Panels = <
      item
        Width = 60
        Text = "0.1s/div"
      end
      item
        Width = 60
        Text = "HOLD"
      end
      item
        Width = 70
        Text = "5mV/div"
      end
      item
        Width = 50
        Text = "x1"
      end
      item
        Width = 50
        Text = "AC"
      end>
    SkinData.SkinSection = "STATUSBAR"
  end
  object DrawBuffer: TsPanel
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 10
    Color = clWhite
    SkinData.SkinSection = "PANEL"
    object Panel1: TsPanel
      Align = alClient
      BevelOuter = bvNone
      BorderWidth = 2
      Color = clGray
      Caption = "Panel1"
      SkinData.SkinSection = "PANEL"
      object Scope: TPaintBox
        Align = alClient
        OnPaint = ScopePaint
      end
    end
  end
  object CoolBar1: TsCoolBar
    Align = alTop
    AutoSize = True
    EdgeBorders = [ebTop, ebBottom]
    Bands = <
      item
        Control = ToolBar1
        MinHeight = 52
      end>
    SkinData.SkinSection = "TOOLBAR"
    object ToolBar1: TsToolBar
      ButtonHeight = 52
      ButtonWidth = 67
      Flat = True
      ShowCaptions = True
      ShowHint = True
      Images = ilMenu32
      SkinData.SkinSection = "TOOLBAR"
      object tbbConnect: TToolButton
        Action = aConnect
      end
      object tbbDisconnect: TToolButton
        Action = aDisconnect
      end
      object ToolButton1: TToolButton
        Style = tbsSeparator
      end
      object tbbCapture: TToolButton
        Action = aScreenCapture
      end
      object ToolButton3: TToolButton
        Style = tbsSeparator
      end
      object ToolButton2: TToolButton
        Action = aHelpIndex
      end
      object ToolButton5: TToolButton
        Style = tbsSeparator
      end
      object ToolButton4: TToolButton
        Caption = "Skin"
        Style = tbsDropDown
        ImageIndex = 5
        DropdownMenu = PopupMenu1
      end
    end
  end
  object alCommon: TActionList
    Images = ilMenu16
    object aCloseApplication: TAction
      Caption = "E&xit"
      Hint = "Close application"
      ShortCut = 32883
      OnExecute = aCloseApplicationExecute
    end
    object aShowAboutBox: TAction
      Caption = "&About"
      OnExecute = aShowAboutBoxExecute
    end
    object aConnect: TAction
      Caption = "&Connect.."
      Hint = "Connect"
      ImageIndex = 0
      ShortCut = 16463
      OnExecute = aConnectExecute
    end
    object aDisconnect: TAction
      Caption = "&Disconnect"
      Hint = "Disconnect"
      ImageIndex = 1
      ShortCut = 16499
      OnExecute = aDisconnectExecute
    end
    object aScreenCapture: TAction
      Caption = "&Capture"
      Hint = "Export to bitmap"
      ImageIndex = 2
      ShortCut = 117
      OnExecute = aScreenCaptureExecute
    end
    object aHelpIndex: TAction
      Caption = "&Help"
      ImageIndex = 4
      ShortCut = 112
      OnExecute = aHelpIndexExecute
    end
  end
  object mnuMain: TMainMenu
    Images = ilMenu16
    object File1: TMenuItem
      Caption = "&File"
      object Connect1: TMenuItem
        Action = aConnect
      end
      object Disconnect1: TMenuItem
        Action = aDisconnect
      end
      object N1: TMenuItem
        Caption = "-"
      end
      object Exit1: TMenuItem
        Action = aCloseApplication
      end
    end
    object Tools1: TMenuItem
      Caption = "&Tools"
      object Capture1: TMenuItem
        Action = aScreenCapture
      end
    end
    object Help1: TMenuItem
      Caption = "&Help"
      object Help2: TMenuItem
        Action = aHelpIndex
      end
      object About1: TMenuItem
        Action = aShowAboutBox
      end
    end
  end
''' + imglist('ilMenu32',32,['connect32.png','disconnect32.png','capture32.png','about32.png','help32.png','skin32.png']) + '''
  object SkinManager: TsSkinManager
    IsDefault = False
    InternalSkins = <
''' + stored_skin('Dusk (internal)', dusk) + '\n' + stored_skin('Linden (internal)', linden) + '''>
    MenuSupport.IcoLineSkin = "ICOLINE"
    SkinDirectory = "c:\\\\Skins"
    SkinName = "Dusk (internal)"
    SkinInfo = "7.2"
    ThirdParty.ThirdButtons = "TButton"
    OnAfterChange = SkinManagerAfterChange
  end
  object SkinProvider: TsSkinProvider
    MakeSkinMenu = True
    SkinData.SkinSection = "FORM"
  end
''' + imglist('ilMenu16',16,['connect16.png','disconnect16.png','capture16.png','about16.png','help16.png']) + '''
  object PopupMenu1: TPopupMenu
    object Light1: TMenuItem
      Caption = "&Light"
      OnClick = Light1Click
    end
    object Dark1: TMenuItem
      Caption = "&Dark"
      OnClick = Dark1Click
    end
  end
end
'''
emit('TMainForm', main_form())

jpg=open(f'{R}/images/about-logo.jpg','rb').read()
about = '''// The About box: the logo filling its lowered panel, the product name and an OK button.
object AboutBox: TAboutBox
  Caption = "About"
  BorderStyle = bsDialog
  BorderIcons = [biSystemMenu]
  ClientWidth = 441
  ClientHeight = 382
  Position = poMainFormCenter
  Font.Height = -11
  Font.Name = "MS Sans Serif"
  object lblProductName: TsLabel
    Left = 88
    Top = 304
    Caption = "Orbex Handheld Tavrin Scope Software 3.3"
    ParentFont = False
    Font.Color = clGray
    Font.Height = -11
    Font.Name = "MS Sans Serif"
    Font.Style = [fsBold]
  end
  object btnOK: TsButton
    Left = 192
    Top = 336
    Width = 75
    Height = 25
    Caption = "OK"
    Default = True
    ModalResult = 1
    TabOrder = 0
    SkinData.SkinSection = "BUTTON"
  end
  object pnlHolder: TsPanel
    Left = 8
    Top = 8
    Width = 425
    Height = 273
    BevelOuter = bvLowered
    SkinData.SkinSection = "PANEL"
    object imgLogo: TImage
      Align = alClient
      Picture.Data = ''' + pic('TJPEGImage', jpg, 20) + '''
    end
  end
end
'''
emit('TAboutBox', about)

bmp=open(f'{R}/images/help-binary-mode.bmp','rb').read()
def lbl(name, top, cap, tahoma=False, left=16, wrap=False):
    f = ('    Font.Height = -16\n    Font.Name = "Tahoma"\n' if tahoma else '    Font.Height = -11\n    Font.Name = "MS Sans Serif"\n')
    w = "    AutoSize = False\n    Width = 450\n    Height = 26\n    WordWrap = True\n" if wrap else ""
    return f'''  object {name}: TsLabel
    Left = {left}
    Top = {top}
{w}    Caption = "{cap}"
    ParentFont = False
    Font.Color = clGray
{f}  end
'''
help_ = '''// The help form: what to check when the trace does not move or the connection fails, a
// picture of the instrument's binary mode, the support forum link and a Close button.
object HelpForm: THelpForm
  Caption = "Help - FAQ"
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu]
  ClientWidth = 490
  ClientHeight = 427
  Position = poMainFormCenter
  Font.Height = -11
  Font.Name = "MS Sans Serif"
''' + lbl('sLabel1',16,'You are connected but the scope trace does not move',True) \
    + lbl('sLabel2',48,'1. Make sure you are connected to the correct COM port',left=24) \
    + lbl('sLabel3',72,"2. You need to put the scope in 'Binary' mode if you want it to communicate with PC software",left=24,wrap=True) + '''  object Image1: TImage
    Left = 136
    Top = 104
    Width = 224
    Height = 164
    AutoSize = True
    Picture.Data = ''' + pic('TPNGGraphic', bmp, 20) + '''
  end
''' + lbl('sLabel4',288,'You are unable to connect',True) \
    + lbl('sLabel5',320,'1. Make sure you have entered the correct COM port in the connection dialog',left=24) \
    + lbl('sLabel6',352,'If you have any more problems or questions, feel free to visit our Support Forum') + '''  object sWebLabel1: TsWebLabel
    Left = 16
    Top = 372
    Caption = "https://forum.orbex.example.org/"
    ParentFont = False
    Font.Color = clBlue
    Font.Height = -11
    Font.Name = "MS Sans Serif"
    HoverFont.Color = clRed
    HoverFont.Height = -11
    HoverFont.Name = "MS Sans Serif"
    HoverFont.Style = [fsUnderline]
    URL = "https://forum.orbex.example.org/"
  end
  object btnClose: TsButton
    Left = 408
    Top = 392
    Width = 75
    Height = 25
    Caption = "&Close"
    ModalResult = 1
    TabOrder = 0
    SkinData.SkinSection = "BUTTON"
  end
end
'''
emit('THelpForm', help_)


def write_main_form(out, dusk_path, linden_path):
    with open(dusk_path, 'rb') as f:
        dusk = f.read()
    with open(linden_path, 'rb') as f:
        linden = f.read()
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    with open(out, 'w') as f:
        f.write(main_form(dusk, linden))


if __name__ == '__main__':
    if sys.argv[1:2] == ['--main-form']:
        if len(sys.argv) != 5:
            sys.exit('usage: make_forms.py --main-form OUT DUSK.tez LINDEN.tez')
        write_main_form(*sys.argv[2:5])
        sys.exit(0)
    check = '--check' in sys.argv[1:]
    stale = []
    for name, text in OUT.items():
        path = os.path.join(R, 'forms', name + '.txt')
        if check:
            with open(path) as f:
                if f.read() != text:
                    stale.append(path)
        else:
            with open(path, 'w') as f:
                f.write(text)
    for path in stale:
        print(f'{path} differs from what resources/forms/make_forms.py writes; run it')
    sys.exit(1 if stale else 0)
