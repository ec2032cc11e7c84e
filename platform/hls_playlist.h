#pragma once

#include <optional>

#include <QByteArray>
#include <QUrl>

namespace vantelo {

// Picks the stream to play from an HLS master playlist: the variant with the
// highest bandwidth that carries video. Handing the player that variant's own
// playlist spares it the round of requests it makes to weigh every variant
// before starting, which is most of a channel change. Gives nothing when the
// text is not a master playlist, or when its variants take their sound from
// separate renditions (the variant alone would play silent).
std::optional<QUrl> ChooseHlsVariant(const QByteArray& playlist, const QUrl& playlistUrl);

}  // namespace vantelo
