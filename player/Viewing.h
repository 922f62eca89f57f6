#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

#include "qt/Toolkit.h"

class QDockWidget;
class QMdiArea;
class QMainWindow;
class QMenu;

namespace scenova::player {

// How the lesson window sits in the player's window: fitted to the area
// around it and scaled as a whole (its controls drawn larger, its own sizes
// unchanged), with the learner's zoom on top of that fit, and full screen.
class Viewing final : public QObject {
public:
    static constexpr double kZoomStep = 1.25;
    static constexpr double kMostScale = 8.0;
    static constexpr double kLeastScale = 0.25;

    Viewing(QMainWindow& window, QMdiArea& area, std::function<const qt::QtWindow&()> lesson);

    // Fits the lesson to the area again (after it loaded, moved or resized).
    void Fit();
    void ZoomIn();
    void ZoomOut();
    // Back to the fitted size.
    void ZoomFit();
    double Zoom() const { return m_zoom; }
    // The scale the lesson is shown at now.
    double Scale() const { return m_scale; }
    void FullScreen(bool on);
    bool IsFullScreen() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow& m_window;
    QMdiArea& m_area;
    std::function<const qt::QtWindow&()> m_lesson;
    double m_zoom = 1.0;
    double m_scale = 1.0;
    std::vector<QPointer<QDockWidget>> m_hidden;  // panels full screen hid
};

}  // namespace scenova::player
