#include "browser/channel_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QResource>
#include <QScopeGuard>
#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>

#include "app/window_placement.h"
#include "browser/catalogue_tree_shape.h"
#include "browser/channel_window_layout.h"
#include "platform/event_guard.h"
#include "platform/svg_icon.h"
#include "platform/text_limits.h"

namespace vantelo {
namespace {

constexpr int kChannelIconCount = 28;  // ids 101 to 128
constexpr int kFirstChannelIconId = 101;
constexpr int kCodeRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kToolbarIconSize = 24;

// Tabs are 20 pixels high and as wide as their contents.
class ChannelTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        size.setHeight(20);
        return size;
    }
};

QToolButton* MakeBarButton(QWidget* bar, const QString& iconFile, int command)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QStringLiteral("command%1").arg(command));
    button->setIcon(SvgIcon(QStringLiteral(":/icons/") + iconFile, kToolbarIconSize));
    button->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    button->setAutoRaise(true);
    button->setEnabled(false);
    return button;
}

ChannelCode CodeOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kCodeRole).toUInt() : 0;
}

}  // namespace

CChannelDlg::CChannelDlg(ChannelWindowWiring wiring, QWidget* owner)
    : QWidget(owner, Qt::Window), m_wiring(std::move(wiring))
{
    setObjectName(QStringLiteral("channelWindow"));
    if (m_wiring.addressTable == nullptr)
        m_wiring.addressTable = &CatalogueAddressTable();
    if (m_wiring.channelIconsFile.isEmpty())
        m_wiring.channelIconsFile = QCoreApplication::applicationDirPath() + QStringLiteral("/icons.rcc");

    // The four controls of the window exist from the start, in this order (also
    // their tab order); everything else is set up by OnInitDialog.
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("catalogueTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setIconSize(QSize(16, 16));

    m_favList = new QTreeWidget(this);
    m_favList->setObjectName(QStringLiteral("favoritesList"));
    m_favList->setHeaderHidden(true);
    m_favList->setColumnCount(1);
    m_favList->setRootIsDecorated(false);
    m_favList->header()->setStretchLastSection(false);
    m_favList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_favList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_favList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_favList->setIconSize(QSize(16, 16));
    m_favList->hide();

    m_tabs = new ChannelTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDrawBase(true);
    m_tabs->setIconSize(QSize(16, 16));

    m_description = new QPlainTextEdit(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setReadOnly(true);

    // The view lies over the tab strip's lower part.
    m_tree->raise();
    m_favList->raise();
    setTabOrder(m_tree, m_favList);
    setTabOrder(m_favList, m_tabs);
    setTabOrder(m_tabs, m_description);

    connect(m_tabs, &QTabBar::currentChanged, this, [this] { Guarded([this] { OnTabChanged(); }); });
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] { Guarded([this] { OnTreeSelChanged(); }); });
    // A double-click anywhere in the tree plays the selected channel, after the
    // tree has expanded or collapsed a node as it always does.
    m_tree->viewport()->installEventFilter(this);
    connect(m_favList, &QTreeWidget::itemSelectionChanged, this, [this] { Guarded([this] { OnFavItemChanged(); }); });
    m_favList->viewport()->installEventFilter(this);
    m_controlsReady = true;
}

const QString& CChannelDlg::Text(int entry) const
{
    return m_wiring.langTexts->text(Section::ChannelsDialog, entry);
}

QString CChannelDlg::DescriptionOf(ChannelCode code) const
{
    return ChannelText(*m_wiring.channelDescriptions, code);
}

void CChannelDlg::Guarded(const std::function<void()>& handler)
{
    RunGuarded(*m_wiring.prompter, handler);
}

void CChannelDlg::OnInitDialog()
{
    setWindowTitle(Text(0));
    SetupControls();
    BuildCatalogueTree();
    FillFavoritesList();
    m_description->clear();
}

void CChannelDlg::SetupControls()
{
    m_tabs->addTab(SvgIcon(QStringLiteral(":/icons/129.svg"), 16), Text(1));
    m_tabs->addTab(SvgIcon(QStringLiteral(":/icons/130.svg"), 16), Text(2));

    m_playBar = new QWidget(this);
    m_playBar->setObjectName(QStringLiteral("playBar"));
    m_playButton = MakeBarButton(m_playBar, QStringLiteral("131.svg"), ID_CHANNEL_PLAY);
    m_playButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_playButton->setText(Text(3));
    m_playButton->setToolTip(Text(4));
    m_playButton->resize(m_playButton->sizeHint().width(), 30);
    m_nPlayBarWidth = m_playButton->width();
    connect(m_playButton, &QToolButton::clicked, this, [this] { Guarded([this] { OnCommand(ID_CHANNEL_PLAY); }); });
    m_playBar->show();

    m_favBar = new QWidget(this);
    m_favBar->setObjectName(QStringLiteral("favoritesBar"));
    m_favBar->hide();
    const struct {
        const char* icon;
        int command;
    } favoriteButtons[] = {
        {"132.svg", ID_FAVORITE_ADD},
        {"133.svg", ID_FAVORITE_REMOVE},
        {"134.svg", ID_FAVORITE_UP},
        {"135.svg", ID_FAVORITE_DOWN},
    };
    int x = 0;
    for (const auto& description : favoriteButtons) {
        QToolButton* button = MakeBarButton(m_favBar, QString::fromLatin1(description.icon), description.command);
        button->setGeometry(x, 0, button->sizeHint().width(), 30);
        x += button->width();
        const int command = description.command;
        connect(button, &QToolButton::clicked, this, [this, command] { Guarded([this, command] { OnCommand(command); }); });
        m_favButtons.push_back(button);
    }
    for (int i = 0; i < 4; ++i)
        m_favButtons[static_cast<std::size_t>(i)]->setToolTip(Text(5 + i));
    m_nFavBarWidth = 4 * m_favButtons.front()->width();

    LoadChannelIcons();
}

void CChannelDlg::LoadChannelIcons()
{
    // A missing icon file means channels without icons, and no message.
    QResource::registerResource(m_wiring.channelIconsFile);
    m_channelIcons.clear();
    for (int i = 0; i < kChannelIconCount; ++i)
        m_channelIcons.push_back(SvgIcon(QStringLiteral(":/channels/%1.svg").arg(kFirstChannelIconId + i), 16));
}

QIcon CChannelDlg::ChannelIcon(int image) const
{
    if (image < 0 || image >= static_cast<int>(m_channelIcons.size()))
        return {};
    return m_channelIcons[static_cast<std::size_t>(image)];
}

void CChannelDlg::BuildCatalogueTree()
{
    // 431 items: draw once at the end, not after each one. Drawing comes back
    // on even when a short language pack stops the build.
    m_tree->setUpdatesEnabled(false);
    const auto drawAgain = qScopeGuard([this] { m_tree->setUpdatesEnabled(true); });

    const CatalogueTreeShape& shape = CatalogueTree();
    std::vector<QTreeWidgetItem*> groupItems;
    for (const TreeGroupNode& node : shape.groupNodes) {
        const QString& caption = m_wiring.langTexts->text(node.section, node.entry);
        auto* item = node.parent < 0 ? new QTreeWidgetItem(m_tree)
                                     : new QTreeWidgetItem(groupItems[static_cast<std::size_t>(node.parent)]);
        item->setText(0, caption);
        item->setIcon(0, ChannelIcon(node.image));
        item->setData(0, kImageRole, node.image);
        item->setData(0, kCodeRole, 0u);
        groupItems.push_back(item);
    }
    for (const TreeLeafRun& run : shape.leafRuns) {
        QTreeWidgetItem* parent = groupItems[static_cast<std::size_t>(run.parent)];
        for (int index = run.firstIndex; index <= run.lastIndex; ++index) {
            const ChannelCode code = MakeChannelCode(run.table, index);
            AddChannelLeaf(code, (*m_wiring.channelNames)[run.table - 1].at(index), parent);
        }
    }
}

void CChannelDlg::AddChannelLeaf(ChannelCode code, const QString& name, QTreeWidgetItem* parent)
{
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, name);
    item->setIcon(0, ChannelIcon(kChannelLeafImage));
    item->setData(0, kImageRole, kChannelLeafImage);
    item->setData(0, kCodeRole, code);
}

QTreeWidgetItem* CChannelDlg::MakeFavoriteItem(const QString& name, quint32 icon, ChannelCode code) const
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, name);
    item->setIcon(0, ChannelIcon(static_cast<int>(icon)));
    item->setData(0, kImageRole, icon);
    item->setData(0, kCodeRole, code);
    return item;
}

void CChannelDlg::FillFavoritesList()
{
    m_favList->setUpdatesEnabled(false);
    const auto drawAgain = qScopeGuard([this] { m_favList->setUpdatesEnabled(true); });
    const FavoritesLists& favorites = *m_wiring.favorites;
    for (qsizetype i = 0; i < favorites.names.size(); ++i)
        m_favList->addTopLevelItem(MakeFavoriteItem(favorites.names.at(i), favorites.icons.at(i), favorites.codes.at(i)));
}

void CChannelDlg::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnSize(width(), height());
}

void CChannelDlg::OnSize(int cx, int cy)
{
    if (!m_controlsReady)
        return;
    const ChannelWindowLayout layout = LayOutChannelWindow(cx, cy, m_nPlayBarWidth, m_nFavBarWidth);
    m_tabs->setGeometry(layout.tabs);
    m_tree->setGeometry(layout.views);
    m_favList->setGeometry(layout.views);
    m_favList->setColumnWidth(0, m_favList->viewport()->width() - 1);
    m_description->setGeometry(layout.description);
    PlaceToolbars(cx, cy);
}

void CChannelDlg::PlaceToolbars(int cx, int cy)
{
    const ChannelWindowLayout layout = LayOutChannelWindow(cx, cy, m_nPlayBarWidth, m_nFavBarWidth);
    if (m_playBar != nullptr)
        m_playBar->setGeometry(layout.playBar);
    if (m_favBar != nullptr)
        m_favBar->setGeometry(layout.favoritesBar);
}

void CChannelDlg::EnablePlay(bool enabled)
{
    if (m_playButton != nullptr)
        m_playButton->setEnabled(enabled);
}

void CChannelDlg::EnableFavoriteEditing(bool enabled)
{
    // Remove, up and down; add follows the first play instead.
    for (std::size_t i = 1; i < m_favButtons.size(); ++i)
        m_favButtons[i]->setEnabled(enabled);
}

int CChannelDlg::SelectionMark() const
{
    return m_favList->indexOfTopLevelItem(m_favList->currentItem());
}

bool CChannelDlg::FavoritesHaveSelection() const
{
    return !m_favList->selectedItems().isEmpty();
}

void CChannelDlg::OnTabChanged()
{
    if (m_tabs->currentIndex() == 0) {
        const ChannelCode code = CodeOf(m_tree->selectedItems().value(0));
        EnablePlay(code != 0);
        if (code != 0)
            m_description->setPlainText(DescriptionOf(code));
        else
            m_description->clear();
        if (m_favBar != nullptr)
            m_favBar->hide();
        m_favList->hide();
        m_tree->show();
        m_tree->raise();
        m_tree->setFocus();
    } else {
        if (FavoritesHaveSelection()) {
            EnablePlay(true);
            m_description->setPlainText(DescriptionOf(CodeOf(m_favList->currentItem())));
        } else {
            EnablePlay(false);
            m_description->clear();
        }
        if (m_favBar != nullptr)
            m_favBar->show();
        m_tree->hide();
        m_favList->show();
        m_favList->raise();
        m_favList->setFocus();
    }
}

void CChannelDlg::OnTreeSelChanged()
{
    const ChannelCode code = CodeOf(m_tree->selectedItems().value(0));
    if (code != 0) {
        EnablePlay(true);
        m_description->setPlainText(DescriptionOf(code));
    } else {
        EnablePlay(false);
        m_description->clear();
    }
}

void CChannelDlg::OnTreeDblClk()
{
    QTreeWidgetItem* item = m_tree->selectedItems().value(0);
    const ChannelCode code = CodeOf(item);
    if (code == 0)
        return;
    m_nCurCode = code;
    m_strCurName = item->text(0);
    // The channel takes the picture of the group it was played from.
    m_nCurIcon = item->parent() ? item->parent()->data(0, kImageRole).toInt() : kChannelLeafImage;
    PlayChannel(code);
}

void CChannelDlg::OnFavItemChanged()
{
    if (FavoritesHaveSelection()) {
        EnablePlay(true);
        EnableFavoriteEditing(true);
        m_description->setPlainText(DescriptionOf(CodeOf(m_favList->selectedItems().value(0))));
    } else {
        EnablePlay(false);
        EnableFavoriteEditing(false);
        m_description->clear();
    }
}

void CChannelDlg::OnFavDblClk(QTreeWidgetItem* item)
{
    if (item != nullptr)
        PlayFavoriteItem(item);
}

void CChannelDlg::PlayFavoriteItem(QTreeWidgetItem* item)
{
    m_nCurCode = CodeOf(item);
    m_nCurIcon = item->data(0, kImageRole).toInt();
    m_strCurName = LimitUtf16(item->text(0), kMaxFavoriteCaptionUnits);
    PlayChannel(m_nCurCode);
}

bool CChannelDlg::eventFilter(QObject* watched, QEvent* event)
{
    // The list's one column spans its client area, whenever that changes size
    // (a hidden list gets its new size only when it is shown).
    if (event->type() == QEvent::Resize && watched == m_favList->viewport())
        m_favList->setColumnWidth(0, m_favList->viewport()->width() - 1);
    if (event->type() != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    if (watched == m_tree->viewport()) {
        // After the tree's own handling (expand or collapse), play.
        QMetaObject::invokeMethod(this, [this] { Guarded([this] { OnTreeDblClk(); }); }, Qt::QueuedConnection);
    } else if (watched == m_favList->viewport()) {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        QTreeWidgetItem* item = m_favList->itemAt(position);
        Guarded([this, item] { OnFavDblClk(item); });
    }
    return QWidget::eventFilter(watched, event);
}

void CChannelDlg::OnCommand(int id)
{
    switch (id) {
    case ID_CHANNEL_PLAY:
        if (m_tabs->currentIndex() == 0)
            OnTreeDblClk();
        else if (FavoritesHaveSelection())
            PlayFavoriteItem(m_favList->currentItem());
        break;
    case ID_FAVORITE_ADD:
        AddFavorite();
        break;
    case ID_FAVORITE_REMOVE:
        RemoveFavorite();
        break;
    case ID_FAVORITE_UP:
        MoveFavorite(-1);
        break;
    case ID_FAVORITE_DOWN:
        MoveFavorite(+1);
        break;
    default:
        break;
    }
}

void CChannelDlg::AddFavorite()
{
    FavoritesLists& favorites = *m_wiring.favorites;
    // A channel is a favourite once, whatever name it was added under.
    if (m_nCurCode == 0 || favorites.codes.contains(m_nCurCode))
        return;
    favorites.names.append(m_strCurName);
    favorites.codes.append(m_nCurCode);
    favorites.icons.append(static_cast<quint32>(m_nCurIcon));
    QTreeWidgetItem* item = MakeFavoriteItem(m_strCurName, static_cast<quint32>(m_nCurIcon), m_nCurCode);
    m_favList->addTopLevelItem(item);
    m_favList->setCurrentItem(item);
    m_favList->scrollToItem(item);
}

void CChannelDlg::RemoveFavorite()
{
    if (!FavoritesHaveSelection())
        return;
    FavoritesLists& favorites = *m_wiring.favorites;
    int i = SelectionMark();
    favorites.names.removeAt(i);
    favorites.codes.removeAt(i);
    favorites.icons.removeAt(i);
    delete m_favList->takeTopLevelItem(i);
    if (i >= m_favList->topLevelItemCount())
        --i;
    if (i >= 0)
        m_favList->setCurrentItem(m_favList->topLevelItem(i));
}

void CChannelDlg::MoveFavorite(int offset)
{
    const int i = SelectionMark();
    const int target = i + offset;
    if (!FavoritesHaveSelection() || target < 0 || target >= m_favList->topLevelItemCount())
        return;
    FavoritesLists& favorites = *m_wiring.favorites;
    favorites.names.swapItems(i, target);
    favorites.codes.swapItems(i, target);
    favorites.icons.swapItems(i, target);
    QTreeWidgetItem* item = m_favList->takeTopLevelItem(i);
    item->setText(0, LimitUtf16(item->text(0), kMaxFavoriteCaptionUnits));
    m_favList->insertTopLevelItem(target, item);
    m_favList->clearSelection();
    m_favList->setCurrentItem(item);
    m_favList->scrollToItem(item, QAbstractItemView::EnsureVisible);
}

void CChannelDlg::RefreshTexts()
{
    setWindowTitle(Text(0));
    m_tabs->setTabText(0, Text(1));
    m_tabs->setTabText(1, Text(2));
    if (m_playButton != nullptr) {
        m_playButton->setText(Text(3));
        m_playButton->resize(m_playButton->sizeHint().width(), 30);
        m_nPlayBarWidth = m_playButton->width();
        m_playButton->setToolTip(Text(4));
    }
    for (std::size_t i = 0; i < m_favButtons.size(); ++i)
        m_favButtons[i]->setToolTip(Text(5 + static_cast<int>(i)));
    PlaceToolbars(width(), height());
    m_tree->clear();
    BuildCatalogueTree();
    m_favList->clear();
    FillFavoritesList();
}

void CChannelDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter and Esc put the window away; the main window brings it back.
        hide();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CChannelDlg::closeEvent(QCloseEvent* event)
{
    // The close box only hides the window; the program ends with the main window.
    event->ignore();
    hide();
}

void CChannelDlg::OnDestroy()
{
    m_wiring.player = nullptr;
    m_rcWindow = OuterRect(*this);
}

}  // namespace vantelo
