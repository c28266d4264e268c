#include "timecode_list_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "console.h"

namespace tavrelia {

TimecodeListWindow::TimecodeListWindow(Console& console, QWidget* parent) : QDialog(parent), console_(console)
{
    setObjectName(QStringLiteral("FormTimecodeList"));
    setWindowTitle(QStringLiteral("Список таймкода"));
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("TableTimecode"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Время"), QStringLiteral("Действие")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(table_);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("LabelTimecodeListNote"));
    layout->addWidget(note_);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button("ButtonTimecodeAdd", QStringLiteral("Добавить"), &TimecodeListWindow::add);
    button("ButtonTimecodeDelete", QStringLiteral("Удалить"), &TimecodeListWindow::remove);
    button("ButtonTimecodeEarlier", QStringLiteral("-1 кадр"), [this] { shift(-1); });
    button("ButtonTimecodeLater", QStringLiteral("+1 кадр"), [this] { shift(1); });
    button("ButtonTimecodeUndo", QStringLiteral("Отменить"), &TimecodeListWindow::undo);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(table_, &QTableWidget::cellChanged, this, &TimecodeListWindow::edited);
    connect(&console_.timecode, &Timecode::listChanged, this, [this] {
        if (!filling_)
            fill(current());
    });
    fill();
}

int TimecodeListWindow::current() const
{
    return table_->currentRow();
}

void TimecodeListWindow::fill(int select)
{
    filling_ = true;
    const TimecodeList& list = console_.timecode.list();
    table_->setRowCount(list.size());
    for (int i = 0; i < list.size(); ++i) {
        const TimecodeList::Row& row = list.row(i);
        const QString action = row.value.isEmpty() ? row.control : row.control + u' ' + row.value;
        table_->setItem(i, 0, new QTableWidgetItem(row.time.text()));
        table_->setItem(i, 1, new QTableWidgetItem(action));
    }
    if (select >= 0 && select < list.size())
        table_->setCurrentCell(select, 0);
    filling_ = false;
    note_->setText(list.path().isEmpty() ? QStringLiteral("Шоу без имени: список запишется при сохранении")
                                         : list.path());
}

void TimecodeListWindow::edited(int row, int)
{
    if (filling_)
        return;
    const QString line = table_->item(row, 0)->text().trimmed() + u' ' + table_->item(row, 1)->text().trimmed();
    QString why;
    const std::optional<TimecodeList::Row> parsed = TimecodeList::parseRow(line, &why);
    if (!parsed) {
        fill(row);   // the cell shows the row as it is
        note_->setText(why);
        return;
    }
    filling_ = true;
    const int at = console_.timecode.changeRow(row, *parsed);
    filling_ = false;
    fill(at);
}

void TimecodeListWindow::add()
{
    const Timecode& timecode = console_.timecode;
    TimecodeTime time;
    if (timecode.known())
        time = TimecodeTime::parse(timecode.text()).value_or(TimecodeTime{});
    filling_ = true;
    const int at = console_.timecode.addRow({time, QStringLiteral("go"), QString::number(console_.live.scene())});
    filling_ = false;
    fill(at);
}

void TimecodeListWindow::remove()
{
    if (current() < 0)
        return;
    const int row = current();
    filling_ = true;
    console_.timecode.removeRow(row);
    filling_ = false;
    fill(std::min(row, console_.timecode.list().size() - 1));
}

void TimecodeListWindow::shift(int frames)
{
    if (current() < 0)
        return;
    filling_ = true;
    const int at = console_.timecode.shiftRow(current(), frames);
    filling_ = false;
    fill(at);
}

void TimecodeListWindow::undo()
{
    filling_ = true;
    console_.timecode.undo();
    filling_ = false;
    fill(current());
}

}  // namespace tavrelia
