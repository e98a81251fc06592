#include "ParamWindow.h"

#include <QFont>

namespace velumo {

namespace {

constexpr QSize kClient(321, 177);
constexpr QRect kMemo1(4, 4, 152, 169);
constexpr QRect kMemo2(164, 3, 152, 169);

QPlainTextEdit* makeMemo(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->document()->setDocumentMargin(0);
    memo->setGeometry(geometry);
    return memo;
}

QStringList toQt(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& line : lines)
        list << QString::fromStdString(line);
    return list;
}

} // namespace

TParamForm::TParamForm(QWidget* parent)
    : ResultWindow(WindowId::Param, kClient, false, QSize(), parent)
{
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    // Lines 14 pixels apart, as the height rule expects.
    font.setPixelSize(11);
    setFont(font);
    m_memo1 = makeMemo(this, QStringLiteral("Memo1"), kMemo1);
    m_memo2 = makeMemo(this, QStringLiteral("Memo2"), kMemo2);
    setBackground(palette().color(QPalette::Window));
    setFixedSize(kClient);
}

void TParamForm::setLines(const QStringList& left, const QStringList& right)
{
    m_memo1->setPlainText(left.join(QLatin1Char('\n')));
    m_memo2->setPlainText(right.join(QLatin1Char('\n')));
    setFixedSize(kClient.width(), 14 * static_cast<int>(left.size()) + 15);
}

void TParamForm::setLines(const std::vector<std::string>& left, const std::vector<std::string>& right)
{
    setLines(toQt(left), toQt(right));
}

void TParamForm::clearLines()
{
    m_memo1->clear();
    m_memo2->clear();
}

void TParamForm::setBackground(const QColor& colour)
{
    for (QWidget* w :
        { static_cast<QWidget*>(this), static_cast<QWidget*>(m_memo1), static_cast<QWidget*>(m_memo2) }) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, colour);
        pal.setColor(QPalette::Base, colour);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    }
}

void TParamForm::layoutChildren()
{
    if (!m_memo1)
        return;
    // The columns grow with the window so that every line stays visible.
    const int extra = height() - kClient.height();
    m_memo1->resize(kMemo1.width(), qMax(0, kMemo1.height() + extra));
    m_memo2->resize(kMemo2.width(), qMax(0, kMemo2.height() + extra));
}

} // namespace velumo
