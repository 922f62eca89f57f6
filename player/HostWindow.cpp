#include "player/HostWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include <optional>
#include <system_error>

#include "formats/FileLookup.h"
#include "formats/PageScreen.h"
#include "lesson/LessonFolder.h"
#include "qt/Strings.h"
#include "viewer/Viewer.h"

namespace scenova::player {

namespace {

constexpr int kMostRecent = 8;
constexpr int kMostLogLines = 2000;
constexpr int kSpeedShownMs = 4000;

QSettings Settings() {
    return QSettings(QStringLiteral("Scenova"), QStringLiteral("scenova-player"));
}

// A lesson's key among the settings: its folder's path, which may hold any
// character, hashed.
QString KeyOf(const std::filesystem::path& folder) {
    return QString::fromLatin1(QCryptographicHash::hash(qt::PathToQString(folder.string()).toUtf8(),
                                                        QCryptographicHash::Sha1)
                                   .toHex());
}

// What a resource page may read: a page or a picture of a few MiB at most
// (a help page is some kilobytes), pictures of at most 16 megapixels, 64
// megapixels a page.
constexpr std::size_t kMostResourceBytes = std::size_t{4} << 20;
constexpr qint64 kMostPicturePixels = qint64{16} << 20;
constexpr qint64 kMostPagePixels = qint64{64} << 20;

// What shows where a picture is refused: nothing.
QImage NoPicture() {
    QImage none(1, 1, QImage::Format_ARGB32);
    none.fill(Qt::transparent);
    return none;
}

// A page as Qt will read it, or, when laying it out could keep the player
// busy for long, its text (some KiB at most) and why.
QString PageOrItsText(const QByteArray& bytes) {
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid()) {
        decoder = QStringDecoder(QStringDecoder::Utf8);
    }
    const QString page = decoder(bytes);
    const std::string html = qt::ToStdString(page);
    const std::string why = formats::WhyPageIsCostly(html);
    if (why.empty()) {
        return page;
    }
    constexpr std::size_t kMostText = 16 << 10;
    return QStringLiteral("<p><b>%1</b></p><p style=\"white-space: pre-wrap\">%2</p>")
        .arg(qt::ToQString("This page is shown as its text only: " + why + ".").toHtmlEscaped(),
             qt::ToQString(formats::PageText(html, kMostText)).toHtmlEscaped());
}

bool IsPage(const std::filesystem::path& file) {
    const QString suffix = QFileInfo(qt::PathToQString(file.string())).suffix().toLower();
    return suffix == QStringLiteral("htm") || suffix == QStringLiteral("html");
}

// A page of the lesson in the resources panel. Lesson folders come from
// anywhere, so a page reads nothing but the ordinary files inside its lesson
// folder (a link to elsewhere counts as elsewhere), none past its limit, and
// its links lead only to the folder's other pages: nothing else is read,
// waited for or opened.
class LessonPage final : public QTextBrowser {
public:
    explicit LessonPage(const std::filesystem::path& folder) {
        std::error_code error;
        m_folder = std::filesystem::canonical(folder, error);
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
            if (link.path().isEmpty() && link.hasFragment()) {
                scrollToAnchor(link.fragment());
                return;
            }
            const QUrl target = source().resolved(link);
            if (const auto file = Inside(target); file && IsPage(*file)) {
                Show(*file);
            }
        });
    }

    void Show(const std::filesystem::path& file) {
        m_pixels = 0;
        setSource(QUrl::fromLocalFile(qt::PathToQString(file.string())),
                  QTextDocument::HtmlResource);
    }

    // Whatever is refused is answered with an empty resource, never with
    // none: for none QTextDocument reads the name itself, from anywhere (a
    // picture even when it is handed bytes it cannot decode).
    QVariant loadResource(int type, const QUrl& name) override {
        const auto file = Inside(name.isRelative() ? source().resolved(name) : name);
        formats::FileContent content;
        if (file) {
            content = formats::ReadOrdinaryFile(file->string(), kMostResourceBytes);
        }
        if (content.outcome != formats::FileContent::Outcome::Read) {
            return type == QTextDocument::ImageResource ? QVariant(NoPicture()) : QByteArray("");
        }
        QByteArray bytes(content.bytes.data(), static_cast<qsizetype>(content.bytes.size()));
        if (type == QTextDocument::HtmlResource) {
            return PageOrItsText(bytes);
        }
        if (type != QTextDocument::ImageResource) {
            return bytes;
        }
        // Told by the picture's header, before anything is decoded.
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        const qint64 pixels = qint64{size.width()} * size.height();
        if (!size.isValid() || pixels > kMostPicturePixels || m_pixels + pixels > kMostPagePixels) {
            return NoPicture();
        }
        m_pixels += pixels;
        const QImage picture = reader.read();
        return picture.isNull() ? NoPicture() : picture;
    }

private:
    // The file a local address names, when it lies inside the lesson folder.
    std::optional<std::filesystem::path> Inside(const QUrl& url) const {
        if (!url.isLocalFile() || m_folder.empty()) {
            return std::nullopt;
        }
        std::error_code error;
        const auto file = std::filesystem::canonical(qt::PathFromQString(url.toLocalFile()), error);
        const std::string relative = std::filesystem::relative(file, m_folder, error).string();
        if (error || relative.empty() || relative == ".." || relative.starts_with("../")) {
            return std::nullopt;
        }
        return file;
    }

    std::filesystem::path m_folder;
    qint64 m_pixels = 0;  // of the pictures the page shows
};

}  // namespace

HostWindow::HostWindow(bool rememberLessons)
    : m_remember(rememberLessons), m_area(new QMdiArea(this)), m_log(new QListWidget) {
    setWindowTitle(QStringLiteral("Scenova Player"));
    m_area->setBackground(QColor(96, 104, 112));
    setCentralWidget(m_area);

    auto* logDock = new QDockWidget(QStringLiteral("Told to the host"), this);
    logDock->setObjectName(QStringLiteral("log"));
    // Closable, or Qt greys out the menu item that opens it.
    logDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                         QDockWidget::DockWidgetFloatable);
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
    file->addAction(QStringLiteral("Open &packed lesson…"), this, [this] {
        const QString packed = QFileDialog::getOpenFileName(
            this, QStringLiteral("Open packed lesson"), QString(),
            QStringLiteral("Packed lessons (*.scenova);;All files (*)"));
        if (!packed.isEmpty() && onOpen) {
            onOpen(std::filesystem::path(qt::PathFromQString(packed)));
        }
    });
    m_recent = file->addMenu(QStringLiteral("&Recent lessons"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, qApp, &QApplication::quit);
    FillRecent();

    QMenu* playback = menuBar()->addMenu(QStringLiteral("&Playback"));
    QMenu* speed = playback->addMenu(QStringLiteral("&Speed"));
    auto* speeds = m_speeds = new QActionGroup(this);
    for (const double rate : viewer::kSpeeds) {
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
    // Made now, so that the lesson's room does not change when it first
    // tells something.
    m_offer = new QToolBar(QStringLiteral("Go on"), this);
    m_offer->setObjectName(QStringLiteral("go-on"));
    m_offer->setMovable(false);
    m_offerText = new QLabel(m_offer);
    m_offer->addWidget(m_offerText);
    m_offer->addAction(QStringLiteral("&Go on from there"), this, [this] {
        m_offer->hide();
        if (const auto goOn = std::exchange(m_goOn, nullptr)) {
            goOn();
        }
    });
    m_offer->addAction(QStringLiteral("&Start over"), this, [this] {
        m_offer->hide();
        m_goOn = nullptr;
    });
    addToolBar(Qt::TopToolBarArea, m_offer);
    m_offer->hide();
    m_modes = new QLabel(this);
    m_modes->setObjectName(QStringLiteral("modes"));
    statusBar()->addPermanentWidget(m_modes);
    m_translation = new QLabel(this);
    m_translation->setObjectName(QStringLiteral("translation"));
    m_translation->setTextFormat(Qt::PlainText);  // the lesson's words, never markup
    m_translation->setStyleSheet(
        QStringLiteral("QLabel { color: palette(mid); font-style: italic; }"));
    statusBar()->addWidget(m_translation, 1);
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
    // A key changes it too: the learner sees the speed, not only the menu.
    statusBar()->showMessage(QStringLiteral("Speed %1×").arg(rate), kSpeedShownMs);
}

void HostWindow::ShowModes(const QString& modes) {
    m_modes->setText(modes.isEmpty() ? QString() : QStringLiteral("On: %1").arg(modes));
    m_modes->setAccessibleName(m_modes->text());
}

void HostWindow::ShowTranslation(const QString& text) {
    m_translation->setText(text);
    m_translation->setAccessibleName(text);
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
    auto* browser = page != m_pages.end() ? static_cast<LessonPage*>(page->second)
                                          : new LessonPage(lessonFolder);
    if (page == m_pages.end()) {
        m_pages.emplace(buttonId, browser);
        // The lesson names its resources: an "&" is shown, not a shortcut.
        m_resources->addTab(browser, qt::ToQString(buttonId).replace(u'&', QStringLiteral("&&")));
    }
    // A name the lesson gives is read inside its folder or not at all.
    std::error_code error;
    if (const std::string how = lesson::HowNameLeaves(lessonFolder, "", value); !how.empty()) {
        Log(QStringLiteral("Player: the %1 resource %2 %3: it is not shown")
                .arg(qt::ToQString(buttonId), qt::ToQString(value), qt::ToQString(how)));
        browser->setPlainText(QString());
    } else if (const auto file = lessonFolder / value;
               IsPage(file) && std::filesystem::is_regular_file(file, error)) {
        browser->Show(file);
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

std::string HostWindow::Kept(const std::filesystem::path& folder) const {
    if (!m_remember) {
        return std::string();
    }
    return qt::ToStdString(
        Settings().value(QStringLiteral("where/%1").arg(KeyOf(folder))).toString().left(256));
}

void HostWindow::Keep(const std::filesystem::path& folder, const std::string& line) {
    if (m_remember) {
        Settings().setValue(QStringLiteral("where/%1").arg(KeyOf(folder)), qt::ToQString(line));
    }
}

void HostWindow::OfferToGoOn(const QString& where, std::function<void()> goOn) {
    m_goOn = std::move(goOn);
    m_offerText->setText(where);
    m_offer->setVisible(m_goOn != nullptr);
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
