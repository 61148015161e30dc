#pragma once

#include <QDialog>
#include <QString>

class CCookieSync;
class QLineEdit;
class QPushButton;
class QWebEngineView;

// The login browser: the user logs in to a service's own site here. Its cookies are mirrored into
// the shared cookie store (see CCookieSync), so the next request of every adapter carries the
// session. The address row sits above the browser; on resizing, the browser takes the rest of
// the window and the button "打开" stays at the right edge.
class CDlgWebOpen : public QDialog {
    Q_OBJECT
public:
    CDlgWebOpen(CCookieSync& cookies, QWidget* parent);

    // The address opened when the dialog is shown; empty: the clipboard's text is offered.
    QString m_strStartUrl;

    // The button "打开": opens the address of the address field.
    void Navigate();
    QWebEngineView* Browser() const { return m_browser; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void InitialiseOnce();

    QLineEdit* m_address;
    QPushButton* m_open;
    QWebEngineView* m_browser;
    bool m_initialised = false;
};
