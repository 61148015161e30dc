#pragma once

#include <QWidget>

// The window shown while the program starts: a drawn card with the product's name and a line of
// text in white.
class CSplashWindow : public QWidget {
    Q_OBJECT
public:
    CSplashWindow();

    // Fades the window out over 200 ms, then deletes it.
    void FadeOut();

protected:
    void paintEvent(QPaintEvent* event) override;
};
