#include "run/output_location.h"

#include "platform/sjis.h"

namespace kw39 {

namespace {

using platform::DestinationProblem;

// A control character cannot be typed into a file name by a clerk; in one it
// hides what is written where, on a terminal and in a message box alike.
bool HoldsControlCharacter(const std::string& path) {
    for (std::size_t i = 0; i < path.size(); i += platform::CharLength(path, i)) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (platform::CharLength(path, i) == 1 && (byte < 0x20 || byte == 0x7F)) return true;
    }
    return false;
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
        return {nullptr, what + "のファイル名に、使用できない制御文字が含まれています。"};
    }
    platform::DestinationResult opened = fs.OpenDestination(path);
    if (!opened.destination) return {nullptr, ProblemText(opened, path, what)};
    if (!opened.destination->TakesNewFiles()) {
        opened.problem = DestinationProblem::NotWritable;
        return {nullptr, ProblemText(opened, path, what)};
    }
    return {std::move(opened.destination), std::nullopt};
}

}  // namespace kw39
