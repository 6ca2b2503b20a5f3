#include "platform/messages.h"

#include <array>
#include <cstddef>

#include "platform/sjis.h"

namespace kw39::platform {

namespace {

struct CatalogueEntry {
    MessageId id;
    std::string_view japanese;
    std::string_view english;
};

// In the order of MessageId, which Entry checks at compile time.
constexpr std::array kCatalogue = {
    CatalogueEntry{MessageId::None, "", ""},
    CatalogueEntry{MessageId::YearRejected, "正しい申告年度を指定してください。",
                   "The filing year must be a Japanese-era year from 1 to 98."},
    CatalogueEntry{MessageId::Confirm, "処理を開始します。\nよろしいですか？",
                   "Start the conversion?"},
    CatalogueEntry{MessageId::YearQuestion,
                   "支給日の年は {1} 年 ({2}) ですが、申告年度に {3} が指定されています。\n"
                   "このまま続けますか？",
                   "The payment dates are of {1}, but the filing year given is {3}: go on?"},
    CatalogueEntry{MessageId::YearMismatch,
                   "支給日の年は {1} 年 ({2}) ですが、申告年度に {3} が指定されています。",
                   "The payment dates are of {1}, but the filing year given is {3}."},
    CatalogueEntry{MessageId::Done, "正常に終了しました。", ""},
    CatalogueEntry{MessageId::Checked,
                   "チェックが正常に終了しました (社員 {1} 名)。出力ファイルは作成していません。",
                   "Check passed: the document could be written; it was not."},
    CatalogueEntry{MessageId::NothingLoaded,
                   "社員データが読み込まれなかったため、出力ファイルは作成していません。",
                   "No employee was loaded: nothing was written."},
    CatalogueEntry{MessageId::Cancelled, "中止しました。", "Cancelled."},
    CatalogueEntry{
        MessageId::FolderKindsMissing,
        "以下のファイルが存在しない、または同一のファイルが複数存在するため選択できません。\n"
        "選択が必要な場合は、個別に選択をしてください。\n\n{1}",
        "These kinds have no file in the folder, or several: choose their files one by one."},
    CatalogueEntry{
        MessageId::FolderNothingChosen,
        "フォルダ内の同じファイルが複数の種類に当てはまるため、ファイルを選択しませんでした。",
        "One file in the folder matches the names of several kinds: nothing was chosen."},
    CatalogueEntry{MessageId::RequiredMissing,
                   "連動に必要なマスターファイルが存在しません。\n\n{1}",
                   "A required file (company or employee) is not chosen."},
    CatalogueEntry{MessageId::InputMissing, "マスターファイルが存在しません。\n\n{1}",
                   "The input file does not exist."},
    CatalogueEntry{
        MessageId::InputEncoding,
        "{1}ファイルの文字コードが正しくありません。\n\n{2}\n{3}"
        "PCA給与X から CSV 形式 (Shift_JIS) で書き出したファイルを選択し直してください。",
        "The file is not Shift_JIS CSV text as the payroll package exports it."},
    CatalogueEntry{MessageId::InputNotPlain,
                   "{1}ファイルに、通常のファイルではないもの (フォルダ、デバイス、パイプなど) "
                   "が指定されています。\n\n{2}",
                   "This is no plain file (a folder, a device or a pipe)."},
    CatalogueEntry{MessageId::InputNotOpened,
                   "{1}ファイルを開けません。\n\n{2}\n\nファイルを読み取る権限があるか、"
                   "ほかのプログラムが使用していないかを確認してください。",
                   "The file cannot be opened: check that it may be read and no other program "
                   "holds it."},
    CatalogueEntry{MessageId::InputWrongKind, "{1}ファイルが正しくありません。",
                   "The file does not hold the table of its kind."},
    CatalogueEntry{MessageId::CompanyMismatch, "異なる会社のデータが選択されています。",
                   "The files come from different companies."},
    CatalogueEntry{MessageId::CompanyNotChosen, "会社情報ファイルが選択されていません。",
                   "No company file (KAISHAQ) is chosen."},
    CatalogueEntry{MessageId::CompanyFileMissing, "会社情報ファイルが存在しません。",
                   "The company file does not exist."},
    CatalogueEntry{MessageId::OutputNotChosen, "出力先データが選択されていません。\n\n",
                   "No output file is given."},
    CatalogueEntry{MessageId::OutputIsInput,
                   "出力先データに連動元データ（{1}）と同じファイルが指定されています。\n\n{2}",
                   "The output would replace one of the input files."},
    CatalogueEntry{MessageId::NameControlCharacter,
                   "{1}のファイル名に、使用できない制御文字が含まれています。",
                   "The file name holds a control character."},
    CatalogueEntry{MessageId::NameIsFolder,
                   "{1}にフォルダが指定されています。ファイル名を指定してください。\n\n{2}",
                   "A folder is given where a file name is needed."},
    CatalogueEntry{MessageId::OutputNotPlain,
                   "{1}に、通常のファイルではないもの (デバイス、パイプなど) が指定されています。"
                   "\n\n{2}",
                   "This is no plain file (a folder, a device or a pipe)."},
    CatalogueEntry{
        MessageId::OutputFolderMissing,
        "出力先のフォルダが存在しません。\n\n{1}\n\nフォルダを作成してから実行してください。",
        "The output folder does not exist: create it first."},
    CatalogueEntry{MessageId::CannotCreate,
                   "{1}を作成できません。\n\n{2}\n\nフォルダに書き込みが許可されているか、"
                   "ファイル名が長すぎないかを確認してください。",
                   "No file can be created there: check the folder's permissions and the name's "
                   "length."},
    CatalogueEntry{MessageId::ForeignLink,
                   "{1}に、ほかのユーザーのシンボリックリンクが指定されています。"
                   "リンク先には書き込みません。\n\nリンク: {2}\nリンク先: {3}",
                   "Another user's symbolic link is given: nothing is written through it."},
    CatalogueEntry{
        MessageId::LinkChain,
        "{1}のシンボリックリンクが、別のシンボリックリンク (またはそれ自身) "
        "を指しています。リンク先には書き込みません。\n\nリンク: {2}\nリンク先: {3}",
        "The symbolic link points to another link (or itself): nothing is written through it."},
    CatalogueEntry{MessageId::NotReplaceable,
                   "{1}は、ほかのユーザーのファイルのため置き換えられません。\n\n{2}"
                   "\n\n別のファイル名を指定してください。",
                   "The file belongs to another user and cannot be replaced: choose another name."},
    CatalogueEntry{MessageId::SaveFailed, "ファイルの保存に失敗しました。",
                   "The file cannot be replaced (it may be in use or read-only)."},
    CatalogueEntry{MessageId::SaveFailedAt, "ファイルの保存に失敗しました。\n\n{1}",
                   "The file cannot be replaced (it may be in use or read-only)."},
    CatalogueEntry{MessageId::SaveFailedOverFolder,
                   "ファイルの保存に失敗しました。\n\n{1}にフォルダが指定されています。"
                   "ファイル名を指定してください。\n\n{2}",
                   "A folder is given where a file name is needed."},
    CatalogueEntry{MessageId::ReportCollision,
                   "報告ファイルに、{1}と同じファイルが指定されています。別のファイル名を指定して"
                   "ください。\n\n報告ファイル: {2}\n{1}: {3}",
                   "The report would replace a file that the run reads or writes."},
    CatalogueEntry{MessageId::EncodingUtf16, "UTF-16 で保存されたファイルです。", ""},
    CatalogueEntry{MessageId::EncodingUtf8, "UTF-8 で保存されたファイルです。", ""},
    CatalogueEntry{MessageId::EncodingNulBytes,
                   "UTF-16 で保存されたファイルか、テキストではないファイルです。", ""},
    CatalogueEntry{MessageId::EncodingNotShiftJis,
                   "{1} 行目に Shift_JIS の文字ではないバイトがあります。", ""},
    CatalogueEntry{MessageId::EncodingDataAfterEnd,
                   "{1} 行目に、ファイルの終わりを示す文字 (0x1A) より後のデータがあります。", ""},
    CatalogueEntry{MessageId::ReadFailed, "ファイルの読み込みに失敗しました。\n{1}",
                   "Reading the file failed."},
    CatalogueEntry{MessageId::WriteFailed, "ファイルの書き込みに失敗しました。\n{1}",
                   "Writing the file failed."},
    CatalogueEntry{MessageId::TargetChanged,
                   "書き込み先のファイルが、確認した後で別のものに置き換えられたため、"
                   "書き込みませんでした。元のファイルはそのままです。\n{1}",
                   "The file to be replaced changed after it was checked: nothing was written."},
    CatalogueEntry{MessageId::InputChanged,
                   "読み込むファイルが、確認した後で書き換えられたため、変換しませんでした。"
                   "もう一度実行してください。\n{1}",
                   "The file to be read was written again after it was checked: nothing was "
                   "converted. Run again."},
    CatalogueEntry{MessageId::DataLineMalformed, "引数が正しくありません。\n{1} の {2} 行目: {3}",
                   "A data line is malformed (file and line above)."},
    CatalogueEntry{MessageId::LineMoreFields, "[{1}] の項目数 {2} が列数 {3} を超えています。",
                   "table [{1}]: {2} values, more than its {3} columns"},
    CatalogueEntry{MessageId::LineFewerKeys, "[{1}] の項目数 {2} がキー列数 {3} に足りません。",
                   "table [{1}]: {2} values, fewer than its {3} key columns"},
    CatalogueEntry{MessageId::LineTooLong,
                   "[{1}] の行が {2} バイトを超えています (1 項目は {3} バイトまで)。",
                   "table [{1}]: a line longer than {2} bytes (a value holds at most {3})"},
    CatalogueEntry{MessageId::ValueTooLong,
                   "[{1}] の {2} 項目目が {3} バイトあり、1 項目の上限 {4} バイトを超えています。",
                   "table [{1}]: value {2} has {3} bytes, more than the {4} a value may hold"},
    CatalogueEntry{MessageId::CompanyNameMissing,
                   "[10000] の項目数 {1} では会社名（2 項目目）がありません。",
                   "the company line has {1} values: no company name (the second)"},
    CatalogueEntry{MessageId::CompanyLineMissing,
                   "[10000] の次に会社コードと会社名の行がありません。",
                   "no line with the company code and name after [10000]"},
    CatalogueEntry{MessageId::CompanyLineShort,
                   "[10000] の行に会社コードと会社名の 2 項目がありません。",
                   "the company line lacks its two values, code and name"},
    CatalogueEntry{MessageId::OutOfMemory, "メモリが不足したため、処理を中止しました。\n{1}",
                   "Out of memory: the run was stopped."},
    CatalogueEntry{MessageId::RunFailed, "処理中にエラーが発生したため、処理を中止しました。\n{1}",
                   "The run failed and was stopped."},
    CatalogueEntry{MessageId::FileVanished, "ファイルが存在しません。", ""},
    CatalogueEntry{MessageId::ColumnUnknown, "存在しないカラム名が設定されています。\n[{1}]", ""},
    CatalogueEntry{MessageId::StoreProgramError, "[SetKyuuyoShouyo]\nPROGRAM ERROR", ""},
    CatalogueEntry{MessageId::ConversionTableMissing, "変換テーブルが存在しません。",
                   "A conversion table is missing."},
    CatalogueEntry{MessageId::FolderMissing, "フォルダが存在しません。\n\n{1}",
                   "The folder does not exist."},
    CatalogueEntry{MessageId::FolderUnreadable, "フォルダの内容を読み取れません。\n\n{1}",
                   "The folder cannot be read."},
    CatalogueEntry{MessageId::NoCompanyFolders,
                   "変換する会社のフォルダがありません。\n\n{1}\n\n会社ごとのフォルダに、PCA給与X "
                   "から書き出した CSV ファイル (KAISHAQ, NOUFUQ, BUMONQ, KOJINQ, GETUJIQ, "
                   "NENCHOUQ) を入れてください。",
                   "No company folder with PCA files was found."},
    CatalogueEntry{MessageId::SharedOutputName,
                   "出力ファイル名「{1}」が、フォルダ {2} の会社と同じになります。\n"
                   "上書きしないよう、いずれの会社も変換していません。"
                   "会社コードと会社名 ([10000]) を確認してください。",
                   "Companies would get the same document name: none of them was converted."},
    CatalogueEntry{MessageId::RewriteRefused,
                   "出力ファイル {1} は、この一括変換で別の会社の書類として書き出したファイルです。"
                   "上書きしないよう、この会社は変換していません。"
                   "会社コードと会社名 ([10000]) を確認してください。",
                   "This batch has written another company's document under that name."},
    CatalogueEntry{MessageId::KindFuyosyaLeftOut, "扶養親族の超過", "dependants left out"},
    CatalogueEntry{MessageId::KindKyuuyoLeftOut, "給与の除外", "salary payments left out"},
    CatalogueEntry{MessageId::KindShouyoLeftOut, "賞与の除外", "bonus payments left out"},
    CatalogueEntry{MessageId::KindCodeNotConverted, "コードの変換なし", "codes not converted"},
    CatalogueEntry{MessageId::KindRowMissing, "データなし", "rows missing"},
    CatalogueEntry{MessageId::KindMasterNotFound, "マスター未登録",
                   "codes missing from their master"},
    CatalogueEntry{MessageId::KindQuoteMismatch, "引用符の不一致",
                   "quotes that may cut a line wrongly"},
    CatalogueEntry{MessageId::KindAmountAbnormal, "金額の異常", "amounts out of range"},
    CatalogueEntry{MessageId::KindInputMissing, "入力なし", "input files not chosen"},
    CatalogueEntry{MessageId::KindEmployeeUnknown, "社員情報にない社員",
                   "employees missing from the employee file"},
    CatalogueEntry{MessageId::KindLinesIgnored, "読み込まない行", "lines not read"},
    CatalogueEntry{MessageId::KindFieldOverwritten, "上書き", "values replaced by a later line"},
    CatalogueEntry{MessageId::KindKeyEmpty, "読めない行", "lines without a key"},
    CatalogueEntry{MessageId::KindPaymentsMerged, "合算", "payments summed into one"},
    CatalogueEntry{MessageId::FindingFuyosyaLeftOut,
                   "扶養親族番号「{1}」: {2} 人目以降の扶養親族は出力していません",
                   "Dependant {1}: dependants from the {2}th on are not written."},
    CatalogueEntry{
        MessageId::FindingKyuuyoMonth,
        "支給回「{1}」、支給日「{2}」: 支給回が 1 から 12 の範囲外のため計上していません",
        "Salary payment {1} (paid {2}) is not counted: its number is outside 1 to 12."},
    CatalogueEntry{MessageId::FindingKyuuyoNoDate,
                   "支給回「{1}」: 支給日 (10702) がないため計上していません",
                   "Salary payment {1} is not counted: it has no payment date (10702)."},
    CatalogueEntry{MessageId::FindingKyuuyoDate,
                   "支給回「{1}」: 支給日「{2}」が 8 桁でないため計上していません",
                   "Salary payment {1} is not counted: its payment date {2} is not 8 digits."},
    CatalogueEntry{MessageId::FindingShouyoNumber,
                   "支給回「{1}」: 支給回が 1 未満のため計上していません",
                   "Bonus payment {1} is not counted: its number is below 1."},
    CatalogueEntry{MessageId::FindingCodeBlank, "{1}「{2}」 ({3}) に変換先がないため空欄にしました",
                   "{1} {2} ({3}) has no conversion: the field is left blank."},
    CatalogueEntry{MessageId::FindingCodeReplaced,
                   "{1}「{2}」 ({3}) に変換先がないため「{4}」にしました",
                   "{1} {2} ({3}) has no conversion: the field holds {4}."},
    CatalogueEntry{MessageId::FindingOfDependant, "{1}、扶養親族番号「{2}」", "{1}, dependant {2}"},
    CatalogueEntry{MessageId::FindingRowMissing, "{1} に社員の行がありません",
                   "{1} has no row of the employee."},
    CatalogueEntry{MessageId::FindingMasterNotFound, "{1}「{2}」が{3} にありません",
                   "{1} {2} is not in {3}."},
    CatalogueEntry{
        MessageId::FindingAmountAbnormal,
        "{1}「{2}」 ({3}、支給回「{4}」): 金額が扱える範囲を超えるため 0 として計上しました",
        "{1} {2} ({3}, payment {4}) is out of range: counted as 0."},
    CatalogueEntry{MessageId::FindingOddQuotes,
                   "{1} の {2} 行目「{3}」: 引用符 (\") "
                   "の数が奇数のため、項目の区切りが正しくない可能性があります",
                   "{1} line {2}: an odd number of quotes; the fields may be cut wrongly."},
    CatalogueEntry{MessageId::FindingCommaOutsideQuotes,
                   "{1} の {2} 行目「{3}」: 引用符 (\") "
                   "で全体を囲んでいない項目の中のカンマを区切りとして扱っていないため、項目の区切"
                   "りが正しくない可能性があります",
                   "{1} line {2}: a comma inside a field not quoted as a whole; the fields may be "
                   "cut wrongly."},
    CatalogueEntry{MessageId::FindingLinesBeforeHeader,
                   "{1} の最初の見出し行より前のデータ行 {2} 行 (最初は {3} 行目): "
                   "どの表の行でもないため読み込んでいません",
                   "{1}: {2} data lines before the first header (from line {3}) belong to no table "
                   "and are not read."},
    CatalogueEntry{MessageId::FindingLinesOfUnknownTable,
                   "{1} の [{2}] のデータ行 {3} 行 (最初は {4} 行目): "
                   "読み込む表ではないため読み込んでいません",
                   "{1}: {3} data lines of [{2}] (from line {4}) are of a table not read."},
    CatalogueEntry{MessageId::FindingOverwritten,
                   "表 {1}、キー「{2}」の {3}: 「{4}」 ({5}) が「{6}」 ({7}) を上書きしました",
                   "Table {1}, key {2}, {3}: {4} ({5}) replaced {6} ({7})."},
    CatalogueEntry{MessageId::FindingKeyEmpty,
                   "{1} (表 {2}): {3}が空欄のため、この行の値は出力されません",
                   "{1} (table {2}): {3} is blank, so the line's values are not written."},
    CatalogueEntry{MessageId::FindingInputMissing,
                   "「{1}」のファイルが選ばれていないため、その値は出力していません",
                   "No {1} file is chosen: its values are not written."},
    CatalogueEntry{
        MessageId::FindingEmployeeUnknown,
        "表 {1} の {2} 行 (最初は {3}): 社員情報 (10601) にない社員のため出力していません",
        "{2} lines of table {1} (first at {3}) are of an employee missing from 10601: not "
        "written."},
    CatalogueEntry{MessageId::FindingPaymentUnmatched,
                   "支給回「{1}」 ({2}): {3} に同じ支給回の行がないため計上していません",
                   "Payment {1} ({2}) is not counted: {3} has no row of that number."},
    CatalogueEntry{MessageId::FindingBonusAmountsMissing,
                   "賞与 (10706) に支給回「{1}」の行がありません: 金額のない賞与として計上しました",
                   "Bonus {1} has no row in 10706: counted without amounts."},
    CatalogueEntry{MessageId::FindingMergedBonus, "支給回{1}を {2} 回目の賞与として合算しました",
                   "Payments {1} are summed as bonus {2}."},
    CatalogueEntry{MessageId::FindingMergedSecondDecember,
                   "支給回{1}を 12 月の 2 回目の給与として合算しました",
                   "Payments {1} are summed as the second December salary."},
    CatalogueEntry{MessageId::FindingMergedMonth, "支給回{1}を {2} 月の給与として合算しました",
                   "Payments {1} are summed as the salary of month {2}."},
    CatalogueEntry{MessageId::FindingPlace, "{1} の {2} 行目", "{1} line {2}"},
    CatalogueEntry{MessageId::FindingPlaceUnknown, "読み込んだ位置は不明", "place not known"},
    CatalogueEntry{MessageId::TableTax, "税", "tax"},
    CatalogueEntry{MessageId::TableResidenceTax, "住民税", "residence tax"},
    CatalogueEntry{MessageId::TableYearEnd, "年末調整", "year-end adjustment"},
    CatalogueEntry{MessageId::TableDepartments, "部門マスター", "department master"},
    CatalogueEntry{MessageId::TablePositions, "役職マスター", "position master"},
    CatalogueEntry{MessageId::TablePayees, "住民税納付先マスター", "residence-tax payee master"},
    CatalogueEntry{MessageId::ReportConverted, "変換した社員", "employees converted"},
    CatalogueEntry{MessageId::ReportNotConverted, "変換していません", "not converted"},
    CatalogueEntry{MessageId::ReportEmployees, "{1} 名", "{1} employees"},
    CatalogueEntry{MessageId::ReportRun, "(会社 {1} {2}, 申告年度 {3}, {4}, 出力先 {5})",
                   "(company {1} {2}, filing year {3}, {4}, document {5})"},
    CatalogueEntry{MessageId::ReportRunWithoutCompany, "(申告年度 {1}, {2}, 出力先 {3})",
                   "(filing year {1}, {2}, document {3})"},
    CatalogueEntry{MessageId::FindingCount, "報告: {1} 件 ({2})", "Findings: {1} ({2})"},
    CatalogueEntry{MessageId::NothingToReport, "報告する内容はありません。", "Nothing to report."},
    CatalogueEntry{MessageId::ModeStandard, "標準モード", "standard"},
    CatalogueEntry{MessageId::ModeSimple, "簡易モード", "simple"},
    CatalogueEntry{MessageId::StyleWarning, "警告", "Warning"},
    CatalogueEntry{MessageId::StyleConfirm, "確認", "Confirm"},
    CatalogueEntry{MessageId::StyleInfo, "情報", "Info"},
    CatalogueEntry{MessageId::StyleError, "エラー", "Error"},
    CatalogueEntry{MessageId::StyleQuestion, "質問", "Question"},
    CatalogueEntry{MessageId::LabelSummary, "実行内容", "summary"},
    CatalogueEntry{MessageId::LabelMode, "モード", "mode"},
    CatalogueEntry{MessageId::LabelYear, "申告年度", "year"},
    CatalogueEntry{MessageId::LabelOutput, "出力先", "output"},
    CatalogueEntry{MessageId::LabelLinkTarget, "リンク先", "link target"},
    CatalogueEntry{MessageId::LabelCheckOnly, "チェックのみ", "--check"},
    CatalogueEntry{MessageId::LabelReport, "報告", "report"},
    CatalogueEntry{MessageId::LabelOptionToCorrect, "修正するオプション", "option to correct"},
    CatalogueEntry{MessageId::LabelBatch, "一括変換", "batch"},
    CatalogueEntry{MessageId::LabelBatchResult, "一括変換の結果", "batch result"},
    CatalogueEntry{MessageId::LabelBatchCheckResult, "一括チェックの結果", "batch check result"},
    CatalogueEntry{MessageId::LabelNotConverted, "変換できなかった会社", "not converted"},
    CatalogueEntry{MessageId::LabelCannotConvert, "変換できない会社", "cannot be converted"},
    CatalogueEntry{MessageId::LabelSkippedNoExport,
                   "PCA給与X の CSV ファイルがないため対象外のフォルダ", "skipped, no PCA export"},
    CatalogueEntry{MessageId::LabelSkippedUnnamed,
                   "名前を Shift_JIS で表せないため対象外のフォルダ",
                   "skipped, name not in Shift_JIS"},
    CatalogueEntry{MessageId::NoDocumentWritten, "出力ファイルは作成しません。",
                   "No document is written."},
    CatalogueEntry{MessageId::YearOfEachCompany, "会社ごとにデータの年",
                   "each company: the year of its data"},
    CatalogueEntry{MessageId::YearFromPayments, "支給日の年 {1} 年 ({2}) から",
                   "from the payment dates"},
    CatalogueEntry{MessageId::YearOfToday, "支給日がないため今年",
                   "no payment date: the current year"},
    CatalogueEntry{MessageId::YearExample, "例: --year {1}", "e.g. --year {1}"},
    CatalogueEntry{MessageId::ReportHint, "詳細は --report PATH で書き出せます。",
                   "Details: --report PATH."},
    CatalogueEntry{MessageId::EmployeeCount, "社員 {1} 名", "{1} employees"},
    CatalogueEntry{MessageId::EmployeesOf, "社員 {1} / {2} 名", "{1} of {2} employees"},
    CatalogueEntry{MessageId::CompanyCount, "{1} 社", "companies"},
    CatalogueEntry{MessageId::NotCreated, "{1} は作成していません", "not written"},
    CatalogueEntry{MessageId::BatchConverted, "{1} 社中 {2} 社を変換しました。",
                   "{2} of {1} companies converted."},
    CatalogueEntry{MessageId::BatchCanConvert, "{1} 社中 {2} 社を変換できます。",
                   "{2} of {1} companies can be converted."},
    CatalogueEntry{MessageId::ResultConverted, "正常に終了しました。", "converted"},
    CatalogueEntry{MessageId::ResultChecked, "チェックが正常に終了しました。",
                   "checked, not written"},
    CatalogueEntry{MessageId::ResultCheckFailed, "チェックで止まりました",
                   "check failed, status 1"},
    CatalogueEntry{MessageId::ResultFailed, "エラーで止まりました", "failed, status 2"},
    CatalogueEntry{MessageId::ResultCancelled, "中止しました", "cancelled, status 3"},
    CatalogueEntry{MessageId::ResultNoEmployee, "社員データがありません", "no employee, status 4"},
    CatalogueEntry{MessageId::ProgressChecking, "入力チェック", "checking"},
    CatalogueEntry{MessageId::ProgressReading, "読み込み", "reading"},
    CatalogueEntry{MessageId::ProgressConverting, "変換", "converting"},
    CatalogueEntry{MessageId::ProgressWriting, "書き込み", "writing"},
    CatalogueEntry{MessageId::NoTerminalToAsk,
                   "標準入力が端末ではないため確認できません。確認なしで実行するには --yes "
                   "を指定してください。",
                   "Standard input is not a terminal: add --yes to run without being asked."},
    CatalogueEntry{MessageId::AnswerNotUnderstood, "答えが分からないため中止します。",
                   "Answer not understood: cancelled."},
    CatalogueEntry{MessageId::AnswerYesOrNo, "y (はい) か n (いいえ) で答えてください。",
                   "Answer y or n."},
    CatalogueEntry{MessageId::SeeHelpForMore, "詳しくは kw39pcaconv --help を参照してください。",
                   "See kw39pcaconv --help."},
    CatalogueEntry{MessageId::SeeHelpForUsage, "使い方は kw39pcaconv --help を参照してください。",
                   "See kw39pcaconv --help."},
    CatalogueEntry{MessageId::UnexpectedArgument, "余分な引数です", "unexpected argument"},
    CatalogueEntry{MessageId::UnknownOption, "不明なオプションです", "unknown option"},
    CatalogueEntry{
        MessageId::BatchClash,
        "--batch と {1} は一緒に指定できません。会社ごとのファイルはフォルダから選び、出力先は "
        "--output-dir で指定します。",
        "--batch cannot be combined with {1}."},
    CatalogueEntry{MessageId::BatchNeedsOutputDir, "--batch には --output-dir の指定が必要です。",
                   "--batch needs --output-dir."},
    CatalogueEntry{MessageId::OutputDirWithoutBatch,
                   "--output-dir は --batch と一緒に指定してください。",
                   "--output-dir goes with --batch."},
    CatalogueEntry{MessageId::ReportIsOutput,
                   "--report と --output に同じファイルは指定できません。",
                   "--report and --output name the same file."},
    CatalogueEntry{MessageId::OptionTakesNoValue, "オプション {1} は値をとりません",
                   "takes no value"},
    CatalogueEntry{MessageId::OptionGivenTwice, "オプション {1} が2回指定されています",
                   "given twice"},
    CatalogueEntry{MessageId::OptionNeedsValue, "オプション {1} には値が必要です", "needs a value"},
    CatalogueEntry{MessageId::OptionNotShiftJis,
                   "オプション {1} の値に Shift_JIS で表せない文字があります",
                   "the value has characters that Shift_JIS cannot express"},
    CatalogueEntry{MessageId::OptionStandardOutput,
                   "{1} に - (標準出力) は指定できません。ファイル名を指定してください。",
                   "{1} - is refused: it writes a file, never standard output."},
    CatalogueEntry{MessageId::ModeUnknown, "--mode には standard か simple を指定してください",
                   "--mode takes standard or simple"},
    CatalogueEntry{MessageId::EraReiwa, "令和{1}年", "Reiwa {1}"},
    CatalogueEntry{MessageId::EraHeisei, "平成{1}年", "Heisei {1}"},
    CatalogueEntry{MessageId::FileOfFolder, "{1} の{2}", "{2} of {1}"},
    CatalogueEntry{MessageId::AndOthers, "他 {1} 件", "and {1} more"},
    CatalogueEntry{
        MessageId::HostPathNotUnicode,
        "連動先から指定された出力先データのパスに、文字として正しくないものが含まれています。",
        "The output path the host gave holds something that is no character."},
    CatalogueEntry{MessageId::HostPathRefused,
                   "出力先データを作成できないため、処理を中止します。出力先のフォルダ名やファイル"
                   "名を変更してから、もう一度起動してください。",
                   "No document can be made: rename the output folder or file and start again."},
    CatalogueEntry{MessageId::ChosenPathNotUnicode,
                   "選択されたファイルまたはフォルダのパスに、文字として正しくないものが含まれてい"
                   "るため使用できません。",
                   "The chosen path holds something that is no character and cannot be used."},
    CatalogueEntry{
        MessageId::ChosenPathRefused,
        "ファイルやフォルダの名前を変更するか、別の場所にコピーしてから選択し直してください。",
        "Rename the file or folder, or copy it elsewhere, and choose it again."},
    CatalogueEntry{MessageId::UnexpectedError, "予期しないエラーが発生しました。",
                   "An unexpected error occurred."},
    CatalogueEntry{
        MessageId::GuidanceHosted,
        "連動元データを選択して[実行]ボタンを押すと、年調･法定調書データの作成を開始します。",
        "Choose the exports and press Execute to make the year-end document."},
    CatalogueEntry{
        MessageId::GuidanceStandalone,
        "連動元データ、出力先データを選択して[実行]"
        "ボタンを押すと、年調･法定調書データの作成を開始します。",
        "Choose the exports and the output and press Execute to make the year-end document."},
    CatalogueEntry{MessageId::FolderInstruction,
                   "PCA給与のマスターファイルが格納されたフォルダを指定します｡\n指定されたフォルダ"
                   "内を検索し､マスターファイルを自動選択します。",
                   "Choose the folder of the PCA export: its files are chosen by their names."},
    CatalogueEntry{MessageId::ChooseInputTitle, "外部マスターを選択(CSVファイル)",
                   "Choose an export (CSV file)"},
    CatalogueEntry{MessageId::SaveAsTitle, "名前を付けて保存", "Save as"},
    CatalogueEntry{MessageId::CsvFilter, "CSVﾌｧｲﾙ(*.CSV) |*.CSV|すべてのﾌｧｲﾙ(*.*) |*.*|| ",
                   "CSV files, all files"},
    CatalogueEntry{MessageId::XmlFilter, "XMLﾌｧｲﾙ(*.XML) |*.XML|すべてのﾌｧｲﾙ(*.*) |*.*|| ",
                   "XML files, all files"},
};

constexpr bool InIdOrder() {
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        if (static_cast<std::size_t>(kCatalogue[i].id) != i) return false;
    }
    return true;
}
static_assert(InIdOrder(), "the catalogue lists every message in the order of MessageId");

const CatalogueEntry& Entry(MessageId id) {
    const auto index = static_cast<std::size_t>(id);
    return index < kCatalogue.size() ? kCatalogue[index] : kCatalogue[0];
}

}  // namespace

std::string_view JapaneseText(MessageId id) { return Entry(id).japanese; }

std::string_view EnglishText(MessageId id) { return Entry(id).english; }

bool QuotesName(MessageId id, std::size_t index) {
    struct Names {
        MessageId id;
        unsigned mask;  // bit n: args[n] is a name
    };
    constexpr Names kNames[] = {
        {MessageId::InputMissing, 1u},      {MessageId::InputEncoding, 2u},
        {MessageId::InputNotPlain, 2u},     {MessageId::InputNotOpened, 2u},
        {MessageId::OutputIsInput, 2u},     {MessageId::NameIsFolder, 2u},
        {MessageId::OutputNotPlain, 2u},    {MessageId::OutputFolderMissing, 1u},
        {MessageId::CannotCreate, 2u},      {MessageId::ForeignLink, 6u},
        {MessageId::LinkChain, 6u},         {MessageId::NotReplaceable, 2u},
        {MessageId::SaveFailedAt, 1u},      {MessageId::ReportCollision, 6u},
        {MessageId::ReadFailed, 1u},        {MessageId::WriteFailed, 1u},
        {MessageId::TargetChanged, 1u},     {MessageId::InputChanged, 1u},
        {MessageId::DataLineMalformed, 1u}, {MessageId::FolderMissing, 1u},
        {MessageId::FolderUnreadable, 1u},  {MessageId::NoCompanyFolders, 1u},
        {MessageId::SharedOutputName, 1u},  {MessageId::RewriteRefused, 1u},
    };
    for (const Names& names : kNames) {
        if (names.id == id) return index < 32 && (names.mask >> index & 1u) != 0;
    }
    return false;
}

std::string Compose(std::string_view pattern, const std::vector<std::string>& args,
                    const std::function<std::string(std::size_t, std::string_view)>& shown) {
    std::string text;
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const std::size_t length = CharLength(pattern, pos);
        if (length == 1 && pattern[pos] == '{' && pos + 2 < pattern.size() &&
            pattern[pos + 1] >= '1' && pattern[pos + 1] <= '9' && pattern[pos + 2] == '}') {
            const auto n = static_cast<std::size_t>(pattern[pos + 1] - '1');
            if (n < args.size()) text += shown ? shown(n, args[n]) : args[n];
            pos += 3;
            continue;
        }
        text.append(pattern, pos, length);
        pos += length;
    }
    return text;
}

std::string TextOf(MessageId id, const std::vector<std::string>& args) {
    return Compose(JapaneseText(id), args);
}

std::string Glossed(MessageId id, const std::vector<std::string>& args) {
    return TextOf(id, args) + " (" + Compose(EnglishText(id), args) + ")";
}

Message MakeMessage(MessageId id, MessageStyle style, std::vector<std::string> args) {
    std::string text = TextOf(id, args);
    return Message{std::move(text), style, id, std::move(args)};
}

}  // namespace kw39::platform
