// The one table that turns an error code into its message. The texts are
// written readably here and built as code page 932 bytes (this file is listed
// in RUX_CP932_SOURCES in CMakeLists.txt), which is what the console shows.
#include "param/ConvParam.h"

std::string CConvParam::GetErrorMessage(int code) {
  switch (code) {
    case 10: return "変換ﾊﾟﾗﾒｰﾀが正しくありません";
    case 11: return "入出力ﾌｧｲﾙの設定が複数設定されています";
    case 12: return "命令が正しくありません";
    case 13: return "命令と編集定義が正しくないか、または命令が定義されていません";
    case 14: return "ｶﾗﾑまたはﾚﾝｸﾞｽに数字以外の文字が含まれています";
    case 15: return "入出力ﾌｧｲﾙの設定に誤りがあります";
    case 16: return "比較する文字のﾀｲﾌﾟが異なります";
    case 17: return "編集ﾀｲﾌﾟに誤りがあります";
    case 18: return "文字ﾀｲﾌﾟに誤りがあります";
    case 19: return "符号に誤りがあります";
    case 20: return "指定したｶﾗﾑは入力ﾚｺｰﾄﾞ長を超えています";
    case 21: return "出力する文字列が指定したﾚﾝｸﾞｽを超えています";
    case 22: return "条件(OR)指定は最大300までです";
    case 23: return "条件(AND)指定は最大30までです";
    case 24: return "編集指定は最大300までです";
    case 25: return "編集指定のAND条件は最大30までです";
    case 26: return "指定した位置には数字以外の文字が含まれています";
    case 27: return "全角文字変換の場合、ﾚﾝｸﾞｽは偶数で指定して下さい";
    case 90: return "変換ﾊﾟﾗﾒｰﾀﾌｧｲﾙを開く事が出来ません";
    case 91: return "出力ﾌｧｲﾙを開く事が出来ません";
    case 92: return "入力ﾌｧｲﾙを開く事が出来ません";
    default: return std::string();
  }
}
