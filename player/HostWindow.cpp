#include "player/HostWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>

#include "qt/Strings.h"

namespace scenova::player {

namespace {

constexpr int kMostRecent = 8;
constexpr int kMostLogLines = 2000;

QSettings Settings() {
    return QSettings(QStringLiteral("Scenova"), QStringLiteral("scenova-player"));
}

}  // namespace

HostWindow::HostWindow(bool rememberLessons)
    : m_remember(rememberLessons), m_area(new QMdiArea(this)), m_log(new QListWidget) {
    setWindowTitle(QStringLiteral("Scenova Player"));
    m_area->setBackground(QColor(96, 104, 112));
    setCentralWidget(m_area);

    auto* logDock = new QDockWidget(QStringLiteral("Told to the host"), this);
    logDock->setObjectName(QStringLiteral("log"));
    logDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_log->setWordWrap(true);
    m_log->setAccessibleName(QStringLiteral("What the lesson told the host"));
    logDock->setWidget(m_log);
    addDockWidget(Qt::RightDockWidgetArea, logDock);

    m_resourceDock = new QDockWidget(QStringLiteral("Resources"), this);
    m_resourceDock->setObjectName(QStringLiteral("resources"));
    m_resources = new QTabWidget;
    m_resourceDock->setWidget(m_resources);
    addDockWidget(Qt::RightDockWidgetArea, m_resourceDock);
    m_resourceDock->hide();

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open lesson folder…"), QKeySequence::Open, this, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, QStringLiteral("Open lesson folder"));
        if (!folder.isEmpty() && onOpen) {
            onOpen(std::filesystem::path(qt::PathFromQString(folder)));
        }
    });
    m_recent = file->addMenu(QStringLiteral("&Recent lessons"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, qApp, &QApplication::quit);
    FillRecent();

    QMenu* playback = menuBar()->addMenu(QStringLiteral("&Playback"));
    QMenu* speed = playback->addMenu(QStringLiteral("&Speed"));
    auto* speeds = m_speeds = new QActionGroup(this);
    for (const double rate : kSpeeds) {
        QAction* action = speed->addAction(QStringLiteral("%1×").arg(rate));
        action->setData(rate);
        action->setCheckable(true);
        action->setChecked(rate == 1.0);
        speeds->addAction(action);
        connect(action, &QAction::triggered, this, [this, rate] {
            if (onSpeed) {
                onSpeed(rate);
            }
        });
    }
    resize(1000, 620);
}

void HostWindow::Log(const QString& line) {
    m_log->addItem(line);
    while (m_log->count() > kMostLogLines) {
        delete m_log->takeItem(0);
    }
    m_log->scrollToBottom();
}

void HostWindow::ShowSpeed(double rate) {
    for (QAction* action : m_speeds->actions()) {
        action->setChecked(action->data().toDouble() == rate);
    }
}

void HostWindow::Resource(const std::string& buttonId, int32_t action, const std::string& value,
                          const std::filesystem::path& lessonFolder) {
    auto page = m_pages.find(buttonId);
    if (action == 0) {
        if (page != m_pages.end()) {
            m_resources->removeTab(m_resources->indexOf(page->second));
            page->second->deleteLater();
            m_pages.erase(page);
        }
        m_resourceDock->setVisible(m_resources->count() > 0);
        return;
    }
    if (action == 1 && page == m_pages.end()) {
        return;  // an update of what is not open changes nothing on screen
    }
    QTextBrowser* browser =
        page != m_pages.end() ? static_cast<QTextBrowser*>(page->second) : new QTextBrowser;
    if (page == m_pages.end()) {
        m_pages.emplace(buttonId, browser);
        m_resources->addTab(browser, qt::ToQString(buttonId));
    }
    const std::filesystem::path file = lessonFolder / value;
    const QString path = qt::PathToQString(file.string());
    const QString suffix = QFileInfo(path).suffix().toLower();
    if ((suffix == QStringLiteral("htm") || suffix == QStringLiteral("html")) &&
        QFileInfo(path).isFile()) {
        browser->setSource(QUrl::fromLocalFile(path));
    } else {
        browser->setPlainText(qt::ToQString(value));
    }
    if (action == 2) {
        m_resourceDock->show();
        m_resources->setCurrentWidget(browser);
    }
}

void HostWindow::ClearResources() {
    for (const auto& [id, page] : m_pages) {
        page->deleteLater();
    }
    m_pages.clear();
    m_resources->clear();
    m_resourceDock->hide();
}

void HostWindow::Remember(const std::filesystem::path& folder) {
    if (!m_remember) {
        return;
    }
    QSettings settings = Settings();
    QStringList recent = settings.value(QStringLiteral("recent")).toStringList();
    const QString entry = qt::PathToQString(folder.string());
    recent.removeAll(entry);
    recent.prepend(entry);
    while (recent.size() > kMostRecent) {
        recent.removeLast();
    }
    settings.setValue(QStringLiteral("recent"), recent);
    FillRecent();
}

void HostWindow::FillRecent() {
    m_recent->clear();
    const QStringList recent =
        m_remember ? Settings().value(QStringLiteral("recent")).toStringList() : QStringList();
    for (const QString& folder : recent) {
        m_recent->addAction(folder, this, [this, folder] {
            if (onOpen) {
                onOpen(std::filesystem::path(qt::PathFromQString(folder)));
            }
        });
    }
    m_recent->setEnabled(!recent.isEmpty());
}

}  // namespace scenova::player
