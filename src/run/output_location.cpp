#include "run/output_location.h"

#include <algorithm>

namespace kw39 {

namespace {

using platform::DestinationProblem;

// A control character cannot be typed into a file name by a clerk; in one it
// hides what is written where, on a terminal and in a message box alike. No
// byte of another character is below 0x40 in CP932 or below 0x80 in UTF-8,
// so the bytes are looked at one by one, whatever the name's encoding.
bool HoldsControlCharacter(const std::string& path) {
    return std::any_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string LinkLines(const platform::DestinationResult& opened) {
    return "\n\nリンク: " + platform::ShownPath(opened.link) +
           "\nリンク先: " + platform::ShownPath(opened.linkTarget);
}

std::string ProblemText(const platform::DestinationResult& opened, const std::string& given,
                        const std::string& what) {
    const std::string path = platform::ShownPath(given);
    switch (opened.problem) {
        case DestinationProblem::NoName:
            return what + "にフォルダが指定されています。ファイル名を指定してください。\n\n" + path;
        case DestinationProblem::MissingFolder:
            return "出力先のフォルダが存在しません。\n\n" + platform::ShownPath(opened.folder) +
                   "\n\nフォルダを作成してから実行してください。";
        case DestinationProblem::Special:
            return what +
                   "に、通常のファイルではないもの (デバイス、パイプなど) "
                   "が指定されています。\n\n" +
                   path;
        case DestinationProblem::ForeignLink:
            return what +
                   "に、ほかのユーザーのシンボリックリンクが指定されています。"
                   "リンク先には書き込みません。" +
                   LinkLines(opened);
        case DestinationProblem::LinkChain:
            return what +
                   "のシンボリックリンクが、別のシンボリックリンク (またはそれ自身) "
                   "を指しています。リンク先には書き込みません。" +
                   LinkLines(opened);
        case DestinationProblem::NotReplaceable:
            return what + "は、ほかのユーザーのファイルのため置き換えられません。\n\n" + path +
                   "\n\n別のファイル名を指定してください。";
        case DestinationProblem::NotWritable:
        case DestinationProblem::None:
            break;
    }
    return what + "を作成できません。\n\n" + path +
           "\n\nフォルダに書き込みが許可されているか、ファイル名が長すぎないかを確認して"
           "ください。";
}

}  // namespace

OutputLocation CheckOutputLocation(platform::FileSystem& fs, const std::string& path,
                                   const std::string& what) {
    if (HoldsControlCharacter(path)) {
        return {nullptr, what + "のファイル名に、使用できない制御文字が含まれています。",
                DestinationProblem::NotWritable};
    }
    platform::DestinationResult opened = fs.OpenDestination(path);
    if (!opened.destination) return {nullptr, ProblemText(opened, path, what), opened.problem};
    if (!opened.destination->TakesNewFiles()) {
        opened.problem = DestinationProblem::NotWritable;
        return {nullptr, ProblemText(opened, path, what), opened.problem};
    }
    return {std::move(opened.destination), std::nullopt};
}

}  // namespace kw39
