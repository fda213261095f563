#pragma once

// The update client's HTTP requests: every GET carries the same settings (TLS 1.2 only with
// the peer verified, redirects followed but never from HTTPS to plain HTTP, the proxy of
// UseUpdateProxy, the user agent, accept and empty Basic authorization headers), starts from
// fresh state (no connection, cookie or cache shared with an earlier GET), and receives the
// whole body into memory. A body counts only when it arrived whole: its length announced
// (Content-Length, or chunked) and met, so an answer cut off early is never taken for all.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>

class QNetworkReply;

namespace qm::update {

struct THttpResult {
    int Status = 0; // the final response's status code, 0 when none came
    QByteArray Body;
    QString Error; // empty when a response with a status below 400 arrived in full
    [[nodiscard]] bool Succeeded() const { return Error.isEmpty(); }
};

class THttpClient : public QObject {
    Q_OBJECT

public:
    explicit THttpClient(QObject* parent = nullptr);
    ~THttpClient() override;

    // Deadlines of the next GETs in milliseconds, 0 for none: to connect (TLS handshake and
    // request sent), and for the whole answer after that (a server that trickles its bytes
    // does not hold the request longer).
    void SetTimeouts(int connectMs, int answerMs);
    // The largest body the next GETs accept; a larger one, announced or arriving, ends the GET
    // at once and it fails. 0: no limit.
    void SetBodyLimit(qint64 bytes);

    // GETs `url` and returns when it has ended, letting the calling thread's events run
    // meanwhile (on the UI thread a click can thus cancel it). On a worker thread an
    // interruption request of that thread ends it too.
    THttpResult Get(const QString& url);
    // Ends the running GET at once; it fails. Nothing happens when none runs.
    void Disconnect();
    [[nodiscard]] bool Running() const { return FReply != nullptr; }

    // Certificates trusted beside the system's (tests serve from a certificate of their own).
    static void SetExtraCaCertificates(const QList<QSslCertificate>& certificates);

signals:
    // Progress of the running GET: its begin with the announced size (0 or less when none was
    // announced), the bytes received so far, and its end.
    void WorkBegin(qint64 total);
    void Work(qint64 received);
    void WorkEnd();

private:
    QNetworkReply* FReply = nullptr; // the running GET's, owned by Get()
    int FConnectMs = 0;
    int FAnswerMs = 0;
    qint64 FBodyLimit = 0;
};

} // namespace qm::update
