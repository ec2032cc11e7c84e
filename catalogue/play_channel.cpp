// The play routine: an operation of the channel window that belongs with the
// catalogue, since it joins a channel code to its stream address.

#include "browser/channel_window.h"

#include <QToolButton>

#include "catalogue/channel_address.h"
#include "platform/event_guard.h"

namespace vantelo {

void CChannelDlg::PlayChannel(ChannelCode code)
{
    if (code == 0)
        return;
    // From the first play on, the channel playing can be added to the favourites.
    if (!m_favButtons.empty())
        m_favButtons.front()->setEnabled(true);
    if (m_wiring.setMainTitle)
        m_wiring.setMainTitle(kProductName + QStringLiteral(" - ") + m_strCurName);
    // A favourite whose code names no catalogue channel (a hand-edited file)
    // has no address: it shows its name and plays nothing.
    const QString address = DecodeChannelAddress(code, *m_wiring.addressTable);
    if (!address.isEmpty() && m_wiring.player != nullptr)
        m_wiring.player->SetUrl(address);
}

}  // namespace vantelo
