// The player's keys and its view of the lesson: fit and zoom, full screen,
// captions, find, the key list and the menus that reach them.

#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include <algorithm>

#include "player/Captions.h"
#include "player/FindBar.h"
#include "player/HostWindow.h"
#include "player/KeyMap.h"
#include "player/Player.h"
#include "player/Viewing.h"
#include "qt/Strings.h"

namespace scenova::player {

namespace {

// A menu item that shows its key without taking it: the keys are the key
// map's wherever the keyboard is.
QAction* Item(QMenu* menu, const char* text, const char* keys) {
    return menu->addAction(
        QStringLiteral("%1\t%2").arg(QString::fromUtf8(text), QString::fromLatin1(keys)));
}

}  // namespace

void Player::SetUpView() {
    const auto lesson = [this]() -> const qt::QtWindow& { return Lesson(); };
    m_keys = std::make_unique<KeyMap>([this](Command command) { return Run(command); });
    m_viewing = std::make_unique<Viewing>(*m_window, *m_window->Area(), lesson);
    m_captions = std::make_unique<Captions>(lesson);
    m_find = new FindBar(lesson);
    m_window->addToolBar(Qt::BottomToolBarArea, m_find);
    m_window->Area()->installEventFilter(m_keys.get());
    m_window->installEventFilter(m_keys.get());

    QMenu* view = m_window->menuBar()->addMenu(QStringLiteral("&View"));
    m_captionsItem = Item(view, "&Captions", "C");
    m_captionsItem->setCheckable(true);
    QObject::connect(m_captionsItem, &QAction::triggered, m_find,
                     [this](bool on) { m_captions->SetShown(on); });
    QObject::connect(Item(view, "&Find in the transcript…", "Ctrl+F"), &QAction::triggered, m_find,
                     [this] { Run(Command::Find); });
    view->addSeparator();
    QObject::connect(Item(view, "Full &screen", "F11"), &QAction::triggered, m_find,
                     [this] { Run(Command::FullScreen); });
    QObject::connect(Item(view, "&Larger", "Ctrl++"), &QAction::triggered, m_find,
                     [this] { Run(Command::ZoomIn); });
    QObject::connect(Item(view, "S&maller", "Ctrl+-"), &QAction::triggered, m_find,
                     [this] { Run(Command::ZoomOut); });
    QObject::connect(Item(view, "Fit to the &window", "Ctrl+0"), &QAction::triggered, m_find,
                     [this] { Run(Command::ZoomFit); });
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
                     [this] { Run(Command::Keys); });
}

bool Player::Run(Command command) {
    if (m_starting) {
        m_waitingKeys.push_back(command);
        return true;
    }
    const qt::QtWindow& lesson = Lesson();
    qt::ButtonBar* bar = lesson.frmRose.get();
    const auto enabled = [&](const char* name) {
        return bar->StateOf(name) == controls::button_state::Enabled;
    };
    const auto speed = [&](int step) {
        const auto at = std::find(kSpeeds.begin(), kSpeeds.end(), m_speed) - kSpeeds.begin();
        const auto next = std::clamp<std::ptrdiff_t>(at + step, 0, kSpeeds.size() - 1);
        SetSpeed(kSpeeds[static_cast<std::size_t>(next)]);
    };
    switch (command) {
        case Command::PlayOrStop:
        case Command::Rewind:
        case Command::Forward:
        case Command::Transcript:
            if (bar == nullptr) {
                return false;
            }
            // As a click would be: a disabled button does nothing.
            bar->UserPress(command == Command::PlayOrStop
                               ? (enabled("btnVideoPlay") ? "btnVideoPlay" : "btnVideoStop")
                           : command == Command::Rewind  ? "btnVideoRew"
                           : command == Command::Forward ? "btnVideoFwd"
                           : enabled("btnTextOff")       ? "btnTextOff"
                                                         : "btnTextOn");
            return true;
        case Command::Faster:
            speed(m_speed >= kSpeeds.back() ? 0 : 1);
            return true;
        case Command::Slower:
            speed(m_speed <= kSpeeds.front() ? 0 : -1);
            return true;
        case Command::Captions:
            m_captions->SetShown(!m_captions->Shown());
            m_captionsItem->setChecked(m_captions->Shown());
            return true;
        case Command::Find:
            m_find->Open();
            return true;
        case Command::FindNext:
        case Command::FindPrevious:
            if (m_find->isHidden()) {
                m_find->Open();
            }
            if (command == Command::FindNext) {
                m_find->Next();
            } else {
                m_find->Previous();
            }
            return true;
        case Command::Keys:
            ShowKeys();
            return true;
        case Command::FullScreen:
            m_viewing->FullScreen(!m_viewing->IsFullScreen());
            return true;
        case Command::Leave:
            if (!m_find->isHidden()) {
                m_find->Close();
                return true;
            }
            if (m_viewing->IsFullScreen()) {
                m_viewing->FullScreen(false);
                return true;
            }
            return false;
        case Command::ZoomIn:
            m_viewing->ZoomIn();
            return true;
        case Command::ZoomOut:
            m_viewing->ZoomOut();
            return true;
        case Command::ZoomFit:
            m_viewing->ZoomFit();
            return true;
        case Command::None:
            return false;
    }
    return false;
}

void Player::ShowKeys() {
    if (!m_keysWindow) {
        auto* dialog = new QDialog(m_window.get());
        dialog->setWindowTitle(QStringLiteral("Keys"));
        auto* layout = new QVBoxLayout(dialog);
        auto* list = new QLabel(
            QStringLiteral("<pre>%1</pre>").arg(qt::ToQString(KeyList()).toHtmlEscaped()));
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
