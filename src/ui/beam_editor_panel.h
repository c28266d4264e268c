#pragma once

#include <array>

#include <QWidget>

#include "editing/beam_editor.h"

class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QLabel;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QTimer;
class QToolButton;

namespace tavrelia {

class Console;
class TBaseForm;
class XyPad;

// The tab "Редактор луча": a range of scenes as the path of a moving head's beam,
// drawn on the pad, dragged point by point, made as one of nine figures, moved,
// sized, mirrored, turned and copied to other channel pairs.
class BeamEditorPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPairs = 4;

    explicit BeamEditorPanel(TBaseForm& form);

    void ReLabelEdiXY();
    void ReturnEditXY();
    void FormMouseWheel(int delta);
    void TimerRepeatButtonTimer();
    SceneRange range() const;
    // Pair 1 is edited; pairs 2..4 are copy targets.
    XyPair pair(int k) const;

signals:
    // The pad made a point's scene current.
    void sceneChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PairRow {
        QScrollBar* bar = nullptr;
        QCheckBox* copy = nullptr;   // pairs 2..4
        QLabel* first = nullptr;
        QLabel* second = nullptr;
    };

    QWidget* buildPad();
    QWidget* buildFigureBars();
    QWidget* buildRange();
    QWidget* buildMoves();
    QWidget* buildFigures();
    QWidget* buildPairs();
    QWidget* buildLayoutChoice();
    // A box of the tab laid out by the grid returned.
    QGridLayout* gridBox();
    QToolButton* addButton(QGridLayout* grid, int row, int column, const char* name,
                           const QString& caption, const QString& hint);
    QScrollBar* addBar(const char* name, Qt::Orientation orientation, int minimum, int maximum,
                       int value);
    QLabel* addLabel(const char* name, const QString& text = QString());

    void SpinEditESSfromChange(int value);
    void SpinEditESStoChange(int value);
    void repeatButtonDown(int code);
    void repeatButtonUp();
    void mirrorButtonDown(int code);
    void ButtonRepeat(int code);
    void setRepeatInterval(int ms);
    void makeFigure(FigureMaker::Figure figure);
    void SpeedButtonRotateLeftClick();
    void SpeedButtonEditXYcopyClick();
    void PaintBoxXYMouseDown(Qt::MouseButton button, QPoint pixel);
    void PaintBoxXYMouseMove(QPoint pixel);
    void PaintBoxXYMouseUp();
    // The scene caption and the pad's hint after a search for the point under the mouse.
    void showFound(bool found);
    void setPadHint(bool on, const QString& hint = QString());
    void setPairMaximum();

    TBaseForm& form_;
    Console& console_;
    BeamEditor& editor_;
    QWidget* page_ = nullptr;
    XyPad* pad_ = nullptr;
    QSpinBox* from_ = nullptr;
    QSpinBox* to_ = nullptr;
    QCheckBox* allScenes_ = nullptr;
    QCheckBox* changeScene_ = nullptr;
    QScrollBar* size_ = nullptr;
    QScrollBar* option_ = nullptr;
    QScrollBar* rotate_ = nullptr;
    std::array<PairRow, kPairs> pairs_{};
    QRadioButton* gapped_ = nullptr;
    QLabel* labelPosX_ = nullptr;
    QLabel* labelPosY_ = nullptr;
    QLabel* labelScene_ = nullptr;
    QLabel* labelAngle_ = nullptr;
    QLabel* labelFigure_ = nullptr;
    QTimer* timerRepeat_ = nullptr;
};

}  // namespace tavrelia
