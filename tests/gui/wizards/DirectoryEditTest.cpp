// The directory edit of the wizards: typed or chosen, the text is the folder.
#include "gui/wizards/DirectoryEdit.h"

#include "FakeDialogs.h"

#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <gtest/gtest.h>

namespace vellarion {
namespace {

TEST(DirectoryEdit, StartsWithItsPlaceholderAndTakesAChosenFolder) {
    test::FakeDialogs dialogs;
    DirectoryEdit edit(dialogs, QStringLiteral("Расположение резервной копии:"));
    EXPECT_EQ(edit.text(), QStringLiteral("Расположение резервной копии:"));

    QSignalSpy changed(&edit, &DirectoryEdit::textChanged);
    dialogs.queueFolder(QStringLiteral("/media/usb/backups"));
    edit.browseButton()->click();
    // Shown the way the system writes paths (backslashes on Windows).
    const QString shown = QDir::toNativeSeparators(QStringLiteral("/media/usb/backups"));
    EXPECT_EQ(edit.text(), shown);
    EXPECT_EQ(changed.count(), 1);

    // Cancelling the folder browser keeps what was there.
    edit.browseButton()->click();
    EXPECT_EQ(edit.text(), shown);
    EXPECT_EQ(changed.count(), 1);

    // Typing changes the text too, a signal per keystroke.
    edit.lineEdit()->clear();
    edit.lineEdit()->insert(QStringLiteral("D"));
    edit.lineEdit()->insert(QStringLiteral(":"));
    EXPECT_EQ(edit.text(), QStringLiteral("D:"));
    EXPECT_EQ(changed.count(), 4);
}

} // namespace
} // namespace vellarion
