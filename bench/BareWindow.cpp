// The baseline of the launch and idle benchmarks: a bare Qt Widgets window with one line of
// text, which says when its first paint has reached the screen, as the program does.
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

class AnnounceFirstPaint final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [] { std::fprintf(stderr, "window shown\n"); });
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Parlivox"));
    window.resize(800, 720);
    AnnounceFirstPaint announce;
    window.installEventFilter(&announce);
    window.show();
    return QApplication::exec();
}
