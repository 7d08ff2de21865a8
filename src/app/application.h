// The application object: an error that escapes an event handler is shown
// in the error box and the run goes on.
#pragma once

#include <QApplication>

namespace vertoko {

class TApplication : public QApplication {
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vertoko
