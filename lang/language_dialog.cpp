#include "lang/language_dialog.h"

#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/dialog_units.h"

namespace vantelo {

CLanguageDlg::CLanguageDlg(const LanguageTexts& texts, const QString& languagesRoot, QWidget* owner)
    : QDialog(owner),
      m_texts(texts),
      m_languagesRoot(languagesRoot),
      m_list(new QListWidget(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_label(new QLabel(QStringLiteral("Select language:"), this))
{
    setObjectName(QStringLiteral("languageDialog"));
    setWindowTitle(QStringLiteral("Dialog"));
    const DialogUnits units(fontMetrics());
    setFixedSize(units.size(160, 177));
    m_list->setObjectName(QStringLiteral("languageList"));
    m_list->setGeometry(units.rect(6, 17, 150, 135));
    // More than one pack can be selected at a time; OK takes the one at the
    // selection mark, the item clicked last.
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setIconSize(QSize(16, 16));
    m_list->setSortingEnabled(true);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setGeometry(units.rect(54, 156, 48, 16));
    m_ok->setDefault(true);
    m_ok->setEnabled(false);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setGeometry(units.rect(108, 156, 48, 16));
    m_label->setObjectName(QStringLiteral("label"));
    m_label->setGeometry(units.rect(6, 3, 150, 12));
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CLanguageDlg::OnItemChanged);
    connect(m_ok, &QPushButton::clicked, this, &CLanguageDlg::OnBnClickedOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CLanguageDlg::OnInitDialog()
{
    setWindowTitle(m_texts.text(Section::LanguagesDialog, 0));
    m_label->setText(m_texts.text(Section::LanguagesDialog, 1));
    m_ok->setText(m_texts.text(Section::LanguagesDialog, 2));
    m_cancel->setText(m_texts.text(Section::LanguagesDialog, 3));

    // Read anew each time: packs installed since the last opening show up. A
    // folder that is a symbolic link is left out: the loader refuses to read
    // through one, so that a pack cannot point at files elsewhere.
    const QStringList folders = QDir(m_languagesRoot)
                                    .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                                               QDir::NoSort);
    for (const QString& folder : folders) {
        // A pack without a readable flag is listed without one.
        const QIcon flag(m_languagesRoot + QLatin1Char('/') + folder + QStringLiteral("/Flag.ico"));
        m_list->addItem(new QListWidgetItem(flag.pixmap(16, 16).isNull() ? QIcon() : flag, folder));
    }
    m_list->clearSelection();
    m_list->setCurrentItem(nullptr);
    m_list->setFocus();
}

void CLanguageDlg::OnItemChanged()
{
    m_ok->setEnabled(!m_list->selectedItems().isEmpty());
}

void CLanguageDlg::OnBnClickedOk()
{
    QListWidgetItem* mark = m_list->currentItem();
    if (mark == nullptr)
        return;
    m_language = mark->text();
    accept();
}

}  // namespace vantelo
