#include "run/output_location.h"

#include "platform/io_error.h"
#include "platform/replacement_file.h"
#include "platform/sjis.h"

namespace kw39 {

namespace {

// A control character cannot be typed into a file name by a clerk; in one it
// hides what is written where, on a terminal and in a message box alike.
bool HoldsControlCharacter(const std::string& path) {
    for (std::size_t i = 0; i < path.size(); i += platform::CharLength(path, i)) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (platform::CharLength(path, i) == 1 && (byte < 0x20 || byte == 0x7F)) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> OutputLocationProblem(platform::FileSystem& fs, const std::string& path,
                                                 const std::string& what) {
    if (HoldsControlCharacter(path)) {
        return what + "のファイル名に、使用できない制御文字が含まれています。";
    }
    const std::string target = fs.ResolveLinks(path);
    const auto status = fs.Stat(target);
    if (platform::NameOfPath(target).empty() || (status && status->isDirectory)) {
        return what + "にフォルダが指定されています。ファイル名を指定してください。\n\n" + path;
    }
    if (status && status->isSpecial) {
        return what +
               "に、通常のファイルではないもの (デバイス、パイプなど) が指定されています。\n\n" +
               path;
    }
    const std::string folder = platform::FolderOfPath(target);
    const auto folderStatus = fs.Stat(folder.empty() ? "." : folder);
    if (!folderStatus || !folderStatus->isDirectory) {
        return "出力先のフォルダが存在しません。\n\n" + (folder.empty() ? path : folder) +
               "\n\nフォルダを作成してから実行してください。";
    }
    try {
        // The same kind of file the writing will create, under the same kind
        // of name: when this one can be created, so can that.
        platform::TemporaryFile probe = platform::CreateTemporaryBeside(fs, target);
        probe.file.reset();
        fs.Remove(probe.path);
    } catch (const platform::IoError&) {
        return what + "を作成できません。\n\n" + path +
               "\n\nフォルダに書き込みが許可されているか、ファイル名が長すぎないかを確認して"
               "ください。";
    }
    return std::nullopt;
}

}  // namespace kw39
