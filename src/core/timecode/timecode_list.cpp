#include "timecode/timecode_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "control/named_controls.h"

namespace tavrelia {

std::optional<TimecodeList::Row> TimecodeList::parseRow(QStringView line, QString* why)
{
    auto fail = [why](const QString& reason) -> std::optional<Row> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QStringView content = line.left(line.indexOf(QLatin1Char(';'))).trimmed();
    const qsizetype blank = content.indexOf(QLatin1Char(' '));
    const std::optional<TimecodeTime> time = TimecodeTime::parse(content.left(blank));
    if (!time)
        return fail(QStringLiteral("not a time HH:MM:SS:FF: %1").arg(content.left(blank)));
    if (blank < 0)
        return fail(QStringLiteral("no control after the time"));
    const QStringView rest = content.mid(blank + 1).trimmed();
    const qsizetype split = rest.indexOf(QLatin1Char(' '));
    Row row{*time, rest.left(split).toString(), split < 0 ? QString() : rest.mid(split + 1).trimmed().toString()};
    if (const std::optional<QString> refused =
            NamedControls::refusal(row.control, NamedControls::valueOfText(row.control, row.value)))
        return fail(*refused);
    return row;
}

QString TimecodeList::rowText(const Row& row)
{
    QString text = row.time.text() + QLatin1Char(' ') + row.control;
    if (!row.value.isEmpty())
        text += QLatin1Char(' ') + row.value;
    return text;
}

QString TimecodeList::pathFor(const QString& showPath)
{
    if (showPath.isEmpty())
        return {};
    const QFileInfo show(showPath);
    const QString base = show.suffix().isEmpty() ? show.fileName() : show.completeBaseName();
    return show.dir().filePath(base + QStringLiteral(".tc"));
}

void TimecodeList::setText(const QString& text)
{
    chunks_.clear();
    after_.clear();
    faults_.clear();
    undo_.clear();
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();   // the file's last line ends with a newline
    QStringList before;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        while (line.endsWith(QLatin1Char('\r')))   // CRLF, or stray returns before it
            line.chop(1);
        const QStringView content = QStringView(line).left(line.indexOf(QLatin1Char(';'))).trimmed();
        if (content.isEmpty()) {
            before.append(line);
            continue;
        }
        QString why;
        const std::optional<Row> row = parseRow(line, &why);
        if (!row) {
            faults_.append({i + 1, why});
            before.append(line);
            continue;
        }
        if (!chunks_.isEmpty() && row->time < chunks_.last().row.time)
            faults_.append({i + 1, QStringLiteral("%1 comes after a later time: put in its place")
                                       .arg(row->time.text())});
        insert({std::exchange(before, {}), *row});
    }
    after_ = before;
}

QString TimecodeList::text() const
{
    QString text;
    for (const Chunk& chunk : chunks_) {
        for (const QString& line : chunk.before)
            text += line + QLatin1Char('\n');
        text += rowText(chunk.row) + QLatin1Char('\n');
    }
    for (const QString& line : after_)
        text += line + QLatin1Char('\n');
    return text;
}

FileResult TimecodeList::load(const QString& path)
{
    path_ = path;
    setText({});
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {FileResult::Status::Missing, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {FileResult::Status::Failed, readErrorText(path, file.errorString())};
    setText(QString::fromUtf8(file.readAll()));
    return {};
}

QString TimecodeList::save() const
{
    if (path_.isEmpty())
        return {};
    return writeFileAtomically(path_, text().toUtf8());
}

QList<TimecodeList::Row> TimecodeList::rows() const
{
    QList<Row> rows;
    for (const Chunk& chunk : chunks_)
        rows.append(chunk.row);
    return rows;
}

int TimecodeList::insert(Chunk chunk)
{
    // After every row of the same time: rows made at one moment keep their order.
    const auto at = std::upper_bound(chunks_.begin(), chunks_.end(), chunk.row.time,
                                     [](const TimecodeTime& t, const Chunk& c) { return t < c.row.time; });
    const int index = int(at - chunks_.begin());
    chunks_.insert(index, std::move(chunk));
    return index;
}

void TimecodeList::remember()
{
    undo_.append({chunks_, after_});
    if (undo_.size() > kUndoDepth)
        undo_.removeFirst();
}

int TimecodeList::add(const Row& row)
{
    remember();
    return insert({{}, row});
}

void TimecodeList::remove(int index)
{
    if (index < 0 || index >= size())
        return;
    remember();
    // Its notes stay, above the next row.
    const QStringList before = chunks_.takeAt(index).before;
    QStringList& next = index < size() ? chunks_[index].before : after_;
    next = before + next;
}

int TimecodeList::change(int index, const Row& row)
{
    if (index < 0 || index >= size())
        return index;
    remember();
    Chunk chunk = chunks_.takeAt(index);
    chunk.row = row;
    return insert(std::move(chunk));
}

bool TimecodeList::undo()
{
    if (undo_.isEmpty())
        return false;
    const Snapshot last = undo_.takeLast();
    chunks_ = last.chunks;
    after_ = last.after;
    return true;
}

void TimecodeList::clear()
{
    path_.clear();
    setText({});
}

}  // namespace tavrelia
