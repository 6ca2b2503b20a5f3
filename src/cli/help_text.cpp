#include "cli/help_text.h"

#include "platform/version.h"

namespace kw39::cli {

std::string UsageText() {
    return R"usage(使い方 (usage):
  kw39pcaconv [--year TEXT] [--mode standard|simple]
              [--company PATH] [--payee PATH] [--department PATH]
              [--employee PATH] [--monthly PATH] [--yearend PATH]
              [--folder DIR] [--output PATH] [--report PATH]
              [--check] [--yes] [--quiet]
  kw39pcaconv --batch ROOT --output-dir DIR
              [--year TEXT] [--mode standard|simple]
              [--report PATH] [--check] [--yes] [--quiet]
  kw39pcaconv --help | -h | --version | -V
)usage";
}

// Every line fits a terminal of 80 columns (a wide character takes two).
std::string HelpText() {
    return UsageText() + R"help(
PCA給与X の CSV データ (Shift_JIS) を、Orvelle が取り込む XML データ
(Shift_JIS) に変換します。
Converts the CSV exports of PCA給与X (Shift_JIS) into the one XML document
(Shift_JIS) that Orvelle imports.

オプション (options):
  --year TEXT         申告年度 (和暦の年、1 から 98)。既定は月次データの支給日
                      ([10702]) で最も多い年の年度、支給日がなければ今日の
                      年度。支給日の年と違う年度は確認します (--yes では続行)。
                      The filing year in Japanese-era years, 1 to 98; by
                      default the year most payment dates of the monthly file
                      fall in, else the current year. A year other than that
                      of the payment dates is asked about (--yes goes on).
  --mode standard     標準モード (既定): 扶養親族等の名称等の詳細も連動します。
                      Standard mode (default): dependants with their details.
  --mode simple       簡易モード: 扶養親族等は人数のみ連動します。
                      Simple mode: only the dependant head counts.
  --company PATH      会社情報 (KAISHAQ) のファイル。必須です。
                      Company file (KAISHAQ); required.
  --payee PATH        住民税納付先 (NOUFUQ) のファイル。
                      Residence-tax payee file (NOUFUQ).
  --department PATH   部門 (BUMONQ) のファイル。
                      Department file (BUMONQ).
  --employee PATH     社員情報 (KOJINQ) のファイル。必須です。
                      Employee file (KOJINQ); required.
  --monthly PATH      月次データ (GETUJIQ) のファイル。
                      Monthly pay file (GETUJIQ).
  --yearend PATH      年末調整データ (NENCHOUQ) のファイル。
                      Year-end adjustment file (NENCHOUQ).
  --folder DIR        フォルダ内のファイルを名前 (KAISHAQ, NOUFUQ, BUMONQ,
                      KOJINQ, GETUJIQ, NENCHOUQ を含む *.CSV) で一括選択します。
                      個別のオプションはその後に適用されます。
                      Chooses the six files in DIR by the prefixes in their
                      names; the file options above are applied after it.
  --output PATH       出力先の XML ファイル。省略すると、会社情報の会社コードと
                      会社名から "<会社コード><会社名>.XML" を現在のフォルダに
                      作成します。標準出力 (-) には書き出せません。
                      The output XML file. When omitted, the name is made of
                      the company code and name, in the current folder. Never
                      standard output ("-").
  --report PATH       変換で出力しなかったもの、読み込まなかった行などの一覧
                      (下の「報告の種類」) を CSV (UTF-8) で書き出します。
                      件数は完了時に "報告: N 件 (...)" として表示します。
                      Writes a CSV report (UTF-8) of what the conversion left
                      out (see the kinds below); the counts are shown after
                      the completion message.
  --batch ROOT        ROOT の下の会社ごとのフォルダ (PCA のファイルがあるもの)
                      を --folder と同じ規則でまとめて変換します。--folder、
                      ファイルのオプション、--output とは一緒に指定できません。
                      Converts every company folder directly under ROOT (one
                      that holds PCA files), each as --folder would. Not with
                      --folder, the six file options or --output.
  --output-dir DIR    一括変換の出力先フォルダ。各社の XML は会社コードと
                      会社名の名前で作成します。同じ名前になる会社は
                      いずれも変換しません。
                      The folder of the batch's documents, each named after
                      its company; companies that would share a name are both
                      left unconverted.
  --check             チェック、読み込み、変換をすべて行い、報告 (--report) も
                      書き出しますが、XML データは作成しません。作成できる
                      場合は 0 を返します。確認はしません (支給日の年と違う
                      申告年度は警告として表示します)。--batch とも使えます。
                      Runs every check, the load and the conversion and writes
                      the report, but no document; exits 0 when the document
                      could have been written. Asks nothing (a year other than
                      that of the payment dates is shown as a warning); works
                      in a batch.
  --yes               確認 "処理を開始します。よろしいですか？" に OK と、
                      支給日の年と違う申告年度の質問に Yes と答えます。
                      これがなく標準入力が端末でない場合は中止します。
                      端末では y, yes, OK, はい, ｙ で実行、n, no, いいえ
                      または空行で中止します。ほかの答えは 3 回まで
                      聞き直します。
                      Answers the confirmation with OK and the question about
                      a year other than that of the payment dates with Yes.
                      Without it the question is asked on the terminal
                      (y, yes, OK, はい, ｙ run; n, no, いいえ or an empty line
                      cancel; any other answer is asked again, three times at
                      most); with no terminal the run is cancelled.
  --quiet             警告とエラーだけを表示します (実行内容、情報、報告の件数
                      は表示しません)。
                      Shows only warnings and errors.
  -h, --help          この説明を表示します。 Shows this text.
  -V, --version       プログラム名とバージョンを表示します。
                      Shows the program name and its versions.
  --                  オプションの終わりです。 Ends the options.

メッセージ (messages):
  メッセージはすべて標準エラー出力に、種類と英語の一行の説明を添えて
  表示されます。
  Every message goes to standard error with its kind and a line of English:
    警告 (Warning), 確認 (Confirm), 質問 (Question), 情報 (Info), エラー (Error)
  確認の前に、申告年度 (和暦)、モード、選んだファイル、出力先を表示します。
  Before the confirmation the year with its era, the mode, the chosen files
  and the output are shown.
  チェックに失敗した場合は、修正すべきオプションも表示します。
  After a failed check the option to correct is named.

報告の種類 (kinds of finding, the report's 種類 column):
  扶養親族の超過      21 人目以降の扶養親族。出力していません。
                      Dependants beyond the 20th: not written.
  給与の除外          計上しなかった給与 (支給回・支給日が範囲外、対応なし)。
                      Salary payments not counted (number or date wrong).
  賞与の除外          計上しなかった賞与 (支給回が範囲外、対応する行なし)。
                      Bonus payments not counted (number wrong, no match).
  コードの変換なし    変換先のないコード。空欄または既定値にしました。
                      A code with no conversion: left empty or the default.
  データなし          社員の行がない表。その値は出力していません。
                      A table without the employee's row: nothing written.
  マスター未登録      部門、役職、納付先などのコードがマスターにありません。
                      A code (department, post, payee...) not in its master.
  引用符の不一致      引用符 (") が奇数か、全体を囲まない項目にカンマ。
                      Odd or misplaced quotes: fields may have been merged.
  金額の異常          扱える範囲を超える金額。0 として計上しました。
                      An amount out of range: counted as 0.
  入力なし            選ばれていない任意のファイル。その値は出力していません。
                      An optional file not chosen: its values not written.
  社員情報にない社員  社員情報 (10601) にない社員の行。出力していません。
                      Rows of an employee the employee table lacks.
  読み込まない行      表の見出しより前の行、読み込まない表の行。
                      Lines before any table or of a table not read.
  上書き              同じキーの後の行が前の行の値を置き換えました。
                      A later line of the same key replaced a value.
  読めない行          キーが空欄の行。その値は出力していません。
                      A line whose key is empty: its values not written.
  合算                同じ月の複数の支給を一つにまとめて計上しました。
                      Several payments of one month added together.

終了ステータス (exit status):
  0   XML データを作成しました (--check では、作成できることを確かめました)。
      The document was written (--check: it could have been written).
  1   申告年度または入力ファイルのチェックに失敗しました。
      A check of the year or of the input files failed.
  2   処理中にエラーが発生しました (データの誤り、読み書きの失敗など)。
      The run failed (a malformed data line, a read or write error, ...).
  3   中止しました (確認、または申告年度の質問で)。
      Cancelled at the confirmation or at the year question.
  4   社員データがないため、何も作成しませんでした。
      No employee was loaded; nothing was written.
  64  オプションの指定が正しくありません (引数なしを含む)。
      Wrong usage, or no argument at all.
  一括変換では、全社を変換できた場合のみ 0、それ以外は各社のうち最も重い
  ステータスを返します。重い順に 2, 1, 4, 3 です。
  A batch exits 0 only when every company was converted; otherwise with the
  worst status of its companies, worst first: 2, 1, 4, 3.

例 (examples):
  kw39pcaconv --folder export --year 8 --output 2026.xml --yes
  kw39pcaconv --batch clients --output-dir xml --report report.csv --yes
  kw39pcaconv --batch clients --output-dir xml --report report.csv --check

端末では、大きなデータ (数 MB 以上) の進み具合 (読み込んだ MB、変換した
社員数) を表示し、終わると消します。
On a terminal, the progress of a large run (a few megabytes and more) is shown
on standard error and erased when the run ends.
)help";
}

std::string VersionText() {
    // GNU form: name and release, copyright, licence. Then the two strings
    // that every document carries, so that a document can be matched to the
    // program that wrote it.
    return "kw39pcaconv " KW39_PROGRAM_VERSION
           "\n"
           "Copyright (C) 2026 kw39pcaconv developers\n"
           "License MIT: <https://opensource.org/licenses/MIT>\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n"
           "\n"
           "Versions written into every document, in its SYSTEM element:\n"
           "  product version  " +
           platform::ReadProductVersion() +
           "  (CONNECTEDPROGRAMVER)\n"
           "  file version     " +
           platform::ReadFileVersion() + "  (PROGRAMVER)\n";
}

}  // namespace kw39::cli
