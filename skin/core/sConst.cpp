// Start-up defaults and the process-wide UI strings: see sConst.h.
#include "skin/core/sConst.h"

TColor sTransparentColor = sKeyColor;
int sScrollWidth = 0;

namespace {
constexpr TsBackgroundInfo DefaultBackgroundValue{nullptr, -99, -99, sKeyColor, 0};
}  // namespace
TsBackgroundInfo sDefaultBackground = DefaultBackgroundValue;

std::string s_MsgDlgOK, s_MsgDlgCancel, s_MsgDlgHelp;
std::string s_RestoreStr, s_MoveStr, s_SizeStr, s_MinimizeStr, s_MaximizeStr, s_CloseStr;
std::string s_Calculator, s_FileOpen, s_AvailSkins, s_InternalSkin;
std::string s_ErrorSettingCount, s_ListBoxMustBeVirtual;
std::string s_ColorDlgAdd, s_ColorDlgDefine, s_ColorDlgMainPal, s_ColorDlgAddPal,
    s_ColorDlgTitle, s_ColorDlgRed, s_ColorDlgGreen, s_ColorDlgBlue, s_ColorDlgDecimal,
    s_ColorDlgHex;
std::string s_FrameAdapterError, s_HintDsgTitle, s_HintDsgPreservedSettings, s_HintDsgStyle,
    s_HintDsgBevelWidth, s_HintDsgBlur, s_HintDsgArrowLength, s_HintDsgHorizMargin,
    s_HintDsgVertMargin, s_HintDsgRadius, s_HintDsgMaxWidth, s_HintDsgPauseHide,
    s_HintDsgPercent, s_HintDsgOffset, s_HintDsgTransparency, s_HintDsgNoPicture,
    s_HintDsgFont, s_HintDsgTexture, s_HintDsgLoadFromFile, s_HintDsgSaveToFile,
    s_HintDsgColor, s_HintDsgTopBorder, s_HintDsgBottomBorder, s_HintDsgShadow,
    s_HintDsgBackground, s_HintDsgGradient, s_HintDsgPreview;
std::string s_SelectDir, s_Create;

namespace {
const TsUIString UIStrings[] = {
    {58992, &s_MsgDlgOK},          {58991, &s_MsgDlgCancel},
    {58990, &s_MsgDlgHelp},        {58981, &s_RestoreStr},
    {58980, &s_MoveStr},           {58979, &s_SizeStr},
    {58978, &s_MinimizeStr},       {58977, &s_MaximizeStr},
    {58976, &s_CloseStr},          {58975, &s_Calculator},
    {58970, &s_FileOpen},          {58964, &s_AvailSkins},
    {58963, &s_InternalSkin},      {58962, &s_ErrorSettingCount},
    {58961, &s_ListBoxMustBeVirtual}, {58960, &s_ColorDlgAdd},
    {58959, &s_ColorDlgDefine},    {58958, &s_ColorDlgMainPal},
    {58957, &s_ColorDlgAddPal},    {58956, &s_ColorDlgTitle},
    {58955, &s_ColorDlgRed},       {58954, &s_ColorDlgGreen},
    {58953, &s_ColorDlgBlue},      {58952, &s_ColorDlgDecimal},
    {58951, &s_ColorDlgHex},       {58950, &s_FrameAdapterError},
    {58949, &s_HintDsgTitle},      {58948, &s_HintDsgPreservedSettings},
    {58947, &s_HintDsgStyle},      {58946, &s_HintDsgBevelWidth},
    {58945, &s_HintDsgBlur},       {58944, &s_HintDsgArrowLength},
    {58943, &s_HintDsgHorizMargin}, {58942, &s_HintDsgVertMargin},
    {58941, &s_HintDsgRadius},     {58940, &s_HintDsgMaxWidth},
    {58939, &s_HintDsgPauseHide},  {58938, &s_HintDsgPercent},
    {58937, &s_HintDsgOffset},     {58936, &s_HintDsgTransparency},
    {58935, &s_HintDsgNoPicture},  {58934, &s_HintDsgFont},
    {58933, &s_HintDsgTexture},    {58932, &s_HintDsgLoadFromFile},
    {58931, &s_HintDsgSaveToFile}, {58930, &s_HintDsgColor},
    {58929, &s_HintDsgTopBorder},  {58928, &s_HintDsgBottomBorder},
    {58927, &s_HintDsgShadow},     {58926, &s_HintDsgBackground},
    {58925, &s_HintDsgGradient},   {58924, &s_HintDsgPreview},
    {58911, &s_SelectDir},         {58910, &s_Create},
};
static_assert(sizeof(UIStrings) / sizeof(UIStrings[0]) == 54);
}  // namespace

std::span<const TsUIString> SkinUIStrings() { return UIStrings; }

void sConstInitDefaults() {
  sTransparentColor = sKeyColor;
  sDefaultBackground = DefaultBackgroundValue;
}

int ShowModeToSW(TsWindowShowMode mode) {
  // The system's values, spelled out so that the unit stays window-free.
  static constexpr int SW[] = {
      0,    // soHide: SW_HIDE
      1,    // soNormal: SW_SHOWNORMAL
      2,    // soShowMinimized: SW_SHOWMINIMIZED
      3,    // soShowMaximized: SW_SHOWMAXIMIZED
      3,    // soMaximize: SW_MAXIMIZE
      4,    // soShowNoActivate: SW_SHOWNOACTIVATE
      5,    // soShow: SW_SHOW
      6,    // soMinimize: SW_MINIMIZE
      7,    // soShowMinNoActive: SW_SHOWMINNOACTIVE
      8,    // soShowNA: SW_SHOWNA
      9,    // soRestore: SW_RESTORE
      10,   // soDefault: SW_SHOWDEFAULT
  };
  static_assert(sizeof(SW) / sizeof(SW[0]) == soDefault + 1);
  const int i = static_cast<int>(mode);
  return (i >= 0 && i <= soDefault) ? SW[i] : 1;
}

void sConstFinalization() {
  for (const TsUIString& s : UIStrings) {
    s.Value->clear();
    s.Value->shrink_to_fit();
  }
}
