#include "platform/WindowPresenter.h"

#include "platform/Display.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace kavel {

namespace {

// Ends a local event loop when the watched window hides or goes.
class CloseWatcher : public QObject {
  public:
    CloseWatcher(QWidget* window, QEventLoop* loop) : loop_(loop) {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, loop, &QEventLoop::quit);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) loop_->quit();
        return false;
    }

  private:
    QEventLoop* loop_;
};

}  // namespace

void WindowPresenter::Opened(QWidget* window) {
    if (!screenshotDir.isEmpty()) {
        QDir().mkpath(screenshotDir);
        const QString name =
            window->objectName().isEmpty() ? QStringLiteral("window") : window->objectName();
        window->grab().save(
            QDir(screenshotDir)
                .filePath(QString("%1-%2.png").arg(++shots_, 2, 10, QChar('0')).arg(name)));
    }
    if (onOpen) onOpen(window);
}

void ScreenPresenter::ShowModal(QWidget* window) {
    QPointer<QWidget> guard(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
    QEventLoop loop;
    CloseWatcher watcher(window, &loop);
    // Let the window paint once before it is pictured.
    QTimer::singleShot(50, &loop, [this, guard] {
        if (guard) Opened(guard);
    });
    if (guard && guard->isVisible()) loop.exec();
}

void ScreenPresenter::Show(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    QPointer<QWidget> guard(window);
    QTimer::singleShot(50, window, [this, guard] {
        if (guard) Opened(guard);
    });
}

void HeadlessPresenter::ShowModal(QWidget* window) {
    // Lay the window out as it would open, picture it, and close it again.
    window->setAttribute(Qt::WA_DontShowOnScreen, true);
    window->show();
    QCoreApplication::sendPostedEvents();
    Opened(window);
    window->hide();
}

void HeadlessPresenter::Show(QWidget* window) {
    window->setAttribute(Qt::WA_DontShowOnScreen, true);
    window->show();
    QCoreApplication::sendPostedEvents();
    Opened(window);
}

}  // namespace kavel
