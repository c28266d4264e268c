#pragma once

// Answers the program's boxes and file dialogs from a script and records every call.
// Include in a widget test; construct it before the window so it is installed first.

#include <QList>
#include <QQueue>
#include <QString>

#include "dialogs.h"

namespace tavrelia::test {

class ScriptedDialogs final : public Dialogs {
public:
    enum class Kind { Warning, Critical, Question, YesNoCancel, Choice, OpenFile, SaveFile };
    struct Call {
        Kind kind;
        QString text;               // the box's text
        FileDialogRequest request;  // the file dialog's settings
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    // Answers, taken in order; an empty queue answers No / Cancel.
    QQueue<bool> questionAnswers;
    QQueue<QString> fileAnswers;   // an empty string cancels
    QQueue<Answer> threeWayAnswers;   // an empty queue cancels
    QQueue<int> choiceAnswers;        // an empty queue closes the box

    QList<Call> calls;

    void warning(QWidget*, const QString& text) override { calls.append({Kind::Warning, text, {}}); }
    void critical(QWidget*, const QString& text) override { calls.append({Kind::Critical, text, {}}); }
    bool question(QWidget*, const QString& text) override
    {
        calls.append({Kind::Question, text, {}});
        return !questionAnswers.isEmpty() && questionAnswers.dequeue();
    }
    Answer yesNoCancel(QWidget*, const QString& text) override
    {
        calls.append({Kind::YesNoCancel, text, {}});
        return threeWayAnswers.isEmpty() ? Answer::Cancel : threeWayAnswers.dequeue();
    }
    int choose(QWidget*, const QString& text, const QStringList& choices) override
    {
        calls.append({Kind::Choice, text + QLatin1Char('|') + choices.join(QLatin1Char('|')), {}});
        return choiceAnswers.isEmpty() ? -1 : choiceAnswers.dequeue();
    }
    QString openFile(QWidget*, const FileDialogRequest& request) override
    {
        calls.append({Kind::OpenFile, {}, request});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }
    QString saveFile(QWidget*, const FileDialogRequest& request) override
    {
        calls.append({Kind::SaveFile, {}, request});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
    }

    QList<Kind> kinds() const
    {
        QList<Kind> result;
        for (const Call& call : calls)
            result.append(call.kind);
        return result;
    }
    QStringList texts(Kind kind) const
    {
        QStringList result;
        for (const Call& call : calls) {
            if (call.kind == kind)
                result.append(call.text);
        }
        return result;
    }
    void clear() { calls.clear(); }
};

}  // namespace tavrelia::test
