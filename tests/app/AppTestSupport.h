#pragma once
// One QApplication for the app tests, a recording stand-in for the boxes and
// dialogs, and a main window living in a temporary home.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSaveFile>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Main.h"
#include "TestUtil.h"
#include "UserDialogs.h"

// Qt's own entry for a key press that may be a short-cut, as its test
// library uses it; exported by QtGui.
bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
    const QString& text, bool autorep, ushort count);

namespace velumo::test {

// The offscreen desktop of the app tests: a 1600 × 1000 screen like the
// virtual X display the pictures are taken on, and right of it a small
// 800 × 500 screen at scale factor 2.
inline void useTestDesktop()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen")
        return;
    // Replaced whole, so test programs running side by side read it intact.
    const QString config = QDir::temp().filePath(QStringLiteral("velumo-app-tests-desktop.json"));
    QSaveFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(R"({ "windowFrameMargins": true, "screens": [
        { "name": "big", "x": 0, "y": 0, "width": 1600, "height": 1000, "dpr": 1 },
        { "name": "small", "x": 1600, "y": 0, "width": 800, "height": 500, "dpr": 2 } ] })");
    if (!file.commit())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
}

inline QApplication& appInstance()
{
    static int argc = 1;
    static char name[] = "velumo_app_tests";
    static char* argv[] = { name, nullptr };
    static const bool desktop = (useTestDesktop(), true);
    (void)desktop;
    // Never destroyed: tearing Qt down from a static destructor at exit
    // runs its clean-up routines after their libraries' statics are gone.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A key pressed while `focus` has the keyboard: short-cuts first.
inline void pressKey(QWidget* focus, int key)
{
    if (!qt_sendShortcutOverrideEvent(focus, 0, key, Qt::NoModifier, QString(), false, 1)) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
    }
    QApplication::processEvents();
}

inline void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Until the live mode has drawn the latest inputs (at most five seconds).
inline bool waitForLive(const TMainForm& form)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (form.liveIdle()) {
            settle();
            if (form.liveIdle())
                return true;
        }
    }
    return false;
}

struct ShownMessage {
    QString caption;
    QString text;
};

struct FileDialogCall {
    QString title;
    QString folderOrPreset;
    QString filter;
    QString suffix;
};

// Answers from queues; records every call. An empty queue answers "cancel"
// (no file, Cancel or No). `before` sees the calls "message", "open" and
// "save" first and may throw.
class FakeDialogs : public UserDialogs {
public:
    std::function<void(std::string_view call)> before;
    std::vector<ShownMessage> messages;
    std::vector<ShownMessage> questions;
    std::vector<bool> questionsWithCancel;
    std::deque<Answer> answers;
    std::vector<FileDialogCall> fileDialogs;
    std::deque<QString> files;
    std::vector<QString> opened;
    std::function<int(QDialog&)> onDialog;
    std::vector<QString> dialogTitles;

    void message(QWidget*, const QString& caption, const QString& text) override
    {
        call("message");
        messages.push_back({ caption, text });
    }
    Answer question(QWidget*, const QString& caption, const QString& text, bool withCancel) override
    {
        questions.push_back({ caption, text });
        questionsWithCancel.push_back(withCancel);
        return next(answers, withCancel ? Answer::Cancel : Answer::No);
    }
    QString openFileName(
        QWidget*, const QString& title, const QString& startFolder, const QString& filter) override
    {
        call("open");
        fileDialogs.push_back({ title, startFolder, filter, QString() });
        return next(files, QString());
    }
    QString saveFileName(QWidget*, const QString& title, const QString& preset, const QString& filter,
        const QString& suffix) override
    {
        call("save");
        fileDialogs.push_back({ title, preset, filter, suffix });
        return next(files, QString());
    }
    void openWithDesktop(const QString& path) override { opened.push_back(path); }
    int execDialog(QDialog& dialog) override
    {
        dialogTitles.push_back(dialog.windowTitle());
        return onDialog ? onDialog(dialog) : QDialog::Rejected;
    }

private:
    void call(std::string_view name)
    {
        if (before)
            before(name);
    }
    template <typename T> static T next(std::deque<T>& queue, T whenEmpty)
    {
        if (queue.empty())
            return whenEmpty;
        T front = queue.front();
        queue.pop_front();
        return front;
    }
};

// A temporary home with config and documents folders, and the window shown
// in it; the real home is never touched.
class WindowHarness {
public:
    TempDir home;
    FakeDialogs dialogs;
    std::unique_ptr<TMainForm> form;

    WindowHarness()
    {
        appInstance();
        std::filesystem::create_directories(home.path() / "config");
        std::filesystem::create_directories(home.path() / "docs");
        std::filesystem::create_directories(home.path() / "bin");
    }

    Environment environment() const
    {
        Environment env;
        env.home = home.path().string();
        env.xdgConfigHome = home.file("config");
        env.xdgDocumentsDir = home.file("docs");
        env.executablePath = home.file("bin/velumo");
        return env;
    }

    TMainForm& start(const Environment& env)
    {
        form = std::make_unique<TMainForm>(env, &dialogs);
        form->show();
        form->activateWindow();
        for (int i = 0; i < 50 && !form->isActiveWindow(); ++i)
            QApplication::processEvents();
        return *form;
    }
    TMainForm& start() { return start(environment()); }

    std::string settingsDir() const { return home.file("config") + "/Velumo"; }

    template <typename W = QWidget> W* find(const char* name) const
    {
        return form->findChild<W*>(QString::fromLatin1(name));
    }

    // Replaces the text as typing does (the box sees key presses).
    void type(const char* box, const QString& text)
    {
        auto* e = find<QLineEdit>(box);
        ASSERT_NE(e, nullptr) << box;
        e->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        e->selectAll();
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(e, &press);
        }
    }

    // Moves the focus to the start button, which leaves the box in focus.
    void leave()
    {
        find<QWidget>("ButtonStart")->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    void typeAndLeave(const char* box, const QString& text)
    {
        type(box, text);
        leave();
    }

    QString text(const char* box) const { return find<QLineEdit>(box)->text(); }
};

} // namespace velumo::test
