#pragma once

#include "rotation/Prompter.h"

#include <ostream>

// Message boxes compared whole, so one check covers text, title, icon, buttons and default, and a
// failure shows the box.
inline bool operator==(const MessageRequest& a, const MessageRequest& b) {
    return a.text == b.text && a.title == b.title && a.icon == b.icon && a.buttons == b.buttons &&
           a.defaultButton == b.defaultButton;
}

inline void PrintTo(const MessageRequest& box, std::ostream* out) {
    *out << "{text \"" << box.text.toStdString() << "\", title \"" << box.title.toStdString()
         << "\", icon " << int(box.icon) << ", buttons " << int(box.buttons) << ", default "
         << int(box.defaultButton) << '}';
}
