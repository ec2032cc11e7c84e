#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
#include "support/file_bytes.h"

namespace vantelo {
namespace {

using test::ReadBytes;

void WriteBytes(const QString& path, const QByteArray& content)
{
    ASSERT_TRUE(test::WriteBytes(path, content));
}

// Everything in a folder, hidden files included, so a left-over temporary file shows.
QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t ModeOf(const QString& path)
{
    struct stat status {};
    EXPECT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    return status.st_mode & 07777;
}

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_old(umask(mask)) {}
    ~ScopedUmask() { umask(m_old); }

private:
    mode_t m_old;
};

TEST(AtomicFileWriterTest, ReplacesTheTargetOnlyOnCommit)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Favorites.xml"));
    WriteBytes(target, "old");

    AtomicFileWriter writer(target);
    ASSERT_NE(writer.file(), nullptr);
    std::fputs("new content", writer.file());
    // The content goes to a hidden file beside the target, so that rename() works.
    const QStringList whileWriting = FolderEntries(dir.path());
    ASSERT_EQ(whileWriting.size(), 2) << whileWriting.join(u' ').toStdString();
    EXPECT_TRUE(whileWriting.at(0).startsWith(QStringLiteral(".Favorites.xml.")));
    EXPECT_TRUE(writer.Finish());
    EXPECT_EQ(ReadBytes(target), QByteArray("old"));

    EXPECT_TRUE(writer.Commit());
    EXPECT_EQ(ReadBytes(target), QByteArray("new content"));
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("Favorites.xml")});
    EXPECT_TRUE(writer.errorText().isEmpty());
}

TEST(AtomicFileWriterTest, WithoutCommitTheTargetStaysAndNothingIsLeft)
{
    for (const bool finished : {false, true}) {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("Settings.xml"));
        WriteBytes(target, "old");
        {
            AtomicFileWriter writer(target);
            ASSERT_NE(writer.file(), nullptr);
            std::fputs("half", writer.file());
            if (finished) {
                ASSERT_TRUE(writer.Finish());
            }
        }
        EXPECT_EQ(ReadBytes(target), QByteArray("old")) << finished;
        EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("Settings.xml")}) << finished;
    }
}

TEST(AtomicFileWriterTest, FailuresAreReportedAndCleanedUp)
{
    QTemporaryDir dir;
    // No folder: nothing can be created.
    AtomicFileWriter noFolder(dir.filePath(QStringLiteral("missing/Settings.xml")));
    EXPECT_EQ(noFolder.file(), nullptr);
    EXPECT_FALSE(noFolder.Finish());
    EXPECT_FALSE(noFolder.Commit());
    EXPECT_TRUE(noFolder.errorText().contains(QStringLiteral("missing/Settings.xml")))
        << noFolder.errorText().toStdString();
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());

    // The rename fails when the target is a folder that is not empty.
    const QString target = dir.filePath(QStringLiteral("Busy"));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/inside")));
    AtomicFileWriter writer(target);
    ASSERT_NE(writer.file(), nullptr);
    std::fputs("content", writer.file());
    EXPECT_FALSE(writer.Commit());
    EXPECT_FALSE(writer.errorText().isEmpty());
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QStringLiteral("Busy")});
    EXPECT_EQ(FolderEntries(target), QStringList{QStringLiteral("inside")});
}

TEST(AtomicFileWriterTest, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode)
{
    const auto commitNew = [](const QString& target) {
        AtomicFileWriter writer(target);
        return writer.file() != nullptr && writer.Commit();
    };
    QTemporaryDir dir;
    const struct {
        mode_t umask;
        mode_t expected;
    } fresh[] = {{022, 0644}, {077, 0600}, {0, 0644}, {027, 0640}};
    for (const auto& row : fresh) {
        ScopedUmask mask(row.umask);
        const QString target = dir.filePath(QStringLiteral("new%1").arg(row.umask, 0, 8));
        ASSERT_TRUE(commitNew(target));
        EXPECT_EQ(ModeOf(target), row.expected) << std::oct << row.umask;
    }

    ScopedUmask mask(022);
    for (const mode_t kept : {mode_t(0600), mode_t(0664)}) {
        const QString target = dir.filePath(QStringLiteral("kept%1").arg(kept, 0, 8));
        WriteBytes(target, "old");
        ASSERT_EQ(chmod(QFile::encodeName(target).constData(), kept), 0);
        ASSERT_TRUE(commitNew(target));
        EXPECT_EQ(ModeOf(target), kept) << std::oct << kept;
    }
}

// The two stores, each saving something other than the defaults.
struct Store {
    const char* name;
    const char* fileName;
    std::function<bool(const QString&)> save;
    std::function<bool(const QString&)> load;
    std::vector<QByteArray> unreadable;  // old files its reader rejects
};

// Names the store, not its bytes, wherever Google Test shows the parameter.
void PrintTo(const Store& store, std::ostream* out) { *out << store.name; }

const std::vector<QByteArray> kNeverReadable = {QByteArray(), "not xml", "<Root><Open name='mine'>\n", "<a></b>"};

Store SettingsStore()
{
    std::vector<QByteArray> unreadable = kNeverReadable;
    unreadable.push_back("<Settings><Language name='mine'/><MainWindowPos/></Settings>");  // too few elements
    return {"settings", "Settings.xml",
            [](const QString& path) {
                SettingsRecord record;
                record.volumeSound = 37;
                return SaveSettings(path, record);
            },
            [](const QString& path) {
                SettingsRecord record;
                return LoadSettings(path, record) && record.volumeSound == 37;
            },
            unreadable};
}

Store FavoritesStore()
{
    return {"favorites", "Favorites.xml",
            [](const QString& path) {
                FavoritesLists lists;
                lists.names.append(QStringLiteral("saved"));
                lists.codes.append(65549);
                lists.icons.append(1);
                return SaveFavorites(path, lists);
            },
            [](const QString& path) {
                FavoritesLists lists;
                return LoadFavorites(path, lists) && lists.size() == 1 && lists.names.at(0) == QStringLiteral("saved");
            },
            kNeverReadable};
}

const auto kStores = testing::Values(SettingsStore(), FavoritesStore());

class StoreSaveTest : public testing::TestWithParam<Store> {};

TEST_P(StoreSaveTest, AnUnreadableOldFileIsKeptAside)
{
    const Store& store = GetParam();
    for (const QByteArray& old : store.unreadable) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(store.fileName));
        WriteBytes(path, old);
        WriteBytes(path + kUnreadableSuffix, "an older unreadable file");

        ASSERT_TRUE(store.save(path)) << old.constData();

        EXPECT_EQ(ReadBytes(path + kUnreadableSuffix), old);
        EXPECT_TRUE(store.load(path)) << old.constData();
        EXPECT_EQ(FolderEntries(dir.path()), QStringList({QString::fromLatin1(store.fileName),
                                                          QString::fromLatin1(store.fileName) + kUnreadableSuffix}));
    }
}

TEST_P(StoreSaveTest, AReadableOldFileIsSimplyReplaced)
{
    const Store& store = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(store.fileName));
    ASSERT_TRUE(store.save(path));  // no old file
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QString::fromLatin1(store.fileName)});

    WriteBytes(path, ReadBytes(path).replace("\n", "\r\n"));  // still readable
    ASSERT_TRUE(store.save(path));
    EXPECT_TRUE(store.load(path));
    EXPECT_FALSE(ReadBytes(path).contains('\r'));
    EXPECT_EQ(FolderEntries(dir.path()), QStringList{QString::fromLatin1(store.fileName)});

    // An .unreadable file from an earlier save is the user's to remove.
    WriteBytes(path + kUnreadableSuffix, "earlier");
    ASSERT_TRUE(store.save(path));
    EXPECT_EQ(ReadBytes(path + kUnreadableSuffix), QByteArray("earlier"));
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreSaveTest, kStores,
                         [](const testing::TestParamInfo<Store>& row) { return std::string(row.param.name); });

// Ways a save can fail to write its new file.
enum class Failure { MissingFolder, ReadOnlyFolder, FullDisk };

const char* const kFailureNames[] = {"missing_folder", "read_only_folder", "full_disk"};

void PrintTo(Failure failure, std::ostream* out) { *out << kFailureNames[static_cast<int>(failure)]; }

// Runs the save in a child process whose file size limit is below the size of
// the new file, as a full disk would stop it. Returns what the save returned.
bool SaveOnFullDisk(const Store& store, const QString& path)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // so that writes fail with EFBIG instead of killing the child
        const rlimit limit{32, 32};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(2);
        _exit(store.save(path) ? 1 : 0);
    }
    EXPECT_GT(child, 0) << "fork failed";
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_NE(WEXITSTATUS(status), 2) << "setrlimit failed";
    return WEXITSTATUS(status) == 1;
}

using FailedSaveCase = std::tuple<Store, Failure>;

class FailedSaveTest : public testing::TestWithParam<FailedSaveCase> {};

TEST_P(FailedSaveTest, ReturnsFalseAndChangesNothing)
{
    const auto& [store, failure] = GetParam();
    QTemporaryDir dir;
    const QString fileName = QString::fromLatin1(store.fileName);

    if (failure == Failure::MissingFolder) {
        EXPECT_FALSE(store.save(dir.filePath(QStringLiteral("missing/")) + fileName));
        EXPECT_TRUE(FolderEntries(dir.path()).isEmpty());
        return;
    }

    // An unreadable old file is the hardest case: a save that set it aside before
    // knowing that the new file was written would leave the user with no file.
    const QString path = dir.filePath(fileName);
    const QByteArray old = "<" + QByteArray(store.fileName) + "> hand-edited, not closed";
    WriteBytes(path, old);
    WriteBytes(path + kUnreadableSuffix, "an older unreadable file");

    bool saved = false;
    if (failure == Failure::ReadOnlyFolder) {
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
        if (access(QFile::encodeName(dir.path()).constData(), W_OK) == 0) {
            chmod(QFile::encodeName(dir.path()).constData(), 0755);
            GTEST_SKIP() << "permissions do not bind this user (root)";
        }
        saved = store.save(path);
        chmod(QFile::encodeName(dir.path()).constData(), 0755);
    } else {
        saved = SaveOnFullDisk(store, path);
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(ReadBytes(path + kUnreadableSuffix), QByteArray("an older unreadable file"));
    EXPECT_EQ(FolderEntries(dir.path()), QStringList({fileName, fileName + kUnreadableSuffix}));
}

std::string FailedSaveName(const testing::TestParamInfo<FailedSaveCase>& row)
{
    return std::string(std::get<0>(row.param).name) + "_" + kFailureNames[static_cast<int>(std::get<1>(row.param))];
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedSaveTest,
                         testing::Combine(kStores, testing::Values(Failure::MissingFolder, Failure::ReadOnlyFolder,
                                                                   Failure::FullDisk)),
                         FailedSaveName);

}  // namespace
}  // namespace vantelo
