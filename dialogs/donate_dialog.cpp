#include "dialogs/donate_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/product_config.h"
#include "platform/dialog_units.h"

namespace vantelo {
namespace {

struct AmountButton {
    int id;
    const char* text;  // the same in every language
    const char* order;
    int x;
};

constexpr AmountButton kAmounts[] = {
    {1012, "Donate $10", VANTELO_ORDER_10, 14},
    {1013, "Donate $15", VANTELO_ORDER_15, 72},
    {1014, "Donate $20", VANTELO_ORDER_20, 129},
};

}  // namespace

QUrl CDonateDlg::PaymentPage(int buttonId)
{
    for (const AmountButton& amount : kAmounts) {
        if (amount.id == buttonId)
            return QUrl(QStringLiteral("https://" VANTELO_PAYMENT_HOST "/jsp/buynow.jsp?contractId=") +
                        QString::fromLatin1(amount.order));
    }
    return {};
}

CDonateDlg::CDonateDlg(const LanguageTexts& texts, Shell& shell, QWidget* owner)
    : QDialog(owner), m_texts(texts), m_shell(shell), m_ok(new QPushButton(this)), m_appeal(new QLabel(this))
{
    setObjectName(QStringLiteral("donateDialog"));
    const DialogUnits units(fontMetrics());
    setFixedSize(units.size(193, 118));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setGeometry(units.rect(136, 95, 50, 16));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(units.rect(-5, 88, 208, 1));

    m_appeal->setObjectName(QStringLiteral("appeal"));
    m_appeal->setGeometry(units.rect(14, 14, 164, 31));
    m_appeal->setWordWrap(true);
    m_appeal->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    for (const AmountButton& amount : kAmounts) {
        auto* button = new QPushButton(QString::fromLatin1(amount.text), this);
        button->setObjectName(QStringLiteral("donate%1").arg(amount.id));
        button->setAutoDefault(false);
        button->setGeometry(units.rect(amount.x, 57, 50, 16));
        const int id = amount.id;
        connect(button, &QPushButton::clicked, this, [this, id] { m_shell.Open(PaymentPage(id)); });
    }
}

void CDonateDlg::OnInitDialog()
{
    setWindowTitle(m_texts.text(Section::DonateDialog, 0));
    m_ok->setText(m_texts.text(Section::DonateDialog, 1));
    m_appeal->setText(m_texts.text(Section::DonateDialog, 2));
}

}  // namespace vantelo
