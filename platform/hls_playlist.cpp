#include "platform/hls_playlist.h"

#include <QList>
#include <QRegularExpression>

namespace vantelo {
namespace {

struct Variant {
    qint64 bandwidth = 0;
    bool hasVideo = true;
    QString uri;
};

QString Attribute(const QString& attributes, const QString& name)
{
    const QRegularExpression pattern(QStringLiteral("(?:^|,)%1=(\"[^\"]*\"|[^,]*)").arg(name));
    const QRegularExpressionMatch match = pattern.match(attributes);
    if (!match.hasMatch())
        return {};
    QString value = match.captured(1);
    if (value.startsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool CodecsHaveVideo(const QString& codecs)
{
    static const QRegularExpression video(QStringLiteral("(^|,)\\s*(avc1|avc3|hvc1|hev1|vp09|av01|mp4v)"));
    return codecs.isEmpty() || video.match(codecs).hasMatch();
}

}  // namespace

std::optional<QUrl> ChooseHlsVariant(const QByteArray& playlist, const QUrl& playlistUrl)
{
    const QList<QByteArray> lines = playlist.split('\n');
    if (lines.isEmpty() || !lines.first().trimmed().startsWith("#EXTM3U"))
        return std::nullopt;

    QList<Variant> variants;
    bool expectUri = false;
    for (const QByteArray& rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine.trimmed());
        if (line.isEmpty())
            continue;
        if (line.startsWith(QStringLiteral("#EXT-X-MEDIA:"))) {
            // Sound or pictures in renditions of their own: leave the choice to the engine.
            const QString attributes = line.mid(13);
            if (!Attribute(attributes, QStringLiteral("URI")).isEmpty())
                return std::nullopt;
            continue;
        }
        if (line.startsWith(QStringLiteral("#EXT-X-STREAM-INF:"))) {
            const QString attributes = line.mid(18);
            Variant variant;
            variant.bandwidth = Attribute(attributes, QStringLiteral("BANDWIDTH")).toLongLong();
            variant.hasVideo = CodecsHaveVideo(Attribute(attributes, QStringLiteral("CODECS")));
            variants.append(variant);
            expectUri = true;
            continue;
        }
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (expectUri) {
            variants.last().uri = line;
            expectUri = false;
        }
    }

    const Variant* best = nullptr;
    for (const Variant& variant : variants) {
        if (variant.uri.isEmpty() || !variant.hasVideo)
            continue;
        if (best == nullptr || variant.bandwidth > best->bandwidth)
            best = &variant;
    }
    if (best == nullptr)
        return std::nullopt;
    const QUrl chosen = playlistUrl.resolved(QUrl(best->uri));
    if (!chosen.isValid() || (chosen.scheme() != QStringLiteral("http") && chosen.scheme() != QStringLiteral("https")))
        return std::nullopt;
    return chosen;
}

}  // namespace vantelo
