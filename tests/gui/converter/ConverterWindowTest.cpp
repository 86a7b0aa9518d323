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

namespace fs = std::filesystem;

QString u(const char16_t* text) {
    return QString::fromUtf16(text);
}

class ConverterWindow : public WizardWindowTest {
protected:
    explicit ConverterWindow(SamplePrefixOptions options = {.browsers = {Browser::Opera}})
        : WizardWindowTest(std::move(options)) {}

    fs::path prefsFile() const {
        return fx.onDriveC("users/demo/AppData/Roaming/Opera/Opera/profile/operaprefs.ini");
    }
    static QList<QRadioButton*> conversions(Tfc_Opera& window) {
        return window.RadioGroup1->findChildren<QRadioButton*>();
    }
};

TEST_F(ConverterWindow, ShowsTheConversionsAndTheSystemWithNextDisabled) {
    auto* window = open<Tfc_Opera>("c_Opera");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), u(u"Преобразование профиля Opera"));
    EXPECT_EQ(window->Label1->text(), u(u"Мастер конвертации Opera 10 "));
    EXPECT_EQ(window->Label18->text(), u(u"Инструкция:"));
    EXPECT_EQ(window->Label3->text(), u(u"Методы преобразования:"));
    EXPECT_EQ(window->RadioGroup1->title(), u(u"Опции"));
    const QList<QRadioButton*> items = conversions(*window);
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items[1]->text(), QStringLiteral("XP 32 bit -> 7/Vista 64 bit"));
    EXPECT_EQ(items[11]->text(), u(u"Смена имени пользователя"));
    EXPECT_EQ(window->RadioGroup1ItemIndex(), -1);
    EXPECT_FALSE(window->Button2->isEnabled());
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("Olduser"));
    EXPECT_EQ(window->Edit2->text(), QStringLiteral("D:\\"));
    EXPECT_EQ(window->Label6->text(), QStringLiteral("7/Vista"));
    EXPECT_EQ(window->Label7->text(), QStringLiteral("64 bit"));
    EXPECT_EQ(window->Label8->text(), QStringLiteral("demo"));
    EXPECT_TRUE(dialogs.texts().isEmpty());
    expectNoControlCoversAnother(*window);
    for (QRadioButton* item : items) {
        EXPECT_GE(item->width(), item->sizeHint().width()) << item->text().toStdString();
    }
}

TEST_F(ConverterWindow, NextConvertsTheFileOrSaysWhyNot) {
    auto* window = open<Tfc_Opera>("c_Opera");
    ASSERT_NE(window, nullptr);
    // The user change without an old name: refused, nothing written.
    const std::string before = readFile(prefsFile());
    QTest::mouseClick(conversions(*window)[11], Qt::LeftButton);
    EXPECT_TRUE(window->Button2->isEnabled());
    window->Edit1->clear();
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(), QStringList{u(u"Введите старое имя пользователя.")});
    EXPECT_TRUE(window->Button1->isHidden());
    EXPECT_EQ(readFile(prefsFile()), before);

    QTest::mouseClick(conversions(*window)[4], Qt::LeftButton);
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_FALSE(window->Button1->isHidden());
    const std::string after = readFile(prefsFile());
    EXPECT_NE(after.find("C:\\Program Files (x86)\\Opera\\locale"), std::string::npos);
    EXPECT_EQ(window->RichEdit1->toPlainText(), QString::fromStdString(after));
}

class ConverterWindowWithoutOpera : public ConverterWindow {
protected:
    ConverterWindowWithoutOpera() : ConverterWindow({.browsers = {}}) {}
};

TEST_F(ConverterWindowWithoutOpera, TellsThatTheFileIsNotFoundAndConvertsNothing) {
    auto* window = open<Tfc_Opera>("c_Opera");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialogs.texts(), QStringList{u(u"Не найден файл параметров")});
    QTest::mouseClick(conversions(*window)[0], Qt::LeftButton);
    QTest::mouseClick(window->Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts().size(), 2);
    EXPECT_EQ(dialogs.texts().back(), u(u"Не найден файл параметров"));
    EXPECT_TRUE(window->Button1->isHidden());
}

} // namespace
} // namespace vellarion::test
