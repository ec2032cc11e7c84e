#pragma once

#include <QDialog>

#include "lang/language_texts.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vantelo {

// Lets the user pick one of the installed language packs: every folder under
// Languages, with its flag, in name order. On OK, language() is the folder
// name at the list's selection mark.
class CLanguageDlg final : public QDialog {
    Q_OBJECT
public:
    CLanguageDlg(const LanguageTexts& texts, const QString& languagesRoot, QWidget* owner);

    // Texts and the list. A pack that lacks a text raises InvalidArgumentError
    // with the texts before it set and the list not filled.
    void OnInitDialog();

    void setLanguage(const QString& language) { m_language = language; }
    const QString& language() const { return m_language; }

private:
    void OnItemChanged();
    void OnBnClickedOk();

    const LanguageTexts& m_texts;
    QString m_languagesRoot;
    QString m_language;
    QListWidget* m_list;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QLabel* m_label;
};

}  // namespace vantelo
