#pragma once

#include <QString>

enum class MessageIcon { None, Information, Warning, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One modal message box, exactly as the user is to see it.
struct MessageRequest {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
};

// Shows message boxes and returns the user's answer; tests script the answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual MessageAnswer ask(const MessageRequest& request) = 0;
};
