// The window program's command line: where the Windows data lives.
#include "gui/shell/CommandLine.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

ProgramOptions parse(QStringList args) {
    args.prepend(QStringLiteral("vellarion"));
    return parseProgramOptions(args);
}

TEST(CommandLine, EnvironmentOptionsReachTheServicesFactory) {
    const ProgramOptions o =
        parse({QStringLiteral("--prefix"), QStringLiteral("/srv/win"), QStringLiteral("--user"),
               QStringLiteral("bob"), QStringLiteral("--windows-version"), QStringLiteral("5")});
    ASSERT_FALSE(o.exitText.has_value());
    EXPECT_EQ(o.environment.prefix, "/srv/win");
    EXPECT_EQ(o.environment.user, "bob");
    EXPECT_EQ(o.environment.windowsVersion, 5);
    EXPECT_FALSE(o.environment.demo);

    const ProgramOptions demo = parse(
        {QStringLiteral("--demo"), QStringLiteral("--windows-root"), QStringLiteral("/media/c")});
    EXPECT_TRUE(demo.environment.demo);
    EXPECT_EQ(demo.environment.windowsRoot, "/media/c");
    EXPECT_FALSE(demo.environment.windowsVersion.has_value());

    EXPECT_FALSE(parse({}).exitText.has_value()) << "no arguments: the program starts";
    EXPECT_FALSE(parse({}).closeWhenShown);
    const ProgramOptions check = parse({QStringLiteral("--close-when-shown")});
    EXPECT_FALSE(check.exitText.has_value());
    EXPECT_TRUE(check.closeWhenShown);
}

TEST(CommandLine, UsageErrorsStopWithCode2AndHelpWith0) {
    for (const QStringList& bad :
         {QStringList{QStringLiteral("--windows-version"), QStringLiteral("seven")},
          QStringList{QStringLiteral("--no-such-flag")}, QStringList{QStringLiteral("stray")},
          QStringList{QStringLiteral("--prefix")}}) {
        SCOPED_TRACE(bad.join(QLatin1Char(' ')).toStdString());
        const ProgramOptions o = parse(bad);
        ASSERT_TRUE(o.exitText.has_value());
        EXPECT_EQ(o.exitCode, 2);
    }
    const ProgramOptions help = parse({QStringLiteral("--help")});
    ASSERT_TRUE(help.exitText.has_value());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.exitText->contains(QStringLiteral("--windows-root")));
}

} // namespace
} // namespace vellarion
