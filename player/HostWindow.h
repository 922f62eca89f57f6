#pragma once

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

class QActionGroup;
class QListWidget;
class QMdiArea;
class QMenu;
class QTabWidget;
class QDockWidget;
class QLabel;
class QToolBar;

namespace scenova::player {

// The host application's own window: the MDI area the lesson window lives
// in, a panel listing what the lesson tool told the host, a panel with the
// resources it opened, and the menus.
class HostWindow final : public QMainWindow {
public:
    explicit HostWindow(bool rememberLessons);

    QMdiArea* Area() const { return m_area; }
    QListWidget* LogView() const { return m_log; }
    QTabWidget* Resources() const { return m_resources; }

    // A line in the host's panel.
    void Log(const QString& line);
    // A resource the tool opens (2), updates (1) or closes (0): a page of
    // the lesson folder shows in the resources panel; any other value as
    // its text.
    void Resource(const std::string& buttonId, int32_t action, const std::string& value,
                  const std::filesystem::path& lessonFolder);
    void ClearResources();

    // Checks the speed in the menu and tells it in the status bar.
    void ShowSpeed(double rate);
    // The learner's modes that are on, in the status bar for as long as
    // they are (empty: none).
    void ShowModes(const QString& modes);
    // The translation of the line spoken now, under the lesson in a quieter
    // style (empty: none).
    void ShowTranslation(const QString& text);

    // Adds a lesson folder to the recent ones.
    void Remember(const std::filesystem::path& folder);
    // What the player keeps of the learner at a lesson between visits
    // (nothing while lessons are not remembered).
    std::string Kept(const std::filesystem::path& folder) const;
    void Keep(const std::filesystem::path& folder, const std::string& line);
    // Offers, above the lesson, to go on where the learner was; the offer
    // goes when taken, turned down or another lesson opens.
    void OfferToGoOn(const QString& where, std::function<void()> goOn);

    std::function<void(const std::filesystem::path&)> onOpen;
    std::function<void(double)> onSpeed;

private:
    void FillRecent();

    bool m_remember;
    QMdiArea* m_area;
    QListWidget* m_log;
    QTabWidget* m_resources;
    QDockWidget* m_resourceDock;
    QMenu* m_recent;
    QActionGroup* m_speeds;
    QLabel* m_modes;
    QLabel* m_translation;
    QToolBar* m_offer;
    QLabel* m_offerText;
    std::function<void()> m_goOn;
    std::map<std::string, QWidget*> m_pages;
};

}  // namespace scenova::player
