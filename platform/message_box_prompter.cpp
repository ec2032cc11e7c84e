#include "platform/message_box_prompter.h"

#include <QMessageBox>

namespace vantelo {

void MessageBoxPrompter::ShowMessage(const QString& caption, const QString& text, PromptIcon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case PromptIcon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    case PromptIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case PromptIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    }
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, m_owner);
    box.exec();
}

}  // namespace vantelo
