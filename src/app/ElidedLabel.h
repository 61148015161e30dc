#pragma once

#include <QLabel>

// A one-line label that never widens the window: a text longer than its room ends in "…", and
// the whole text is its tooltip. text() stays the whole text.
class CElidedLabel : public QLabel {
public:
    explicit CElidedLabel(QWidget* parent = nullptr);
    void SetFullText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};
