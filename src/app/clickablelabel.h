#pragma once

#include <QLabel>

// A label that answers a click of the left button, like the connection indicator of the main window.
class EtichettaCliccabile : public QLabel
{
    Q_OBJECT

public:
    explicit EtichettaCliccabile(QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
