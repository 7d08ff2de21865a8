// The running instance's end of the socket beside the single-instance lock:
// a second start sends the file it was given as one line, and the handler
// gets it here.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace vertoko {

class InstanceServer : public QObject {
    Q_OBJECT

  public:
    using Handler = std::function<void(const QString& file)>;

    InstanceServer(Handler handler, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens at socketPath, which only this user can reach. A file left
    // there by a run that crashed is removed first: only the holder of the
    // lock listens, so no one else can be using it. False when the socket
    // cannot be made; the run goes on without it.
    bool Listen(const QString& socketPath);

  private:
    void Accept();

    Handler handler_;
    QLocalServer* server_;
};

}  // namespace vertoko
