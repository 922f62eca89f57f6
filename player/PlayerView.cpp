// The player's keys and its view of the lesson: fit and zoom, full screen,
// captions, find, the key list and the menus that reach them.

#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include "player/Captions.h"
#include "player/FindBar.h"
#include "player/HostWindow.h"
#include "player/KeyMap.h"
#include "player/Player.h"
#include "player/Viewing.h"
#include "qt/Strings.h"

namespace scenova::player {

namespace {

// Often enough that a pause after a line stops before the next is heard,
// and that a caption keeps to its line.
constexpr int kTickMs = 40;
// With no mode on, the tick only notes the line heard last, and a line lasts
// far longer than this. Each tick wakes the window's thread and asks the
// media player where it is, a query of its whole pipeline: at 25 a second
// that was a quarter of that thread's time while a lesson played.
constexpr int kQuietTickMs = 200;

// A menu item that shows its key without taking it: the keys are the key
// map's wherever the keyboard is.
QAction* Item(QMenu* menu, const char* text, const char* keys) {
    return menu->addAction(
        QStringLiteral("%1\t%2").arg(QString::fromUtf8(text), QString::fromLatin1(keys)));
}

}  // namespace

void Player::SetUpView() {
    const auto lesson = [this]() -> const qt::QtWindow& { return Lesson(); };
    m_keys = std::make_unique<KeyMap>([this](viewer::Command command) { return Run(command); });
    m_viewing = std::make_unique<Viewing>(*m_window, *m_window->Area(), lesson);
    m_captions = std::make_unique<Captions>(lesson);
    m_tick = new QTimer(m_window.get());
    m_tick->setInterval(kQuietTickMs);
    QObject::connect(m_tick, &QTimer::timeout, m_window.get(), [this] {
        if (!m_starting) {
            m_viewer->Tick();
            m_captions->Update();
        }
    });
    m_tick->start();
    m_find = new FindBar(lesson, *m_viewer);
    m_window->addToolBar(Qt::BottomToolBarArea, m_find);
    m_window->Area()->installEventFilter(m_keys.get());
    m_window->installEventFilter(m_keys.get());

    QMenu* view = m_window->menuBar()->addMenu(QStringLiteral("&View"));
    const auto command = [&](const char* text, const char* keys, viewer::Command run) {
        QAction* item = Item(view, text, keys);
        QObject::connect(item, &QAction::triggered, m_find, [this, run] { Run(run); });
        return item;
    };
    command("&Repeat the line", "R", viewer::Command::RepeatLine);
    m_pauseItem = command("&Pause after each line", "P", viewer::Command::PauseAfterLines);
    m_loopItem = command("&Loop the line", "L", viewer::Command::Loop);
    m_captionsItem = command("&Captions", "C", viewer::Command::Captions);
    m_translationItem = command("&Translation", "G", viewer::Command::Translation);
    for (QAction* mode :
         {m_pauseItem.data(), m_loopItem.data(), m_captionsItem.data(), m_translationItem.data()}) {
        mode->setCheckable(true);
    }
    command("&Find in the transcript…", "Ctrl+F", viewer::Command::Find);
    view->addSeparator();
    command("Full &screen", "F", viewer::Command::FullScreen);
    command("&Larger", "Ctrl++", viewer::Command::ZoomIn);
    command("S&maller", "Ctrl+-", viewer::Command::ZoomOut);
    command("Fit to the &window", "Ctrl+0", viewer::Command::ZoomFit);
    view->addSeparator();
    // What the lesson tells its host is for the lesson's developer.
    if (auto* panel = m_window->findChild<QDockWidget*>(QStringLiteral("log"))) {
        panel->hide();
        QAction* toggle = panel->toggleViewAction();
        toggle->setText(QStringLiteral("&Host panel (for developers)"));
        view->addAction(toggle);
    }
    QMenu* help = m_window->menuBar()->addMenu(QStringLiteral("&Help"));
    QObject::connect(Item(help, "&Keys", "F1"), &QAction::triggered, m_find,
                     [this] { Run(viewer::Command::Keys); });
}

bool Player::Run(viewer::Command command) {
    if (m_starting) {
        m_waitingKeys.push_back(command);
        return true;
    }
    return m_viewer->Run(command);
}

void Player::ShowModes() {
    const bool closely = m_viewer->PausesAfterLines() || m_viewer->Loops() ||
                         m_viewer->Captions() || m_viewer->TranslationShown();
    m_tick->setInterval(closely ? kTickMs : kQuietTickMs);
    // A checked item toggles itself when chosen: it is set to the viewer's.
    m_captionsItem->setChecked(m_viewer->Captions());
    m_pauseItem->setChecked(m_viewer->PausesAfterLines());
    m_loopItem->setChecked(m_viewer->Loops());
    m_translationItem->setEnabled(m_viewer->HasTranslation());
    m_translationItem->setChecked(m_viewer->TranslationShown());
    QStringList on;
    if (m_viewer->PausesAfterLines()) {
        on << QStringLiteral("pause after each line");
    }
    if (m_viewer->Loops()) {
        on << QStringLiteral("loop the line");
    }
    m_window->ShowModes(on.join(QStringLiteral(", ")));
}

bool Player::Own(viewer::Command command) {
    switch (command) {
        case viewer::Command::Find:
            m_find->Open();
            return true;
        case viewer::Command::FindNext:
        case viewer::Command::FindPrevious:
            if (m_find->isHidden()) {
                m_find->Open();
            }
            if (command == viewer::Command::FindNext) {
                m_find->Next();
            } else {
                m_find->Previous();
            }
            return true;
        case viewer::Command::Keys:
            ShowKeys();
            return true;
        case viewer::Command::FullScreen:
            m_viewing->FullScreen(!m_viewing->IsFullScreen());
            return true;
        case viewer::Command::Leave:
            if (!m_find->isHidden()) {
                m_find->Close();
                return true;
            }
            if (m_viewing->IsFullScreen()) {
                m_viewing->FullScreen(false);
                return true;
            }
            return false;
        case viewer::Command::ZoomIn:
            m_viewing->ZoomIn();
            return true;
        case viewer::Command::ZoomOut:
            m_viewing->ZoomOut();
            return true;
        case viewer::Command::ZoomFit:
            m_viewing->ZoomFit();
            return true;
        default:
            return false;
    }
}

void Player::ShowKeys() {
    if (!m_keysWindow) {
        auto* dialog = new QDialog(m_window.get());
        dialog->setWindowTitle(QStringLiteral("Keys"));
        auto* layout = new QVBoxLayout(dialog);
        auto* list = new QLabel(
            QStringLiteral("<pre>%1</pre>")
                .arg(qt::ToQString(viewer::KeyList(viewer::Where::Desktop)).toHtmlEscaped()));
        list->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        layout->addWidget(list);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
        layout->addWidget(buttons);
        m_keysWindow = dialog;
    }
    m_keysWindow->show();
    m_keysWindow->raise();
    m_keysWindow->activateWindow();
}

}  // namespace scenova::player
