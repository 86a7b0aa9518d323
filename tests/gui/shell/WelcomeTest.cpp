#include "ShellFixture.h"
#include "gui/kit/Controls.h"
#include "gui/shell/Start.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

class WelcomeWindow : public ShellTest {};

TEST_F(WelcomeWindow, ShowsItsTextsWithBoldHeadings) {
    TFStart welcome(context);
    EXPECT_EQ(welcome.size(), QSize(599, 531));
    const struct {
        const char* name;
        const char16_t* text;
        bool bold;
    } labels[] = {
        {"Label18", u"Добро пожаловать:", true},
        {"Label1", u"Архивация:", true},
        {"Label6",
         u"Архивация данных различных Веб браузеров. Тем, настроек, профилей и дополнений.", false},
        {"Label2", u"Восстановление:", true},
        {"Label7", u"Восстановление данных различных Веб браузеров. Включая портативные версии.",
         false},
        {"Label11",
         u"Обратите внимание: указывайте точное место хранения для портативных версий, во "
         u"избежание перезаписи данных.",
         false},
        {"Label3", u"Архивировать все:", true},
        {"Label8", u"Резервное копирование всех веб браузеров профилей и их данных.", false},
        {"Label4", u"Восстановить все:", true},
        {"Label9", u"Восстановление данных всех веб браузеров.", false},
        {"Label5", u"Конвертирование:", true},
        {"Label10", u"Преобразует профиль опера, от XP 7/Vista 32-разрядного до 64 и наоборот.",
         false},
        {"Label12", u"Для получения дополнительной информации посетите Vellarion", false},
        {"Label13", u"страница справки", false},
        {"Label14", u".", false},
        {"Label15", u"Юридическая информация:", true},
        {"Label17",
         u"Используя это программное обеспечение, вы соглашаетесь использовать его на свой "
         u"страх и риск. Мы не несем ответственности за любой ущерб. Также мы не несем "
         u"ответственность за данные, оборудование или финансовые потери из-за ошибки "
         u"программного обеспечения.",
         false},
    };
    QRect previous;
    for (const auto& expected : labels) {
        SCOPED_TRACE(expected.name);
        auto* label = welcome.findChild<QLabel*>(QString::fromLatin1(expected.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf16(expected.text));
        EXPECT_EQ(label->font().bold(), expected.bold);
        // From top to bottom (a pair, or the link sentence, shares a line).
        EXPECT_GE(label->geometry().top(), previous.top());
        EXPECT_TRUE(welcome.rect().contains(label->geometry()));
        previous = label->geometry();
    }
    // The link reads as a link.
    EXPECT_TRUE(welcome.Label13->font().underline());
    EXPECT_EQ(welcome.Label13->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(welcome.Label13->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(welcome.Button3->text(), QString::fromUtf16(u"Отмена"));
    EXPECT_TRUE(welcome.Image1->isValid() && welcome.Image2->isValid() &&
                welcome.Image3->isValid() && welcome.Image4->isValid());
}

TEST_F(WelcomeWindow, CancelEndsTheProgram) {
    TFStart welcome(context);
    QTest::mouseClick(welcome.Button3, Qt::LeftButton);
    EXPECT_EQ(terminated, 1);
}

TEST_F(WelcomeWindow, CancelLeavesTheMessageLoopOfTheRealProgram) {
    ShellContext real{dialogs, progress, *services, settingsPath()};
    auto form = std::make_unique<TForm1>(real);
    form->show();
    TFStart* welcome = form->openDocument<TFStart>(real);
    QTimer::singleShot(0, welcome->Button3, &QPushButton::click);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); }); // never hang
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(WelcomeWindow, TheLinkOpensTheHelpPage) {
    TFStart welcome(context);
    welcome.show();
    LinkRecorder links;
    QTest::mouseClick(welcome.Label13, Qt::LeftButton);
    EXPECT_EQ(links.links(),
              QList<QUrl>{QUrl(QStringLiteral("https://vellarion.example.org/help/"))});
}

} // namespace
} // namespace vellarion::test
