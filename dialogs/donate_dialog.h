#pragma once

#include <QDialog>
#include <QUrl>

#include "lang/language_texts.h"
#include "platform/shell.h"

class QLabel;
class QPushButton;

namespace vantelo {

// Asks for a donation; each amount's button opens that amount's payment page
// in the browser, and the dialog stays open.
class CDonateDlg final : public QDialog {
    Q_OBJECT
public:
    CDonateDlg(const LanguageTexts& texts, Shell& shell, QWidget* owner);

    // A pack that lacks a text raises InvalidArgumentError part-way.
    void OnInitDialog();

    // The payment page of the button with the given id (1012, 1013, 1014).
    static QUrl PaymentPage(int buttonId);

private:
    const LanguageTexts& m_texts;
    Shell& m_shell;
    QPushButton* m_ok;
    QLabel* m_appeal;
};

}  // namespace vantelo
