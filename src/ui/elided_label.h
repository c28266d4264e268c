#pragma once

#include <QLabel>
#include <QString>

namespace tavrelia {

// A one-line label never wider than its place: a longer text is shortened with "…" to
// the width it has, again at every resize, and is whole in the hint.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // A label in red for what is wrong (bad settings), hidden while there is nothing.
    static ElidedLabel* problems(const char* name, QWidget* parent);

    void setFullText(const QString& text);
    QString fullText() const { return fullText_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString fullText_;
};

}  // namespace tavrelia
