#pragma once

#include <QApplication>

// The application object: no exception ever crosses an event handler
// unreported; a database failure raised anywhere in a window ends here.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
