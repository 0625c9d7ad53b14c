#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QString>
#include <QTest>

#include "MpvVideoWidget.h"
#include "PictureHold.h"

namespace {

// A window inside the video widget, drawn by a connection of its own, as libmpv draws its
// picture into the player's window.
class ForeignPicture {
public:
    explicit ForeignPicture(xcb_window_t parent, int width, int height)
        : m_connection(xcb_connect(nullptr, nullptr)), m_width(width), m_height(height) {
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, parent, 0, 0,
                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(m_connection, m_window);
        m_gc = xcb_generate_id(m_connection);
        xcb_create_gc(m_connection, m_gc, m_window, 0, nullptr);
    }
    ~ForeignPicture() { xcb_disconnect(m_connection); }

    // Drawn and carried out by the server when this returns.
    void fill(std::uint32_t rgb) {
        xcb_change_gc(m_connection, m_gc, XCB_GC_FOREGROUND, &rgb);
        const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(m_width),
                                  static_cast<std::uint16_t>(m_height)};
        xcb_poly_fill_rectangle(m_connection, m_window, m_gc, 1, &all);
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_window = 0;
    xcb_gcontext_t m_gc = 0;
    int m_width;
    int m_height;
};

QString centreOnScreen(QWidget& widget) {
    const QPoint centre = widget.mapToGlobal(widget.rect().center());
    const QImage shot = widget.screen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage();
    return QColor(shot.pixel(0, 0)).name();
}

class PictureHoldTest : public testing::Test {
protected:
    PictureHoldTest() {
        widget.resize(160, 90);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }
    MpvVideoWidget widget;
};

TEST_F(PictureHoldTest, ScreenKeepsTheHeldPictureUntilTheReleaseShowsTheLatest) {
    ForeignPicture picture(static_cast<xcb_window_t>(widget.nativeId()), 160, 90);
    picture.fill(0xff0000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return centreOnScreen(widget) == "#ff0000"; }, 2000));

    widget.holdPicture();
    picture.fill(0x00ff00);
    picture.fill(0x0000ff);
    QTest::qWait(100);  // the widget's window is told its area is uncovered now
    EXPECT_EQ(centreOnScreen(widget), "#ff0000");

    PictureHold::together([&] { widget.releasePicture(); });
    EXPECT_EQ(centreOnScreen(widget), "#0000ff");
    QTest::qWait(100);
    EXPECT_EQ(centreOnScreen(widget), "#0000ff");
}

}  // namespace
