#include <gtest/gtest.h>

// Qt's headers before Xlib's, whose macros (Bool, Status) they cannot live with.
#include "XErrorLog.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

namespace {

// A client that sends pictures through shared memory, as libmpv's X11 output does.
class SharedPictureClient {
public:
    SharedPictureClient() : m_display(XOpenDisplay(nullptr)) {
        if (!m_display || !XShmQueryExtension(m_display))
            return;
        const int screen = DefaultScreen(m_display);
        m_image =
            XShmCreateImage(m_display, DefaultVisual(m_display, screen),
                            DefaultDepth(m_display, screen), ZPixmap, nullptr, &m_segment, 16, 16);
        m_segment.shmid =
            shmget(IPC_PRIVATE, m_image->bytes_per_line * m_image->height, IPC_CREAT | 0600);
        m_segment.shmaddr = m_image->data = static_cast<char*>(shmat(m_segment.shmid, nullptr, 0));
        XShmAttach(m_display, &m_segment);
        m_window =
            XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 16, 16, 0, 0, 0);
        m_gc = XCreateGC(m_display, m_window, 0, nullptr);
        m_completion = XShmGetEventBase(m_display) + ShmCompletion;
    }

    ~SharedPictureClient() {
        if (!m_image)
            return;
        XFreeGC(m_display, m_gc);
        XShmDetach(m_display, &m_segment);
        XSync(m_display, False);
        XDestroyImage(m_image);
        shmdt(m_segment.shmaddr);
        shmctl(m_segment.shmid, IPC_RMID, nullptr);
        XCloseDisplay(m_display);
    }

    bool ready() const { return m_image != nullptr; }
    void destroyWindow() { XDestroyWindow(m_display, m_window); }
    void sendPicture() {
        XShmPutImage(m_display, m_window, m_gc, m_image, 0, 0, 0, 0, 16, 16, True);
    }

    // Waits for the server to have answered everything sent, and counts the pictures reported
    // done.
    int picturesDone() {
        XSync(m_display, False);
        int done = 0;
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == m_completion)
                ++done;
        }
        return done;
    }

private:
    Display* m_display;
    XShmSegmentInfo m_segment{};
    XImage* m_image = nullptr;
    Window m_window = 0;
    GC m_gc = nullptr;
    int m_completion = 0;
};

// libmpv's output sends a third picture only once two are reported done: a picture the server
// refuses, into a window that went away, must be reported done too, or the output waits forever.
TEST(RefusedPicture, IsReportedDoneAsTheServerReportsAnAcceptedOne) {
    keepXErrorsFromEndingTheProcess([] { std::abort(); });
    SharedPictureClient client;
    if (!client.ready())
        GTEST_SKIP() << "the X server shares no memory with its clients";
    client.sendPicture();
    ASSERT_EQ(client.picturesDone(), 1);

    client.destroyWindow();
    client.sendPicture();
    client.sendPicture();
    EXPECT_EQ(client.picturesDone(), 2);
}

}  // namespace
