#include "cli/message_gloss.h"

#include <array>

namespace kw39::cli {

namespace {

struct Gloss {
    std::string_view part;  // a part of the message that only it holds (CP932)
    std::string_view english;
};

// Searched in order: a message whose words contain those of another (the
// output folder's and any folder's "does not exist") comes before it.
constexpr std::array kGlosses = {
    Gloss{"正しい申告年度を指定してください。",
          "The filing year must be a Japanese-era year from 1 to 98."},
    Gloss{"以下のファイルが存在しない、または同一のファイルが複数存在するため選択できません。",
          "These kinds have no file in the folder, or several: choose their files one by one."},
    Gloss{"フォルダ内の同じファイルが複数の種類に当てはまるため",
          "One file in the folder matches the names of several kinds: nothing was chosen."},
    Gloss{"連動に必要なマスターファイルが存在しません。",
          "A required file (company or employee) is not chosen."},
    Gloss{"マスターファイルが存在しません。", "The input file does not exist."},
    Gloss{"ファイルの文字コードが正しくありません。",
          "The file is not Shift_JIS CSV text as the payroll package exports it."},
    Gloss{"通常のファイルではないもの", "This is no plain file (a folder, a device or a pipe)."},
    Gloss{"ファイルを開けません。",
          "The file cannot be opened: check that it may be read and no other program holds it."},
    Gloss{"異なる会社のデータが選択されています。", "The files come from different companies."},
    Gloss{"会社情報ファイルが選択されていません。", "No company file (KAISHAQ) is chosen."},
    Gloss{"会社情報ファイルが存在しません。", "The company file does not exist."},
    Gloss{"ファイルが正しくありません。", "The file does not hold the table of its kind."},
    Gloss{"出力先データが選択されていません。", "No output file is given."},
    Gloss{"出力先データに連動元データ（", "The output would replace one of the input files."},
    Gloss{"報告ファイルに、", "The report would replace a file that the run reads or writes."},
    Gloss{"のファイル名に、使用できない制御文字が含まれています。",
          "The file name holds a control character."},
    Gloss{"にフォルダが指定されています。", "A folder is given where a file name is needed."},
    Gloss{"出力先のフォルダが存在しません。", "The output folder does not exist: create it first."},
    Gloss{"を作成できません。",
          "No file can be created there: check the folder's permissions and the name's length."},
    Gloss{"ファイルの保存に失敗しました。",
          "The file cannot be replaced (it may be in use or read-only)."},
    Gloss{"変換する会社のフォルダがありません。", "No company folder with PCA files was found."},
    Gloss{"社員データが読み込まれなかったため", "No employee was loaded: nothing was written."},
    Gloss{"の会社と同じになります。",
          "Companies would get the same document name: none of them was converted."},
    Gloss{"この一括変換で別の会社の書類として書き出したファイルです。",
          "This batch has written another company's document under that name."},
    Gloss{"フォルダの内容を読み取れません。", "The folder cannot be read."},
    Gloss{"フォルダが存在しません。", "The folder does not exist."},
    Gloss{"ファイルの読み込みに失敗しました。", "Reading the file failed."},
    Gloss{"ファイルの書き込みに失敗しました。", "Writing the file failed."},
    Gloss{"引数が正しくありません。", "A data line is malformed (file and line above)."},
    Gloss{"メモリが不足したため", "Out of memory: the run was stopped."},
    Gloss{"処理中にエラーが発生したため", "The run failed and was stopped."},
    Gloss{"変換テーブルが存在しません。", "A conversion table is missing."},
    Gloss{"チェックが正常に終了しました",
          "Check passed: the document could be written; it was not."},
};

}  // namespace

std::string_view EnglishGloss(std::string_view cp932) {
    for (const Gloss& gloss : kGlosses) {
        if (cp932.find(gloss.part) != std::string_view::npos) return gloss.english;
    }
    return {};
}

}  // namespace kw39::cli
