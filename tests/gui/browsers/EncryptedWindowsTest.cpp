// "Зашифровать паролем" in the backup windows and the password question of
// the restore windows, used as a user uses them.
#include "FileTree.h"
#include "WizardWindowFixture.h"
#include "core/wizards/PlainSecrets.h"
#include "gui/browsers/bFull_Firefox.h"
#include "gui/browsers/b_Firefox.h"
#include "gui/browsers/rFull_Firefox.h"
#include "gui/browsers/r_Firefox.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/EncryptionFields.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

namespace fs = std::filesystem;

const std::string kMagic("\0\0VellarionCrypt", 16);

QString q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class EncryptedWindows : public WizardWindowTest {
protected:
    // Ticks the box and types the two passwords, as a user does.
    static void encrypt(EncryptionFields& fields, const QString& password, const QString& repeat) {
        QTest::mouseClick(fields.CheckBoxEncrypt, Qt::LeftButton, {}, QPoint(5, 8));
        // Typed text beyond ASCII goes in as an input method gives it.
        fields.EditPassword->insert(password);
        fields.EditRepeat->insert(repeat);
    }
    static void next(WizardForm& window, const fs::path& location) {
        window.JvDirectoryEdit2->setText(native(location));
        QTest::mouseClick(window.Button2, Qt::LeftButton);
    }
};

TEST_F(EncryptedWindows, TheFullWindowsEncryptAndAskForThePassword) {
    const auto saved = readTree(firefoxRoot());
    auto* backup = open<Tffb_Firefox>("sB_Firefox");
    ASSERT_NE(backup, nullptr);
    EncryptionFields& fields = *backup->encryption();
    expectNoControlCoversAnother(*backup);
    // Unticked: the fields wait, and the window says the archive is readable.
    EXPECT_FALSE(fields.EditPassword->isEnabled());
    EXPECT_TRUE(fields.LabelPlain->isVisible());
    EXPECT_EQ(fields.LabelPlain->text(), q(kSecretsReadable));

    encrypt(fields, QStringLiteral("Пароль 1"), QStringLiteral("Пароль 2"));
    EXPECT_FALSE(fields.LabelPlain->isVisible());
    EXPECT_EQ(fields.EditPassword->echoMode(), QLineEdit::Password);
    next(*backup, backups);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Пароль и его повтор не совпадают.")});
    EXPECT_FALSE(fs::exists(backups / "fbackup_firefox.dat"));

    dialogs.clear();
    fields.EditRepeat->clear();
    fields.EditRepeat->insert(QStringLiteral("Пароль 1"));
    next(*backup, backups);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(readFile(backups / "fbackup_firefox.dat").substr(0, 16), kMagic);
    EXPECT_TRUE(backup->Button1->isVisible());

    writeFile(firefoxRoot() / "profiles.ini", "changed");
    const auto changed = readTree(firefoxRoot());
    auto* restore = open<Tffr_Firefox>("sR_Firefox");
    ASSERT_NE(restore, nullptr);
    // Cancelled, then a wrong password: refused, nothing written.
    next(*restore, backups);
    dialogs.queuePassword(QStringLiteral("Пароль 2"));
    next(*restore, backups);
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral("\"fbackup_firefox.dat\" is encrypted; no password was "
                                          "given for it"),
                           QStringLiteral("Wrong password, or the archive is damaged")}));
    EXPECT_TRUE(readTree(firefoxRoot()) == changed);
    EXPECT_TRUE(restore->Button1->isHidden());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    dialogs.clear();
    dialogs.queuePassword(QStringLiteral("Пароль 1"));
    next(*restore, backups);
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();
    EXPECT_EQ(readTree(firefoxRoot()), saved);
    EXPECT_EQ(dialogs.passwordQuestions().back(),
              QStringLiteral("Архив \"fbackup_firefox.dat\" зашифрован. Введите пароль:"));
    EXPECT_EQ(dialogs.passwordQuestions().size(), 3);
}

// Chrome locks its passwords and cookies with a key of this computer and
// account: the note says where they will open, not that anyone reads them.
TEST_F(EncryptedWindows, TheNoteOfAChromiumWindowSaysWhereTheRowsOpen) {
    for (const char* command : {"B_Chrome", "sB_Chrome"}) {
        SCOPED_TRACE(command);
        auto* backup = open<WizardForm>(command);
        ASSERT_NE(backup, nullptr);
        EXPECT_EQ(backup->encryption()->LabelPlain->text(), q(kSecretsLocked));
        expectNoControlCoversAnother(*backup);
    }
}

TEST_F(EncryptedWindows, TheSelectiveWindowsEncryptAndTheNoteFollowsTheItems) {
    auto* backup = open<Tfb_Firefox>("B_Firefox");
    ASSERT_NE(backup, nullptr);
    EncryptionFields& fields = *backup->encryption();
    expectNoControlCoversAnother(*backup);
    // Passwords ticked at the start: the note shows; without them it goes.
    EXPECT_TRUE(fields.LabelPlain->isVisible());
    backup->Button6Click();
    EXPECT_FALSE(fields.LabelPlain->isVisible());
    backup->checkBox("CheckBox1")->setChecked(true);
    EXPECT_FALSE(fields.LabelPlain->isVisible());
    backup->checkBox("CheckBox8")->setChecked(true);
    EXPECT_TRUE(fields.LabelPlain->isVisible());

    // An empty password is refused.
    QTest::mouseClick(fields.CheckBoxEncrypt, Qt::LeftButton, {}, QPoint(5, 8));
    next(*backup, backups);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Введите пароль для шифрования архива.")});
    EXPECT_FALSE(fs::exists(backups / "default.dat"));

    dialogs.clear();
    QTest::keyClicks(fields.EditPassword, QStringLiteral("pw"));
    QTest::keyClicks(fields.EditRepeat, QStringLiteral("pw"));
    next(*backup, backups);
    EXPECT_EQ(readFile(backups / "default.dat").substr(0, 16), kMagic);

    const fs::path work = firefoxProfile("wxyz9876.work");
    fs::remove(work / "key3.db");
    auto* restore = open<Tfr_Firefox>("R_Firefox");
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->encryption(), nullptr);
    restore->JvDirectoryEdit2->setText(native(backups));
    restore->ListBox1->setCurrentRow(1);
    restore->Button6Click();
    restore->checkBox("CheckBox8")->setChecked(true);
    dialogs.clear();
    dialogs.queuePassword(QStringLiteral("pw"));
    QTest::mouseClick(restore->Button2, Qt::LeftButton);
    EXPECT_TRUE(applicationErrors().texts().isEmpty());
    EXPECT_EQ(dialogs.passwordQuestions(),
              QStringList{QStringLiteral("Архив \"default.dat\" зашифрован. Введите пароль:")});
    EXPECT_EQ(readFile(work / "key3.db"), readFile(firefoxProfile("abcd1234.default") / "key3.db"));
}

} // namespace
} // namespace vellarion::test
