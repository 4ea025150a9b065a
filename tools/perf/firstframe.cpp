// libvorn-firstframe.so: loaded into a Qt program with LD_PRELOAD, it ends
// the program once its first frame is painted. Just before the end it
// writes "frame <peak memory in KiB>" to the descriptor named by
// VORN_FIRST_FRAME_FD, so that a measuring parent learns when the frame
// was there (it reads the line) and how much memory the program took to
// get there (its VmHWM). The program itself is run unchanged.
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

long peakKiB() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    std::fclose(f);
    return kib;
}

void reportAndEnd() {
    const char* fdText = std::getenv("VORN_FIRST_FRAME_FD");
    const int fd = fdText ? std::atoi(fdText) : 2;
    char line[64];
    const int n = std::snprintf(line, sizeof line, "frame %ld\n", peakKiB());
    (void)!::write(fd, line, static_cast<std::size_t>(n));
    ::_exit(0);
}

class FirstFrame : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The first paint event starts the frame; the queued call runs once
        // the whole frame has been painted and handed to the screen.
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
            seen_ = true;
            QMetaObject::invokeMethod(qApp, &reportAndEnd, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    bool seen_ = false;
};

void watch() {
    qApp->installEventFilter(new FirstFrame);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watch)
