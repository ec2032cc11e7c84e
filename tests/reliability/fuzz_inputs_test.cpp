// Replays the fuzzers' seeds and every input that once broke a reader through
// the same harness the fuzz targets run, so that a fixed fault stays fixed in
// the ordinary test run (and in the sanitizer build).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "fuzz/harness/fuzz_harness.h"

namespace vantelo {
namespace {

using Runner = void (*)(const std::uint8_t*, std::size_t);

struct FuzzInput {
    std::string target;
    std::string folder;  // "corpus" or "regressions"
    QString path;
};

void PrintTo(const FuzzInput& input, std::ostream* out) { *out << input.path.toStdString(); }

Runner RunnerOf(const std::string& target)
{
    if (target == "main_xml")
        return fuzz::RunMainXml;
    if (target == "channels_xml")
        return fuzz::RunChannelsXml;
    if (target == "settings_xml")
        return fuzz::RunSettingsXml;
    if (target == "favorites_xml")
        return fuzz::RunFavoritesXml;
    if (target == "channel_address")
        return fuzz::RunChannelAddress;
    if (target == "xml_shape")
        return fuzz::RunXmlShape;
    return nullptr;
}

std::vector<FuzzInput> Inputs()
{
    std::vector<FuzzInput> inputs;
    for (const char* folder : {"corpus", "regressions"}) {
        const QDir root(QStringLiteral(VANTELO_SOURCE_DIR "/fuzz/") + QLatin1String(folder));
        for (const QString& target : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QDir inputs_folder(root.filePath(target));
            for (const QString& file : inputs_folder.entryList(QDir::Files, QDir::Name))
                inputs.push_back({target.toStdString(), folder, inputs_folder.filePath(file)});
        }
    }
    return inputs;
}

class FuzzInputTest : public testing::TestWithParam<FuzzInput> {};

TEST_P(FuzzInputTest, PassesThroughTheReader)
{
    const FuzzInput& input = GetParam();
    const Runner run = RunnerOf(input.target);
    ASSERT_NE(run, nullptr) << "no fuzz target " << input.target;
    QFile file(input.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Aborts with the broken promise on stderr if the input still breaks it.
    run(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}

TEST(FuzzInputTest, EveryTargetHasSeeds)
{
    std::vector<std::string> seeded;
    for (const FuzzInput& input : Inputs()) {
        if (input.folder == "corpus")
            seeded.push_back(input.target);
    }
    for (const char* target : {"main_xml", "channels_xml", "settings_xml", "favorites_xml", "channel_address",
                               "xml_shape"}) {
        EXPECT_NE(std::find(seeded.begin(), seeded.end(), target), seeded.end()) << target;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzInputTest, testing::ValuesIn(Inputs()),
                         [](const testing::TestParamInfo<FuzzInput>& row) {
                             std::string name = row.param.folder + "_" + row.param.target + "_" +
                                                QFileInfo(row.param.path).fileName().toStdString();
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace vantelo
