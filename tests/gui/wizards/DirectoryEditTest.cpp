// The directory edit of the wizards: typed or chosen, the text is the folder.
#include "gui/wizards/DirectoryEdit.h"

#include "FakeDialogs.h"

#include <QAbstractItemModel>
#include <QCompleter>
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

// The text may name a folder of an rclone remote: once it begins to, rclone
// is asked once for its remotes, which the edit offers and its tip names.
TEST(DirectoryEdit, OffersTheRemotesRcloneKnowsOnceOneIsBeingNamed) {
    using Names = std::optional<std::vector<std::string>>;
    struct Case {
        const char* what;
        std::function<Names()> remotes;
        QStringList offered;
        QString tipHas;
    };
    const std::vector<Case> cases = {
        {"two remotes",
         [] {
             return Names({"nas", "cloud"});
         },
         {QStringLiteral("rclone:nas:"), QStringLiteral("rclone:cloud:")},
         QStringLiteral("nas, cloud")},
        {"none made yet",
         [] { return Names(std::vector<std::string>()); },
         {},
         QStringLiteral("rclone config")},
        {"rclone missing", [] { return Names(); }, {}, QStringLiteral("rclone не установлен")},
        {"rclone failing",
         []() -> Names { throw std::runtime_error("rclone broke"); },
         {},
         QStringLiteral("rclone broke")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeDialogs dialogs;
        DirectoryEdit edit(dialogs, QStringLiteral("Расположение резервной копии:"));
        int asked = 0;
        edit.offerRemotes([&] {
            ++asked;
            return c.remotes();
        });
        EXPECT_TRUE(edit.lineEdit()->toolTip().contains(QStringLiteral("rclone:")));
        edit.lineEdit()->setText(QStringLiteral("/media/usb"));
        EXPECT_EQ(asked, 0);
        edit.lineEdit()->setText(QStringLiteral("rclone:"));
        edit.lineEdit()->setText(QStringLiteral("rclone:n"));
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(edit.lineEdit()->toolTip().contains(c.tipHas))
            << edit.lineEdit()->toolTip().toStdString();
        QStringList offered;
        if (const QCompleter* completer = edit.lineEdit()->completer()) {
            for (int row = 0; row < completer->model()->rowCount(); ++row) {
                offered << completer->model()->index(row, 0).data().toString();
            }
        }
        EXPECT_EQ(offered, c.offered);
    }
}

} // namespace
} // namespace vellarion
