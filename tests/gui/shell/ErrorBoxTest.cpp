#include "gui/kit/ErrorBox.h"

#include "ShellFixture.h"
#include "core/services/Error.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersThatSortAboveIt) {
    const struct {
        const char16_t* message;
        const char16_t* shown;
    } cases[] = {
        {u"Access denied", u"Access denied."},
        {u"I/O error 5", u"I/O error 5."},
        {u"Done.", u"Done."},
        {u"Stop!", u"Stop!"},                // '!' sorts below '.'
        {u"Is it there?", u"Is it there?."}, // '?' sorts above '.'
        {u"Path C:\\", u"Path C:\\."},
        {u"(in parentheses)", u"(in parentheses)"},
        {u"trailing space ", u"trailing space "},
        {u"Файл не найден", u"Файл не найден."},
        {u"Code: 5,", u"Code: 5,"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorBoxText(QString::fromUtf16(c.message)), QString::fromUtf16(c.shown))
            << QString::fromUtf16(c.message).toStdString();
    }
}

// An object whose event handler fails, as a command handler might.
class FailingHandler : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            throw Error("Cannot open file \"a.dat\". Access denied");
        }
        return QObject::event(e);
    }
};

TEST(StandardErrorBox, CatchesWhatAHandlerLetsThroughAndTheProgramGoesOn) {
    applicationErrors().clear();
    FailingHandler handler;
    QEvent first(QEvent::User);
    QCoreApplication::sendEvent(&handler, &first);
    QEvent second(QEvent::User);
    QCoreApplication::sendEvent(&handler, &second);

    ASSERT_EQ(applicationErrors().shown().size(), 2u);
    const FakeDialogs::Shown& box = applicationErrors().shown().front();
    EXPECT_EQ(box.text, QStringLiteral("Cannot open file \"a.dat\". Access denied."));
    EXPECT_EQ(box.title, QStringLiteral("Vellarion"));
    EXPECT_EQ(box.icon, Dialogs::Icon::Error);
    EXPECT_EQ(box.buttons, Dialogs::Buttons::Ok);
}

} // namespace
} // namespace vellarion::test
