#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>

namespace tavrelia {

namespace {

class WidgetDialogs final : public Dialogs {
public:
    void warning(QWidget* parent, const QString& text) override
    {
        QMessageBox::warning(parent, applicationTitle(), text);
    }

    void critical(QWidget* parent, const QString& text) override
    {
        QMessageBox::critical(parent, applicationTitle(), text);
    }

    bool question(QWidget* parent, const QString& text) override
    {
        return QMessageBox::question(parent, applicationTitle(), text,
                                     QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    }

    Answer yesNoCancel(QWidget* parent, const QString& text) override
    {
        switch (QMessageBox::question(parent, applicationTitle(), text,
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }

    int choose(QWidget* parent, const QString& text, const QStringList& choices) override
    {
        QMessageBox box(QMessageBox::Question, applicationTitle(), text, QMessageBox::NoButton, parent);
        QList<QAbstractButton*> buttons;
        for (const QString& choice : choices)
            buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
        box.setEscapeButton(box.addButton(QMessageBox::Cancel));
        box.exec();
        return int(buttons.indexOf(box.clickedButton()));
    }

    QString openFile(QWidget* parent, const FileDialogRequest& request) override
    {
        return run(parent, request, QFileDialog::AcceptOpen);
    }

    QString saveFile(QWidget* parent, const FileDialogRequest& request) override
    {
        return run(parent, request, QFileDialog::AcceptSave);
    }

private:
    static QString run(QWidget* parent, const FileDialogRequest& request,
                       QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent, request.title);
        dialog.setAcceptMode(mode);
        // Open takes any name: a missing file gets the program's own message.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, mode != QFileDialog::AcceptSave);
        dialog.setNameFilters(qtNameFilters(request.filter).split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(request.defaultSuffix);
        const QFileInfo start(request.fileName);
        if (!request.fileName.isEmpty() && start.path() != QStringLiteral(".")) {
            dialog.setDirectory(start.absolutePath());
        } else if (!request.directory.isEmpty()) {
            dialog.setDirectory(request.directory);
        }
        if (!request.fileName.isEmpty())
            dialog.selectFile(start.fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

WidgetDialogs& widgetDialogs()
{
    static WidgetDialogs dialogs;
    return dialogs;
}

Dialogs* installed = nullptr;

}  // namespace

QuietDialogs::QuietDialogs() : previous_(installed)
{
    install(this);
}

QuietDialogs::~QuietDialogs()
{
    install(previous_);
}

void QuietDialogs::say(const QString& text)
{
    std::fprintf(stderr, "tavrelia: %s\n", qPrintable(text));
}

Dialogs& Dialogs::current()
{
    return installed ? *installed : widgetDialogs();
}

void Dialogs::install(Dialogs* dialogs)
{
    installed = dialogs;
}

QString Dialogs::qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses; keep a description that has them.
        if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << parts[i];
        else
            filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

const QString& Dialogs::applicationTitle()
{
    static const QString title = QStringLiteral("Tavrelia - Программа управления приборами DMX512");
    return title;
}

}  // namespace tavrelia
