// Saves of Settings.xml and Favorites.xml under a killed process, a full disk
// at every stage of the write, and an old file the readers refuse.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "app/settings_store.h"
#include "browser/favorites_store.h"
#include "platform/atomic_file.h"
#include "platform/xml_file.h"
#include "support/file_bytes.h"

namespace vantelo {
namespace {

using test::ReadBytes;
using test::WriteBytes;

QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Two different contents for each store, so that every save changes the file.
SettingsRecord SettingsVersion(int version)
{
    SettingsRecord record;
    record.language = version == 0 ? QStringLiteral("English") : QString::fromUtf8("Русский");
    record.volumeSound = version == 0 ? 17 : 83;
    record.mainWindowPos = {version, 2, 640 + version, 480};
    record.alwaysOnTop = version;
    return record;
}

FavoritesLists FavoritesVersion(int version, int count)
{
    FavoritesLists lists;
    for (int number = 0; number < count; ++number) {
        lists.names.append(QStringLiteral("Channel %1 of version %2 & <more>").arg(number).arg(version));
        lists.codes.append(MakeChannelCode(1 + number % 17, number));
        lists.icons.append(static_cast<quint32>(version));
    }
    return lists;
}

// The two stores behind one interface: save version 0 or 1, and tell which
// version a file holds (-1: it does not load).
struct Store {
    const char* name;
    const char* fileName;
    std::function<bool(const QString&, int version)> save;
    std::function<int(const QString&)> version;
};

void PrintTo(const Store& store, std::ostream* out) { *out << store.name; }

constexpr int kFavoriteCount = 200;  // some 14 KB: more than one stdio buffer

Store SettingsStore()
{
    return {"settings", "Settings.xml",
            [](const QString& path, int version) { return SaveSettings(path, SettingsVersion(version)); },
            [](const QString& path) {
                SettingsRecord record;
                if (!LoadSettings(path, record))
                    return -1;
                for (int version : {0, 1}) {
                    if (record == SettingsVersion(version))
                        return version;
                }
                return -2;
            }};
}

Store FavoritesStore()
{
    return {"favorites", "Favorites.xml",
            [](const QString& path, int version) {
                return SaveFavorites(path, FavoritesVersion(version, kFavoriteCount));
            },
            [](const QString& path) {
                FavoritesLists lists;
                if (!LoadFavorites(path, lists))
                    return -1;
                for (int version : {0, 1}) {
                    const FavoritesLists expected = FavoritesVersion(version, kFavoriteCount);
                    if (lists.names == expected.names && lists.codes == expected.codes && lists.icons == expected.icons)
                        return version;
                }
                return -2;
            }};
}

// The exact bytes each version is saved as.
QByteArray SavedBytes(const Store& store, int version)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(store.fileName));
    EXPECT_TRUE(store.save(path, version));
    return ReadBytes(path);
}

int EnvironmentNumber(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// A temporary file a killed save leaves behind: ".<name>.XXXXXX".
bool IsLeftOverTemporary(const QString& entry, const char* fileName)
{
    const QString prefix = QLatin1Char('.') + QLatin1String(fileName) + QLatin1Char('.');
    return entry.startsWith(prefix) && entry.size() == prefix.size() + 6;
}

// Starts a child that runs body forever (or until it returns), and returns once
// the child is running.
pid_t StartChild(const std::function<void()>& body)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        if (write(ready[1], "r", 1) != 1)
            _exit(3);
        body();
        _exit(0);
    }
    close(ready[1]);
    char byte = 0;
    if (child > 0 && read(ready[0], &byte, 1) != 1) {
        close(ready[0]);
        return -1;
    }
    close(ready[0]);
    return child;
}

// Microseconds one call of work takes, the mean of a few, to spread the kills
// over. Only used to choose delays; nothing is asserted about it.
long MeanMicroseconds(const std::function<void()>& work)
{
    constexpr int kTimes = 8;
    const auto start = std::chrono::steady_clock::now();
    for (int time = 0; time < kTimes; ++time)
        work();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::max<long>(1, static_cast<long>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) /
                                 kTimes);
}

// --- killed while saving -----------------------------------------------------------

// A child saves the settings and the favourites over and over, each time the
// other version, and is killed at a random moment; then both files must load
// and hold exactly one of the two versions. Rounds: VANTELO_KILL_ROUNDS
// (300 by default; scripts/test.sh's kill stage runs 1000).
TEST(KillDuringSaveTest, BothFilesAlwaysHoldTheOldOrTheNewVersion)
{
    const std::vector<Store> stores = {SettingsStore(), FavoritesStore()};
    QTemporaryDir dir;
    std::vector<QString> paths;
    std::vector<std::vector<QByteArray>> versions;
    for (const Store& store : stores) {
        paths.push_back(dir.filePath(QString::fromLatin1(store.fileName)));
        versions.push_back({SavedBytes(store, 0), SavedBytes(store, 1)});
        ASSERT_TRUE(store.save(paths.back(), 0));
    }
    const auto saveBoth = [&](int version) {
        for (std::size_t at = 0; at < stores.size(); ++at) {
            if (!stores[at].save(paths[at], version))
                _exit(4);
        }
    };

    const int rounds = EnvironmentNumber("VANTELO_KILL_ROUNDS", 300);
    const unsigned seed = static_cast<unsigned>(EnvironmentNumber("VANTELO_KILL_SEED", 20261211));
    const long cycle = MeanMicroseconds([&] { saveBoth(0); });
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, 2 * cycle);

    int killedMidSave = 0;
    std::vector<int> changes(stores.size(), 0);
    std::vector<int> last(stores.size(), 0);
    for (int round = 0; round < rounds; ++round) {
        const pid_t child = StartChild([&] {
            for (int version = 1;; version ^= 1)
                saveBoth(version);
        });
        ASSERT_GT(child, 0) << "fork failed";
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself, status " << status;

        for (std::size_t at = 0; at < stores.size(); ++at) {
            const QByteArray bytes = ReadBytes(paths[at]);
            const int version = bytes == versions[at][0] ? 0 : bytes == versions[at][1] ? 1 : -1;
            ASSERT_NE(version, -1) << stores[at].name << " holds neither version after round " << round << ":\n"
                                   << bytes.left(300).constData();
            ASSERT_EQ(stores[at].version(paths[at]), version) << stores[at].name << ", round " << round;
            changes[at] += version != last[at];
            last[at] = version;
        }
        // Nothing but the two files and the temporary files of interrupted saves.
        bool leftOver = false;
        for (const QString& entry : FolderEntries(dir.path())) {
            if (entry == QLatin1String(stores[0].fileName) || entry == QLatin1String(stores[1].fileName))
                continue;
            const bool temporary =
                IsLeftOverTemporary(entry, stores[0].fileName) || IsLeftOverTemporary(entry, stores[1].fileName);
            ASSERT_TRUE(temporary) << "unexpected " << entry.toStdString() << " after round " << round;
            leftOver = true;
            QFile::remove(dir.filePath(entry));
        }
        killedMidSave += leftOver;
    }
    std::printf("[ figures  ] %d kills survived (seed %u, one save of both files %ld us); %d landed mid-write "
                "(a temporary file was left); the settings changed %d times, the favourites %d times\n",
                rounds, seed, cycle, killedMidSave, changes[0], changes[1]);
}

const auto kStores = testing::Values(SettingsStore(), FavoritesStore());

std::string StoreName(const testing::TestParamInfo<Store>& row) { return row.param.name; }

class KillDuringFirstSaveTest : public testing::TestWithParam<Store> {};

// The first save over a file the reader rejects moves it aside before putting
// the new one in place. Killed anywhere in that, the user's old bytes are in
// exactly one place: still at the path, or in <path>.unreadable.
TEST_P(KillDuringFirstSaveTest, AnUnreadableOldFileIsNeverLost)
{
    const Store& store = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(store.fileName));
    const QString aside = path + kUnreadableSuffix;
    const QByteArray unreadable = "<" + QByteArray(store.fileName) + "> my own edit, not closed";
    const QByteArray saved = SavedBytes(store, 1);

    const auto reset = [&] {
        QFile::remove(aside);
        return WriteBytes(path, unreadable);
    };
    ASSERT_TRUE(reset());
    const long save = MeanMicroseconds([&] {
        reset();
        store.save(path, 1);
    });
    const int rounds = std::max(1, EnvironmentNumber("VANTELO_KILL_ROUNDS", 300) / 3);
    std::mt19937 random(static_cast<unsigned>(EnvironmentNumber("VANTELO_KILL_SEED", 20261211)));
    std::uniform_int_distribution<long> delay(0, save + save / 2);

    int untouched = 0;
    int between = 0;
    int done = 0;
    for (int round = 0; round < rounds; ++round) {
        ASSERT_TRUE(reset());
        for (const QString& entry : FolderEntries(dir.path())) {
            if (IsLeftOverTemporary(entry, store.fileName))
                QFile::remove(dir.filePath(entry));
        }
        const pid_t child = StartChild([&] {
            store.save(path, 1);
            pause();
        });
        ASSERT_GT(child, 0);
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        ASSERT_EQ(waitpid(child, nullptr, 0), child);

        const bool atPath = QFile::exists(path);
        const bool isAside = QFile::exists(aside);
        if (atPath && ReadBytes(path) == unreadable) {
            EXPECT_FALSE(isAside) << "round " << round;
            ++untouched;
        } else if (!atPath) {
            // Between setting the old file aside and renaming the new one in.
            EXPECT_EQ(ReadBytes(aside), unreadable) << "round " << round;
            ++between;
        } else {
            EXPECT_EQ(ReadBytes(path), saved) << "round " << round;
            EXPECT_EQ(ReadBytes(aside), unreadable) << "round " << round;
            ++done;
        }
        if (HasFailure())
            return;
    }
    std::printf("[ figures  ] %s: %d kills during the first save: %d before the old file moved, %d between the "
                "two renames, %d after\n",
                store.name, rounds, untouched, between, done);
}

INSTANTIATE_TEST_SUITE_P(Stores, KillDuringFirstSaveTest, kStores, StoreName);

// --- a full disk at every stage of the write --------------------------------------------

// Where the file size limit cuts the new file: before its first byte, after
// it, half-way, one byte short, and exactly at its end (which fits).
enum class Cut { Nothing, OneByte, Half, AllButOne, Exact };

struct FullDiskCase {
    Store store;
    Cut cut;
};

void PrintTo(const FullDiskCase& c, std::ostream* out) { *out << c.store.name << '/' << static_cast<int>(c.cut); }

class FullDiskTest : public testing::TestWithParam<FullDiskCase> {};

TEST_P(FullDiskTest, LeavesTheOldFileOrWritesAllOfTheNewOne)
{
    const auto& [store, cut] = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(store.fileName));
    ASSERT_TRUE(store.save(path, 0));
    const QByteArray old = ReadBytes(path);
    const qint64 size = SavedBytes(store, 1).size();
    const qint64 limits[] = {0, 1, size / 2, size - 1, size};
    const qint64 limit = limits[static_cast<int>(cut)];

    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // writes then fail with EFBIG, as on a full disk
        const rlimit bound{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        if (setrlimit(RLIMIT_FSIZE, &bound) != 0)
            _exit(2);
        _exit(store.save(path, 1) ? 1 : 0);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    ASSERT_NE(WEXITSTATUS(status), 2) << "setrlimit failed";

    const bool fits = cut == Cut::Exact;
    EXPECT_EQ(WEXITSTATUS(status) == 1, fits);
    EXPECT_EQ(store.version(path), fits ? 1 : 0);
    if (!fits) {
        EXPECT_EQ(ReadBytes(path), old);
    }
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QString::fromLatin1(store.fileName)});
}

std::vector<FullDiskCase> FullDiskCases()
{
    std::vector<FullDiskCase> cases;
    for (const Store& store : {SettingsStore(), FavoritesStore()}) {
        for (Cut cut : {Cut::Nothing, Cut::OneByte, Cut::Half, Cut::AllButOne, Cut::Exact})
            cases.push_back({store, cut});
    }
    return cases;
}

std::string FullDiskName(const testing::TestParamInfo<FullDiskCase>& row)
{
    static const char* const kCutNames[] = {"nothing_fits", "one_byte_fits", "half_fits", "all_but_one_byte_fits",
                                            "exactly_fits"};
    return std::string(row.param.store.name) + "_" + kCutNames[static_cast<int>(row.param.cut)];
}

INSTANTIATE_TEST_SUITE_P(Cases, FullDiskTest, testing::ValuesIn(FullDiskCases()), FullDiskName);

// --- an old file beyond the reading bounds -------------------------------------------------

struct RefusedCase {
    const char* name;
    std::function<QByteArray(const Store&)> old;
};

using RefusedOldFileCase = std::tuple<Store, RefusedCase>;

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class RefusedOldFileTest : public testing::TestWithParam<RefusedOldFileCase> {};

// The readers refuse it, so it counts as unreadable: the save keeps it, byte for
// byte, as <path>.unreadable.
TEST_P(RefusedOldFileTest, IsKeptAsideOnSave)
{
    const auto& [store, refused] = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(store.fileName));
    const QByteArray old = refused.old(store);
    ASSERT_TRUE(WriteBytes(path, old));
    ASSERT_EQ(store.version(path), -1) << "the old file should be refused";

    ASSERT_TRUE(store.save(path, 1));

    EXPECT_EQ(store.version(path), 1);
    EXPECT_TRUE(ReadBytes(path + kUnreadableSuffix) == old);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedOldFileTest,
    testing::Combine(kStores,
                     testing::Values(
                         RefusedCase{"larger_than_the_bound",
                                     [](const Store& store) {
                                         // A well-formed file of the right shape, 2 MiB of it.
                                         const QByteArray saved = SavedBytes(store, 0);
                                         const qsizetype close = saved.lastIndexOf("</");
                                         return saved.left(close) +
                                                QByteArray("<!-- padding -->").repeated(2 * kMaxXmlFileBytes / 16) +
                                                saved.mid(close);
                                     }},
                         RefusedCase{"nested_too_deeply",
                                     [](const Store& store) {
                                         const QByteArray saved = SavedBytes(store, 0);
                                         const qsizetype close = saved.lastIndexOf("</");
                                         return saved.left(close) + QByteArray("<a>").repeated(kMaxXmlDepth + 1) +
                                                QByteArray("</a>").repeated(kMaxXmlDepth + 1) + saved.mid(close);
                                     }})),
    [](const testing::TestParamInfo<RefusedOldFileCase>& row) {
        return std::string(std::get<0>(row.param).name) + "_" + std::get<1>(row.param).name;
    });

}  // namespace
}  // namespace vantelo
