#pragma once

#include <QLabel>
#include <QList>

namespace tavrelia {

// The column heading of the desk: one line of text whose titles (separated by runs
// of blanks) are drawn centred over their columns, whatever the font.
class DeskHeading : public QLabel {
    Q_OBJECT
public:
    DeskHeading(const QString& text, QWidget* parent = nullptr);

    // One widget per title, left to right: the title is centred over it.
    void setColumns(const QList<QWidget*>& columns) { columns_ = columns; }
    QStringList titles() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QWidget*> columns_;
};

}  // namespace tavrelia
