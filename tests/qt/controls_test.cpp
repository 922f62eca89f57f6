// The control contract suites on the Qt controls, driven as a user drives
// them: mouse events on their widgets, real time passing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "qt/ButtonBar.h"
#include "qt/Gdi.h"
#include "qt/RichText.h"
#include "qt/Slider.h"
#include "qt/Timer.h"
#include "qt/Video.h"
#include "tests/controls/button_bar_contract.h"
#include "tests/controls/gdi_contract.h"
#include "tests/controls/keyboard_contract.h"
#include "tests/controls/rich_text_contract.h"
#include "tests/controls/slider_contract.h"
#include "tests/controls/timer_contract.h"
#include "tests/controls/video_contract.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/support/TempDir.h"

namespace scenova::test {
namespace {

struct QtButtonBarFactory {
    QtWorld world;
    qt::Gdi gdi{world.ctx};
    std::shared_ptr<qt::ButtonBar> bar =
        qt::ButtonBar::Create(world.ctx, "frmRose", kTwips, world.window.get(), false, gdi);

    QtButtonBarFactory() {
        bar->Width(6000);
        bar->Height(1000);
    }
    controls::IButtonBar& Bar() { return *bar; }
    // Pictures the bar has no folder for: blanks of 24 pixels, apart.
    std::string Descriptor(int n) { return "2,button.bmp," + std::to_string(10 + 40 * n) + ",5"; }
    QPoint Centre(const std::string& name) { return bar->ButtonRect(name).center(); }
    void Enter(const std::string& name) { Mouse(bar->View(), QEvent::MouseMove, Centre(name)); }
    void Leave(const std::string&) { scenova::test::Leave(bar->View()); }
    void Press(const std::string& name) {
        Mouse(bar->View(), QEvent::MouseButtonPress, Centre(name), Qt::LeftButton);
        Mouse(bar->View(), QEvent::MouseButtonRelease, Centre(name), Qt::LeftButton);
    }
    void ActEnter(const std::string& name) { bar->UserEnter(name); }
    void ActPress(const std::string& name) { bar->UserPress(name); }
};

struct QtSliderFactory {
    QtWorld world;
    std::shared_ptr<qt::Slider> slider =
        qt::Slider::Create(world.ctx, "sldVideoSlider", kTwips, world.window.get());

    QtSliderFactory() {
        slider->Width(3000);
        slider->Height(300);
    }
    controls::ISlider& Slider() { return *slider; }
    QPoint At(int32_t value) {
        return slider->View()->PointOf(std::clamp(value, int32_t{0}, slider->Max()));
    }
    void ThumbDown() {
        Mouse(slider->View(), QEvent::MouseButtonPress, slider->View()->HandleRect().center(),
              Qt::LeftButton);
    }
    void DragTo(int32_t value) {
        Mouse(slider->View(), QEvent::MouseMove, At(value), Qt::LeftButton);
    }
    void ThumbUp() {
        Mouse(slider->View(), QEvent::MouseButtonRelease, slider->View()->HandleRect().center(),
              Qt::LeftButton);
    }
    // A click on the track where value lies; where the thumb is, right
    // beside it (on the thumb it would be a press of the thumb).
    void ClickTo(int32_t value) {
        QPoint at = At(value);
        const QRect thumb = slider->View()->HandleRect();
        if (thumb.contains(at)) {
            const int aside = thumb.width() / 2 + 2;
            at.rx() += at.x() - aside > 0 ? -aside : aside;
        }
        Mouse(slider->View(), QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(slider->View(), QEvent::MouseButtonRelease, at, Qt::LeftButton);
    }
};

struct QtRichTextFactory {
    QtWorld world;
    std::shared_ptr<qt::RichText> text =
        qt::RichText::Create(world.ctx, "rtfText", kTwips, world.window.get());

    QtRichTextFactory() {
        text->Width(4000);
        text->Height(3000);
    }
    controls::IRichText& Text() { return *text; }
    void Load(const std::vector<std::string>& lines) { text->RTFContent(Rtf(lines)); }
    bool IsHighlighted(int32_t position) { return text->ShowsHighlighted(position); }
    QPoint OnLink(int32_t n) {
        const auto& link = text->Links().at(static_cast<std::size_t>(n));
        return text->PointOf((link.start + link.end) / 2);
    }
    void EnterLink(int32_t n) { Mouse(text->View()->viewport(), QEvent::MouseMove, OnLink(n)); }
    void LeaveLink(int32_t) { scenova::test::Leave(text->View()->viewport()); }
    void ClickLink(int32_t n, int16_t button) {
        const Qt::MouseButton which = button == 2 ? Qt::RightButton : Qt::LeftButton;
        Mouse(text->View()->viewport(), QEvent::MouseButtonPress, OnLink(n), which);
        Mouse(text->View()->viewport(), QEvent::MouseButtonRelease, OnLink(n), which);
    }
    void ActEnterLink(int32_t n) { text->UserEnterLink(n); }
    void Focus() {
        QApplication::setActiveWindow(world.window.get());
        text->View()->setFocus(Qt::TabFocusReason);
    }
    void Blur() { text->View()->clearFocus(); }
    void Press(model::RichText::Key key) {
        QTest::keyClick(text->View(), key == model::RichText::Key::Up     ? Qt::Key_Up
                                      : key == model::RichText::Key::Down ? Qt::Key_Down
                                                                          : Qt::Key_Return);
    }
};

// 6.0 seconds long.
const std::string kMovie = std::string(SCENOVA_SOURCE_DIR) + "/tests/data/six_seconds.avi";

struct QtVideoFactory {
    static constexpr double kPositionSlack = 0.05;

    QtWorld world;
    std::shared_ptr<qt::Video> video =
        qt::Video::Create(world.ctx, "movOrvMovie", kTwips, world.window.get());

    controls::IVideo& Video() { return *video; }
    std::string MoviePath() { return kMovie; }
    std::string MissingPath() { return kMovie + ".missing"; }
    // Time as the video keeps it: while it plays, the media's own clock (a
    // real player takes a moment to start and may stall); else the wall
    // clock.
    void Advance(int64_t ms) {
        QElapsedTimer wall;
        wall.start();
        double passed = 0;
        double media = video->CurrentPosition();
        qint64 last = 0;
        while (passed < static_cast<double>(ms) && wall.elapsed() < ms + 5000) {
            QTest::qWait(2);
            const qint64 now = wall.elapsed();
            const double position = video->CurrentPosition();
            passed += video->State() == qt::Video::PlayState::Playing
                          ? std::max(0.0, position - media) * 1000.0
                          : static_cast<double>(now - last);
            media = position;
            last = now;
        }
    }
    void Deliver() { QCoreApplication::processEvents(); }
};

struct QtTimerFactory {
    static constexpr int64_t kSlackMs = 120;

    QtWorld world;
    std::shared_ptr<qt::Timer> timer = qt::Timer::Create(world.ctx, "ExitTimer");
    QElapsedTimer clock;

    QtTimerFactory() { clock.start(); }
    ITimer& Timer() { return *timer; }
    void Advance(int64_t ms) { QTest::qWait(static_cast<int>(ms)); }
    int64_t NowMs() { return clock.elapsed(); }
};

// A bar's buttons that share a picture share one decoded copy of it, counted
// once against the lesson's budget; a picture refused for want of memory is
// told, not only left blank.
TEST(QtBarPictures, ShareOneDecodedCopyAndTellARefusal) {
    const testing::TempDir dir;
    QByteArray bmp;
    QBuffer buffer(&bmp);
    ASSERT_TRUE(QImage(16, 8, QImage::Format_RGB32).save(&buffer, "BMP"));
    dir.Write("one.bmp", bmp.toStdString());
    // The same header, claiming 16384 by 4097 pixels.
    dir.Write("huge.bmp",
              bmp.replace(18, 8, QByteArray::fromHex("0040000001100000")).toStdString());
    QtWorld world;
    qt::Gdi gdi{world.ctx};
    std::vector<std::string> told;
    gdi.onPictureRefused = [&](const std::string& path, const RuntimeError& error) {
        told.push_back(path.substr(path.rfind('/') + 1) + " " + std::to_string(error.number()));
    };
    auto bar = qt::ButtonBar::Create(world.ctx, "frmRose", kTwips, world.window.get(), false, gdi);
    bar->ImageFolder(dir.Path().string());
    for (int n = 0; n < 14; ++n) {
        bar->AddButton("b" + std::to_string(n), "2,one.bmp,0,0");
    }
    bar->AddButton("big", "2,huge.bmp,0,20");
    EXPECT_EQ(gdi.PicturePixels(), 16 * 8);
    EXPECT_EQ(told, std::vector<std::string>{"huge.bmp 7"});
}

// Videos whose headers are sound but whose media cannot be played to the
// end (a codec nobody has; a file cut short), and one that is missing: the
// learner is told over the picture; playback stops as a range's end does.
TEST(QtVideoFailures, StopWithNotifyAndAreShownToTheLearner) {
    const testing::TempDir dir;
    QFile movie(QString::fromStdString(kMovie));
    ASSERT_TRUE(movie.open(QIODevice::ReadOnly));
    const QByteArray bytes = movie.readAll();
    dir.Write("zzzz.avi", QByteArray(bytes).replace("FMP4", "ZZZZ").toStdString());
    dir.Write("cut.avi", bytes.left(8700).toStdString());
    QtVideoFactory f;
    int notified = 0;
    std::vector<std::string> told;
    f.video->Advise({.Notify = [&] { ++notified; }, .SignalEvent = nullptr});
    f.video->onFailure = [&](const std::string& text) { told.push_back(text); };
    const auto message = [&] { return f.video->View()->Message().toStdString(); };

    EXPECT_FALSE(f.video->OpenMovie(dir.Folder() + "missing.avi", 0));
    EXPECT_EQ(message(), "The lesson's video missing.avi is missing.");
    for (const char* file : {"zzzz.avi", "cut.avi"}) {
        ASSERT_TRUE(f.video->OpenMovie(dir.Folder() + file, 0)) << file;
        EXPECT_EQ(message(), "");
        ASSERT_TRUE(f.video->PlayRange(0, f.video->Duration(), false));
        ASSERT_TRUE(RunUntil([&] { return std::exchange(notified, 0) > 0; }, 10000)) << file;
        EXPECT_EQ(f.video->State(), qt::Video::PlayState::Stopped);
        ASSERT_FALSE(told.empty()) << file;
        EXPECT_EQ(message(), told.back());
    }
    EXPECT_EQ(told.size(), 2u);
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, ButtonBarContract, QtButtonBarFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, SliderContract, QtSliderFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, RichTextContract, QtRichTextFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, KeyboardContract, QtRichTextFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, VideoContract, QtVideoFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, TimerContract, QtTimerFactory);
using QtGdiFactory = GdiFactory<qt::Context, qt::Gdi>;
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, GdiContract, QtGdiFactory);

}  // namespace scenova::test
