#include <gtest/gtest.h>

#include <QDir>

#include "lang/language_pack.h"
#include "platform/app_data_folder.h"
#include "platform/text_limits.h"

namespace vantelo {
namespace {

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnvironment()
    {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_wasSet;
};

TEST(AppDataFolderTest, FollowsXdgConfigHomeAndFallsBackToDotConfig)
{
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/vantelo-config");
        EXPECT_EQ(AppDataFolder(), QStringLiteral("/tmp/vantelo-config/Vantelo"));
    }
    for (const QByteArray& unusable : {QByteArray(), QByteArray("relative/path")}) {
        ScopedEnvironment config("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(AppDataFolder(), QDir::homePath() + QStringLiteral("/.config/Vantelo")) << unusable.constData();
    }
}

TEST(TextLimitsTest, CutsAtTheLimitButNeverInsideACharacter)
{
    EXPECT_EQ(LimitUtf16(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(LimitUtf16(QStringLiteral("abc"), 4), QStringLiteral("abc"));
    const QString emoji = QString::fromUtf8("ab\xF0\x9F\x93\xBA");  // a, b, then a surrogate pair
    EXPECT_EQ(LimitUtf16(emoji, 3), QStringLiteral("ab"));
    EXPECT_EQ(LimitUtf16(emoji, 4), emoji);

    EXPECT_EQ(ToUtf8Limited(QString::fromUtf8("a\xC3\xA9"), 2), QByteArray("a"));
    EXPECT_EQ(ToUtf8Limited(QString::fromUtf8("a\xC3\xA9"), 3), QByteArray("a\xC3\xA9"));
    EXPECT_EQ(FromUtf8Limited(nullptr, 10), QString());
}

TEST(LanguagePackTest, OnlyPlainFolderNamesAreLanguageNames)
{
    for (const char* good : {"English", "Deutsch", "Fran\xC3\xA7" "ais", "..hidden", "a.b"})
        EXPECT_TRUE(IsPlainFolderName(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", ".", "..", "../English", "English/..", "/etc", "a\\b"})
        EXPECT_FALSE(IsPlainFolderName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(IsPlainFolderName(QStringLiteral("Eng") + QChar(u'\0') + QStringLiteral("lish")));
}

}  // namespace
}  // namespace vantelo
