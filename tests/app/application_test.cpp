// An error thrown inside an event handler is shown in the error box and the
// application goes on. Runs its own application object, not the shared one.
#include "app/application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <stdexcept>

namespace vertoko {
namespace {

class Thrower : public QObject {
  public:
    int handled = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++handled;
        throw std::runtime_error("ファイル /x/y.ini を作成できません");
    }
};

TEST(TApplication, EscapingErrorIsShownAndTheRunGoesOn) {
    int argc = 1;
    char name[] = "application_test";
    char* argv[] = {name, nullptr};
    TApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vertoko for Windows"));

    QStringList shown;
    QString title;
    // The error box is modal: note what it shows and close it from inside
    // its own event loop.
    auto closeBox = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown << box->text();
        title = box->windowTitle();
        box->done(QMessageBox::Ok);
    };

    Thrower thrower;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, closeBox);
        QEvent event(QEvent::User);
        EXPECT_NO_THROW(QCoreApplication::sendEvent(&thrower, &event));
    }
    EXPECT_EQ(thrower.handled, 2);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("ファイル /x/y.ini を作成できません"),
                                  QStringLiteral("ファイル /x/y.ini を作成できません")}));
    EXPECT_EQ(title, QStringLiteral("Vertoko for Windows"));
}

}  // namespace
}  // namespace vertoko
