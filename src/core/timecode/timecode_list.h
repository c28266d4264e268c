#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "show/atomic_file.h"
#include "timecode/timecode_time.h"

namespace tavrelia {

// A show's timecode list: rows "HH:MM:SS:FF control value" (the value as a remote
// sends it, none for a press), kept in time order, in the text file beside the show
// (Rock.tvl: Rock.tc). Every other line (a ";" comment, a blank, a line that did not
// read) is kept where it was, with the row after it, so a list edited by hand keeps
// its notes when the desk writes it again. Rows of the same time stay in the order
// they were made. Every change can be taken back (undo).
class TimecodeList {
public:
    struct Row {
        TimecodeTime time;
        QString control;
        QString value;   // as written; empty for a press
        bool operator==(const Row&) const = default;
    };
    struct Fault {
        int line;
        QString reason;
    };
    static constexpr int kUndoDepth = 100;

    // One row from its line, or nothing with the reason.
    static std::optional<Row> parseRow(QStringView line, QString* why = nullptr);
    static QString rowText(const Row& row);
    // The list file beside a show file ("" for a show without a name).
    static QString pathFor(const QString& showPath);

    // Reads the text; the bad lines are kept as they are and reported by number.
    void setText(const QString& text);
    QString text() const;
    const QList<Fault>& faults() const { return faults_; }

    // The file: a missing one is an empty list; a failed read leaves the list empty
    // with the reason in the result.
    FileResult load(const QString& path);
    // Written atomically to the path of the last load (nothing without one); the
    // error or empty.
    QString save() const;
    const QString& path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }

    int size() const { return int(chunks_.size()); }
    const Row& row(int index) const { return chunks_[index].row; }
    QList<Row> rows() const;

    // Edits; each keeps the time order and gives the row's index after it.
    int add(const Row& row);
    void remove(int index);
    int change(int index, const Row& row);
    bool undo();
    bool canUndo() const { return !undo_.isEmpty(); }
    void clear();

private:
    // A row and the other lines above it.
    struct Chunk {
        QStringList before;
        Row row;
    };
    struct Snapshot {
        QList<Chunk> chunks;
        QStringList after;
    };
    void remember();
    int insert(Chunk chunk);

    QList<Chunk> chunks_;
    QStringList after_;   // lines after the last row
    QList<Fault> faults_;
    QList<Snapshot> undo_;
    QString path_;
};

}  // namespace tavrelia
