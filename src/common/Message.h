#pragma once

#include <string>

namespace kqvdr {

// A message box as the program asks for one; how it is shown is the user interface's business.
enum class MessageIcon { Exclamation, Stop, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    std::string caption; // UTF-8
    std::string text;    // UTF-8, leading and trailing line breaks included
    MessageIcon icon = MessageIcon::Exclamation;
    MessageButtons buttons = MessageButtons::Ok;
};

} // namespace kqvdr
