#pragma once

#include <QWidget>

#include "editing/level_graph.h"

class QButtonGroup;
class QLabel;
class QScrollBar;

namespace tavrelia {

class ColorSwatch;
class Console;
class GraphPad;
class TBaseForm;

// The tab "График Канала": one channel's level across the scenes as a bar chart,
// drawn with the arrow, pen and line tools at four zoom steps, and a second way
// to set the show's last scene.
class LevelGraphPanel : public QWidget {
    Q_OBJECT
public:
    explicit LevelGraphPanel(TBaseForm& form);

    void ReturnGrafikLabel();
    void RepaintGrafik();
    void FormMouseWheel(int delta);
    LevelGraph::Tool tool() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPadRows();
    void buildBarRows();
    QScrollBar* addBar(const char* name, int maximum, const QString& hint);
    QLabel* addLabel(const char* name);

    void ScrollBarGrafikZoomChange(int position);
    void ScrollBarMaxScenaGraficChange(int position);
    void setZoom(int position);
    // The mouse-position labels (GrafikLabel), from the levels before any drawing.
    void GrafikLabel(QPoint at);
    void PaintBoxGrafikMouseDown(Qt::MouseButton button, QPoint at);
    void PaintBoxGrafikMouseMove(QPoint at);
    int channelPosition() const;
    int page() const;

    TBaseForm& form_;
    Console& console_;
    LevelGraph& graph_;
    QWidget* page_ = nullptr;
    GraphPad* pad_ = nullptr;
    ColorSwatch* groupColor_ = nullptr;
    QScrollBar* channelBar_ = nullptr;
    QScrollBar* areaBar_ = nullptr;
    QScrollBar* zoomBar_ = nullptr;
    QScrollBar* lastSceneBar_ = nullptr;
    QButtonGroup* tools_ = nullptr;
    QLabel* labelName_ = nullptr;
    QLabel* labelFrom_ = nullptr;
    QLabel* labelLast_ = nullptr;
    QLabel* labelZoom_ = nullptr;
    QLabel* labelScene_ = nullptr;
    QLabel* labelNewLevel_ = nullptr;
    QLabel* labelSceneLevel_ = nullptr;
};

}  // namespace tavrelia
