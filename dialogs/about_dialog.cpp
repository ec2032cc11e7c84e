#include "dialogs/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app/product_config.h"
#include "dialogs/donate_dialog.h"
#include "platform/dialog_units.h"
#include "platform/event_guard.h"
#include "platform/svg_icon.h"

namespace vantelo {
namespace {

const QString kSupportAddress = QStringLiteral(VANTELO_SUPPORT_EMAIL);

// Static texts take no mouse input, so moves and clicks over them reach the dialog.
QLabel* MakeStatic(QWidget* parent, const QString& text, const QRect& rect, const char* name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* MakePicture(QWidget* parent, const QString& file, const QSize& size, const QPoint& at)
{
    auto* picture = new QLabel(parent);
    const QIcon icon = SvgIcon(file, size.width());
    picture->setPixmap(icon.pixmap(size));
    picture->setGeometry(QRect(at, size));
    picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    return picture;
}

}  // namespace

CAboutDlg::CAboutDlg(const LanguageTexts& texts, Shell& shell, Prompter& prompter, QWidget* owner)
    : QDialog(owner), m_texts(texts), m_shell(shell), m_prompter(prompter)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setMouseTracking(true);
    const DialogUnits units(fontMetrics());
    setFixedSize(units.size(195, 179));

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setGeometry(units.rect(138, 156, 50, 16));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    MakePicture(this, QStringLiteral(":/icons/137.svg"), QSize(64, 64), QPoint(units.x(25), units.y(7)));
    // The logo is twice as wide as high; SvgIcon renders squares, so draw it here.
    auto* logo = new QLabel(this);
    logo->setGeometry(units.x(78), units.y(7), 128, 64);
    logo->setAttribute(Qt::WA_TransparentForMouseEvents);
    logo->setPixmap(QIcon(QStringLiteral(":/icons/138.svg")).pixmap(128, 64));

    MakeStatic(this, QStringLiteral("Vantelo (version 1.4)"), units.rect(30, 59, 158, 11), "product");
    MakeStatic(this, QStringLiteral("Copyright \u00A9 2026 the Vantelo developers."), units.rect(30, 70, 158, 11),
               "notice1");
    MakeStatic(this, QStringLiteral("Free to use and to share."), units.rect(30, 81, 158, 11), "notice2");

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(units.rect(0, 151, 198, 1));

    m_thanks = MakeStatic(this, QString(), units.rect(30, 103, 158, 11), "text1010");
    m_label = MakeStatic(this, QString(), units.rect(30, 113, 80, 11), "label1011");
    m_link = MakeStatic(this, QString(), units.rect(111, 113, 77, 11), "link1017");
    QPalette blue = m_link->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_link->setPalette(blue);

    m_donate = new QPushButton(this);
    m_donate->setObjectName(QStringLiteral("donate"));
    m_donate->setAutoDefault(false);
    m_donate->setGeometry(units.rect(80, 156, 50, 16));
    connect(m_donate, &QPushButton::clicked, this, [this] { RunGuarded(m_prompter, [this] { OpenDonateDialog(); }); });
}

void CAboutDlg::OnInitDialog()
{
    setWindowTitle(m_texts.text(Section::AboutDialog, 0));
    m_ok->setText(m_texts.text(Section::AboutDialog, 1));
    m_donate->setText(m_texts.text(Section::AboutDialog, 2));
    m_thanks->setText(m_texts.text(Section::AboutDialog, 3));
    const QString& label = m_texts.text(Section::AboutDialog, 4);
    m_label->setText(label);
    m_link->setText(kSupportAddress);

    QFont underlined = m_link->font();
    underlined.setUnderline(true);
    m_link->setFont(underlined);

    // The label is as wide as its text and a space; the link starts where the
    // label ends and is exactly as wide as the address.
    const int labelWidth = m_label->fontMetrics().horizontalAdvance(label + QLatin1Char(' '));
    const QRect labelRect = m_label->geometry();
    m_rcLink = {labelRect.left(), labelRect.top(), labelRect.left() + labelWidth, labelRect.top() + labelRect.height()};
    m_label->setGeometry(labelRect.left(), labelRect.top(), labelWidth, labelRect.height());
    m_rcLink.left += labelWidth;
    const int linkWidth = QFontMetrics(underlined).horizontalAdvance(kSupportAddress);
    m_rcLink.right = m_rcLink.left + linkWidth;
    m_link->setGeometry(m_rcLink.left, m_rcLink.top, linkWidth, m_rcLink.bottom - m_rcLink.top);
    m_bOverLink = false;
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* event)
{
    m_bOverLink = m_rcLink.contains(event->position().toPoint());
    if (m_bOverLink)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QDialog::mouseMoveEvent(event);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bOverLink)
        m_shell.Open(QUrl(QStringLiteral("mailto:") + kSupportAddress));
    QDialog::mouseReleaseEvent(event);
}

void CAboutDlg::OpenDonateDialog()
{
    CDonateDlg donate(m_texts, m_shell, this);
    // The dialog opens even when its texts fall short; the report says so.
    RunGuarded(m_prompter, [&donate] { donate.OnInitDialog(); });
    donate.exec();
}

}  // namespace vantelo
