#include "gui/shell/About.h"

#include "ShellFixture.h"
#include "gui/kit/Controls.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vellarion::test {
namespace {

class AboutWindow : public ShellTest {};

TEST_F(AboutWindow, IsAFixedDialogWithTheProgramsNameAndAuthors) {
    QPointer<Tf_About> about = new Tf_About;
    about->show();
    EXPECT_EQ(about->windowTitle(), QString::fromUtf16(u"О программе Vellarion"));
    EXPECT_EQ(about->size(), QSize(265, 330));
    EXPECT_EQ(about->minimumSize(), about->maximumSize()) << "fixed border";
    EXPECT_EQ(about->Label1->text(), QStringLiteral("Vellarion"));
    EXPECT_TRUE(about->Label1->font().bold());
    EXPECT_EQ(about->Label2->text(), QString::fromUtf16(u"Авторы:"));
    EXPECT_EQ(about->Label13->text(), QStringLiteral("Corvintale Team"));
    EXPECT_TRUE(about->Label13->font().underline());
    EXPECT_EQ(about->Label4->text(),
              QString::fromUtf16(
                  u"Все логотипы и товарные знаки являются собственностью их владельцев."));
    EXPECT_FALSE(about->Label5->text().isEmpty());
    EXPECT_EQ(about->Button1->text(), QStringLiteral("OK"));
    EXPECT_TRUE(about->Image1->isValid() && about->Image2->isValid() && about->Image3->isValid());
    about->close();
}

TEST_F(AboutWindow, TheLinkOpensTheMakersHomePage) {
    QPointer<Tf_About> about = new Tf_About;
    about->show();
    LinkRecorder links;
    QTest::mouseClick(about->Label13, Qt::LeftButton);
    EXPECT_EQ(links.links(), QList<QUrl>{QUrl(QStringLiteral("https://vellarion.example.org/"))});
    about->close();
}

TEST_F(AboutWindow, OkAndTheTitleBarCloseAndFreeIt) {
    QPointer<Tf_About> byOk = new Tf_About;
    QPointer<Tf_About> byTitleBar = new Tf_About;
    byOk->show();
    byTitleBar->show();
    QTest::mouseClick(byOk->Button1, Qt::LeftButton);
    byTitleBar->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(byOk.isNull());
    EXPECT_TRUE(byTitleBar.isNull());
}

} // namespace
} // namespace vellarion::test
