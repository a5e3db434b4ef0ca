// The one table that turns an error code into its texts. The Japanese texts
// are written readably here and become code page 932 bytes in the program,
// which is what the console shows.
#include "job/Error.h"

std::string_view ErrorMessage(ErrorCode code) {
  switch (code) {
    case ErrorCode::kNone: return {};
    case ErrorCode::kBadParameter: return "変換ﾊﾟﾗﾒｰﾀが正しくありません";
    case ErrorCode::kFileSetTwice: return "入出力ﾌｧｲﾙの設定が複数設定されています";
    case ErrorCode::kBadStatement: return "命令が正しくありません";
    case ErrorCode::kEditNotAllowed: return "命令と編集定義が正しくないか、または命令が定義されていません";
    case ErrorCode::kNotDigits: return "ｶﾗﾑまたはﾚﾝｸﾞｽに数字以外の文字が含まれています";
    case ErrorCode::kBadFileSettings: return "入出力ﾌｧｲﾙの設定に誤りがあります";
    case ErrorCode::kTypeMismatch: return "比較する文字のﾀｲﾌﾟが異なります";
    case ErrorCode::kBadEditType: return "編集ﾀｲﾌﾟに誤りがあります";
    case ErrorCode::kBadFieldType: return "文字ﾀｲﾌﾟに誤りがあります";
    case ErrorCode::kBadOperator: return "符号に誤りがあります";
    case ErrorCode::kFieldBeyondRecord: return "指定したｶﾗﾑは入力ﾚｺｰﾄﾞ長を超えています";
    case ErrorCode::kValueTooLong: return "出力する文字列が指定したﾚﾝｸﾞｽを超えています";
    case ErrorCode::kTooManyGroups: return "条件(OR)指定は最大300までです";
    case ErrorCode::kTooManyTerms: return "条件(AND)指定は最大30までです";
    case ErrorCode::kTooManyDefinitions: return "編集指定は最大300までです";
    case ErrorCode::kTooManyEditTerms: return "編集指定のAND条件は最大30までです";
    case ErrorCode::kNotNumeric: return "指定した位置には数字以外の文字が含まれています";
    case ErrorCode::kOddWideLength: return "全角文字変換の場合、ﾚﾝｸﾞｽは偶数で指定して下さい";
    case ErrorCode::kNotCp932: return "入力ﾚｺｰﾄﾞにｼﾌﾄJISに変換できない文字が含まれています";
    case ErrorCode::kParameterFileFailed: return "変換ﾊﾟﾗﾒｰﾀﾌｧｲﾙを開く事が出来ません";
    case ErrorCode::kOutputFailed: return "出力ﾌｧｲﾙを開く事が出来ません";
    case ErrorCode::kInputFailed: return "入力ﾌｧｲﾙを開く事が出来ません";
  }
  return {};
}

std::string_view EnglishErrorMessage(ErrorCode code) {
  switch (code) {
    case ErrorCode::kNone: return {};
    case ErrorCode::kBadParameter: return "the statement does not follow the parameter syntax";
    case ErrorCode::kFileSetTwice: return "INP, or OUT/ADD, is given more than once";
    case ErrorCode::kBadStatement: return "unknown statement (or an edit statement before FUNCTION)";
    case ErrorCode::kEditNotAllowed: return "edit statements are not allowed with FUNCTION = COPY";
    case ErrorCode::kNotDigits: return "a position or length holds characters other than digits";
    case ErrorCode::kBadFileSettings: return "INP and OUT/ADD are missing or name the same file";
    case ErrorCode::kTypeMismatch: return "the two sides of the comparison have different types";
    case ErrorCode::kBadEditType: return "invalid edit type";
    case ErrorCode::kBadFieldType: return "invalid field type";
    case ErrorCode::kBadOperator: return "invalid operator";
    case ErrorCode::kFieldBeyondRecord: return "the field lies beyond the end of the record";
    case ErrorCode::kValueTooLong: return "the value is longer than its output length";
    case ErrorCode::kTooManyGroups: return "more than 300 SEL statements";
    case ErrorCode::kTooManyTerms: return "more than 30 AND terms in one SEL statement";
    case ErrorCode::kTooManyDefinitions: return "more than 300 edit statements";
    case ErrorCode::kTooManyEditTerms: return "more than 30 AND terms after \"@\"";
    case ErrorCode::kNotNumeric: return "the field holds characters other than a number";
    case ErrorCode::kOddWideLength: return "a full-width (WID) number needs an even length";
    case ErrorCode::kNotCp932:
      return "the record holds a character without a code page 932 form, or is not UTF-8";
    case ErrorCode::kParameterFileFailed: return "cannot open the parameter file";
    case ErrorCode::kOutputFailed: return "cannot open the output file";
    case ErrorCode::kInputFailed: return "cannot open the input file";
  }
  return {};
}
