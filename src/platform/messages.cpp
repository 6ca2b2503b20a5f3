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
    CatalogueEntry{MessageId::DataLineMalformed, "引数が正しくありません。\n{1} の {2} 行目: {3}",
                   "A data line is malformed (file and line above)."},
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
        {MessageId::InputMissing, 1u},     {MessageId::InputEncoding, 2u},
        {MessageId::InputNotPlain, 2u},    {MessageId::InputNotOpened, 2u},
        {MessageId::OutputIsInput, 2u},    {MessageId::NameIsFolder, 2u},
        {MessageId::OutputNotPlain, 2u},   {MessageId::OutputFolderMissing, 1u},
        {MessageId::CannotCreate, 2u},     {MessageId::ForeignLink, 6u},
        {MessageId::LinkChain, 6u},        {MessageId::NotReplaceable, 2u},
        {MessageId::SaveFailedAt, 1u},     {MessageId::ReportCollision, 6u},
        {MessageId::ReadFailed, 1u},       {MessageId::WriteFailed, 1u},
        {MessageId::TargetChanged, 1u},    {MessageId::DataLineMalformed, 1u},
        {MessageId::FolderMissing, 1u},    {MessageId::FolderUnreadable, 1u},
        {MessageId::NoCompanyFolders, 1u}, {MessageId::SharedOutputName, 1u},
        {MessageId::RewriteRefused, 1u},
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

Message MakeMessage(MessageId id, MessageStyle style, std::vector<std::string> args) {
    std::string text = TextOf(id, args);
    return Message{std::move(text), style, id, std::move(args)};
}

}  // namespace kw39::platform
