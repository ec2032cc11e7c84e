#pragma once

#include <QDialog>

#include "lang/language_texts.h"
#include "platform/prompter.h"
#include "platform/shell.h"

class QLabel;
class QPushButton;

namespace vantelo {

// The link's rectangle in the dialog's client coordinates. A point is over the
// link when left <= x <= right and top <= y <= bottom: all four edges count.
struct LinkRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool contains(const QPoint& point) const
    {
        return left <= point.x() && point.x() <= right && top <= point.y() && point.y() <= bottom;
    }
};

// The product, its version, a few texts of the language pack, and the support
// address as a mail link. Its donate button opens the donation dialog on top.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const LanguageTexts& texts, Shell& shell, Prompter& prompter, QWidget* owner);

    // A pack that lacks a text raises InvalidArgumentError part-way.
    void OnInitDialog();

    const LinkRect& linkRect() const { return m_rcLink; }
    bool overLink() const { return m_bOverLink; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OpenDonateDialog();

    const LanguageTexts& m_texts;
    Shell& m_shell;
    Prompter& m_prompter;
    bool m_bOverLink = false;
    LinkRect m_rcLink;
    QPushButton* m_ok;
    QPushButton* m_donate;
    QLabel* m_thanks;  // 1010
    QLabel* m_label;   // 1011, in front of the address
    QLabel* m_link;    // 1017, the support address
};

}  // namespace vantelo
