#include "app/DlgWebOpen.h"

#include "app/CookieSync.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {
constexpr int kMargin = 6;
constexpr int kRowHeight = 26;
constexpr int kGap = 5; // between the address field and "打开"
} // namespace

CDlgWebOpen::CDlgWebOpen(CCookieSync& cookies, QWidget* parent) : QDialog(parent)
{
    setObjectName(u"133"_s);
    setWindowTitle(u"登录成功后手动关闭对话框"_s);
    setSizeGripEnabled(true);
    auto* label = new QLabel(u"网址："_s, this);
    label->setGeometry(kMargin, kMargin, 40, kRowHeight);
    m_address = new QLineEdit(this);
    m_address->setObjectName(u"1001"_s);
    m_open = new QPushButton(u"打开"_s, this);
    m_open->setObjectName(u"1026"_s);
    m_open->setDefault(true);
    m_browser = new QWebEngineView(this);
    m_browser->setObjectName(u"1025"_s);
    cookies.AttachBrowserProfile(*m_browser->page()->profile());

    const int width = 900;
    m_open->setGeometry(width - 80, kMargin, 80, kRowHeight);
    m_address->setGeometry(label->geometry().right() + 1, kMargin, m_open->x() - kGap - label->geometry().right() - 1,
                           kRowHeight);
    m_browser->move(0, kMargin * 2 + kRowHeight);
    resize(width, 640);
    connect(m_open, &QPushButton::clicked, this, &CDlgWebOpen::Navigate);
}

void CDlgWebOpen::Navigate()
{
    const QString address = m_address->text().trimmed();
    if (!address.isEmpty()) m_browser->load(QUrl::fromUserInput(address));
}

void CDlgWebOpen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    InitialiseOnce();
}

void CDlgWebOpen::InitialiseOnce()
{
    if (m_initialised) return;
    m_initialised = true;
    if (const QWidget* owner = parentWidget()) move(owner->window()->geometry().center() - rect().center());
    if (m_strStartUrl.isEmpty()) {
        m_address->setText(QGuiApplication::clipboard()->text().trimmed());
        return;
    }
    m_address->setText(m_strStartUrl);
    Navigate();
}

void CDlgWebOpen::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const QSize size = event->size();
    // The browser keeps its top-left corner and reaches the right and bottom edges; the button
    // keeps its right edge on the window's; the field ends a few pixels before the button.
    m_browser->resize(size.width() - m_browser->x(), size.height() - m_browser->y());
    m_open->move(size.width() - kMargin - m_open->width(), m_open->y());
    m_address->resize(m_open->x() - kGap - m_address->x(), m_address->height());
}
