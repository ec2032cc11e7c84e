// Google Benchmark of the parts that run without a stream: deciphering a
// channel's address (next to OpenSSL's Blowfish doing the same work), reading
// a language pack, and switching every text of the windows to another pack.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <algorithm>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/main_window.h"
#include "app/settings_store.h"
#include "catalogue/blowfish.h"
#include "catalogue/channel_address.h"
#include "catalogue/load_channels.h"
#include "lang/load_language.h"
#include "support/recording_player.h"
#include "support/recording_prompter.h"
#include "support/recording_shell.h"

namespace {

using namespace vantelo;

const QString kLanguages = QStringLiteral(VANTELO_SOURCE_DIR "/res/Languages");

std::uint32_t RecordLength(const std::uint8_t* record)
{
    return std::uint32_t{record[0]} | (std::uint32_t{record[1]} << 8) | (std::uint32_t{record[2]} << 16) |
           (std::uint32_t{record[3]} << 24);
}

const std::uint8_t* Record(ChannelCode code)
{
    return CatalogueAddressTable().subTables[static_cast<std::size_t>(TableOf(code) - 1)]
        .records[static_cast<std::size_t>(IndexOf(code))];
}

// The channel whose record has the median length in the built-in catalogue:
// the typical call.
ChannelCode TypicalChannel()
{
    std::vector<std::pair<std::uint32_t, ChannelCode>> lengths;
    for (const CatalogueTable& table : kCatalogueTables) {
        for (int index = 0; index < table.channelCount; ++index) {
            const ChannelCode code = MakeChannelCode(table.number, index);
            lengths.emplace_back(RecordLength(Record(code)), code);
        }
    }
    std::sort(lengths.begin(), lengths.end());
    return lengths[lengths.size() / 2].second;
}

void BM_DecodeChannelAddress(benchmark::State& state)
{
    const ChannelCode code = TypicalChannel();
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeChannelAddress(code));
    state.counters["record_bytes"] = RecordLength(Record(code));
}
BENCHMARK(BM_DecodeChannelAddress);

// The same work done by OpenSSL: its key schedule with the same six-byte key,
// then ECB deciphering of the same record, block by block.
void BM_OpenSslBlowfish(benchmark::State& state)
{
    const ChannelCode code = TypicalChannel();
    const std::uint8_t* record = Record(code);
    const std::uint32_t length = RecordLength(record);
    std::vector<unsigned char> plain(length);
    for (auto _ : state) {
        BF_KEY key;
        BF_set_key(&key, static_cast<int>(kAddressTableKey.size()), kAddressTableKey.data());
        for (std::uint32_t offset = 0; offset + 8 <= length; offset += 8)
            BF_ecb_encrypt(record + 4 + offset, plain.data() + offset, &key, BF_DECRYPT);
        benchmark::DoNotOptimize(plain.data());
        benchmark::ClobberMemory();
    }
    // Both must have read the same address, or the comparison means nothing.
    const QString address = QString::fromUtf8(reinterpret_cast<const char*>(plain.data()));
    if (address != DecodeChannelAddress(code))
        state.SkipWithError("OpenSSL deciphered another text than DecodeChannelAddress");
    state.counters["record_bytes"] = length;
}
BENCHMARK(BM_OpenSslBlowfish);

// Reading a pack as the start does: Main.xml, then Channels.xml.
void BM_LoadLanguageAndChannels(benchmark::State& state, const QString& pack)
{
    test::RecordingPrompter prompter;
    for (auto _ : state) {
        QString language = pack;
        LanguageTexts texts;
        ChannelLists names;
        ChannelLists descriptions;
        const bool loaded = LoadLanguage(language, texts, prompter, kLanguages) &&
                            LoadChannels(language, names, descriptions, kLanguages);
        if (!loaded || language != pack) {
            state.SkipWithError("the pack did not load");
            break;
        }
        benchmark::DoNotOptimize(texts);
        benchmark::DoNotOptimize(names);
    }
}

// A whole language switch of the shown windows: ReloadLanguage reads the new
// pack and rebuilds the menus, the channel tree and the favourites, and the
// events it leaves behind (layout, painting) are processed too, since a viewer
// sees the switch only then. Each round switches to the next shipped pack.
void BM_ReloadLanguage(benchmark::State& state)
{
    QTemporaryDir folder;
    test::RecordingPrompter prompter;
    test::RecordingShell shell;
    MainWindowServices services;
    services.prompter = &prompter;
    services.shell = &shell;
    services.languagesRoot = kLanguages;
    services.appDataFolder = folder.path();
    services.channelIconsFile = QStringLiteral(VANTELO_BENCH_ICONS);
    services.createPlayer = [](QWidget* parent) -> std::unique_ptr<PlayerControl> {
        return std::make_unique<test::RecordingPlayer>(parent);
    };
    CLuvaneDlg window(std::move(services));
    if (!window.OnInitDialog()) {
        state.SkipWithError("the windows did not start");
        return;
    }
    QApplication::processEvents();
    const QStringList packs = QDir(kLanguages).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    const QString settingsFile = folder.path() + QStringLiteral("/Settings.xml");
    qsizetype next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        next = (next + 1) % packs.size();
        SettingsRecord settings = window.settings();
        settings.language = packs[next];
        SaveSettings(settingsFile, settings);
        window.LoadSettings();
        state.ResumeTiming();

        if (!window.ReloadLanguage()) {
            state.SkipWithError("the switch failed");
            break;
        }
        QApplication::processEvents();
    }
    if (!prompter.messages.isEmpty())
        state.SkipWithError(qPrintable(prompter.messages.first().text));
    state.counters["packs"] = static_cast<double>(packs.size());
}
BENCHMARK(BM_ReloadLanguage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    for (const QString& pack : QDir(kLanguages).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        benchmark::RegisterBenchmark(("BM_LoadLanguageAndChannels/" + pack.toStdString()).c_str(),
                                     BM_LoadLanguageAndChannels, pack)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
