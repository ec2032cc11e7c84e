#pragma once

#include <QList>
#include <QString>

#include "platform/prompter.h"

namespace vantelo::test {

// Keeps every message instead of showing it.
class RecordingPrompter final : public Prompter {
public:
    struct Message {
        QString caption;
        QString text;
        PromptIcon icon;
    };

    void ShowMessage(const QString& caption, const QString& text, PromptIcon icon) override
    {
        messages.append({caption, text, icon});
    }

    QList<Message> messages;
};

}  // namespace vantelo::test
