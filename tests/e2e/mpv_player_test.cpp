// The real player, headless, against streams served on 127.0.0.1: decoding,
// the address table built by our own builder, the player and a live HTTP
// connection meet here.

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "catalogue/channel_address.h"
#include "platform/mpv_player.h"
#include "support/stream_server.h"

namespace vantelo {

const AddressTable& TestAddressTable();

class MpvPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void playsADecodedAddress_data();
    void playsADecodedAddress();
    void namesTheReasonAStreamFails_data();
    void namesTheReasonAStreamFails();
    void reportsAStreamThatNeverShowsAPicture();
    void playsTheBestVariantOfAMasterPlaylist();
    void failingStreamsAreNamedAndTheNextChannelPlays_data();
    void failingStreamsAreNamedAndTheNextChannelPlays();
    void keepsVolumeAndMuteForTheSave();

private:
    static QString AddressOf(int table, int index)
    {
        return DecodeChannelAddress(MakeChannelCode(table, index), TestAddressTable());
    }

    test::StreamServer m_server;
};

void MpvPlayerTest::initTestCase()
{
    QVERIFY2(m_server.Start(QStringLiteral(VANTELO_TEST_STREAMS)), "the local stream server did not start");
}

void MpvPlayerTest::playsADecodedAddress_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("index");
    QTest::newRow("mpeg-ts") << 1 << 0;
    QTest::newRow("hls") << 1 << 1;
    QTest::newRow("shared record in another table") << 13 << 0;
}

void MpvPlayerTest::playsADecodedAddress()
{
    QFETCH(int, table);
    QFETCH(int, index);
    auto player = MpvPlayer::Create({.headless = true});
    QVERIFY(player);

    player->SetUrl(AddressOf(table, index));
    QCOMPARE(player->status().state, StreamState::Connecting);
    QTRY_COMPARE_WITH_TIMEOUT(player->status().state, StreamState::Playing, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(player->timePosition() > 1.0, 10000);
    QCOMPARE(player->videoSize(), QSize(320, 240));
}

void MpvPlayerTest::namesTheReasonAStreamFails_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("reason");
    QTest::newRow("404 from the table") << AddressOf(4, 0) << "HTTP error 404";
    QTest::newRow("closed port from the table") << AddressOf(4, 1) << "refused";
    QTest::newRow("403") << "http://127.0.0.1:18080/status/403" << "HTTP error 403";
    QTest::newRow("garbage") << "http://127.0.0.1:18080/garbage.ts" << "";
}

void MpvPlayerTest::namesTheReasonAStreamFails()
{
    QFETCH(QString, url);
    QFETCH(QString, reason);
    auto player = MpvPlayer::Create({.headless = true});
    QVERIFY(player);

    player->SetUrl(url);
    QTRY_COMPARE_WITH_TIMEOUT(player->status().state, StreamState::Failed, 12000);
    QVERIFY2(player->status().failureReason.contains(reason), qPrintable(player->status().failureReason));

    // The next channel plays normally.
    player->SetUrl(AddressOf(1, 0));
    QTRY_COMPARE_WITH_TIMEOUT(player->status().state, StreamState::Playing, 10000);
}

void MpvPlayerTest::reportsAStreamThatNeverShowsAPicture()
{
    auto player = MpvPlayer::Create({.headless = true, .firstFrameDeadlineSeconds = 2});
    QVERIFY(player);
    QSignalSpy statusChanges(player.get(), &MpvPlayer::statusChanged);

    player->SetUrl(QStringLiteral("http://127.0.0.1:18080/trickle.ts"));
    QTRY_COMPARE_WITH_TIMEOUT(player->status().state, StreamState::Failed, 6000);
    QVERIFY2(player->status().failureReason.startsWith(QStringLiteral("time-out")),
             qPrintable(player->status().failureReason));
}

void MpvPlayerTest::playsTheBestVariantOfAMasterPlaylist()
{
    auto player = MpvPlayer::Create({.headless = true});
    QVERIFY(player);
    // Twice: once finding the variant, once from what was learnt.
    for (int round = 0; round < 2; ++round) {
        player->SetUrl(QStringLiteral("http://127.0.0.1:18080/master.m3u8"));
        QTRY_COMPARE_WITH_TIMEOUT(player->status().state, StreamState::Playing, 10000);
        QCOMPARE(player->videoSize(), QSize(320, 240));
        player->Stop();
    }
}

void MpvPlayerTest::failingStreamsAreNamedAndTheNextChannelPlays_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("reason");
    const int failed = int(StreamState::Failed);
    QTest::newRow("403") << "/status/403" << failed << "HTTP error 403";
    QTest::newRow("404") << "/status/404" << failed << "HTTP error 404";
    QTest::newRow("500") << "/status/500" << failed << "HTTP error 500";
    QTest::newRow("closed mid-stream") << "/cut.ts" << int(StreamState::Ended) << "";
    QTest::newRow("stall before the first byte") << "/stall" << failed << "time-out";
    QTest::newRow("stall mid-stream") << "/stall-later.ts" << -1 << "";
    QTest::newRow("garbage") << "/garbage.ts" << failed << "";
    QTest::newRow("live playlist of missing segments") << "/missing-hls/index.m3u8" << failed << "404";
}

// Whatever goes wrong, the status line names it within 10 seconds, the event
// loop stays free (the longest gap is printed, not asserted), and the next
// channel plays.
void MpvPlayerTest::failingStreamsAreNamedAndTheNextChannelPlays()
{
    QFETCH(QString, path);
    QFETCH(int, state);
    QFETCH(QString, reason);
    auto player = MpvPlayer::Create({.headless = true});
    QVERIFY(player);

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, this, [&] {
        longestGap = std::max(longestGap, sinceTick.restart());
    });
    sinceTick.start();
    tick.start();

    QElapsedTimer sinceStart;
    sinceStart.start();
    player->SetUrl(QStringLiteral("http://127.0.0.1:18080") + path);
    const auto ended = [&] {
        const StreamState now = player->status().state;
        return state < 0 ? (now == StreamState::Failed || now == StreamState::Ended) : now == StreamState(state);
    };
    QTRY_VERIFY2_WITH_TIMEOUT(ended(), qPrintable(StatusText(player->status())), 12000);
    const qint64 reported = sinceStart.elapsed();
    tick.stop();
    QVERIFY2(player->status().failureReason.contains(reason), qPrintable(player->status().failureReason));
    qInfo("%s: \"%s\" after %lld ms; longest event-loop gap %lld ms", qPrintable(path),
          qPrintable(StatusText(player->status())), reported, longestGap);

    player->SetUrl(AddressOf(1, 0));
    QTRY_COMPARE_WITH_TIMEOUT(player->status().state, StreamState::Playing, 10000);
}

void MpvPlayerTest::keepsVolumeAndMuteForTheSave()
{
    auto player = MpvPlayer::Create({.headless = true});
    QVERIFY(player);
    QCOMPARE(player->GetVolume(), 100);
    QCOMPARE(player->GetMute(), false);
    player->SetVolume(37);
    player->SetMute(true);
    QCOMPARE(player->GetVolume(), 37);
    QCOMPARE(player->GetMute(), true);
    // What the engine reports back agrees.
    QTest::qWait(200);
    QCOMPARE(player->GetVolume(), 37);
    QCOMPARE(player->GetMute(), true);
}

}  // namespace vantelo

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    vantelo::MpvPlayerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "mpv_player_test.moc"
