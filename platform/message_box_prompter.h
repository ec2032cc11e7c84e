#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/prompter.h"

namespace vantelo {

// Shows messages in a modal message box owned by the given window.
class MessageBoxPrompter final : public Prompter {
public:
    void SetOwner(QWidget* owner) { m_owner = owner; }
    void ShowMessage(const QString& caption, const QString& text, PromptIcon icon) override;

private:
    QPointer<QWidget> m_owner;
};

}  // namespace vantelo
