#include "run/output_location.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/messages.h"

namespace kw39 {

namespace {

using platform::DestinationProblem;
using platform::MessageId;

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

platform::Message Problem(MessageId id, std::vector<std::string> args) {
    return platform::MakeMessage(id, platform::MessageStyle::Warning, std::move(args));
}

platform::Message ProblemOf(const platform::DestinationResult& opened, const std::string& given,
                            const std::string& what) {
    const std::string path = platform::ShownPath(given);
    const std::string link = platform::ShownPath(opened.link);
    const std::string target = platform::ShownPath(opened.linkTarget);
    switch (opened.problem) {
        case DestinationProblem::NoName:
            return Problem(MessageId::NameIsFolder, {what, path});
        case DestinationProblem::MissingFolder:
            return Problem(MessageId::OutputFolderMissing, {platform::ShownPath(opened.folder)});
        case DestinationProblem::Special:
            return Problem(MessageId::OutputNotPlain, {what, path});
        case DestinationProblem::ForeignLink:
            return Problem(MessageId::ForeignLink, {what, link, target});
        case DestinationProblem::LinkChain:
            return Problem(MessageId::LinkChain, {what, link, target});
        case DestinationProblem::NotReplaceable:
            return Problem(MessageId::NotReplaceable, {what, path});
        case DestinationProblem::NotWritable:
        case DestinationProblem::None:
            break;
    }
    return Problem(MessageId::CannotCreate, {what, path});
}

}  // namespace

OutputLocation CheckOutputLocation(platform::FileSystem& fs, const std::string& path,
                                   const std::string& what) {
    if (HoldsControlCharacter(path)) {
        return {nullptr, Problem(MessageId::NameControlCharacter, {what})};
    }
    platform::DestinationResult opened = fs.OpenDestination(path);
    if (!opened.destination) return {nullptr, ProblemOf(opened, path, what), opened.problem};
    if (!opened.destination->TakesNewFiles()) {
        opened.problem = DestinationProblem::NotWritable;
        return {nullptr, ProblemOf(opened, path, what), opened.problem};
    }
    return {std::move(opened.destination), std::nullopt};
}

}  // namespace kw39
