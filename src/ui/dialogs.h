#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tavrelia {

// A file dialog as the program declares it.
struct FileDialogRequest {
    QString title;           // empty: the toolkit's own title
    QString filter;          // "Description|pattern[|Description|pattern...]"
    QString defaultSuffix;   // added to a typed name without one, e.g. "tvl"
    QString fileName;        // the name the dialog starts with; may hold a directory
    QString directory;       // where it starts when fileName has none
};

// Every modal box and file dialog of the program goes through this, so that tests
// can answer them. All boxes carry the application title.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void warning(QWidget* parent, const QString& text) = 0;
    // An error with the system's text: one OK button, error icon.
    virtual void critical(QWidget* parent, const QString& text) = 0;
    // Yes/No; anything but Yes (No, Escape, closing the box) answers false.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // Yes, No or Cancel; Escape and closing the box cancel.
    enum class Answer { Yes, No, Cancel };
    virtual Answer yesNoCancel(QWidget* parent, const QString& text) = 0;
    // One of the choices, by index; -1 when the box was closed without one.
    virtual int choose(QWidget* parent, const QString& text, const QStringList& choices) = 0;
    // The chosen file's full path, or an empty string when cancelled. The open
    // dialog accepts names that do not exist: the caller reports them.
    virtual QString openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // Asks before replacing an existing file.
    virtual QString saveFile(QWidget* parent, const FileDialogRequest& request) = 0;

    // The dialogs in use: the real ones unless others were installed.
    static Dialogs& current();
    // Installs dialogs (not owned); nullptr puts the real ones back.
    static void install(Dialogs* dialogs);

    // "Description|pattern|..." as Qt name filters ("Description (pattern)").
    static QString qtNameFilters(const QString& filter);

    static const QString& applicationTitle();
};

// While it lives, nobody is there to answer (a logout, a kill): messages go to the
// standard error, questions answer No or Cancel, file dialogs are cancelled.
class QuietDialogs final : public Dialogs {
public:
    QuietDialogs();
    ~QuietDialogs() override;
    QuietDialogs(const QuietDialogs&) = delete;
    QuietDialogs& operator=(const QuietDialogs&) = delete;

    void warning(QWidget*, const QString& text) override { say(text); }
    void critical(QWidget*, const QString& text) override { say(text); }
    bool question(QWidget*, const QString&) override { return false; }
    Answer yesNoCancel(QWidget*, const QString&) override { return Answer::Cancel; }
    int choose(QWidget*, const QString&, const QStringList&) override { return -1; }
    QString openFile(QWidget*, const FileDialogRequest&) override { return {}; }
    QString saveFile(QWidget*, const FileDialogRequest&) override { return {}; }

private:
    static void say(const QString& text);
    Dialogs* previous_;
};

}  // namespace tavrelia
