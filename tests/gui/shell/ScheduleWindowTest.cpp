// The "Расписание" window: schedules added, listed and removed through the
// same core code as the command line, with the systemd units written where
// the user's manager reads them.
#include "gui/schedule/ScheduleWindow.h"

#include "FileTree.h"
#include "ShellFixture.h"
#include "core/services/PathMapper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

// XDG_CONFIG_HOME in the test's folder and no user manager, while it lives.
class PrivateConfig {
public:
    explicit PrivateConfig(const fs::path& folder) {
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    ~PrivateConfig() { ::unsetenv("XDG_CONFIG_HOME"); }
};

class ScheduleWindow : public ShellTest {};

TEST_F(ScheduleWindow, AddsListsAndRemovesSchedulesAsTheCommandLineDoes) {
    const fs::path config = dir / "config";
    PrivateConfig privateConfig(config);
    const fs::path program = dir / "vellarion-cli";
    const ScheduleStore store(config / "vellarion" / "schedules.json");
    // One the command line added: the window lists it.
    Schedule chrome;
    chrome.browser = "chrome";
    chrome.location = "/c";
    chrome.full = true;
    store.add(chrome);

    // Its last run, written by the scheduled run.
    ScheduleState state;
    state.lastRun = "2026-12-11 090000";
    state.result = "incomplete";
    state.reason = "Cookies left out (exit status 3)";
    state.lastComplete = "2026-12-10 090000";
    ASSERT_TRUE(saveScheduleState(store, "chrome-1", state));

    auto* window = new Tf_Schedule(dialogs, store, program);
    window->show();
    ASSERT_EQ(window->ListSchedules->count(), 1);
    EXPECT_EQ(window->ListSchedules->item(0)->text(),
              QStringLiteral("chrome-1   daily   full-backup chrome --to /c --replace\n"
                             "последний запуск 2026-12-11 090000: не полностью (Cookies left "
                             "out (exit status 3)); последний полный архив 2026-12-10 090000"));

    window->ComboBrowser->setCurrentIndex(
        window->ComboBrowser->findData(QStringLiteral("firefox")));
    window->EditLocation->setText(QStringLiteral("/backups/firefox"));
    window->EditItems->setText(QStringLiteral("bookmarks,history"));
    window->ComboEvery->setCurrentIndex(0);
    window->SpinKeep->setValue(5);
    // A password file others may read is refused, and nothing is added.
    const fs::path password = config / "password";
    writeFile(password, "secret");
    fs::permissions(password, fs::perms::owner_read | fs::perms::others_read);
    window->CheckEncrypt->setChecked(true);
    window->EditPasswordFile->setText(QString::fromStdString(password.string()));
    window->ButtonAdd->click();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].icon, Dialogs::Icon::Error);
    // In the window's language, as the command line says it.
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QString::fromUtf8("могут прочитать другие")))
        << dialogs.shown()[0].text.toStdString();
    EXPECT_EQ(store.load().size(), 1u);

    dialogs.clear();
    fs::permissions(password, fs::perms::owner_read | fs::perms::owner_write);
    window->ButtonAdd->click();
    ASSERT_EQ(window->ListSchedules->count(), 2);
    EXPECT_EQ(window->ListSchedules->currentItem()->text(),
              QString::fromStdString("firefox-1   hourly   backup firefox --to /backups/firefox "
                                     "--items bookmarks,history --keep 5 --encrypt "
                                     "--password-file " +
                                     password.string() + "\nещё не запускалось"));
    const fs::path units = config / "systemd" / "user";
    EXPECT_NE(readFile(units / "vellarion-backup-firefox-1.service")
                  .find("ExecStart=\"" + program.string() + "\" schedule run \"firefox-1\""),
              std::string::npos);
    EXPECT_NE(readFile(units / "vellarion-backup-firefox-1.timer").find("OnCalendar=hourly"),
              std::string::npos);
    // No user manager answers here: the window says how to start it.
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(
        QStringLiteral("systemctl --user enable --now vellarion-backup-firefox-1.timer")));

    dialogs.clear();
    dialogs.queueAnswer(Dialogs::Answer::No);
    window->ButtonRemove->click();
    EXPECT_EQ(window->ListSchedules->count(), 2);
    window->ButtonRemove->click(); // answered Yes
    ASSERT_EQ(window->ListSchedules->count(), 1);
    EXPECT_EQ(window->ListSchedules->item(0)->data(Qt::UserRole).toString(),
              QStringLiteral("chrome-1"));
    EXPECT_FALSE(fs::exists(units / "vellarion-backup-firefox-1.timer"));
    EXPECT_EQ(store.load().size(), 1u);
    window->close();
}

} // namespace
} // namespace vellarion::test
