// A message of the core as a value: its text and its kind. The desktop program
// shows it in a message box, the command-line program writes it to the
// terminal; the core never calls a window function itself.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kw39::platform {

// The kinds of modal message: buttons and icon.
enum class MessageStyle {
    Warning,   // OK, exclamation icon
    Confirm,   // OK and Cancel, information icon
    Info,      // OK, information icon
    Error,     // OK, stop icon
    Question,  // Yes and No, question icon
};

// Ok or Cancel for Confirm, Yes or No for Question, Ok for the others.
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The ids of the catalogue of messages (platform/messages.h); 0 is None.
enum class MessageId;

// A message and its kind; for a message of the catalogue, its id and the
// values its text quotes (file names, numbers), which a front end may show
// its own way.
struct Message {
    std::string text;
    MessageStyle style;
    MessageId id{};
    std::vector<std::string> args = {};
};

// Where the reader, the store and the engine put the messages a run raises:
// kept in order for the caller, which alone speaks to the user.
struct MessageLog {
    std::vector<Message> messages;
    void Add(Message message) { messages.push_back(std::move(message)); }
};

}  // namespace kw39::platform
