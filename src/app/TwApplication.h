#pragma once
#include <QApplication>

namespace tw {

// The program's application object: no exception may leave a Qt event
// handler, so whatever a handler lets escape is reported here and dropped.
class TwApplication : public QApplication {
public:
    TwApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace tw
