#pragma once

#include <QString>

namespace vantelo {

enum class PromptIcon { Error, Warning, Information };

// The seam through which the program shows a message and waits until the user
// has read it. The windows use a message box; tests record the messages; the
// command-line tool prints them to standard error.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void ShowMessage(const QString& caption, const QString& text, PromptIcon icon) = 0;
};

}  // namespace vantelo
