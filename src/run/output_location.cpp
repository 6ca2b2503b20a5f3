#include "run/output_location.h"

#include "platform/io_error.h"
#include "platform/messages.h"
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

std::optional<platform::Message> OutputLocationProblem(platform::FileSystem& fs,
                                                       const std::string& path,
                                                       const std::string& what) {
    using platform::MessageId;
    const auto problem = [](MessageId id, std::vector<std::string> args) {
        return platform::MakeMessage(id, platform::MessageStyle::Warning, std::move(args));
    };
    if (HoldsControlCharacter(path)) return problem(MessageId::NameControlCharacter, {what});
    const std::string target = fs.ResolveLinks(path);
    const auto status = fs.Stat(target);
    if (platform::NameOfPath(target).empty() || (status && status->isDirectory)) {
        return problem(MessageId::NameIsFolder, {what, path});
    }
    if (status && status->isSpecial) {
        return problem(MessageId::OutputNotPlain, {what, path});
    }
    const std::string folder = platform::FolderOfPath(target);
    const auto folderStatus = fs.Stat(folder.empty() ? "." : folder);
    if (!folderStatus || !folderStatus->isDirectory) {
        return problem(MessageId::OutputFolderMissing, {folder.empty() ? path : folder});
    }
    try {
        // The same kind of file the writing will create, under the same kind
        // of name: when this one can be created, so can that.
        platform::TemporaryFile probe = platform::CreateTemporaryBeside(fs, target);
        probe.file.reset();
        fs.Remove(probe.path);
    } catch (const platform::IoError&) {
        return problem(MessageId::CannotCreate, {what, path});
    }
    return std::nullopt;
}

}  // namespace kw39
