// One story through the player: the sample lesson played in the real
// window, its picture at about 9 seconds, and every cue's signal on time;
// then the keyboard and what a screen reader reads.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDockWidget>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocumentFragment>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "player/FindBar.h"
#include "player/HostWindow.h"
#include "player/Player.h"
#include "player/Viewing.h"
#include "qt/Toolkit.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/support/TempDir.h"

namespace scenova::test {
namespace {

const std::string kSample = std::string(SCENOVA_SOURCE_DIR) + "/examples/market";
constexpr int kBlocks = 7;

// The part of the picture a widget covers.
QRect Where(QWidget* widget, QWidget* window) {
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        player.Window().resize(1100, 700);
        player.Window().show();
        QApplication::setActiveWindow(&player.Window());
        ASSERT_TRUE(player.Open(kSample));
    }

    const qt::QtWindow& Lesson() { return player.Lesson(); }

    player::Player player{{.rememberLessons = false}};
};

TEST_F(PlayerTest, TheSampleLessonPlaysThroughWithEverySignalOnTime) {
    const qt::QtWindow& lesson = Lesson();
    ASSERT_TRUE(lesson.frmRose->UserPress("btnVideoPlay"));
    ASSERT_TRUE(RunUntil([&] { return lesson.movOrvMovie->CurrentPosition() >= 1.0; }, 30000));
    const QImage title = lesson.movOrvMovie->View()->grab().toImage();
    ASSERT_TRUE(RunUntil([&] { return lesson.movOrvMovie->CurrentPosition() >= 9.0; }, 30000));
    EXPECT_NE(lesson.movOrvMovie->View()->grab().toImage(), title) << "the picture stood still";
    const QImage shot = player.Window().grab().toImage().convertToFormat(QImage::Format_RGB32);

    // Block 3 is lit in the transcript.
    const QRect text = Where(lesson.rtfText->Widget(), &player.Window());
    int lit = 0;
    for (int y = text.top(); y <= text.bottom(); ++y) {
        for (int x = text.left(); x <= text.right(); ++x) {
            lit += shot.pixel(x, y) == qt::RichText::kHighlight.rgb();
        }
    }
    EXPECT_GE(lit, 300) << "no highlighted block in the transcript";
    // The slider's thumb stands at block 3.
    EXPECT_EQ(lesson.sldVideoSlider->Value(), 3);
    const QRect slider = Where(lesson.sldVideoSlider->Widget(), &player.Window());
    const QRgb thumb = qRgb(40, 70, 110);  // the lesson's slider colour
    int count = 0;
    long sum = 0;
    for (int y = slider.top(); y <= slider.bottom(); ++y) {
        for (int x = slider.left(); x <= slider.right(); ++x) {
            if (shot.pixel(x, y) == thumb) {
                ++count;
                sum += x - slider.left();
            }
        }
    }
    ASSERT_GT(count, 0) << "no thumb in the slider";
    EXPECT_NEAR(static_cast<double>(sum) / count, lesson.sldVideoSlider->View()->PointOf(3).x(),
                3.0);

    // On to the end: the last signal stops playback.
    ASSERT_TRUE(RunUntil(
        [&] { return lesson.frmRose->StateOf("btnVideoPlay") == controls::button_state::Enabled; },
        30000));
    const std::vector<double>& delays = player.SignalDelaysMs();
    ASSERT_EQ(delays.size(), static_cast<std::size_t>(kBlocks));
    for (const double delay : delays) {
        EXPECT_TRUE(delay >= -1.0 && delay <= 150.0) << delay;
    }
}

// Where the keyboard is: a bar's button, the slider, the transcript, or a kind of widget.
std::string KeyboardAt(const qt::QtWindow& lesson) {
    for (const auto& bar : {lesson.frmRose, lesson.frmRoseNavigation, lesson.frmRoseToolbar}) {
        if (bar->View()->hasFocus()) {
            return bar->Name() + ":" + bar->View()->KeyButton();
        }
    }
    QWidget* focus = QApplication::focusWidget();
    return lesson.sldVideoSlider->View()->hasFocus() ? "slider"
           : lesson.rtfText->View()->hasFocus()      ? "transcript"
           : focus                                   ? focus->metaObject()->className()
                                                     : "nowhere";
}

// Whether the picture shows the keyboard's frame around a part: a band at
// least 3 pixels thick of its dark colour, along at least 16 pixels.
bool ShowsThickFrame(const QImage& shot, const QRect& part) {
    int thick = 0;
    const QRect around = part.adjusted(-6, -6, 6, 6).intersected(shot.rect());
    for (int x = around.left(); x <= around.right(); ++x) {
        for (int y = around.top(), run = 0; y <= around.bottom(); ++y) {
            run = shot.pixel(x, y) == qRgb(0, 40, 120) ? run + 1 : 0;
            if (run == 3) {
                ++thick;
            }
        }
    }
    return thick >= 16;
}

TEST_F(PlayerTest, TheKeyboardReachesEveryPartShowsWhereItIsAndItsKeysWorkAnywhere) {
    const qt::QtWindow& lesson = Lesson();
    qt::ButtonBar& bar = *lesson.frmRose;
    // The keyboard starts on the main bar; Tab goes through every button, the
    // slider, the transcript, the host's resources panel, and round again.
    const std::string order =
        "frmRose:btnVideoPlay|frmRose:btnVideoFwd|frmRose:btnTextOff|slider|transcript|"
        "frmRoseNavigation:Back|frmRoseNavigation:Menu|frmRoseNavigation:Next|frmRoseToolbar:Help|"
        "frmRoseToolbar:Culture Tips|frmRoseToolbar:Learning Strategies|frmRoseToolbar:Glossary|"
        "QTextBrowser|QTabBar|frmRose:btnVideoPlay";
    // The first Tab shows the keyboard where it starts.
    QTest::keyClick(bar.View(), Qt::Key_Tab);
    std::string seen = KeyboardAt(lesson);
    while (seen.size() < order.size()) {
        QWidget* part = QApplication::focusWidget();
        const QImage shot = player.Window().grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(!lesson.form->Widget()->isAncestorOf(part) ||
                    ShowsThickFrame(shot, Where(part, &player.Window())))
            << seen;
        QTest::keyClick(part, Qt::Key_Tab);
        seen += "|" + KeyboardAt(lesson);
    }
    EXPECT_EQ(seen, order);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(KeyboardAt(lesson), "QTabBar");

    // Space is Play or Stop on any button; the keyboard goes from a button
    // that gives way to the one in its place (Play to Stop and back).
    bar.View()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(bar.View(), Qt::Key_Space);
    EXPECT_EQ(KeyboardAt(lesson), "frmRose:btnVideoStop");
    QTest::keyClick(bar.View(), Qt::Key_Return);
    EXPECT_EQ(KeyboardAt(lesson), "frmRose:btnVideoPlay");
    QTest::keyClick(bar.View(), Qt::Key_Tab);  // Forward
    QTest::keyClick(bar.View(), Qt::Key_Space);
    EXPECT_EQ(lesson.movOrvMovie->State(), qt::Video::PlayState::Playing);
    QTest::keyClick(bar.View(), Qt::Key_Space);

    // The slider's arrows are its own; elsewhere they step by speaker.
    QWidget* slider = lesson.sldVideoSlider->View();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(lesson.sldVideoSlider->Value(), 2);
    QWidget* transcript = lesson.rtfText->Widget();
    transcript->setFocus();
    QTest::keyClick(transcript, Qt::Key_Right);
    EXPECT_EQ(lesson.sldVideoSlider->Value(), 3);
    QTest::keyClick(transcript, Qt::Key_Left);
    EXPECT_EQ(lesson.sldVideoSlider->Value(), 2);
    // The lesson's keys from around the lesson too, and speed.
    auto* panel = player.Window().findChild<QDockWidget*>(QStringLiteral("log"));
    ASSERT_TRUE(panel != nullptr && panel->isHidden());  // the developer's, one menu item away
    panel->toggleViewAction()->trigger();
    EXPECT_TRUE(panel->isVisible());
    QTest::keyClick(player.Window().Area(), Qt::Key_T);
    EXPECT_FALSE(lesson.rtfText->Visible());
    QTest::keyClick(&player.Window(), Qt::Key_T);
    ASSERT_TRUE(lesson.rtfText->Visible());
    QTest::keyClick(player.Window().Area(), Qt::Key_S);
    EXPECT_EQ(lesson.movOrvMovie->Rate(), 1.25);
    EXPECT_EQ(player.Window().statusBar()->currentMessage(), QStringLiteral("Speed 1.25×"));
    QTest::keyClick(transcript, Qt::Key_Question, Qt::ShiftModifier);
    ASSERT_TRUE(player.KeysWindow() != nullptr && player.KeysWindow()->isVisible());
    player.KeysWindow()->hide();
    QTest::keyClick(player.Window().Area(), Qt::Key_S, Qt::ShiftModifier);
    QTest::keyClick(player.Window().Area(), Qt::Key_S, Qt::ShiftModifier);
    EXPECT_EQ(lesson.movOrvMovie->Rate(), 0.75);
    // A mode shows that it is on for as long as it is.
    const auto* modes = player.Window().findChild<QLabel*>(QStringLiteral("modes"));
    QTest::keyClick(player.Window().Area(), Qt::Key_P);
    EXPECT_EQ(modes->text(), QStringLiteral("On: pause after each line"));
    QTest::keyClick(player.Window().Area(), Qt::Key_P);
    EXPECT_EQ(modes->text(), QString());

    // Down and Enter in the transcript play its second line.
    transcript->setFocus();
    QTest::keyClick(transcript, Qt::Key_Down);
    QTest::keyClick(transcript, Qt::Key_Return);
    EXPECT_EQ(lesson.movOrvMovie->State(), qt::Video::PlayState::Playing);
    const int32_t played = lesson.rtfText->KeyboardLink();

    QAccessibleInterface* buttons = QAccessible::queryAccessibleInterface(bar.View());
    ASSERT_NE(buttons, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < buttons->childCount(); ++i) {
        names.push_back(buttons->child(i)->text(QAccessible::Name).toStdString());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Show the transcript", "Hide the transcript", "Stop",
                                        "Play", "On to the next speaker", "Back one speaker"}));
    QAccessibleInterface* lines = QAccessible::queryAccessibleInterface(transcript);
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->childCount(), 8);
    EXPECT_EQ(lines->child(0)->text(QAccessible::Name).toStdString(),
              "Narrator: Saturday morning at the market. Anna is looking for fruit.");
    EXPECT_EQ(lines->child(1)->text(QAccessible::Name).toStdString(),
              "Anna: Good morning! How much are the apples? (culture tip: Greetings)");
    for (QWidget* part : std::initializer_list<QWidget*>{
             bar.View(), lesson.frmRoseNavigation->View(), lesson.frmRoseToolbar->View(),
             lesson.sldVideoSlider->View()}) {
        EXPECT_NE(QAccessible::queryAccessibleInterface(part)->text(QAccessible::Name), "");
    }
    // The line played by Enter is the one lit, and says so.
    EXPECT_TRUE(lines->child(played)->state().selected);
    EXPECT_TRUE(lines->child(played)->state().focused);
    EXPECT_FALSE(lines->state().focused);  // the line alone reports the focus

    // Keys the transcript does not use still reach the window.
    QTest::keyClick(transcript, Qt::Key_Space);  // Stop
    EXPECT_EQ(bar.StateOf("btnVideoPlay"), controls::button_state::Enabled);
}

// Forward while stopped shows the picture at the new speaker's start, the
// slider's end the last picture: the sample's video shows each speaker's
// name on a colour of their own, so Anna's two blocks look alike and unlike
// the speakers between them. Then the lesson is opened again.
TEST_F(PlayerTest, StoppedPicturesAndOpeningAgain) {
    const qt::QtWindow& lesson = Lesson();
    std::vector<QRgb> colours;  // of the picture's edge, after each step
    for (int block = 1; block <= 4; ++block) {
        ASSERT_TRUE(lesson.frmRose->UserPress("btnVideoFwd"));
        QTest::qWait(1000);
        colours.push_back(lesson.movOrvMovie->View()->Frame().pixel(2, 60));
    }
    const auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b)) <
               30;
    };
    EXPECT_TRUE(near(colours[1], colours[3])) << "Anna's blocks";
    EXPECT_FALSE(near(colours[1], colours[2])) << "Anna and the vendor";
    EXPECT_FALSE(near(colours[0], colours[1])) << "the narrator and Anna";
    QTest::keyClick(lesson.sldVideoSlider->View(), Qt::Key_End);
    QTest::qWait(1000);
    EXPECT_TRUE(near(lesson.movOrvMovie->View()->Frame().pixel(2, 60), colours[0])) << "the end";
    // Opening again: a wrong folder leaves the lesson, a key pressed while it
    // starts is carried out once it has.
    const testing::TempDir empty;
    EXPECT_FALSE(player.Open(empty.Path()));
    EXPECT_TRUE(player.HasTool() && Lesson().form->Widget()->isVisible());
    QCoreApplication::postEvent(
        &player.Window(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
    ASSERT_TRUE(player.Open(kSample));
    EXPECT_TRUE(RunUntil(
        [&] { return Lesson().movOrvMovie->State() == qt::Video::PlayState::Playing; }, 2000));
}

// Lesson pages are untrusted: the resources panel reads ordinary files
// inside the lesson folder only, as the page's document asks for them (a
// refusal left to Qt has it read the name itself), follows links to its
// pages only, and refuses names that leave the folder, saying so in the
// host's panel.
TEST(ResourcePanelTest, ReadsNothingFromOutsideTheLessonFolder) {
    const testing::TempDir root;
    QImage picture(300, 300, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const std::string outside = (root.Path() / "outside.png").string();
    ASSERT_TRUE(picture.save(QString::fromStdString(outside)));
    root.Write("outside.htm", "<p>secret</p>");
    root.Write("lesson/next.htm", "<p>next</p>");
    root.Write("lesson/help.htm",
               "<img src=\"inside.png\"><img src=\"" + outside + "\"><img src=\"../outside.png\">" +
                   "<img src=\"away.png\"><img src=\"fifo.png\"><link " +
                   "rel=\"stylesheet\" href=\"fifo.png\"><a href=\"next.htm\">n</a>");
    const auto lesson = root.Path() / "lesson";
    ASSERT_TRUE(
        picture.scaled(60, 60).save(QString::fromStdString((lesson / "inside.png").string())));
    std::filesystem::create_symlink(outside, lesson / "away.png");
    std::filesystem::create_symlink("/dev/null", lesson / "device.htm");
    const std::string fifo = (lesson / "fifo.png").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Whoever opens the FIFO is seen, and let go rather than left waiting.
    std::atomic<bool> laidOut = false;
    std::atomic<bool> opened = false;
    std::thread writer([&] {
        while (!laidOut) {
            if (const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    player::HostWindow window(false);
    window.Resource("Help", 2, "help.htm", lesson);
    auto* page = qobject_cast<QTextBrowser*>(window.Resources()->currentWidget());
    ASSERT_NE(page, nullptr);
    page->document()->setTextWidth(400);
    // The lesson's picture of 60 pixels, none of 300.
    EXPECT_GE(page->document()->size().height(), 60);
    EXPECT_LT(page->document()->size().height(), 100);
    laidOut = true;
    writer.join();
    EXPECT_FALSE(opened);
    for (const char* name : {"away.png", "device.htm", "../outside.htm", "file:///etc/passwd"}) {
        emit page->anchorClicked(QUrl(name));
        EXPECT_TRUE(page->source().path().endsWith("help.htm")) << name;
    }
    emit page->anchorClicked(QUrl("next.htm"));
    EXPECT_TRUE(page->source().path().endsWith("lesson/next.htm"));

    for (const char* value : {"/etc/passwd", "..\\outside.htm"}) {
        window.Resource("Help", 1, value, lesson);
        EXPECT_EQ(page->toPlainText(), "");
        EXPECT_TRUE(window.LogView()->item(window.LogView()->count() - 1)->text().contains(value))
            << value;
    }
}

// A page that would take the player minutes to lay out (25 nested tables
// take for ever) is shown at once as its text, saying why.
TEST(ResourcePanelTest, ShowsACostlyPageAsItsTextAtOnce) {
    const testing::TempDir lesson;
    std::string deep = "<p>Deep</p>";
    for (int i = 0; i < 25; ++i) {
        deep += "<table><tr><td>";
    }
    lesson.Write("deep.htm", deep + "words");
    player::HostWindow window(false);
    window.Resource("Help", 2, "deep.htm", lesson.Path());
    const auto* page = qobject_cast<QTextBrowser*>(window.Resources()->currentWidget());
    ASSERT_NE(page, nullptr);
    page->document()->setTextWidth(400);
    EXPECT_TRUE(page->toPlainText().contains("Deep\nwords")) << page->toPlainText().toStdString();
    EXPECT_TRUE(page->toPlainText().contains("tables more than 8 deep"));
}

// Fitted to the window at any size, and zoomed, the lesson is drawn larger
// or smaller as a whole: the transcript keeps its lines, a click still
// finds its line.
TEST_F(PlayerTest, TheLessonFitsTheWindowAndZoomsAsAWhole) {
    const qt::QtWindow& lesson = Lesson();
    QWidget* form = lesson.form->Widget();
    const QSize own = lesson.form->OwnSize();
    const int32_t lines = lesson.rtfText->LineCount();
    player::Viewing& view = player.View();
    for (const QSize size : {QSize(1280, 800), QSize(700, 450)}) {
        player.Window().resize(size);
        QCoreApplication::processEvents();
        const QRect area = player.Window().Area()->contentsRect();
        const QRect shown = lesson.form->SubWindow()->geometry();
        EXPECT_TRUE(area.contains(shown)) << size.width();
        EXPECT_GT(
            std::max(1.0 * shown.width() / area.width(), 1.0 * shown.height() / area.height()),
            0.97);
        EXPECT_NEAR(form->width(), own.width() * view.Scale(), 1.0);
        EXPECT_NEAR(lesson.rtfText->Widget()->width(),
                    view.Scale() * lesson.rtfText->Width() / 15.0, 1.0);
        EXPECT_EQ(lesson.rtfText->LineCount(), lines);
    }
    const double fit = view.Scale();
    EXPECT_LT(fit, 1.0);
    QTest::keyClick(form, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(form, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.Scale(), fit * 1.25 * 1.25);
    const auto& link = lesson.rtfText->Links().at(4);
    lesson.rtfText->View()->setFocus();  // the keyboard takes link 4 into view
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(lesson.rtfText->View(), Qt::Key_Down);
    }
    const QPoint at = lesson.rtfText->PointOf((link.start + link.end) / 2);
    Mouse(lesson.rtfText->View()->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    Mouse(lesson.rtfText->View()->viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton);
    EXPECT_EQ(lesson.sldVideoSlider->Value(), 4);  // its block, Anna's second
    QTest::keyClick(form, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.Scale(), fit);
}

TEST_F(PlayerTest, CaptionsShowTheLineSpokenAndFindPlaysTheLineFound) {
    const qt::QtWindow& lesson = Lesson();
    QWidget* form = lesson.form->Widget();
    QTest::keyClick(form, Qt::Key_C);
    lesson.rtfText->UserClickLink(1, 1);  // Anna's first line
    const QLabel* caption = nullptr;      // made when there is first a caption to show
    ASSERT_TRUE(RunUntil(
        [&] {
            caption = lesson.movOrvMovie->Widget()->findChild<QLabel*>("captions");
            return caption != nullptr && caption->isVisible() &&
                   caption->text().toStdString() == lesson.rtfText->LinkName(1);
        },
        2000));
    QTest::keyClick(form, Qt::Key_C);
    EXPECT_FALSE(caption->isVisible());

    player::FindBar& find = player.Find();
    QTest::keyClick(form, Qt::Key_F, Qt::ControlModifier);
    QLineEdit* field = find.Field();
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClicks(field, "ANNA");  // in any case
    EXPECT_EQ(find.Status().toStdString(), "1 of 5");
    QTest::keyClick(field, Qt::Key_Up);  // round the start
    EXPECT_EQ(find.Status().toStdString(), "5 of 5");
    QTest::keyClick(field, Qt::Key_F3);
    EXPECT_EQ(find.Status().toStdString(), "1 of 5");
    field->clear();
    QTest::keyClicks(field, "kilo");
    QTest::keyClick(field, Qt::Key_Down);
    ASSERT_EQ(find.Status().toStdString(), "2 of 2");
    const auto& link = lesson.rtfText->Links().at(4);  // "Then a kilo of each, please."
    EXPECT_EQ(lesson.rtfText->Found(), std::pair(link.start + 7, link.start + 11));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(lesson.movOrvMovie->State(), qt::Video::PlayState::Playing);
    EXPECT_EQ(lesson.sldVideoSlider->Value(), 4);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(find.isHidden());
    EXPECT_EQ(lesson.rtfText->Found(), std::pair(0, 0));
}

// Lesson text shows as it is written, never read as markup (which reads
// pictures from anywhere): a line in the captions, the video's name in its
// message, a resource's name on its tab.
TEST(LessonTextTest, ShowsAsItIsWritten) {
    const testing::TempDir root;
    std::filesystem::copy(kSample, root.Path(), std::filesystem::copy_options::recursive);
    root.Write("script.txt",
               "VIDEO <u>gone.avi\nRESOPEN Tips & <b>more</b>,help.htm\nACTOR A\n"
               "TEXT <img src=\"x.png\"> & <b>bold</b>\nAVSTART 0\nAVEND 5\n");
    player::Player player{{.rememberLessons = false}};
    player.Window().show();
    ASSERT_TRUE(player.Open(root.Path()));
    const qt::QtWindow& lesson = player.Lesson();
    QTest::keyClick(lesson.form->Widget(), Qt::Key_C);
    const auto* caption = lesson.movOrvMovie->Widget()->findChild<QLabel*>("captions");
    ASSERT_TRUE(caption != nullptr && caption->isVisible());
    EXPECT_TRUE(caption->text().contains("<img src=\"x.png\"> & <b>bold</b>"));
    EXPECT_EQ(caption->textFormat(), Qt::PlainText);
    const QString tip = lesson.movOrvMovie->View()->toolTip();
    const QString shown =
        Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
    EXPECT_EQ(shown.toStdString(), lesson.movOrvMovie->View()->Message().toStdString());
    EXPECT_EQ(player.Window().Resources()->tabText(0).toStdString(), "Tips && <b>more</b>");
}

}  // namespace
}  // namespace scenova::test
