#include "settings/updatecheck.h"

#include "core/version.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace UpdateServer
{

QString documentAddress()
{
    const QString base =
        qEnvironmentVariable("VIDORA_UPDATE_SERVER", QString::fromLatin1(kBaseAddress));
    return base + QString::fromLatin1(kDocumentPath);
}

int timeLimitMs()
{
    bool ok = false;
    const int limit = qEnvironmentVariableIntValue("VIDORA_UPDATE_TIMEOUT_MS", &ok);
    return ok && limit > 0 ? limit : kTimeLimitMs;
}

} // namespace UpdateServer

namespace UpdateReply
{

namespace
{

bool isWebAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

} // namespace

int ownVersion()
{
    return QStringLiteral("%1%2%3")
        .arg(Version::kMajor)
        .arg(Version::kMinor)
        .arg(Version::kRevision)
        .toInt();
}

Verdict evaluate(const QString &document, int version)
{
    bool ok = false;
    int offered = document.right(3).toInt(&ok);
    if (!ok)
        offered = 0;
    const QString address = document.left(std::max<qsizetype>(0, document.size() - 3));
    if (offered > version && isWebAddress(address))
        return {Result::NewUpdate, address};
    if (document == QLatin1String("no"))
        return {Result::NoUpdate, QString()};
    return {};
}

} // namespace UpdateReply

Inet::Inet(QObject *parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)), limit_(new QTimer(this))
{
    limit_->setSingleShot(true);
    connect(limit_, &QTimer::timeout, this, &Inet::giveUp);
}

void Inet::OpenURL(const QString &address)
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
    received_.clear();
    tooLong_ = false;
    state_ = 0;
    lastError_.clear();
    QNetworkRequest request{QUrl(address)};
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::requestSent, this, [this] { reachState(kConnected); });
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this] { reachState(kReceiving); });
    connect(reply_, &QNetworkReply::readyRead, this, &Inet::readSome);
    connect(reply_, &QNetworkReply::finished, this, &Inet::finish);
    limit_->start(UpdateServer::timeLimitMs());
}

// The states come in order: one skipped by the transfer is reported on the
// way to a later one.
void Inet::reachState(int state)
{
    for (const int step : {kConnected, kReceiving}) {
        if (step >= state || state_ >= step)
            continue;
        state_ = step;
        emit StateChanged(step);
    }
    if (state_ >= state)
        return;
    state_ = state;
    emit StateChanged(state);
}

void Inet::readSome()
{
    reachState(kReceiving);
    received_ += reply_->read(UpdateServer::kMaxDocumentBytes + 1 - received_.size());
    if (received_.size() > UpdateServer::kMaxDocumentBytes) {
        tooLong_ = true;
        reply_->abort();
    }
}

void Inet::finish()
{
    QNetworkReply *reply = reply_;
    if (!reply)
        return;
    limit_->stop();
    reply->deleteLater();
    reply_ = nullptr;
    if (tooLong_) {
        text_.clear();
        reachState(kResponseCompleted);
        return;
    }
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError) {
        received_ += reply->readAll().left(UpdateServer::kMaxDocumentBytes + 1 - received_.size());
        text_ = received_.size() > UpdateServer::kMaxDocumentBytes ? QString()
                                                                   : QString::fromUtf8(received_);
        reachState(kResponseCompleted);
        return;
    }
    lastError_ = reply->errorString();
    // Below 200 the network or a proxy failed; above, the server answered
    // with a failure of its own.
    if (error < QNetworkReply::ContentAccessDenied) {
        state_ = kError;
        emit StateChanged(kError);
    } else {
        emit failed(lastError_);
    }
}

void Inet::giveUp()
{
    if (!reply_)
        return;
    QNetworkReply *reply = reply_;
    reply_ = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
    lastError_ =
        QStringLiteral("No answer within %1 seconds").arg(UpdateServer::timeLimitMs() / 1000);
    state_ = kError;
    emit StateChanged(kError);
}
