#pragma once

#include "gui/kit/Dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace vellarion::test {

// Records every message box and folder choice; answers from a script
// (Yes, then whatever was queued) so that no test blocks in a modal loop.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        Icon icon;
        Buttons buttons;
        QString title;
    };

    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                   const QString& title = QString()) override;
    QString chooseFolder(QWidget* parent, const QString& caption,
                         const QString& startFolder) override;
    // Answers the next password question (none queued: cancelled); each
    // question's text is written down.
    std::optional<QString> askPassword(QWidget* parent, const QString& text) override;
    void queuePassword(const QString& password) { passwords_.push_back(password); }
    const QStringList& passwordQuestions() const { return passwordQuestions_; }

    // Answers for the next Yes/No boxes, in order; when the queue is empty
    // a Yes/No box is answered Yes.
    void queueAnswer(Answer a) { answers_.push_back(a); }
    // The folder that the next folder choices return (empty: cancelled).
    void queueFolder(const QString& folder) { folders_.push_back(folder); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

private:
    std::vector<Shown> shown_;
    std::deque<Answer> answers_;
    std::deque<QString> folders_;
    std::deque<QString> passwords_;
    QStringList passwordQuestions_;
};

} // namespace vellarion::test
