#include "core/continuestore.h"

#include "base/errors.h"
#include "base/plainfile.h"
#include "platform/appdirs.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace
{

const QString kFormat = QStringLiteral("vidora-continue-1");

AppError fileError(const QString &text)
{
    return AppError(ErrorNumbers::kFileError, text);
}

bool isDiscId(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    return hex.match(text).hasMatch();
}

bool inRange(const QJsonValue &value, int low, int high)
{
    return value.isDouble() && value.toDouble() == std::floor(value.toDouble()) &&
           value.toDouble() >= low && value.toDouble() <= high;
}

std::optional<ContinueStore::Entry> entryFrom(const QJsonObject &object)
{
    const QString discId = object.value(QStringLiteral("disc")).toString();
    const QJsonValue seconds = object.value(QStringLiteral("seconds"));
    if (!isDiscId(discId) || !inRange(object.value(QStringLiteral("title")), 1, 99) ||
        !inRange(object.value(QStringLiteral("chapter")), 1, 999) ||
        !inRange(object.value(QStringLiteral("angle")), 1, 9) ||
        !inRange(object.value(QStringLiteral("audio")), 0, 15) ||
        !inRange(object.value(QStringLiteral("subpicture")), 0, 63) || !seconds.isDouble() ||
        !std::isfinite(seconds.toDouble()) || seconds.toDouble() < 0 ||
        seconds.toDouble() > 24 * 3600)
        return std::nullopt;
    ContinueStore::Entry entry;
    entry.discId = discId;
    entry.place.title = object.value(QStringLiteral("title")).toInt();
    entry.place.chapter = object.value(QStringLiteral("chapter")).toInt();
    entry.place.seconds = seconds.toDouble();
    entry.place.angle = object.value(QStringLiteral("angle")).toInt();
    entry.place.audioStream = object.value(QStringLiteral("audio")).toInt();
    entry.place.subpictureStream = object.value(QStringLiteral("subpicture")).toInt();
    entry.place.subpictureOn = object.value(QStringLiteral("subpictureOn")).toBool();
    return entry;
}

QJsonObject objectFrom(const ContinueStore::Entry &entry)
{
    return {{QStringLiteral("disc"), entry.discId},
            {QStringLiteral("title"), entry.place.title},
            {QStringLiteral("chapter"), entry.place.chapter},
            {QStringLiteral("seconds"), entry.place.seconds},
            {QStringLiteral("angle"), entry.place.angle},
            {QStringLiteral("audio"), entry.place.audioStream},
            {QStringLiteral("subpicture"), entry.place.subpictureStream},
            {QStringLiteral("subpictureOn"), entry.place.subpictureOn}};
}

// The damaged file stays beside the new one for whoever wants to look.
void setAside(const QString &path)
{
    QString aside = path + QStringLiteral(".damaged");
    for (int copy = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++copy)
        aside = path + QStringLiteral(".damaged-%1").arg(copy);
    QFile::rename(path, aside);
}

} // namespace

ContinueStore::ContinueStore(QString filePath) : filePath_(std::move(filePath)) {}

QString ContinueStore::defaultFilePath()
{
    return AppDirs::programDirectory() + QStringLiteral("/continue.json");
}

std::optional<std::vector<ContinueStore::Entry>> ContinueStore::parse(const QByteArray &bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        document.object().value(QStringLiteral("format")).toString() != kFormat)
        return std::nullopt;
    std::vector<Entry> entries;
    for (const QJsonValue &value : document.object().value(QStringLiteral("discs")).toArray()) {
        const std::optional<Entry> entry = entryFrom(value.toObject());
        const bool seen = entry && std::any_of(entries.begin(), entries.end(), [&](const Entry &e) {
                              return e.discId == entry->discId;
                          });
        if (entry && !seen && int(entries.size()) < kMaxDiscs)
            entries.push_back(*entry);
    }
    return entries;
}

QByteArray ContinueStore::serialize(const std::vector<Entry> &entries)
{
    QJsonArray discs;
    for (const Entry &entry : entries)
        discs.append(objectFrom(entry));
    return QJsonDocument(
               QJsonObject{{QStringLiteral("format"), kFormat}, {QStringLiteral("discs"), discs}})
        .toJson(QJsonDocument::Indented);
}

std::vector<ContinueStore::Entry> ContinueStore::read() const
{
    const PlainFile::Kind kind = PlainFile::kindOf(filePath_);
    if (kind == PlainFile::Kind::Missing)
        return {};
    if (kind != PlainFile::Kind::Plain || QFileInfo(filePath_).size() > kMaxBytes) {
        setAside(filePath_);
        return {};
    }
    QFile file;
    if (PlainFile::openForReading(file, filePath_))
        return {};
    const std::optional<std::vector<Entry>> entries = parse(file.read(kMaxBytes));
    if (!entries) {
        file.close();
        setAside(filePath_);
        return {};
    }
    return *entries;
}

void ContinueStore::write(const std::vector<Entry> &entries) const
{
    if (PlainFile::refusal(filePath_))
        setAside(filePath_);
    if (const std::optional<QString> failed = PlainFile::replace(filePath_, serialize(entries)))
        throw fileError(QStringLiteral("Cannot write \"%1\": %2").arg(filePath_, *failed));
}

std::optional<DiscPlace> ContinueStore::load(const QString &discId) const
{
    for (const Entry &entry : read()) {
        if (entry.discId == discId)
            return entry.place;
    }
    return std::nullopt;
}

void ContinueStore::save(const QString &discId, const DiscPlace &place)
{
    if (!isDiscId(discId))
        return;
    std::vector<Entry> entries = read();
    std::erase_if(entries, [&](const Entry &entry) { return entry.discId == discId; });
    entries.insert(entries.begin(), Entry{discId, place});
    if (int(entries.size()) > kMaxDiscs)
        entries.resize(kMaxDiscs);
    write(entries);
}

void ContinueStore::remove(const QString &discId)
{
    std::vector<Entry> entries = read();
    const auto removed =
        std::erase_if(entries, [&](const Entry &entry) { return entry.discId == discId; });
    if (removed > 0)
        write(entries);
}
