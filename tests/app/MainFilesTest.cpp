// Velumo on the desktop: Qt's German texts, the icons of the boxes, projects
// from the command line, from a drop and from "Zuletzt geöffnet", and the
// manual.

#include <QAction>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

#include "About.h"
#include "AppTestSupport.h"
#include "Application.h"
#include "GraphSet.h"
#include "SkizzeWindow.h"
#include "WindowPlacement.h"

namespace velumo {
namespace {

TEST(Application, qtSpeaksGermanAndEveryBoxShowsItsKind)
{
    ASSERT_TRUE(setUpApplication(test::appInstance()));
    EXPECT_FALSE(QApplication::windowIcon().pixmap(32, 32).isNull());

    const auto question = questionBox(nullptr, "Hinweis", "Aktuelle Datei speichern?", true);
    EXPECT_EQ(question->icon(), QMessageBox::Question);
    EXPECT_EQ(question->button(QMessageBox::Cancel)->text(), "Abbrechen");
    EXPECT_EQ(question->button(QMessageBox::No)->text(), "&Nein");
    EXPECT_EQ(messageBox(nullptr, "Fehler", "x")->icon(), QMessageBox::Critical);
    EXPECT_EQ(messageBox(nullptr, "Hinweis", "x")->icon(), QMessageBox::Information);

    QFileDialog dialog(nullptr, "Projekt öffnen", QString(), projectFilter());
    EXPECT_EQ(dialog.labelText(QFileDialog::LookIn), "Suchen in:");
    EXPECT_EQ(dialog.nameFilters(), QStringList { "Velumo-Projekt (*.vlm)" });
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    EXPECT_TRUE(menu->actions().constFirst()->text().startsWith("&Rückgängig"));
}

class MainFiles : public ::testing::Test {
protected:
    QString project(const char* name, const std::string& qes)
    {
        const std::string path = h.home.file("docs") + "/" + name;
        test::writeBytes(path,
            "[Lautsprecher]\r\nelektrische Güte=" + qes
                + "\r\n[Plotoptionen]\r\nSPLLeft=700\r\nSPLTop=400\r\nSPLWidth=420\r\nSPLHeight=300\r\n");
        return QString::fromStdString(path);
    }

    // Drags the file over the widget and drops it there; false when the drag
    // was refused.
    static bool drop(QWidget* w, const QString& path)
    {
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(path) });
        data.setText(path); // as file managers offer it, so an edit box would take it
        const QPoint at(w->width() / 2, w->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &dropped);
        test::settle();
        return dropped.isAccepted();
    }

    QStringList recent() const
    {
        emit h.find<QMenu>("Datei1")->aboutToShow();
        QStringList paths;
        for (QAction* a : h.form->recentMenu()->actions())
            paths << a->data().toString();
        return paths;
    }

    test::WindowHarness h;
};

TEST_F(MainFiles, commandLineOpensTheProjectAfterTheWindowsArePlaced)
{
    const QString path = project("start.vlm", "0.42");
    h.form = std::make_unique<TMainForm>(h.environment(), &h.dialogs);
    h.form->openAtStart(path);
    h.form->show();
    test::settle();
    EXPECT_EQ(h.form->windowTitle(), "Velumo  " + path);
    EXPECT_EQ(h.text("EditQes"), "0.42");
    EXPECT_EQ(outerFrame(&h.form->graphs().spl()), QRect(700, 400, 420, 300));
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(MainFiles, aProjectDroppedOnAnyWindowOpensAfterTheQuestionOtherFilesAreRefused)
{
    TMainForm& form = h.start();
    const QString first = project("first.vlm", "0.42");
    h.typeAndLeave("EditQes", "0.5");
    h.dialogs.answers.push_back(UserDialogs::Answer::Cancel);
    EXPECT_TRUE(drop(&form.sketchForm(), first));
    EXPECT_EQ(h.dialogs.questions.size(), 1u);
    EXPECT_EQ(h.text("EditQes"), "0.5");

    h.dialogs.answers.push_back(UserDialogs::Answer::No);
    EXPECT_TRUE(drop(&form.graphs().zel(), first));
    EXPECT_EQ(form.windowTitle(), "Velumo  " + first);
    EXPECT_EQ(h.text("EditQes"), "0.42");

    // Any other file: refused, also by the edit boxes, which would take its name.
    const std::string text = h.home.file("docs") + "/notes.txt";
    test::writeBytes(text, "[Lautsprecher]\r\nelektrische Güte=0.7\r\n");
    EXPECT_FALSE(drop(h.find<QLineEdit>("EditQes"), QString::fromStdString(text)));
    EXPECT_FALSE(drop(&form, QString::fromStdString(text)));
    EXPECT_EQ(h.text("EditQes"), "0.42");

    // A project that is gone: a message, and the design stays as it was.
    EXPECT_TRUE(drop(&form, QString::fromStdString(h.home.file("docs") + "/gone.vlm")));
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Fehler");
    EXPECT_TRUE(h.dialogs.messages[0].text.endsWith("gone.vlm existiert nicht."));
    EXPECT_EQ(h.text("EditQes"), "0.42");
    EXPECT_EQ(form.windowTitle(), "Velumo  " + first);
    EXPECT_EQ(h.dialogs.questions.size(), 2u);
}

TEST_F(MainFiles, recentProjectsOpenNewestFirstAndAVanishedOneIsDropped)
{
    TMainForm& form = h.start();
    const QString a = project("a.vlm", "0.31");
    const QString b = project("b.vlm", "0.32");
    form.openProjectFile(a);
    form.openProjectFile(b);
    const QString c = QString::fromStdString(h.home.file("docs") + "/c.vlm");
    h.dialogs.files.push_back(c);
    form.action("DateiSpeichernUnter")->trigger();
    EXPECT_EQ(recent(), (QStringList { c, b, a }));

    form.recentMenu()->actions().at(2)->trigger();
    EXPECT_EQ(h.text("EditQes"), "0.31");
    EXPECT_EQ(recent(), (QStringList { a, c, b }));

    QAction* vanishing = form.recentMenu()->actions().at(2);
    std::filesystem::remove(b.toStdString());
    vanishing->trigger();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Fehler");
    EXPECT_EQ(h.text("EditQes"), "0.31");
    EXPECT_EQ(recent(), (QStringList { a, c }));
}

TEST_F(MainFiles, handbuchOpensTheInstalledManualOrSaysWhereItLooked)
{
    TMainForm& form = h.start();
    const std::string manual = h.home.file("share/velumo/manual/index.html");
    test::pressKey(h.find<QWidget>("EditQes"), Qt::Key_F1);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Hinweis");
    EXPECT_TRUE(h.dialogs.messages[0].text.contains(QString::fromStdString(manual)));
    EXPECT_TRUE(form.aboutBox().contactText().contains(QString::fromStdString(manual)));
    EXPECT_TRUE(h.dialogs.opened.empty());

    std::filesystem::create_directories(h.home.file("share/velumo/manual"));
    test::writeBytes(manual, "<html></html>");
    form.action("Handbuch")->trigger();
    EXPECT_EQ(h.dialogs.opened, (std::vector<QString> { QString::fromStdString(manual) }));
}

} // namespace
} // namespace velumo
