#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget> // QPointer<QWidget> needs the whole class

#include "view/browserview.h"

class QAction;

namespace vimbrel {

// What a window wants of its view controls beyond what they do everywhere.
struct ViewControlOptions
{
    // Who takes the keyboard focus after a zoom button, so that the arrow keys keep scrolling.
    enum class ZoomFocus { Unchanged, View, FocusSink };

    // The zoom buttons raise a value below ViewControls::zoomFloor to it before their step.
    bool raiseToZoomFloor = false;
    ZoomFocus focusAfterZoom = ZoomFocus::Unchanged;
    // Stopping the timed scroll hands the focus to the view.
    bool focusViewWhenScrollStops = false;
};

// The controls every window offers on the page it shows: zoom (ZOOMIE and the zoom buttons),
// the background colour cycle, the Up/Down keys of the focus sink and the timed scroll.
// One object per window.
//
// Wiring in a window (the main window, for example):
//   m_controls = new ViewControls({.raiseToZoomFloor = true, ...}, this);
//   m_controls->setView(m_web);            // the view acted on
//   m_controls->watchDownloads(m_web);     // zoom back to 100 on each finished download
//   m_controls->setFocusSink(m_cmb);       // the FocusSink of this window
//   m_controls->setScrollActions(moveUp0, moveUp1); // QActions; shown checked while scrolling
//   connect(bigP0, &QAction::triggered, m_controls, &ViewControls::zoomIn);
// The search window calls setView() again when it switches between its two views and
// watches the downloads of both. The timed scroll's state lives here; the two actions only
// mirror it (checked = running in that direction), so a tool button showing them with a
// ":checked" style draws the yellow face.
class ViewControls : public QObject
{
    Q_OBJECT
public:
    static constexpr int scrollStep = 100;         // Up/Down keys and one wheel notch
    static constexpr int timedScrollStep = 2;      // per timer tick
    static constexpr int timedScrollInterval = 20; // milliseconds
    static constexpr int zoomStep = 10;
    static constexpr int zoomFloor = 15; // see ViewControlOptions::raiseToZoomFloor

    explicit ViewControls(ViewControlOptions options = {}, QObject *parent = nullptr);

    [[nodiscard]] const ViewControlOptions &options() const { return m_options; }

    void setView(BrowserView *view);
    [[nodiscard]] BrowserView *view() const { return m_view; }
    // The zoom value goes back to 100 whenever this view finishes a download.
    void watchDownloads(BrowserView *view);
    // Takes the focus after a detail-window zoom; the window's Cmb.
    void setFocusSink(QWidget *sink);
    [[nodiscard]] QWidget *focusSink() const { return m_focusSink; }

    // --- zoom ---
    [[nodiscard]] qint16 zoom() const { return m_zoom; }
    void setZoom(qint16 zoom) { m_zoom = zoom; }
    [[nodiscard]] static QString zoomScript(int zoom);
    // ZOOMIE: applies the zoom to the page shown; failures (no page yet) are silent.
    void applyZoom(int zoom);
    // The zoom buttons: BigP(0)/BigP(1) in the main and search windows, Cmd(4)/Cmd(5) in the
    // detail window. The options say whether a value below 15 is raised to 15 first and who
    // takes the focus afterwards.
    void zoomIn();
    void zoomOut();
    // One step without the raising and without moving the focus. A step that would leave
    // the 16-bit range is not taken; the page is zoomed to the unchanged value.
    void zoomBy(int delta);

    // --- background colour cycle (main and search window) ---
    [[nodiscard]] qint16 colourIndex() const { return m_colourIndex; }
    // Colour text for index 1..9; empty outside.
    [[nodiscard]] static QString colourAt(int index);
    // Moves to the next colour of the cycle (1..9, then 1 again) and returns its text. The
    // main window calls it only when it has pictures.
    QString advanceColour();

    // --- keys of the focus sink ---
    // Up scrolls 100 pixels towards the top, Down 100 towards the end; true when handled.
    bool handleKey(int qtKey);

    // --- timed scroll (main and search window) ---
    // The two actions (towards the top, towards the end) become checkable; triggering one
    // runs moveUpClick() with its index.
    void setScrollActions(QAction *towardsTop, QAction *towardsEnd);
    // MoveUp_Click: index 0 towards the top, 1 towards the end. Pressing the lit button stops
    // the scroll; pressing the other one switches direction at once.
    void moveUpClick(int index);
    // Timer1_Timer: one step of the timed scroll.
    void timerTick();
    [[nodiscard]] bool isRunning() const { return m_timer.isActive(); }
    [[nodiscard]] qint16 scrollDirection() const { return m_scrollDirection; }
    // Index of the direction running (its button lit), or -1.
    [[nodiscard]] int litButton() const { return m_lit; }

private:
    void step(int delta, bool raise);
    void focusAfterZoom();
    void showScrollState();

    const ViewControlOptions m_options;
    QPointer<BrowserView> m_view;
    QPointer<QWidget> m_focusSink;
    QPointer<QAction> m_scrollActions[2];
    QTimer m_timer;
    qint16 m_zoom = 0;
    qint16 m_colourIndex = 0;
    qint16 m_scrollDirection = 0;
    int m_lit = -1;
};

} // namespace vimbrel
