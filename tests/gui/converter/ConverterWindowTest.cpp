// The Opera profile converter's window, opened by its command on a sample
// prefix: what it shows, and what Next does to the preferences file.
#include "TempDir.h"
#include "WizardWindowFixture.h"
#include "gui/converter/c_Opera.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

class ConverterWindow : public WizardWindowTest {
protected:
    ConverterWindow() : WizardWindowTest({.browsers = {Browser::Opera}}) {}
};

TEST_F(ConverterWindow, ShowsTheSystemAndConvertsTheFileOrSaysWhyNot) {
    auto* window = open<Tfc_Opera>("c_Opera");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), u(u"Преобразование профиля Opera"));
    EXPECT_EQ(window->Label1->text(), u(u"Мастер конвертации Opera 10 "));
    const QList<QRadioButton*> items = window->RadioGroup1->findChildren<QRadioButton*>();
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items[1]->text(), QStringLiteral("XP 32 bit -> 7/Vista 64 bit"));
    EXPECT_EQ(window->RadioGroup1ItemIndex(), -1);
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->Label6->text(), QStringLiteral("7/Vista"));
    EXPECT_EQ(window->Label7->text(), QStringLiteral("64 bit"));
    EXPECT_EQ(window->Label8->text(), QStringLiteral("demo"));
    EXPECT_TRUE(dialogs.texts().isEmpty());
    expectNoControlCoversAnother(*window);
    for (QRadioButton* item : items) {
        EXPECT_GE(item->width(), item->sizeHint().width()) << item->text().toStdString();
    }

    // The user change without an old name: refused, nothing written.
    const auto file = fx.onDriveC("users/demo/AppData/Roaming/Opera/Opera/profile/operaprefs.ini");
    const std::string before = readFile(file);
    QTest::mouseClick(items[11], Qt::LeftButton);
    window->Edit1->clear();
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{u(u"Введите старое имя пользователя.")});
    EXPECT_TRUE(window->Button1->isHidden());
    EXPECT_EQ(readFile(file), before);

    QTest::mouseClick(items[4], Qt::LeftButton);
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_FALSE(window->Button1->isHidden());
    const std::string after = readFile(file);
    EXPECT_NE(after.find("C:\\Program Files (x86)\\Opera\\locale"), std::string::npos);
    EXPECT_EQ(window->RichEdit1->toPlainText(), QString::fromStdString(after));
}

} // namespace
} // namespace vellarion::test
