#pragma once

#include <QMainWindow>
#include <QString>

class QGroupBox;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace tavrelia {

class Console;

// The main window. It owns the frame (menus, tool bar, status line, the page
// controls) and the refresh of the window from the show; the panels of each tab
// live in their own classes and hook into the signals below.
class TBaseForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TBaseForm(Console& console, QWidget* parent = nullptr);
    ~TBaseForm() override;

    Console& console() { return console_; }

    static constexpr int kWidth = 898;
    static constexpr int kHeight = 651;

    // Menus of MainMenuBase, created on first use and kept in their fixed order.
    enum class MenuId { Shou, Sceny, Ustanovki, Opcii, Pomosh };
    QMenu* menu(MenuId id);

    // Tool bar buttons, kept in their fixed order whatever order they are added in.
    void addToolButton(int order, QToolButton* button);

    // Tab pages of the three page controls, created on first use and kept in their
    // fixed order whatever order the panels ask for them in. Each page has a
    // QVBoxLayout that its panels add to.
    enum class InputTab { Fadera, Grafik, RedaktorLucha, Kopirovanie, Avtomaty, Opcii, DmxCoder };
    enum class UstTab { Plavnost, Urovni, StatKartiny };
    enum class TempTab { Sekvenser, CvetKanala };
    QWidget* inputPage(InputTab tab);
    QWidget* ustPage(UstTab tab);
    QWidget* tempPage(TempTab tab);
    QTabWidget* pageControlInput() const { return pageControlInput_; }
    QTabWidget* pageControlUst() const { return pageControlUst_; }
    QTabWidget* pageControlTemp() const { return pageControlTemp_; }
    QVBoxLayout* rightColumn() const { return rightColumn_; }

    // The window caption is always the link-state prefix and the show's file name.
    void setCaptionPrefix(const QString& prefix);
    QString captionPrefix() const { return captionPrefix_; }
    void setCaptionName(const QString& name);

    // Short status confirmation; cleared by the next TimerStatus tick.
    void OutStatus(const QString& text);
    QLabel* statusPanel0() const { return statusPanel0_; }
    void TimerStatusTimer();

    void ReturnPageControlAll();
    void ReturnDataSystem();

signals:
    // Steps of ReturnDataSystem after the caption, in connection order.
    void dataSystemRefresh();
    // The visible input tab's refresh in ReturnPageControlAll.
    void inputTabRefresh(QWidget* visibleTab);
    // The window colour step of ReturnPageControlAll.
    void colorRefresh();
    // The window's part of a new show (after the core's clear) and of a load.
    void showCleared();
    void showLoaded();

private:
    void buildFrame();
    void buildPanels();
    QWidget* page(QTabWidget* tabs, int order, const char* objectName, const char* title);

    Console& console_;
    QTabWidget* pageControlInput_ = nullptr;
    QTabWidget* pageControlUst_ = nullptr;
    QTabWidget* pageControlTemp_ = nullptr;
    QGroupBox* groupScenes_ = nullptr;
    QGroupBox* groupUst_ = nullptr;
    QVBoxLayout* rightColumn_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* statusPanel0_ = nullptr;
    QTimer* timerStatus_ = nullptr;
    QString captionPrefix_ = QStringLiteral(" Initalization ");
    QString captionName_;
};

}  // namespace tavrelia
