#include "update/UpdateHttp.h"

#include "update/UpdateProxy.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>

namespace qm::update {

namespace {

const QString kUserAgent =
    QStringLiteral("Mozilla/5.0 (Windows NT 6.1; WOW64;rv:12.0) Gecko/20100101 Firefox/12.0");
constexpr char kAccept[] = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

QMutex gExtraCaMutex;
QList<QSslCertificate> gExtraCa;

QNetworkRequest UpdateRequest(const QString& url, int readMs) {
    // Tolerant parsing percent-encodes what a URL path does not allow.
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent);
    request.setRawHeader("Accept", kAccept);
    // Basic authentication with an empty user name and password, on every request.
    request.setRawHeader("Authorization", "Basic " + QByteArray(":").toBase64());
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setProtocol(QSsl::TlsV1_2);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    {
        const QMutexLocker lock(&gExtraCaMutex);
        if (!gExtraCa.isEmpty())
            tls.addCaCertificates(gExtraCa);
    }
    request.setSslConfiguration(tls);
    if (readMs > 0)
        request.setTransferTimeout(readMs);
    return request;
}

} // namespace

THttpClient::THttpClient(QObject* parent) : QObject(parent) {}

THttpClient::~THttpClient() {
    Disconnect();
}

void THttpClient::SetTimeouts(int connectMs, int readMs) {
    FConnectMs = connectMs;
    FReadMs = readMs;
}

void THttpClient::SetExtraCaCertificates(const QList<QSslCertificate>& certificates) {
    const QMutexLocker lock(&gExtraCaMutex);
    gExtraCa = certificates;
}

void THttpClient::Disconnect() {
    if (FReply)
        FReply->abort();
}

THttpResult THttpClient::Get(const QString& url) {
    THttpResult result;
    QThread* thread = QThread::currentThread();
    const bool worker = thread != QCoreApplication::instance()->thread();
    if (worker && thread->isInterruptionRequested()) {
        result.Error = QStringLiteral("interrupted");
        return result;
    }

    QNetworkAccessManager manager; // fresh state for every request
    manager.setAutoDeleteReplies(false);
    UseUpdateProxy(manager);
    QNetworkReply* reply = manager.get(UpdateRequest(url, FReadMs));
    FReply = reply;

    bool begun = false;
    connect(reply, &QNetworkReply::downloadProgress, this, [&](qint64 received, qint64 total) {
        if (!begun) {
            begun = true;
            emit WorkBegin(total);
        }
        emit Work(received);
    });

    bool connectTimedOut = false;
    QTimer connectTimer;
    if (FConnectMs > 0) {
        connectTimer.setSingleShot(true);
        connect(&connectTimer, &QTimer::timeout, reply, [&] {
            connectTimedOut = true;
            reply->abort();
        });
        connect(reply, &QNetworkReply::requestSent, &connectTimer, &QTimer::stop);
        connectTimer.start(FConnectMs);
    }
    QTimer interruption;
    if (worker) {
        connect(&interruption, &QTimer::timeout, reply, [&] {
            if (thread->isInterruptionRequested())
                reply->abort();
        });
        interruption.start(50);
    }

    if (!reply->isFinished()) {
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (begun)
        emit WorkEnd();

    result.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (connectTimedOut)
        result.Error = QStringLiteral("No connection within %1 ms").arg(FConnectMs);
    else if (reply->error() != QNetworkReply::NoError)
        result.Error = reply->errorString();
    else
        result.Body = reply->readAll();
    FReply = nullptr;
    delete reply;
    return result;
}

} // namespace qm::update
